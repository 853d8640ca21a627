-- "PERSONALDATA": national identification number.

ALTER TABLE "PERSONALDATA" ADD COLUMN "NationalNumber" text;
