-- Table: "dcmTransferSyntax"

CREATE TABLE "dcmTransferSyntax"
(
  id serial NOT NULL,
  "UID" text NOT NULL,
  name text NOT NULL,
  deleted boolean NOT NULL,
  CONSTRAINT "dcmTransferSyntax_pkey" PRIMARY KEY (id)
)
WITH (
  OIDS=FALSE
);
ALTER TABLE "dcmTransferSyntax"
  OWNER TO marlek;
