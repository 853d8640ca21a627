-- "USERS": header printed on the user's reports.

ALTER TABLE "USERS" ADD COLUMN "TextHeader" text;
