-- "dcmImageSeries": file of the examination the series belongs to.

ALTER TABLE "dcmImageSeries" ADD COLUMN "ExamFileName" text;
