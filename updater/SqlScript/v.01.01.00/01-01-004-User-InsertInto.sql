-- Default users: the service user and the administrator, both on the default
-- personal data and the default profile.

INSERT INTO "USERS"
  ("IdProfile", "IdPersonalData", "UserName", "Password", deleted,
   "PasswordTermTime", "PasswordChangeRemindMe", "Level")
SELECT 1, "ID", 'marlek', 'Mk7Telv0r!', false, 0, false, 10
  FROM "PERSONALDATA"
 WHERE "FirstName" = 'DefaultFirstName' AND "LastName" = 'DefaultLastName';

INSERT INTO "USERS"
  ("IdProfile", "IdPersonalData", "UserName", "Password", deleted,
   "PasswordTermTime", "PasswordChangeRemindMe", "Level")
SELECT 1, "ID", 'administrator', 'Admin#Telvor1', false, 0, false, 9
  FROM "PERSONALDATA"
 WHERE "FirstName" = 'DefaultFirstName' AND "LastName" = 'DefaultLastName';
