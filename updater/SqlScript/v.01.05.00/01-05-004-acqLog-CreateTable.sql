-- Table: "acqLog" (one row per acquisition, with its dose)

CREATE TABLE public."acqLog"
(
  id serial NOT NULL,
  "acqDate" timestamp without time zone NOT NULL,
  "acqType" smallint NOT NULL,
  "idPatient" integer DEFAULT 0,
  dap double precision DEFAULT 0,
  deleted boolean NOT NULL,
  CONSTRAINT "acqLog_pkey" PRIMARY KEY (id)
)
WITH (
  OIDS=FALSE
);
ALTER TABLE public."acqLog"
  OWNER TO marlek;
