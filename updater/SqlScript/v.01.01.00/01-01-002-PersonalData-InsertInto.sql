-- Personal data shared by the default users.

INSERT INTO "PERSONALDATA"
  ("FirstName", "LastName", "Title", "IdGender", "DateOfBirth",
   "Address", "PostalCode", "City", "StateRegion", "Country",
   "Telephone", "Mobile", "eMail", "IdNote", "IdImage", guid)
VALUES
  ('DefaultFirstName', 'DefaultLastName', NULL, 1, '2000-01-01 00:00:00',
   ' ', ' ', ' ', ' ', ' ',
   ' ', ' ', ' ', 0, 0, NULL);
