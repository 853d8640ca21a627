ALTER TABLE "dcmStudy" RENAME COLUMN "Deleted" TO deleted;
