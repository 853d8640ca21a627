UPDATE "USERS" SET "PasswordChangeRemindMe" = true WHERE deleted = false;
