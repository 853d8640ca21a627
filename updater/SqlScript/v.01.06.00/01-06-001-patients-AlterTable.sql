-- patients: number of workstations that have the patient open.

ALTER TABLE patients ADD COLUMN in_use_counter integer DEFAULT 0;
