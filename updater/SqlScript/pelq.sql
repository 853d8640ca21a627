--
-- PostgreSQL database dump
--

SET statement_timeout = 0;
SET client_encoding = 'UTF8';
SET standard_conforming_strings = on;
SET check_function_bodies = false;
SET client_min_messages = warning;

--
-- Name: plpgsql; Type: EXTENSION; Schema: -; Owner: 
--

CREATE EXTENSION IF NOT EXISTS plpgsql WITH SCHEMA pg_catalog;


--
-- Name: EXTENSION plpgsql; Type: COMMENT; Schema: -; Owner: 
--

-- Only the owner of the extension (the cluster's bootstrap superuser) may set its
-- comment, and the schema is loaded by the database owner: the comment is set where
-- allowed and otherwise left as the server installed it.
DO $$
BEGIN
    COMMENT ON EXTENSION plpgsql IS 'PL/pgSQL procedural language';
EXCEPTION WHEN insufficient_privilege THEN
    NULL;
END
$$;


SET search_path = public, pg_catalog;

--
-- Name: kivVersion(); Type: FUNCTION; Schema: public; Owner: marlek
--

CREATE FUNCTION "kivVersion"() RETURNS text
    LANGUAGE plpgsql
    AS $$
BEGIN
	RETURN '1.0.0';
END;
$$;


ALTER FUNCTION public."kivVersion"() OWNER TO marlek;

SET default_tablespace = '';

SET default_with_oids = false;

--
-- Name: ACQDATA; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "ACQDATA" (
    "ID" integer NOT NULL,
    "Description" text,
    "AcqType" integer DEFAULT 0 NOT NULL,
    "KVp" integer DEFAULT 0 NOT NULL,
    "mA" numeric(18,6) DEFAULT 0 NOT NULL,
    "ExposureTime" double precision DEFAULT 0 NOT NULL,
    "FieldOfView" character varying(50),
    "VoxelSize" numeric(18,6) DEFAULT 0 NOT NULL,
    "ProjectionCount" integer DEFAULT 0 NOT NULL,
    "RotationAngle" numeric(18,6) DEFAULT 0 NOT NULL,
    "Binning" integer DEFAULT 1 NOT NULL,
    "Pulsed" boolean DEFAULT false NOT NULL
);


ALTER TABLE public."ACQDATA" OWNER TO marlek;

--
-- Name: ACQDATA_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "ACQDATA_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."ACQDATA_ID_seq" OWNER TO marlek;

--
-- Name: ACQDATA_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "ACQDATA_ID_seq" OWNED BY "ACQDATA"."ID";


--
-- Name: ACQPRESET; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "ACQPRESET" (
    "ID" integer NOT NULL,
    "IdAcqData" integer NOT NULL,
    "Name" character varying(50) NOT NULL,
    "PatientSize" integer DEFAULT 0 NOT NULL,
    "Quality" integer DEFAULT 0 NOT NULL,
    "IsDefault" boolean DEFAULT false NOT NULL,
    "Deleted" boolean DEFAULT false NOT NULL
);


ALTER TABLE public."ACQPRESET" OWNER TO marlek;

--
-- Name: ACQPRESET_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "ACQPRESET_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."ACQPRESET_ID_seq" OWNER TO marlek;

--
-- Name: ACQPRESET_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "ACQPRESET_ID_seq" OWNED BY "ACQPRESET"."ID";


--
-- Name: CALGEOSETTINGS; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "CALGEOSETTINGS" (
    "ID" integer NOT NULL,
    "CalibrationDate" timestamp without time zone DEFAULT now() NOT NULL,
    "PhantomSerial" text,
    "SourceDetectorDistance" numeric(18,6) DEFAULT 0 NOT NULL,
    "SourceAxisDistance" numeric(18,6) DEFAULT 0 NOT NULL,
    "DetectorOffsetU" numeric(18,6) DEFAULT 0 NOT NULL,
    "DetectorOffsetV" numeric(18,6) DEFAULT 0 NOT NULL,
    "DetectorTiltEta" numeric(18,9) DEFAULT 0 NOT NULL,
    "DetectorTiltTheta" numeric(18,9) DEFAULT 0 NOT NULL,
    "DetectorTiltPhi" numeric(18,9) DEFAULT 0 NOT NULL,
    "ProjectionMatrices" text,
    "Valid" boolean DEFAULT false NOT NULL
);


ALTER TABLE public."CALGEOSETTINGS" OWNER TO marlek;

--
-- Name: CALGEOSETTINGS_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "CALGEOSETTINGS_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."CALGEOSETTINGS_ID_seq" OWNER TO marlek;

--
-- Name: CALGEOSETTINGS_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "CALGEOSETTINGS_ID_seq" OWNED BY "CALGEOSETTINGS"."ID";


--
-- Name: CALGEOVALIDITYPARAMS; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "CALGEOVALIDITYPARAMS" (
    "ID" integer NOT NULL,
    "rotationAxisAMean" numeric(18,6) DEFAULT 0 NOT NULL,
    "rotationAxisAStdDev" numeric(18,6) DEFAULT 0 NOT NULL,
    "rotationAxisBMean" numeric(18,6) DEFAULT 0 NOT NULL,
    "rotationAxisBStdDev" numeric(18,9) DEFAULT 0 NOT NULL,
    "xraySourceCMean" numeric(18,6) DEFAULT 0 NOT NULL,
    "xraySourceCStdDev" numeric(18,6) DEFAULT 0 NOT NULL,
    "cameraReferenceAMean" numeric(18,6) DEFAULT 0 NOT NULL,
    "cameraReferenceAStdDev" numeric(18,6) DEFAULT 0 NOT NULL,
    "cameraReferenceBMean" numeric(18,6) DEFAULT 0 NOT NULL,
    "cameraReferenceBStdDev" numeric(18,6) DEFAULT 0 NOT NULL,
    "cameraReferenceCMean" numeric(18,6) DEFAULT 0 NOT NULL,
    "cameraReferenceCStdDev" numeric(18,6) DEFAULT 0 NOT NULL
);


ALTER TABLE public."CALGEOVALIDITYPARAMS" OWNER TO marlek;

--
-- Name: CALGEOVALIDITYPARAMS_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "CALGEOVALIDITYPARAMS_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."CALGEOVALIDITYPARAMS_ID_seq" OWNER TO marlek;

--
-- Name: CALGEOVALIDITYPARAMS_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "CALGEOVALIDITYPARAMS_ID_seq" OWNED BY "CALGEOVALIDITYPARAMS"."ID";


--
-- Name: CALIBRATIONVALIDITY; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "CALIBRATIONVALIDITY" (
    "ID" integer NOT NULL,
    "CalibrationType" integer NOT NULL,
    "ValidityDays" integer DEFAULT 0 NOT NULL,
    "LastCalibration" timestamp without time zone,
    "WarningDays" integer DEFAULT 0 NOT NULL,
    "Enabled" boolean DEFAULT true NOT NULL
);


ALTER TABLE public."CALIBRATIONVALIDITY" OWNER TO marlek;

--
-- Name: CALIBRATIONVALIDITY_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "CALIBRATIONVALIDITY_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."CALIBRATIONVALIDITY_ID_seq" OWNER TO marlek;

--
-- Name: CALIBRATIONVALIDITY_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "CALIBRATIONVALIDITY_ID_seq" OWNED BY "CALIBRATIONVALIDITY"."ID";


--
-- Name: CALRESULT; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "CALRESULT" (
    "ID" integer NOT NULL,
    "CalibrationType" integer NOT NULL,
    "CalibrationDate" timestamp without time zone DEFAULT now() NOT NULL,
    "IdUser" integer DEFAULT 0 NOT NULL,
    "Result" integer DEFAULT 0 NOT NULL,
    "Passed" boolean DEFAULT false NOT NULL,
    "ResultValues" text
);


ALTER TABLE public."CALRESULT" OWNER TO marlek;

--
-- Name: CALRESULT_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "CALRESULT_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."CALRESULT_ID_seq" OWNER TO marlek;

--
-- Name: CALRESULT_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "CALRESULT_ID_seq" OWNED BY "CALRESULT"."ID";


--
-- Name: COMMANDS; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "COMMANDS" (
    "ID" integer NOT NULL,
    "Name" character varying(50) NOT NULL,
    "IdDescription" integer DEFAULT 0 NOT NULL
);


ALTER TABLE public."COMMANDS" OWNER TO marlek;

--
-- Name: DOSE; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "DOSE" (
    "IdAcqPreset" integer NOT NULL,
    "IdReconPreset" integer NOT NULL,
    "DoseAreaProduct" double precision DEFAULT 0 NOT NULL,
    "CTDIw" double precision DEFAULT 0 NOT NULL,
    "EffectiveDose" double precision DEFAULT 0 NOT NULL
);


ALTER TABLE public."DOSE" OWNER TO marlek;

--
-- Name: HISTORICACQS; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "HISTORICACQS" (
    "ID" integer NOT NULL,
    "IdPatient" integer NOT NULL,
    "IdUser" integer NOT NULL,
    "IdNote" integer,
    "IdAcqPreset" integer DEFAULT 0 NOT NULL,
    "AcqDate" timestamp without time zone DEFAULT now() NOT NULL,
    "AcqType" integer DEFAULT 0 NOT NULL,
    "DoseAreaProduct" double precision DEFAULT 0 NOT NULL,
    "Result" integer DEFAULT 0 NOT NULL,
    "RawDataPath" text
);


ALTER TABLE public."HISTORICACQS" OWNER TO marlek;

--
-- Name: HISTORICACQS_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "HISTORICACQS_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."HISTORICACQS_ID_seq" OWNER TO marlek;

--
-- Name: HISTORICACQS_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "HISTORICACQS_ID_seq" OWNED BY "HISTORICACQS"."ID";


--
-- Name: HISTORICBDE; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "HISTORICBDE" (
    "ID" integer NOT NULL,
    "IDACQ" integer NOT NULL,
    "BdeDate" timestamp without time zone DEFAULT now() NOT NULL,
    "DefectivePixels" integer DEFAULT 0 NOT NULL,
    "MapFileName" text
);


ALTER TABLE public."HISTORICBDE" OWNER TO marlek;

--
-- Name: HISTORICBDE_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "HISTORICBDE_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."HISTORICBDE_ID_seq" OWNER TO marlek;

--
-- Name: HISTORICBDE_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "HISTORICBDE_ID_seq" OWNED BY "HISTORICBDE"."ID";


--
-- Name: HISTORICRECONS; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "HISTORICRECONS" (
    id integer NOT NULL,
    id_acq integer DEFAULT 0 NOT NULL,
    id_recon_preset integer DEFAULT 0 NOT NULL,
    recon_date timestamp without time zone DEFAULT now() NOT NULL,
    duration_ms integer DEFAULT 0 NOT NULL,
    volume_path text,
    status integer DEFAULT 0 NOT NULL
);


ALTER TABLE public."HISTORICRECONS" OWNER TO marlek;

--
-- Name: HISTORICRECONS_id_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "HISTORICRECONS_id_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."HISTORICRECONS_id_seq" OWNER TO marlek;

--
-- Name: HISTORICRECONS_id_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "HISTORICRECONS_id_seq" OWNED BY "HISTORICRECONS".id;


--
-- Name: HISTORICTESTS; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "HISTORICTESTS" (
    "ID" integer NOT NULL,
    "TestType" integer NOT NULL,
    "TestDate" timestamp without time zone DEFAULT now() NOT NULL,
    "IdUser" integer DEFAULT 0 NOT NULL,
    "Passed" boolean DEFAULT false NOT NULL,
    "Report" text
);


ALTER TABLE public."HISTORICTESTS" OWNER TO marlek;

--
-- Name: HISTORICTESTS_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "HISTORICTESTS_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."HISTORICTESTS_ID_seq" OWNER TO marlek;

--
-- Name: HISTORICTESTS_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "HISTORICTESTS_ID_seq" OWNED BY "HISTORICTESTS"."ID";


--
-- Name: IMAGES; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "IMAGES" (
    "ID" integer NOT NULL,
    "IdPatient" integer DEFAULT 0 NOT NULL,
    "FileName" text NOT NULL,
    "ImageType" integer DEFAULT 0 NOT NULL,
    "Width" integer DEFAULT 0 NOT NULL,
    "Height" integer DEFAULT 0 NOT NULL,
    "CreationDate" timestamp without time zone DEFAULT now() NOT NULL,
    "Deleted" boolean DEFAULT false NOT NULL
);


ALTER TABLE public."IMAGES" OWNER TO marlek;

--
-- Name: IMAGES_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "IMAGES_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."IMAGES_ID_seq" OWNER TO marlek;

--
-- Name: IMAGES_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "IMAGES_ID_seq" OWNED BY "IMAGES"."ID";


--
-- Name: LOGDEVICE; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "LOGDEVICE" (
    "ID" integer NOT NULL,
    "LogTime" timestamp without time zone DEFAULT now() NOT NULL,
    "DeviceSerial" character varying(50),
    "FirmwareVersion" character varying(50),
    "Code" integer DEFAULT 0 NOT NULL,
    "Message" text
);


ALTER TABLE public."LOGDEVICE" OWNER TO marlek;

--
-- Name: LOGDEVICE_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "LOGDEVICE_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."LOGDEVICE_ID_seq" OWNER TO marlek;

--
-- Name: LOGDEVICE_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "LOGDEVICE_ID_seq" OWNED BY "LOGDEVICE"."ID";


--
-- Name: LOGEVENTS; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "LOGEVENTS" (
    "ID" integer NOT NULL,
    "EventTime" timestamp without time zone DEFAULT now() NOT NULL,
    "IdUser" integer DEFAULT 0 NOT NULL,
    "IdType" integer DEFAULT 0 NOT NULL,
    "Workstation" text,
    "Description" text
);


ALTER TABLE public."LOGEVENTS" OWNER TO marlek;

--
-- Name: LOGEVENTS_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "LOGEVENTS_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."LOGEVENTS_ID_seq" OWNER TO marlek;

--
-- Name: LOGEVENTS_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "LOGEVENTS_ID_seq" OWNED BY "LOGEVENTS"."ID";


--
-- Name: LOGPARAM; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "LOGPARAM" (
    "ID" integer NOT NULL,
    "IdLogEvent" integer NOT NULL,
    "Name" text NOT NULL,
    "Value" text
);


ALTER TABLE public."LOGPARAM" OWNER TO marlek;

--
-- Name: LOGPARAM_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "LOGPARAM_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."LOGPARAM_ID_seq" OWNER TO marlek;

--
-- Name: LOGPARAM_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "LOGPARAM_ID_seq" OWNED BY "LOGPARAM"."ID";


--
-- Name: NOTES; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "NOTES" (
    "ID" integer NOT NULL,
    "IdUser" integer DEFAULT 0 NOT NULL,
    "CreationDate" timestamp without time zone DEFAULT now() NOT NULL,
    "Text" text
);


ALTER TABLE public."NOTES" OWNER TO marlek;

--
-- Name: NOTES_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "NOTES_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."NOTES_ID_seq" OWNER TO marlek;

--
-- Name: NOTES_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "NOTES_ID_seq" OWNED BY "NOTES"."ID";


--
-- Name: PERSONALDATA; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "PERSONALDATA" (
    "ID" integer NOT NULL,
    "FirstName" text NOT NULL,
    "LastName" text NOT NULL,
    "Title" text,
    "IdGender" integer DEFAULT 0 NOT NULL,
    "DateOfBirth" timestamp without time zone NOT NULL,
    "Address" text NOT NULL,
    "PostalCode" text NOT NULL,
    "City" text NOT NULL,
    "StateRegion" text NOT NULL,
    "Country" text NOT NULL,
    "Telephone" text,
    "Mobile" text,
    "eMail" text,
    "IdNote" integer DEFAULT 0,
    "IdImage" integer DEFAULT 0,
    guid text
);


ALTER TABLE public."PERSONALDATA" OWNER TO marlek;

--
-- Name: PERSONALDATA_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "PERSONALDATA_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."PERSONALDATA_ID_seq" OWNER TO marlek;

--
-- Name: PERSONALDATA_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "PERSONALDATA_ID_seq" OWNED BY "PERSONALDATA"."ID";


--
-- Name: PROCESSINGPRESET; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "PROCESSINGPRESET" (
    "IdReconType" integer NOT NULL,
    "Name" character varying(50) NOT NULL,
    "Sharpness" integer DEFAULT 0 NOT NULL,
    "NoiseReduction" integer DEFAULT 0 NOT NULL,
    "MetalArtifactReduction" boolean DEFAULT false NOT NULL,
    "Parameters" text
);


ALTER TABLE public."PROCESSINGPRESET" OWNER TO marlek;

--
-- Name: PROFILES; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "PROFILES" (
    "ID" integer NOT NULL,
    "IdDescription" integer DEFAULT 0 NOT NULL
);


ALTER TABLE public."PROFILES" OWNER TO marlek;

--
-- Name: PROFILES_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "PROFILES_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."PROFILES_ID_seq" OWNER TO marlek;

--
-- Name: PROFILES_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "PROFILES_ID_seq" OWNED BY "PROFILES"."ID";


--
-- Name: PROFILESCOMMANDS; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "PROFILESCOMMANDS" (
    "IdProfile" integer NOT NULL,
    "IdCommand" integer NOT NULL,
    "Enabled" boolean DEFAULT true NOT NULL
);


ALTER TABLE public."PROFILESCOMMANDS" OWNER TO marlek;

--
-- Name: RECONCALIBRATION; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "RECONCALIBRATION" (
    "ID" integer NOT NULL,
    "CalibrationDate" timestamp without time zone DEFAULT now() NOT NULL,
    "KVp" integer DEFAULT 0 NOT NULL,
    "mA" numeric(18,6) DEFAULT 0 NOT NULL,
    "DarkFieldFile" text,
    "GainFile" text,
    "Valid" boolean DEFAULT false NOT NULL
);


ALTER TABLE public."RECONCALIBRATION" OWNER TO marlek;

--
-- Name: RECONCALIBRATION_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "RECONCALIBRATION_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."RECONCALIBRATION_ID_seq" OWNER TO marlek;

--
-- Name: RECONCALIBRATION_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "RECONCALIBRATION_ID_seq" OWNED BY "RECONCALIBRATION"."ID";


--
-- Name: RECONCALIBRATIONHU; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "RECONCALIBRATIONHU" (
    "ID" integer NOT NULL,
    "HUtype" integer NOT NULL,
    "CalibrationDate" timestamp without time zone DEFAULT now() NOT NULL,
    "ScaleA" numeric(18,6) DEFAULT 0 NOT NULL,
    "ScaleB" numeric(18,6) DEFAULT 0 NOT NULL
);


ALTER TABLE public."RECONCALIBRATIONHU" OWNER TO marlek;

--
-- Name: RECONCALIBRATIONHU_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "RECONCALIBRATIONHU_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."RECONCALIBRATIONHU_ID_seq" OWNER TO marlek;

--
-- Name: RECONCALIBRATIONHU_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "RECONCALIBRATIONHU_ID_seq" OWNED BY "RECONCALIBRATIONHU"."ID";


--
-- Name: RECONCAMERA; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "RECONCAMERA" (
    "RECONCAMERA_ID" integer NOT NULL,
    "PixelSizeU" numeric(18,6) DEFAULT 0 NOT NULL,
    "PixelSizeV" numeric(18,6) DEFAULT 0 NOT NULL,
    "Columns" integer DEFAULT 0 NOT NULL,
    "Rows" integer DEFAULT 0 NOT NULL,
    "BitDepth" integer DEFAULT 16 NOT NULL
);


ALTER TABLE public."RECONCAMERA" OWNER TO marlek;

--
-- Name: RECONCAMERA_RECONCAMERA_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "RECONCAMERA_RECONCAMERA_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."RECONCAMERA_RECONCAMERA_ID_seq" OWNER TO marlek;

--
-- Name: RECONCAMERA_RECONCAMERA_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "RECONCAMERA_RECONCAMERA_ID_seq" OWNED BY "RECONCAMERA"."RECONCAMERA_ID";


--
-- Name: RECONDATA; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "RECONDATA" (
    "ID" integer NOT NULL,
    "VoxelSize" numeric(18,6) DEFAULT 0 NOT NULL,
    "VolumeWidth" integer DEFAULT 0 NOT NULL,
    "VolumeHeight" integer DEFAULT 0 NOT NULL,
    "VolumeDepth" integer DEFAULT 0 NOT NULL,
    "ProjectionCount" integer DEFAULT 0 NOT NULL
);


ALTER TABLE public."RECONDATA" OWNER TO marlek;

--
-- Name: RECONDATA_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "RECONDATA_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."RECONDATA_ID_seq" OWNER TO marlek;

--
-- Name: RECONDATA_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "RECONDATA_ID_seq" OWNED BY "RECONDATA"."ID";


--
-- Name: RECONDATANEW; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "RECONDATANEW" (
    "ID" integer NOT NULL,
    "Name" character varying(50) NOT NULL,
    "VoxelSize" numeric(18,6) DEFAULT 0 NOT NULL,
    "VolumeWidth" integer DEFAULT 0 NOT NULL,
    "VolumeHeight" integer DEFAULT 0 NOT NULL,
    "VolumeDepth" integer DEFAULT 0 NOT NULL,
    "ProjectionCount" integer DEFAULT 0 NOT NULL,
    "Parameters" text
);


ALTER TABLE public."RECONDATANEW" OWNER TO marlek;

--
-- Name: RECONDATANEW_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "RECONDATANEW_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."RECONDATANEW_ID_seq" OWNER TO marlek;

--
-- Name: RECONDATANEW_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "RECONDATANEW_ID_seq" OWNED BY "RECONDATANEW"."ID";


--
-- Name: RECONGENERAL; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "RECONGENERAL" (
    "ID" integer NOT NULL,
    "Name" character varying(50) NOT NULL,
    "Value" text
);


ALTER TABLE public."RECONGENERAL" OWNER TO marlek;

--
-- Name: RECONGENERAL_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "RECONGENERAL_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."RECONGENERAL_ID_seq" OWNER TO marlek;

--
-- Name: RECONGENERAL_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "RECONGENERAL_ID_seq" OWNED BY "RECONGENERAL"."ID";


--
-- Name: RECONGRID; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "RECONGRID" (
    "ID" integer NOT NULL,
    "OriginX" numeric(18,6) DEFAULT 0 NOT NULL,
    "OriginY" numeric(18,6) DEFAULT 0 NOT NULL,
    "OriginZ" numeric(18,6) DEFAULT 0 NOT NULL,
    "SizeX" integer DEFAULT 0 NOT NULL,
    "SizeY" integer DEFAULT 0 NOT NULL,
    "SizeZ" integer DEFAULT 0 NOT NULL
);


ALTER TABLE public."RECONGRID" OWNER TO marlek;

--
-- Name: RECONGRID_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "RECONGRID_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."RECONGRID_ID_seq" OWNER TO marlek;

--
-- Name: RECONGRID_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "RECONGRID_ID_seq" OWNED BY "RECONGRID"."ID";


--
-- Name: RECONPRESET; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "RECONPRESET" (
    "IDReconType" integer NOT NULL,
    "IDReconData" integer NOT NULL,
    "Name" character varying(50) NOT NULL,
    "Deleted" boolean DEFAULT false NOT NULL
);


ALTER TABLE public."RECONPRESET" OWNER TO marlek;

--
-- Name: RECONPROCESSING; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "RECONPROCESSING" (
    "ID" integer NOT NULL,
    "FilterType" integer DEFAULT 0 NOT NULL,
    "FilterCutOff" numeric(18,6) DEFAULT 0 NOT NULL,
    "BeamHardening" boolean DEFAULT false NOT NULL,
    "RingCorrection" boolean DEFAULT false NOT NULL
);


ALTER TABLE public."RECONPROCESSING" OWNER TO marlek;

--
-- Name: RECONPROCESSING_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "RECONPROCESSING_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."RECONPROCESSING_ID_seq" OWNER TO marlek;

--
-- Name: RECONPROCESSING_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "RECONPROCESSING_ID_seq" OWNED BY "RECONPROCESSING"."ID";


--
-- Name: RECONRADIOS; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "RECONRADIOS" (
    "ID" integer NOT NULL,
    "FirstProjection" integer DEFAULT 0 NOT NULL,
    "LastProjection" integer DEFAULT 0 NOT NULL,
    "AngleStep" numeric(18,9) DEFAULT 0 NOT NULL,
    "FileNamePattern" text
);


ALTER TABLE public."RECONRADIOS" OWNER TO marlek;

--
-- Name: RECONRADIOS_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "RECONRADIOS_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."RECONRADIOS_ID_seq" OWNER TO marlek;

--
-- Name: RECONRADIOS_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "RECONRADIOS_ID_seq" OWNED BY "RECONRADIOS"."ID";


--
-- Name: STRINGEVENT; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "STRINGEVENT" (
    "IdType" integer NOT NULL,
    "IdLanguage" integer DEFAULT 0 NOT NULL,
    "Text" text NOT NULL
);


ALTER TABLE public."STRINGEVENT" OWNER TO marlek;

--
-- Name: STRINGTYPE; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "STRINGTYPE" (
    "Id" integer NOT NULL,
    "Description" text NOT NULL
);


ALTER TABLE public."STRINGTYPE" OWNER TO marlek;

--
-- Name: STRINGTYPE_Id_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "STRINGTYPE_Id_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."STRINGTYPE_Id_seq" OWNER TO marlek;

--
-- Name: STRINGTYPE_Id_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "STRINGTYPE_Id_seq" OWNED BY "STRINGTYPE"."Id";


--
-- Name: USERS; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "USERS" (
    "ID" integer NOT NULL,
    "IdProfile" integer DEFAULT 0 NOT NULL,
    "IdPersonalData" integer DEFAULT 0 NOT NULL,
    "UserName" character varying(50) NOT NULL,
    "Password" character varying(50) NOT NULL,
    deleted boolean DEFAULT false NOT NULL,
    "PasswordTermTime" integer DEFAULT 90 NOT NULL,
    "PasswordChangeRemindMe" boolean DEFAULT true NOT NULL
);


ALTER TABLE public."USERS" OWNER TO marlek;

--
-- Name: USERS_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "USERS_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."USERS_ID_seq" OWNER TO marlek;

--
-- Name: USERS_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "USERS_ID_seq" OWNED BY "USERS"."ID";


--
-- Name: dcmImageSeries; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "dcmImageSeries" (
    "ID" integer NOT NULL,
    "StudyId" integer NOT NULL,
    "Modality" integer DEFAULT 0 NOT NULL,
    "OperatorId" integer DEFAULT 0 NOT NULL,
    "DcmSeriesUid" text,
    "SeriesTime" timestamp with time zone DEFAULT now(),
    "SeriesProperties" text,
    "Archived" integer DEFAULT 0 NOT NULL,
    "Deleted" boolean DEFAULT false
);


ALTER TABLE public."dcmImageSeries" OWNER TO marlek;

--
-- Name: dcmImageSeries_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "dcmImageSeries_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."dcmImageSeries_ID_seq" OWNER TO marlek;

--
-- Name: dcmImageSeries_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "dcmImageSeries_ID_seq" OWNED BY "dcmImageSeries"."ID";


--
-- Name: dcmStudy; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE "dcmStudy" (
    "ID" integer NOT NULL,
    "PatientId" integer NOT NULL,
    "PhysicianId" integer DEFAULT 0 NOT NULL,
    "DcmStudyUid" text,
    "Description" text,
    "StudyTime" timestamp with time zone DEFAULT now() NOT NULL,
    "AccessionNumber" text NOT NULL,
    "Deleted" boolean DEFAULT false NOT NULL
);


ALTER TABLE public."dcmStudy" OWNER TO marlek;

--
-- Name: dcmStudy_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "dcmStudy_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."dcmStudy_ID_seq" OWNER TO marlek;

--
-- Name: dcmStudy_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "dcmStudy_ID_seq" OWNED BY "dcmStudy"."ID";


--
-- Name: dcmimage; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE dcmimage (
    "ID" integer NOT NULL,
    "ImageIndex" integer NOT NULL,
    "AnodicCurrent" integer,
    "AnodicVoltage" integer DEFAULT 0 NOT NULL,
    "SeriesId" integer,
    "DcmImageUid" text,
    "Type" text,
    "ExposureTime" double precision DEFAULT 0,
    "CommitmentStatus" text,
    "Deleted" boolean DEFAULT false,
    "Description" text,
    "ImageTime" time with time zone DEFAULT now() NOT NULL,
    "CommitmentStatusTime" time with time zone DEFAULT now() NOT NULL
);


ALTER TABLE public.dcmimage OWNER TO marlek;

--
-- Name: dcmImage_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "dcmImage_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."dcmImage_ID_seq" OWNER TO marlek;

--
-- Name: dcmImage_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "dcmImage_ID_seq" OWNED BY dcmimage."ID";


--
-- Name: patients; Type: TABLE; Schema: public; Owner: marlek; Tablespace: 
--

CREATE TABLE patients (
    id integer NOT NULL,
    id_personal_data integer DEFAULT 0 NOT NULL,
    deleted boolean DEFAULT false NOT NULL,
    patient_code text,
    dcm_id text
);


ALTER TABLE public.patients OWNER TO marlek;

--
-- Name: PATIENTS_ID_seq; Type: SEQUENCE; Schema: public; Owner: marlek
--

CREATE SEQUENCE "PATIENTS_ID_seq"
    START WITH 1
    INCREMENT BY 1
    NO MINVALUE
    NO MAXVALUE
    CACHE 1;


ALTER TABLE public."PATIENTS_ID_seq" OWNER TO marlek;

--
-- Name: PATIENTS_ID_seq; Type: SEQUENCE OWNED BY; Schema: public; Owner: marlek
--

ALTER SEQUENCE "PATIENTS_ID_seq" OWNED BY patients.id;


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "ACQDATA" ALTER COLUMN "ID" SET DEFAULT nextval('"ACQDATA_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "ACQPRESET" ALTER COLUMN "ID" SET DEFAULT nextval('"ACQPRESET_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "CALGEOSETTINGS" ALTER COLUMN "ID" SET DEFAULT nextval('"CALGEOSETTINGS_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "CALGEOVALIDITYPARAMS" ALTER COLUMN "ID" SET DEFAULT nextval('"CALGEOVALIDITYPARAMS_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "CALIBRATIONVALIDITY" ALTER COLUMN "ID" SET DEFAULT nextval('"CALIBRATIONVALIDITY_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "CALRESULT" ALTER COLUMN "ID" SET DEFAULT nextval('"CALRESULT_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "HISTORICACQS" ALTER COLUMN "ID" SET DEFAULT nextval('"HISTORICACQS_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "HISTORICBDE" ALTER COLUMN "ID" SET DEFAULT nextval('"HISTORICBDE_ID_seq"'::regclass);


--
-- Name: id; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "HISTORICRECONS" ALTER COLUMN id SET DEFAULT nextval('"HISTORICRECONS_id_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "HISTORICTESTS" ALTER COLUMN "ID" SET DEFAULT nextval('"HISTORICTESTS_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "IMAGES" ALTER COLUMN "ID" SET DEFAULT nextval('"IMAGES_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "LOGDEVICE" ALTER COLUMN "ID" SET DEFAULT nextval('"LOGDEVICE_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "LOGEVENTS" ALTER COLUMN "ID" SET DEFAULT nextval('"LOGEVENTS_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "LOGPARAM" ALTER COLUMN "ID" SET DEFAULT nextval('"LOGPARAM_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "NOTES" ALTER COLUMN "ID" SET DEFAULT nextval('"NOTES_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "PERSONALDATA" ALTER COLUMN "ID" SET DEFAULT nextval('"PERSONALDATA_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "PROFILES" ALTER COLUMN "ID" SET DEFAULT nextval('"PROFILES_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "RECONCALIBRATION" ALTER COLUMN "ID" SET DEFAULT nextval('"RECONCALIBRATION_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "RECONCALIBRATIONHU" ALTER COLUMN "ID" SET DEFAULT nextval('"RECONCALIBRATIONHU_ID_seq"'::regclass);


--
-- Name: RECONCAMERA_ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "RECONCAMERA" ALTER COLUMN "RECONCAMERA_ID" SET DEFAULT nextval('"RECONCAMERA_RECONCAMERA_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "RECONDATA" ALTER COLUMN "ID" SET DEFAULT nextval('"RECONDATA_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "RECONDATANEW" ALTER COLUMN "ID" SET DEFAULT nextval('"RECONDATANEW_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "RECONGENERAL" ALTER COLUMN "ID" SET DEFAULT nextval('"RECONGENERAL_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "RECONGRID" ALTER COLUMN "ID" SET DEFAULT nextval('"RECONGRID_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "RECONPROCESSING" ALTER COLUMN "ID" SET DEFAULT nextval('"RECONPROCESSING_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "RECONRADIOS" ALTER COLUMN "ID" SET DEFAULT nextval('"RECONRADIOS_ID_seq"'::regclass);


--
-- Name: Id; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "STRINGTYPE" ALTER COLUMN "Id" SET DEFAULT nextval('"STRINGTYPE_Id_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "USERS" ALTER COLUMN "ID" SET DEFAULT nextval('"USERS_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "dcmImageSeries" ALTER COLUMN "ID" SET DEFAULT nextval('"dcmImageSeries_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "dcmStudy" ALTER COLUMN "ID" SET DEFAULT nextval('"dcmStudy_ID_seq"'::regclass);


--
-- Name: ID; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY dcmimage ALTER COLUMN "ID" SET DEFAULT nextval('"dcmImage_ID_seq"'::regclass);


--
-- Name: id; Type: DEFAULT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY patients ALTER COLUMN id SET DEFAULT nextval('"PATIENTS_ID_seq"'::regclass);


--
-- Name: ACQDATA_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "ACQDATA"
    ADD CONSTRAINT "ACQDATA_pkey" PRIMARY KEY ("ID");


--
-- Name: ACQPRESET_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "ACQPRESET"
    ADD CONSTRAINT "ACQPRESET_pkey" PRIMARY KEY ("ID");


--
-- Name: CALIBRATIONVALIDITY_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "CALIBRATIONVALIDITY"
    ADD CONSTRAINT "CALIBRATIONVALIDITY_pkey" PRIMARY KEY ("ID");


--
-- Name: COMMANDS_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "COMMANDS"
    ADD CONSTRAINT "COMMANDS_pkey" PRIMARY KEY ("ID");


--
-- Name: HISTORICACQS_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "HISTORICACQS"
    ADD CONSTRAINT "HISTORICACQS_pkey" PRIMARY KEY ("ID");


--
-- Name: HISTORICBDE_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "HISTORICBDE"
    ADD CONSTRAINT "HISTORICBDE_pkey" PRIMARY KEY ("ID");


--
-- Name: HISTORICRECONS_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "HISTORICRECONS"
    ADD CONSTRAINT "HISTORICRECONS_pkey" PRIMARY KEY (id);


--
-- Name: HISTORICTESTS_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "HISTORICTESTS"
    ADD CONSTRAINT "HISTORICTESTS_pkey" PRIMARY KEY ("ID");


--
-- Name: IMAGES_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "IMAGES"
    ADD CONSTRAINT "IMAGES_pkey" PRIMARY KEY ("ID");


--
-- Name: LOGDEVICE_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "LOGDEVICE"
    ADD CONSTRAINT "LOGDEVICE_pkey" PRIMARY KEY ("ID");


--
-- Name: LOGEVENTS_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "LOGEVENTS"
    ADD CONSTRAINT "LOGEVENTS_pkey" PRIMARY KEY ("ID");


--
-- Name: LOGPARAM_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "LOGPARAM"
    ADD CONSTRAINT "LOGPARAM_pkey" PRIMARY KEY ("ID");


--
-- Name: NOTES_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "NOTES"
    ADD CONSTRAINT "NOTES_pkey" PRIMARY KEY ("ID");


--
-- Name: PERSONALDATA_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "PERSONALDATA"
    ADD CONSTRAINT "PERSONALDATA_pkey" PRIMARY KEY ("ID");


--
-- Name: PROFILES_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "PROFILES"
    ADD CONSTRAINT "PROFILES_pkey" PRIMARY KEY ("ID");


--
-- Name: PROFILESCOMMANDS_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "PROFILESCOMMANDS"
    ADD CONSTRAINT "PROFILESCOMMANDS_pkey" PRIMARY KEY ("IdProfile", "IdCommand");


--
-- Name: RECONCALIBRATIONHU_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "RECONCALIBRATIONHU"
    ADD CONSTRAINT "RECONCALIBRATIONHU_pkey" PRIMARY KEY ("ID");


--
-- Name: RECONCAMERA_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "RECONCAMERA"
    ADD CONSTRAINT "RECONCAMERA_pkey" PRIMARY KEY ("RECONCAMERA_ID");


--
-- Name: RECONDATA_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "RECONDATA"
    ADD CONSTRAINT "RECONDATA_pkey" PRIMARY KEY ("ID");


--
-- Name: RECONDATANEW_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "RECONDATANEW"
    ADD CONSTRAINT "RECONDATANEW_pkey" PRIMARY KEY ("ID");


--
-- Name: RECONGENERAL_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "RECONGENERAL"
    ADD CONSTRAINT "RECONGENERAL_pkey" PRIMARY KEY ("ID");


--
-- Name: RECONGRID_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "RECONGRID"
    ADD CONSTRAINT "RECONGRID_pkey" PRIMARY KEY ("ID");


--
-- Name: RECONPRESET_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "RECONPRESET"
    ADD CONSTRAINT "RECONPRESET_pkey" PRIMARY KEY ("IDReconType");


--
-- Name: RECONPROCESSING_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "RECONPROCESSING"
    ADD CONSTRAINT "RECONPROCESSING_pkey" PRIMARY KEY ("ID");


--
-- Name: RECONRADIOS_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "RECONRADIOS"
    ADD CONSTRAINT "RECONRADIOS_pkey" PRIMARY KEY ("ID");


--
-- Name: STRINGTYPE_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "STRINGTYPE"
    ADD CONSTRAINT "STRINGTYPE_pkey" PRIMARY KEY ("Id");


--
-- Name: USERS_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "USERS"
    ADD CONSTRAINT "USERS_pkey" PRIMARY KEY ("ID");


--
-- Name: dcmImageSeries_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "dcmImageSeries"
    ADD CONSTRAINT "dcmImageSeries_pkey" PRIMARY KEY ("ID");


--
-- Name: dcmStudy_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY "dcmStudy"
    ADD CONSTRAINT "dcmStudy_pkey" PRIMARY KEY ("ID");


--
-- Name: dcmImage_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY dcmimage
    ADD CONSTRAINT "dcmImage_pkey" PRIMARY KEY ("ID");


--
-- Name: PATIENTS_pkey; Type: CONSTRAINT; Schema: public; Owner: marlek; Tablespace: 
--

ALTER TABLE ONLY patients
    ADD CONSTRAINT "PATIENTS_pkey" PRIMARY KEY (id);


--
-- Name: CALGEOSETTINGS_Auto_Increment_Key; Type: INDEX; Schema: public; Owner: marlek; Tablespace: 
--

CREATE INDEX "CALGEOSETTINGS_Auto_Increment_Key" ON "CALGEOSETTINGS" USING btree ("ID");


--
-- Name: CALGEOVALIDITYPARAMS_Auto_Increment_Key; Type: INDEX; Schema: public; Owner: marlek; Tablespace: 
--

CREATE INDEX "CALGEOVALIDITYPARAMS_Auto_Increment_Key" ON "CALGEOVALIDITYPARAMS" USING btree ("ID");


--
-- Name: CALRESULT_Auto_Increment_Key; Type: INDEX; Schema: public; Owner: marlek; Tablespace: 
--

CREATE INDEX "CALRESULT_Auto_Increment_Key" ON "CALRESULT" USING btree ("ID");


--
-- Name: RECONCALIBRATION_Auto_Increment_Key; Type: INDEX; Schema: public; Owner: marlek; Tablespace: 
--

CREATE INDEX "RECONCALIBRATION_Auto_Increment_Key" ON "RECONCALIBRATION" USING btree ("ID");


--
-- Name: RECONPRESET_IX_RECONPRESET; Type: INDEX; Schema: public; Owner: marlek; Tablespace: 
--

CREATE INDEX "RECONPRESET_IX_RECONPRESET" ON "RECONPRESET" USING btree ("IDReconType");


--
-- Name: FK_ACQUISITIONQUALITYSETTINGS_ACQUISITIONSETTINGS; Type: FK CONSTRAINT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "ACQPRESET"
    ADD CONSTRAINT "FK_ACQUISITIONQUALITYSETTINGS_ACQUISITIONSETTINGS" FOREIGN KEY ("IdAcqData") REFERENCES "ACQDATA"("ID");


--
-- Name: FK_DOSE_ACQPRESET; Type: FK CONSTRAINT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "DOSE"
    ADD CONSTRAINT "FK_DOSE_ACQPRESET" FOREIGN KEY ("IdAcqPreset") REFERENCES "ACQPRESET"("ID");


--
-- Name: FK_DOSE_RECONPRESET; Type: FK CONSTRAINT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "DOSE"
    ADD CONSTRAINT "FK_DOSE_RECONPRESET" FOREIGN KEY ("IdReconPreset") REFERENCES "RECONPRESET"("IDReconType");


--
-- Name: FK_HISTORICACQUISITIONS_NOTES; Type: FK CONSTRAINT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "HISTORICACQS"
    ADD CONSTRAINT "FK_HISTORICACQUISITIONS_NOTES" FOREIGN KEY ("IdNote") REFERENCES "NOTES"("ID");


--
-- Name: FK_HISTORICACQUISITIONS_PATIENTS; Type: FK CONSTRAINT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "HISTORICACQS"
    ADD CONSTRAINT "FK_HISTORICACQUISITIONS_PATIENTS" FOREIGN KEY ("IdPatient") REFERENCES patients(id);


--
-- Name: FK_HISTORICACQUISITIONS_USERS; Type: FK CONSTRAINT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "HISTORICACQS"
    ADD CONSTRAINT "FK_HISTORICACQUISITIONS_USERS" FOREIGN KEY ("IdUser") REFERENCES "USERS"("ID");


--
-- Name: FK_HISTORICBDE_HISTORICACQS; Type: FK CONSTRAINT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "HISTORICBDE"
    ADD CONSTRAINT "FK_HISTORICBDE_HISTORICACQS" FOREIGN KEY ("IDACQ") REFERENCES "HISTORICACQS"("ID");


--
-- Name: FK_PROFILESCOMMANDS_COMMANDS; Type: FK CONSTRAINT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "PROFILESCOMMANDS"
    ADD CONSTRAINT "FK_PROFILESCOMMANDS_COMMANDS" FOREIGN KEY ("IdCommand") REFERENCES "COMMANDS"("ID");


--
-- Name: FK_PROFILESCOMMANDS_PROFILES; Type: FK CONSTRAINT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "PROFILESCOMMANDS"
    ADD CONSTRAINT "FK_PROFILESCOMMANDS_PROFILES" FOREIGN KEY ("IdProfile") REFERENCES "PROFILES"("ID");


--
-- Name: FK_RECONPRESET_RECONDATANEW; Type: FK CONSTRAINT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "RECONPRESET"
    ADD CONSTRAINT "FK_RECONPRESET_RECONDATANEW" FOREIGN KEY ("IDReconData") REFERENCES "RECONDATANEW"("ID");


--
-- Name: FK_STRINGEVENT_STRINGTYPE; Type: FK CONSTRAINT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "STRINGEVENT"
    ADD CONSTRAINT "FK_STRINGEVENT_STRINGTYPE" FOREIGN KEY ("IdType") REFERENCES "STRINGTYPE"("Id");


--
-- Name: FK_USERS_PERSONALDATA; Type: FK CONSTRAINT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "USERS"
    ADD CONSTRAINT "FK_USERS_PERSONALDATA" FOREIGN KEY ("IdPersonalData") REFERENCES "PERSONALDATA"("ID");


--
-- Name: FK_USERS_PROFILES; Type: FK CONSTRAINT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY "USERS"
    ADD CONSTRAINT "FK_USERS_PROFILES" FOREIGN KEY ("IdProfile") REFERENCES "PROFILES"("ID");


--
-- Name: PATIENTS_id_personal_data_fkey; Type: FK CONSTRAINT; Schema: public; Owner: marlek
--

ALTER TABLE ONLY patients
    ADD CONSTRAINT "PATIENTS_id_personal_data_fkey" FOREIGN KEY (id_personal_data) REFERENCES "PERSONALDATA"("ID");


--
-- Name: public; Type: ACL; Schema: -; Owner: marlek
--

REVOKE ALL ON SCHEMA public FROM PUBLIC;
REVOKE ALL ON SCHEMA public FROM marlek;
GRANT ALL ON SCHEMA public TO marlek;


--
-- PostgreSQL database dump complete
--
