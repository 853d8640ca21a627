ALTER TABLE "dcmImageSeries" RENAME COLUMN "Deleted" TO deleted;
