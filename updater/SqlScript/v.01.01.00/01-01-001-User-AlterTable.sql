-- "USERS": access level of each user; existing users get the ordinary level 5.

ALTER TABLE "USERS" ADD COLUMN "Level" integer;
UPDATE "USERS" SET "Level" = 5;
ALTER TABLE "USERS" ALTER COLUMN "Level" SET NOT NULL;
