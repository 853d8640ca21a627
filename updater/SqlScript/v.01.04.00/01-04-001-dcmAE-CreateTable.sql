-- Table: "dcmAE" (DICOM application entities)

CREATE TABLE "dcmAE"
(
  id serial NOT NULL,
  title text NOT NULL,
  hostname text NOT NULL,
  port integer NOT NULL,
  deleted boolean NOT NULL,
  CONSTRAINT "dcmAE_pkey" PRIMARY KEY (id)
)
WITH (
  OIDS=FALSE
);
ALTER TABLE "dcmAE"
  OWNER TO marlek;
