ALTER TABLE patients ALTER COLUMN in_use_counter SET NOT NULL;
ALTER TABLE patients ALTER COLUMN in_use_counter SET DEFAULT 0;
