-- dcmimage: numeric image type; existing images get type 0.

ALTER TABLE dcmimage ADD COLUMN "Type" integer;
UPDATE dcmimage SET "Type" = 0;
ALTER TABLE dcmimage ALTER COLUMN "Type" SET NOT NULL;
