-- patients: identifier of the patient in an external system.

ALTER TABLE patients ADD COLUMN external_id text;
