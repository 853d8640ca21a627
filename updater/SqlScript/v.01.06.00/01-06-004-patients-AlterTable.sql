-- patients: when the patient was last opened.

ALTER TABLE patients ADD COLUMN last_time_in_use timestamp without time zone;
