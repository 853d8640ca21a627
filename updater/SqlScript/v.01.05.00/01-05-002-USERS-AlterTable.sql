-- "USERS": identifier of the import the user came with.

ALTER TABLE "USERS" ADD COLUMN import_id text;
