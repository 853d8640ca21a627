-- patients: patient booked on the worklist.

ALTER TABLE patients ADD COLUMN scheduled boolean DEFAULT false;
