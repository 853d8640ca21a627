-- Table: "CALHUVALIDITYPARAMS"

CREATE TABLE "CALHUVALIDITYPARAMS"
(
  "ID" serial NOT NULL,
  "HUtype" integer NOT NULL,
  "colorScalingAmean" numeric(18,6) NOT NULL DEFAULT 0,
  "colorScalingAstddev" numeric(18,6) NOT NULL DEFAULT 0,
  "colorScalingBmean" numeric(18,6) NOT NULL DEFAULT 0,
  "colorScalingBstddev" numeric(18,6) NOT NULL DEFAULT 0,
  CONSTRAINT "CALHUVALIDITYPARAMS_pkey" PRIMARY KEY ("ID")
)
WITH (
  OIDS=FALSE
);
ALTER TABLE "CALHUVALIDITYPARAMS"
  OWNER TO marlek;

-- Index: "CALHUVALIDITYPARAMS_Auto_Increment_Key"

CREATE INDEX "CALHUVALIDITYPARAMS_Auto_Increment_Key"
  ON "CALHUVALIDITYPARAMS"
  USING btree
  ("ID");
