-- patients: user who registered the patient.

ALTER TABLE patients ADD COLUMN id_user integer DEFAULT 0;
