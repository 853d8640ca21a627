-- Table: "dcmAbstractSyntax"

CREATE TABLE "dcmAbstractSyntax"
(
  "UID" text NOT NULL,
  "IdTransferSyntax" integer NOT NULL,
  CONSTRAINT "dcmAbstractSyntax_pkey" PRIMARY KEY ("UID", "IdTransferSyntax"),
  CONSTRAINT "dcmAbstractSyntax_IdTransferSyntax_fkey" FOREIGN KEY ("IdTransferSyntax")
      REFERENCES "dcmTransferSyntax" (id) MATCH SIMPLE
      ON UPDATE NO ACTION ON DELETE NO ACTION
)
WITH (
  OIDS=FALSE
);
ALTER TABLE "dcmAbstractSyntax"
  OWNER TO marlek;
