-- dcmimage: the text column "Type" always held the image file name.

ALTER TABLE dcmimage RENAME COLUMN "Type" TO "ImageFileName";
