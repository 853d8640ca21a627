-- Default profile, added only where it does not exist yet.

INSERT INTO "PROFILES" ("ID", "IdDescription") VALUES (1, 1);
