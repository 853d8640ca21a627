-- Function: "kivVersion"()

CREATE OR REPLACE FUNCTION "kivVersion"()
  RETURNS text AS
$BODY$
BEGIN
	RETURN '1.7.0';
END;
$BODY$
  LANGUAGE plpgsql VOLATILE
  COST 100;
ALTER FUNCTION "kivVersion"()
  OWNER TO marlek;
