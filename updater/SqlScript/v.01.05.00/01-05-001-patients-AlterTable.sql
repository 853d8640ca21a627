-- patients: identifier of the import the patient came with.

ALTER TABLE patients ADD COLUMN import_id text;
