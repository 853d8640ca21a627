-- Active users must change their password at the next log-in.

UPDATE "USERS" SET "PasswordTermTime" = 1 WHERE deleted = false;
