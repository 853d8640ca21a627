#include "ExpectedScripts.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

// Loads the initial schema into scratch databases of the private test server,
// connected as the service role (the database owner, not a superuser), runs
// the upgrade scripts over it and looks at the result in the catalog.
namespace {
const char *const kMaintenanceConnection = "sqlscript-maintenance";

const QStringList kTables{"ACQDATA",
                          "ACQPRESET",
                          "CALGEOSETTINGS",
                          "CALGEOVALIDITYPARAMS",
                          "CALIBRATIONVALIDITY",
                          "CALRESULT",
                          "COMMANDS",
                          "DOSE",
                          "HISTORICACQS",
                          "HISTORICBDE",
                          "HISTORICRECONS",
                          "HISTORICTESTS",
                          "IMAGES",
                          "LOGDEVICE",
                          "LOGEVENTS",
                          "LOGPARAM",
                          "NOTES",
                          "patients",
                          "PERSONALDATA",
                          "PROCESSINGPRESET",
                          "PROFILES",
                          "PROFILESCOMMANDS",
                          "RECONCALIBRATION",
                          "RECONCALIBRATIONHU",
                          "RECONCAMERA",
                          "RECONDATA",
                          "RECONDATANEW",
                          "RECONGENERAL",
                          "RECONGRID",
                          "RECONPRESET",
                          "RECONPROCESSING",
                          "RECONRADIOS",
                          "STRINGEVENT",
                          "STRINGTYPE",
                          "USERS",
                          "dcmImageSeries",
                          "dcmimage",
                          "dcmStudy"};

// sequence: table.column it is owned by and fills
const QStringList kSequences{"ACQDATA_ID_seq: ACQDATA.ID",
                             "ACQPRESET_ID_seq: ACQPRESET.ID",
                             "CALGEOSETTINGS_ID_seq: CALGEOSETTINGS.ID",
                             "CALGEOVALIDITYPARAMS_ID_seq: CALGEOVALIDITYPARAMS.ID",
                             "CALIBRATIONVALIDITY_ID_seq: CALIBRATIONVALIDITY.ID",
                             "CALRESULT_ID_seq: CALRESULT.ID",
                             "HISTORICACQS_ID_seq: HISTORICACQS.ID",
                             "HISTORICBDE_ID_seq: HISTORICBDE.ID",
                             "HISTORICRECONS_id_seq: HISTORICRECONS.id",
                             "HISTORICTESTS_ID_seq: HISTORICTESTS.ID",
                             "IMAGES_ID_seq: IMAGES.ID",
                             "LOGDEVICE_ID_seq: LOGDEVICE.ID",
                             "LOGEVENTS_ID_seq: LOGEVENTS.ID",
                             "LOGPARAM_ID_seq: LOGPARAM.ID",
                             "NOTES_ID_seq: NOTES.ID",
                             "PATIENTS_ID_seq: patients.id",
                             "PERSONALDATA_ID_seq: PERSONALDATA.ID",
                             "PROFILES_ID_seq: PROFILES.ID",
                             "RECONCALIBRATIONHU_ID_seq: RECONCALIBRATIONHU.ID",
                             "RECONCALIBRATION_ID_seq: RECONCALIBRATION.ID",
                             "RECONCAMERA_RECONCAMERA_ID_seq: RECONCAMERA.RECONCAMERA_ID",
                             "RECONDATANEW_ID_seq: RECONDATANEW.ID",
                             "RECONDATA_ID_seq: RECONDATA.ID",
                             "RECONGENERAL_ID_seq: RECONGENERAL.ID",
                             "RECONGRID_ID_seq: RECONGRID.ID",
                             "RECONPROCESSING_ID_seq: RECONPROCESSING.ID",
                             "RECONRADIOS_ID_seq: RECONRADIOS.ID",
                             "STRINGTYPE_Id_seq: STRINGTYPE.Id",
                             "USERS_ID_seq: USERS.ID",
                             "dcmImageSeries_ID_seq: dcmImageSeries.ID",
                             "dcmImage_ID_seq: dcmimage.ID",
                             "dcmStudy_ID_seq: dcmStudy.ID"};

const QStringList kPrimaryKeys{"ACQDATA_pkey: ACQDATA(ID)",
                               "ACQPRESET_pkey: ACQPRESET(ID)",
                               "CALIBRATIONVALIDITY_pkey: CALIBRATIONVALIDITY(ID)",
                               "COMMANDS_pkey: COMMANDS(ID)",
                               "HISTORICACQS_pkey: HISTORICACQS(ID)",
                               "HISTORICBDE_pkey: HISTORICBDE(ID)",
                               "HISTORICRECONS_pkey: HISTORICRECONS(id)",
                               "HISTORICTESTS_pkey: HISTORICTESTS(ID)",
                               "IMAGES_pkey: IMAGES(ID)",
                               "LOGDEVICE_pkey: LOGDEVICE(ID)",
                               "LOGEVENTS_pkey: LOGEVENTS(ID)",
                               "LOGPARAM_pkey: LOGPARAM(ID)",
                               "NOTES_pkey: NOTES(ID)",
                               "PATIENTS_pkey: patients(id)",
                               "PERSONALDATA_pkey: PERSONALDATA(ID)",
                               "PROFILESCOMMANDS_pkey: PROFILESCOMMANDS(IdProfile,IdCommand)",
                               "PROFILES_pkey: PROFILES(ID)",
                               "RECONCALIBRATIONHU_pkey: RECONCALIBRATIONHU(ID)",
                               "RECONCAMERA_pkey: RECONCAMERA(RECONCAMERA_ID)",
                               "RECONDATANEW_pkey: RECONDATANEW(ID)",
                               "RECONDATA_pkey: RECONDATA(ID)",
                               "RECONGENERAL_pkey: RECONGENERAL(ID)",
                               "RECONGRID_pkey: RECONGRID(ID)",
                               "RECONPRESET_pkey: RECONPRESET(IDReconType)",
                               "RECONPROCESSING_pkey: RECONPROCESSING(ID)",
                               "RECONRADIOS_pkey: RECONRADIOS(ID)",
                               "STRINGTYPE_pkey: STRINGTYPE(Id)",
                               "USERS_pkey: USERS(ID)",
                               "dcmImageSeries_pkey: dcmImageSeries(ID)",
                               "dcmImage_pkey: dcmimage(ID)",
                               "dcmStudy_pkey: dcmStudy(ID)"};

const QStringList kIndexes{"CALGEOSETTINGS_Auto_Increment_Key: CALGEOSETTINGS(ID) btree",
                           "CALGEOVALIDITYPARAMS_Auto_Increment_Key: CALGEOVALIDITYPARAMS(ID) btree",
                           "CALRESULT_Auto_Increment_Key: CALRESULT(ID) btree",
                           "RECONCALIBRATION_Auto_Increment_Key: RECONCALIBRATION(ID) btree",
                           "RECONPRESET_IX_RECONPRESET: RECONPRESET(IDReconType) btree"};

const QStringList kForeignKeys{"FK_ACQUISITIONQUALITYSETTINGS_ACQUISITIONSETTINGS: ACQPRESET(IdAcqData) -> ACQDATA(ID)",
                               "FK_DOSE_ACQPRESET: DOSE(IdAcqPreset) -> ACQPRESET(ID)",
                               "FK_DOSE_RECONPRESET: DOSE(IdReconPreset) -> RECONPRESET(IDReconType)",
                               "FK_HISTORICACQUISITIONS_NOTES: HISTORICACQS(IdNote) -> NOTES(ID)",
                               "FK_HISTORICACQUISITIONS_PATIENTS: HISTORICACQS(IdPatient) -> patients(id)",
                               "FK_HISTORICACQUISITIONS_USERS: HISTORICACQS(IdUser) -> USERS(ID)",
                               "FK_HISTORICBDE_HISTORICACQS: HISTORICBDE(IDACQ) -> HISTORICACQS(ID)",
                               "FK_PROFILESCOMMANDS_COMMANDS: PROFILESCOMMANDS(IdCommand) -> COMMANDS(ID)",
                               "FK_PROFILESCOMMANDS_PROFILES: PROFILESCOMMANDS(IdProfile) -> PROFILES(ID)",
                               "FK_RECONPRESET_RECONDATANEW: RECONPRESET(IDReconData) -> RECONDATANEW(ID)",
                               "FK_STRINGEVENT_STRINGTYPE: STRINGEVENT(IdType) -> STRINGTYPE(Id)",
                               "FK_USERS_PERSONALDATA: USERS(IdPersonalData) -> PERSONALDATA(ID)",
                               "FK_USERS_PROFILES: USERS(IdProfile) -> PROFILES(ID)",
                               "PATIENTS_id_personal_data_fkey: patients(id_personal_data) -> PERSONALDATA(ID)"};

QString sorted(QStringList list)
{
    list.sort();
    return list.join(QLatin1Char('\n'));
}

// Every row of the query's first column; a failing query gives one line with
// its error, so that comparisons show it.
QStringList firstColumn(const QSqlDatabase &db, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery query(db);
    bool ok = true;
    if (values.isEmpty()) {
        ok = query.exec(sql);
    } else {
        ok = query.prepare(sql);
        for (const QVariant &value : values)
            query.addBindValue(value);
        ok = ok && query.exec();
    }
    if (!ok)
        return {QStringLiteral("query failed: ") + query.lastError().text()};
    QStringList rows;
    while (query.next())
        rows << query.value(0).toString();
    return rows;
}

QString singleValue(const QSqlDatabase &db, const QString &sql)
{
    return firstColumn(db, sql).join(QLatin1Char('\n'));
}

// One execution of one text, as the updater sends a script. QPSQL reports
// only the first statement's result from exec(); the results of the later
// statements are walked with nextResult(), which stops at a failed one and
// leaves its error behind.
bool executeText(const QSqlDatabase &db, const QString &text, QString *error)
{
    QSqlQuery query(db);
    bool ok = query.exec(text);
    while (ok && query.nextResult()) {
    }
    if (!ok || query.lastError().isValid()) {
        *error = query.lastError().text();
        return false;
    }
    return true;
}

QStringList columnsOf(const QSqlDatabase &db, const QString &table)
{
    return firstColumn(db,
                       QStringLiteral("SELECT a.attname || ' ' || format_type(a.atttypid, a.atttypmod)"
                                      " || coalesce(' default ' || pg_get_expr(d.adbin, d.adrelid), '')"
                                      " || CASE WHEN a.attnotnull THEN ' not null' ELSE '' END"
                                      " FROM pg_attribute a"
                                      " LEFT JOIN pg_attrdef d ON d.adrelid = a.attrelid AND d.adnum = a.attnum"
                                      " WHERE a.attrelid = ('public.' || quote_ident(?))::regclass"
                                      " AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum"),
                       {table});
}

QString keyColumns(const QString &relation, const QString &keys)
{
    return QStringLiteral("(SELECT string_agg(a.attname, ',' ORDER BY k.n) FROM unnest(%2) WITH ORDINALITY k(num, n)"
                          " JOIN pg_attribute a ON a.attrelid = %1 AND a.attnum = k.num)")
        .arg(relation, keys);
}

QStringList primaryKeys(const QSqlDatabase &db)
{
    return firstColumn(db,
                       QStringLiteral("SELECT c.conname || ': ' || t.relname || '(' || %1 || ')'"
                                      " FROM pg_constraint c JOIN pg_class t ON t.oid = c.conrelid"
                                      " WHERE t.relnamespace = 'public'::regnamespace AND c.contype = 'p'")
                           .arg(keyColumns(QStringLiteral("c.conrelid"), QStringLiteral("c.conkey"))));
}

QStringList foreignKeys(const QSqlDatabase &db)
{
    return firstColumn(db,
                       QStringLiteral("SELECT c.conname || ': ' || t.relname || '(' || %1 || ') -> '"
                                      " || r.relname || '(' || %2 || ')'"
                                      " FROM pg_constraint c JOIN pg_class t ON t.oid = c.conrelid"
                                      " JOIN pg_class r ON r.oid = c.confrelid"
                                      " WHERE t.relnamespace = 'public'::regnamespace AND c.contype = 'f'")
                           .arg(keyColumns(QStringLiteral("c.conrelid"), QStringLiteral("c.conkey")),
                                keyColumns(QStringLiteral("c.confrelid"), QStringLiteral("c.confkey"))));
}

// Indexes that no constraint brings along.
QStringList plainIndexes(const QSqlDatabase &db)
{
    return firstColumn(db,
                       QStringLiteral("SELECT i.relname || ': ' || t.relname || '(' || %1 || ') ' || am.amname"
                                      " FROM pg_index x JOIN pg_class i ON i.oid = x.indexrelid"
                                      " JOIN pg_class t ON t.oid = x.indrelid JOIN pg_am am ON am.oid = i.relam"
                                      " WHERE t.relnamespace = 'public'::regnamespace"
                                      " AND NOT EXISTS (SELECT 1 FROM pg_constraint c"
                                      "                 WHERE c.conindid = x.indexrelid)")
                           .arg(keyColumns(QStringLiteral("x.indrelid"), QStringLiteral("x.indkey::int2[]"))));
}

QStringList tablesOf(const QSqlDatabase &db)
{
    return firstColumn(db,
                       QStringLiteral("SELECT relname FROM pg_class"
                                      " WHERE relnamespace = 'public'::regnamespace AND relkind = 'r'"));
}
} // namespace

class TestSqlScriptDatabase : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void laterFailingStatementIsDetected();
    void initialSchemaReportsFirstVersion();
    void initialSchemaHasItsTables();
    void initialSchemaSequencesFillTheirKeys();
    void initialSchemaKeysAndIndexes();
    void initialSchemaColumns_data();
    void initialSchemaColumns();
    void initialSchemaIsEmptyAndOwnedByServiceRole();
    void schemaPublicIsReservedToServiceRole();
    void upgradeChainReachesLatestVersion_data();
    void upgradeChainReachesLatestVersion();
    void upgradedSchemaColumns_data();
    void upgradedSchemaColumns();
    void upgradedSchemaKeysAndIndexes();
    void upgradedSchemaIsOwnedByServiceRole();

private:
    QString createDatabase(const QString &suffix, QString *error);
    bool loadInitialSchema(const QSqlDatabase &db, QString *error);
    bool runUpgradeChain(const QSqlDatabase &db, QString *error);
    QSqlDatabase database(const QString &name) const;
    QSqlDatabase upgradedDatabase();

    QStringList m_created;
    QString m_initial;
    QString m_upgraded;
    QString m_upgradeError;
};

QSqlDatabase TestSqlScriptDatabase::database(const QString &name) const
{
    return QSqlDatabase::database(name);
}

// Creates a fresh database owned by the service role and opens a connection
// named after it; returns the name, or an empty text with the error.
QString TestSqlScriptDatabase::createDatabase(const QString &suffix, QString *error)
{
    const QString name = QStringLiteral("kivsql_%1_%2").arg(QCoreApplication::applicationPid()).arg(suffix);
    QSqlDatabase maintenance = QSqlDatabase::database(QLatin1String(kMaintenanceConnection));
    if (!executeText(maintenance, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name), error) ||
        !executeText(maintenance, QStringLiteral("CREATE DATABASE %1").arg(name), error))
        return QString();
    m_created << name;

    QSqlDatabase db = QSqlDatabase::cloneDatabase(maintenance, name);
    db.setDatabaseName(name);
    if (!db.open()) {
        *error = db.lastError().text();
        return QString();
    }
    return name;
}

bool TestSqlScriptDatabase::loadInitialSchema(const QSqlDatabase &db, QString *error)
{
    const QString text = readScriptText(initialSchemaPath());
    if (text.isEmpty()) {
        *error = QStringLiteral("cannot read ") + initialSchemaPath();
        return false;
    }
    return executeText(db, text, error);
}

// Runs every upgrade script in the updater's order, leaving out the default
// profile's script when "PROFILES" already has ID 1, and checks after each
// step that the database reports that step's version.
bool TestSqlScriptDatabase::runUpgradeChain(const QSqlDatabase &db, QString *error)
{
    for (const ExpectedStep &step : expectedSteps()) {
        const bool profileExists =
            !firstColumn(db, QStringLiteral("SELECT \"ID\" FROM \"PROFILES\" WHERE (\"ID\" = 1)")).isEmpty();
        for (const QString &script : step.scripts) {
            if (script == defaultProfileScript() && profileExists)
                continue;
            const QString path = scriptPath(step, script);
            const QString text = readScriptText(path);
            if (text.isEmpty()) {
                *error = QStringLiteral("cannot read ") + path;
                return false;
            }
            if (!executeText(db, text, error)) {
                *error = path + QStringLiteral(": ") + *error;
                return false;
            }
        }
        const QString version = singleValue(db, QStringLiteral("SELECT \"kivVersion\"()"));
        if (version != step.version) {
            *error = QStringLiteral("after %1 the database reports %2").arg(step.directory, version);
            return false;
        }
    }
    return true;
}

// The database after the whole chain, built on first use.
QSqlDatabase TestSqlScriptDatabase::upgradedDatabase()
{
    if (m_upgraded.isEmpty() && m_upgradeError.isEmpty()) {
        QString error;
        const QString name = createDatabase(QStringLiteral("upgraded"), &error);
        if (name.isEmpty() || !loadInitialSchema(database(name), &error) || !runUpgradeChain(database(name), &error))
            m_upgradeError = error.isEmpty() ? QStringLiteral("unknown failure") : error;
        else
            m_upgraded = name;
    }
    return m_upgraded.isEmpty() ? QSqlDatabase() : database(m_upgraded);
}

void TestSqlScriptDatabase::initTestCase()
{
    Q_INIT_RESOURCE(SqlScript);

    const QByteArray host = qgetenv("KIV_TEST_PGHOST");
    if (host.isEmpty())
        QSKIP("KIV_TEST_PG* not set: start scripts/pgserver.sh and source its env.sh");
    QVERIFY(QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")));

    QSqlDatabase maintenance =
        QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QLatin1String(kMaintenanceConnection));
    maintenance.setHostName(QString::fromLocal8Bit(host));
    maintenance.setPort(qEnvironmentVariableIntValue("KIV_TEST_PGPORT"));
    maintenance.setUserName(qEnvironmentVariable("KIV_TEST_PGUSER"));
    maintenance.setPassword(qEnvironmentVariable("KIV_TEST_PGPASSWORD"));
    maintenance.setDatabaseName(QStringLiteral("postgres"));
    QVERIFY2(maintenance.open(), qPrintable(maintenance.lastError().text()));
    // The schema must load with the rights of a database owner alone.
    QCOMPARE(singleValue(maintenance, QStringLiteral("SELECT rolsuper FROM pg_roles WHERE rolname = current_user")),
             QStringLiteral("false"));

    QString error;
    m_initial = createDatabase(QStringLiteral("initial"), &error);
    QVERIFY2(!m_initial.isEmpty(), qPrintable(error));
    QVERIFY2(loadInitialSchema(database(m_initial), &error), qPrintable(error));
}

void TestSqlScriptDatabase::cleanupTestCase()
{
    const QStringList names = m_created;
    for (const QString &name : names) {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
    if (!QSqlDatabase::contains(QLatin1String(kMaintenanceConnection)))
        return;
    {
        QSqlDatabase maintenance = QSqlDatabase::database(QLatin1String(kMaintenanceConnection));
        for (const QString &name : names) {
            QString error;
            if (!executeText(maintenance, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name), &error))
                qWarning("cannot drop %s: %s", qPrintable(name), qPrintable(error));
        }
        maintenance.close();
    }
    QSqlDatabase::removeDatabase(QLatin1String(kMaintenanceConnection));
}

// The checks of this test rely on a failing statement being reported even when
// it is not the first statement of the text.
void TestSqlScriptDatabase::laterFailingStatementIsDetected()
{
    QString error;
    QVERIFY(executeText(database(m_initial), QStringLiteral("SELECT 1; SELECT 2;"), &error));
    QVERIFY(!executeText(
        database(m_initial), QStringLiteral("SELECT 1; SELECT * FROM \"NOSUCHTABLE\"; SELECT 3;"), &error));
    QVERIFY2(error.contains(QLatin1String("NOSUCHTABLE")), qPrintable(error));
    QVERIFY(
        !executeText(database(m_initial),
                     QStringLiteral("CREATE TABLE kiv_probe (x integer);\nALTER TABLE kiv_probe ADD COLUMN x integer;"),
                     &error));
    // The text ran as one implicit transaction: the first statement is undone.
    QCOMPARE(singleValue(database(m_initial), QStringLiteral("SELECT to_regclass('kiv_probe') IS NULL")),
             QStringLiteral("true"));
}

void TestSqlScriptDatabase::initialSchemaReportsFirstVersion()
{
    const QSqlDatabase db = database(m_initial);
    QCOMPARE(singleValue(db, QStringLiteral("SELECT \"kivVersion\"()")), QStringLiteral("1.0.0"));
    QCOMPARE(singleValue(db,
                         QStringLiteral("SELECT l.lanname || ' ' || p.provolatile::text || ' ' || p.procost"
                                        " FROM pg_proc p JOIN pg_language l ON l.oid = p.prolang"
                                        " WHERE p.proname = 'kivVersion'")),
             QStringLiteral("plpgsql v 100"));
}

void TestSqlScriptDatabase::initialSchemaHasItsTables()
{
    QCOMPARE(kTables.size(), 38);
    QCOMPARE(sorted(tablesOf(database(m_initial))), sorted(kTables));
}

void TestSqlScriptDatabase::initialSchemaSequencesFillTheirKeys()
{
    const QSqlDatabase db = database(m_initial);
    QCOMPARE(kSequences.size(), 32);
    QCOMPARE(
        sorted(firstColumn(db,
                           QStringLiteral("SELECT s.relname || ': ' || coalesce(t.relname || '.' || a.attname, '-')"
                                          " FROM pg_class s"
                                          " LEFT JOIN pg_depend d ON d.objid = s.oid"
                                          "  AND d.classid = 'pg_class'::regclass"
                                          "  AND d.refclassid = 'pg_class'::regclass AND d.deptype = 'a'"
                                          " LEFT JOIN pg_class t ON t.oid = d.refobjid"
                                          " LEFT JOIN pg_attribute a"
                                          "  ON a.attrelid = t.oid AND a.attnum = d.refobjsubid"
                                          " WHERE s.relnamespace = 'public'::regnamespace"
                                          " AND s.relkind = 'S'"))),
        sorted(kSequences));
    // START WITH 1, INCREMENT BY 1, NO MINVALUE, NO MAXVALUE, CACHE 1.
    QCOMPARE(firstColumn(db,
                         QStringLiteral("SELECT sequencename FROM pg_sequences WHERE schemaname = 'public'"
                                        " AND NOT (start_value = 1 AND increment_by = 1 AND min_value = 1"
                                        " AND max_value = 9223372036854775807 AND cache_size = 1 AND NOT cycle)")),
             QStringList());
    // Each key column takes its default from its own sequence.
    QCOMPARE(firstColumn(db,
                         QStringLiteral("SELECT s.relname FROM pg_class s"
                                        " JOIN pg_depend d ON d.objid = s.oid AND d.deptype = 'a'"
                                        "  AND d.classid = 'pg_class'::regclass"
                                        " LEFT JOIN pg_attrdef ad"
                                        "  ON ad.adrelid = d.refobjid AND ad.adnum = d.refobjsubid"
                                        " WHERE s.relnamespace = 'public'::regnamespace AND s.relkind = 'S'"
                                        " AND pg_get_expr(ad.adbin, ad.adrelid) IS DISTINCT FROM"
                                        "  'nextval(' || quote_literal(quote_ident(s.relname)) || '::regclass)'")),
             QStringList());
}

void TestSqlScriptDatabase::initialSchemaKeysAndIndexes()
{
    const QSqlDatabase db = database(m_initial);
    QCOMPARE(kPrimaryKeys.size(), 31);
    QCOMPARE(sorted(primaryKeys(db)), sorted(kPrimaryKeys));
    QCOMPARE(sorted(plainIndexes(db)), sorted(kIndexes));
    QCOMPARE(kForeignKeys.size(), 14);
    QCOMPARE(sorted(foreignKeys(db)), sorted(kForeignKeys));
}

void TestSqlScriptDatabase::initialSchemaColumns_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("columns");

    QTest::newRow("USERS") << "USERS"
                           << QStringList{"ID integer default nextval('\"USERS_ID_seq\"'::regclass) not null",
                                          "IdProfile integer default 0 not null",
                                          "IdPersonalData integer default 0 not null",
                                          "UserName character varying(50) not null",
                                          "Password character varying(50) not null",
                                          "deleted boolean default false not null",
                                          "PasswordTermTime integer default 90 not null",
                                          "PasswordChangeRemindMe boolean default true not null"};
    QTest::newRow("PERSONALDATA") << "PERSONALDATA"
                                  << QStringList{
                                         "ID integer default nextval('\"PERSONALDATA_ID_seq\"'::regclass) not null",
                                         "FirstName text not null",
                                         "LastName text not null",
                                         "Title text",
                                         "IdGender integer default 0 not null",
                                         "DateOfBirth timestamp without time zone not null",
                                         "Address text not null",
                                         "PostalCode text not null",
                                         "City text not null",
                                         "StateRegion text not null",
                                         "Country text not null",
                                         "Telephone text",
                                         "Mobile text",
                                         "eMail text",
                                         "IdNote integer default 0",
                                         "IdImage integer default 0",
                                         "guid text"};
    QTest::newRow("PROFILES") << "PROFILES"
                              << QStringList{"ID integer default nextval('\"PROFILES_ID_seq\"'::regclass) not null",
                                             "IdDescription integer default 0 not null"};
    QTest::newRow("patients") << "patients"
                              << QStringList{"id integer default nextval('\"PATIENTS_ID_seq\"'::regclass) not null",
                                             "id_personal_data integer default 0 not null",
                                             "deleted boolean default false not null",
                                             "patient_code text",
                                             "dcm_id text"};
    QTest::newRow("dcmimage") << "dcmimage"
                              << QStringList{"ID integer default nextval('\"dcmImage_ID_seq\"'::regclass) not null",
                                             "ImageIndex integer not null",
                                             "AnodicCurrent integer",
                                             "AnodicVoltage integer default 0 not null",
                                             "SeriesId integer",
                                             "DcmImageUid text",
                                             "Type text",
                                             "ExposureTime double precision default 0",
                                             "CommitmentStatus text",
                                             "Deleted boolean default false",
                                             "Description text",
                                             "ImageTime time with time zone default now() not null",
                                             "CommitmentStatusTime time with time zone default now() not null"};
    QTest::newRow("dcmImageSeries") << "dcmImageSeries"
                                    << QStringList{
                                           "ID integer default nextval('\"dcmImageSeries_ID_seq\"'::regclass) not null",
                                           "StudyId integer not null",
                                           "Modality integer default 0 not null",
                                           "OperatorId integer default 0 not null",
                                           "DcmSeriesUid text",
                                           "SeriesTime timestamp with time zone default now()",
                                           "SeriesProperties text",
                                           "Archived integer default 0 not null",
                                           "Deleted boolean default false"};
    QTest::newRow("dcmStudy") << "dcmStudy"
                              << QStringList{"ID integer default nextval('\"dcmStudy_ID_seq\"'::regclass) not null",
                                             "PatientId integer not null",
                                             "PhysicianId integer default 0 not null",
                                             "DcmStudyUid text",
                                             "Description text",
                                             "StudyTime timestamp with time zone default now() not null",
                                             "AccessionNumber text not null",
                                             "Deleted boolean default false not null"};
    QStringList geo{"ID integer default nextval('\"CALGEOVALIDITYPARAMS_ID_seq\"'::regclass) not null"};
    for (const char *name : {"rotationAxisAMean",
                             "rotationAxisAStdDev",
                             "rotationAxisBMean",
                             "rotationAxisBStdDev",
                             "xraySourceCMean",
                             "xraySourceCStdDev",
                             "cameraReferenceAMean",
                             "cameraReferenceAStdDev",
                             "cameraReferenceBMean",
                             "cameraReferenceBStdDev",
                             "cameraReferenceCMean",
                             "cameraReferenceCStdDev"}) {
        const char *type = qstrcmp(name, "rotationAxisBStdDev") == 0 ? "numeric(18,9)" : "numeric(18,6)";
        geo << QStringLiteral("%1 %2 default 0 not null").arg(QLatin1String(name), QLatin1String(type));
    }
    QTest::newRow("CALGEOVALIDITYPARAMS") << "CALGEOVALIDITYPARAMS" << geo;
}

// The columns the upgrade scripts build on, exactly as the suite had them.
void TestSqlScriptDatabase::initialSchemaColumns()
{
    QFETCH(QString, table);
    QFETCH(QStringList, columns);
    QCOMPARE(columnsOf(database(m_initial), table), columns);
}

void TestSqlScriptDatabase::initialSchemaIsEmptyAndOwnedByServiceRole()
{
    const QSqlDatabase db = database(m_initial);
    for (const QString &table : kTables) {
        QCOMPARE(singleValue(db, QStringLiteral("SELECT count(*) FROM public.\"%1\"").arg(table)), QStringLiteral("0"));
    }
    QCOMPARE(firstColumn(db,
                         QStringLiteral("SELECT relname || ' ' || relowner::regrole FROM pg_class"
                                        " WHERE relnamespace = 'public'::regnamespace"
                                        " AND relowner <> 'marlek'::regrole")),
             QStringList());
    QCOMPARE(singleValue(db,
                         QStringLiteral("SELECT count(*) FROM pg_class WHERE relnamespace = 'public'::regnamespace"
                                        " AND relowner = 'marlek'::regrole")),
             QString::number(38 + 32 + 31 + 5));
    QCOMPARE(firstColumn(db,
                         QStringLiteral("SELECT proname || ' ' || proowner::regrole FROM pg_proc"
                                        " WHERE pronamespace = 'public'::regnamespace")),
             QStringList{"kivVersion marlek"});
}

// Nobody but the service role may use or create objects in schema public.
void TestSqlScriptDatabase::schemaPublicIsReservedToServiceRole()
{
    const QSqlDatabase db = database(m_initial);
    QCOMPARE(sorted(firstColumn(db,
                                QStringLiteral("SELECT CASE WHEN a.grantee = 0 THEN 'PUBLIC'"
                                               " ELSE a.grantee::regrole::text END || ' ' || a.privilege_type"
                                               " FROM pg_namespace n, aclexplode(n.nspacl) a"
                                               " WHERE n.nspname = 'public'"
                                               " AND a.grantee <> 'pg_database_owner'::regrole"))),
             sorted({"marlek CREATE", "marlek USAGE"}));
}

void TestSqlScriptDatabase::upgradeChainReachesLatestVersion_data()
{
    QTest::addColumn<bool>("profileExists");
    QTest::newRow("new database") << false;
    QTest::newRow("default profile already there") << true;
}

void TestSqlScriptDatabase::upgradeChainReachesLatestVersion()
{
    QFETCH(bool, profileExists);

    QString error;
    QSqlDatabase db;
    if (profileExists) {
        const QString name = createDatabase(QStringLiteral("profile"), &error);
        QVERIFY2(!name.isEmpty(), qPrintable(error));
        db = database(name);
        QVERIFY2(loadInitialSchema(db, &error), qPrintable(error));
        QVERIFY2(executeText(
                     db, QStringLiteral("INSERT INTO \"PROFILES\" (\"ID\", \"IdDescription\") VALUES (1, 7)"), &error),
                 qPrintable(error));
        QVERIFY2(runUpgradeChain(db, &error), qPrintable(error));
    } else {
        db = upgradedDatabase();
        QVERIFY2(db.isValid(), qPrintable(m_upgradeError));
    }

    QCOMPARE(singleValue(db, QStringLiteral("SELECT \"kivVersion\"()")), QStringLiteral("1.9.0"));
    QCOMPARE(firstColumn(db, QStringLiteral("SELECT format('%s|%s', \"ID\", \"IdDescription\") FROM \"PROFILES\"")),
             QStringList{profileExists ? "1|7" : "1|1"});
    QCOMPARE(
        firstColumn(db,
                    QStringLiteral("SELECT concat_ws('|', \"FirstName\", \"LastName\", coalesce(\"Title\", 'NULL'),"
                                   " \"IdGender\", \"DateOfBirth\", quote_literal(\"Address\"),"
                                   " quote_literal(\"PostalCode\"), quote_literal(\"City\"),"
                                   " quote_literal(\"StateRegion\"), quote_literal(\"Country\"),"
                                   " quote_literal(\"Telephone\"), quote_literal(\"Mobile\"),"
                                   " quote_literal(\"eMail\"), \"IdNote\", \"IdImage\","
                                   " coalesce(guid, 'NULL'), coalesce(\"NationalNumber\", 'NULL'))"
                                   " FROM \"PERSONALDATA\"")),
        QStringList{"DefaultFirstName|DefaultLastName|NULL|1|2000-01-01 00:00:00|' '|' '|' '|' '|' '|' '|' '|' '"
                    "|0|0|NULL|NULL"});
    // user, level, profile, on the default personal data, deleted, term, remind, password length
    QCOMPARE(firstColumn(db,
                         QStringLiteral("SELECT format('%s|%s|%s|%s|%s|%s|%s|%s', \"UserName\", \"Level\","
                                        " \"IdProfile\", \"IdPersonalData\" = (SELECT \"ID\" FROM \"PERSONALDATA\"),"
                                        " deleted, \"PasswordTermTime\", \"PasswordChangeRemindMe\","
                                        " char_length(\"Password\"))"
                                        " FROM \"USERS\" ORDER BY \"ID\"")),
             (QStringList{"marlek|10|1|t|f|1|t|10", "administrator|9|1|t|f|1|t|13"}));
    QCOMPARE(firstColumn(db,
                         QStringLiteral("SELECT concat_ws('|', id, \"UID\", name, deleted)"
                                        " FROM \"dcmTransferSyntax\" ORDER BY id")),
             (QStringList{"1|1.2.840.10008.1.2.1|Explicit VR Little Endian|f",
                          "2|1.2.840.10008.1.2.2|Explicit VR Big Endian|f",
                          "3|1.2.840.10008.1.2|Implicit VR Little Endian|f",
                          "4|1.2.840.10008.1.2.4.57|JPEG Lossless|f",
                          "5|1.2.840.10008.1.2.4.70|JPEG Lossless SV1|f",
                          "6|1.2.840.10008.1.2.5|RLE Lossless|f"}));
    QCOMPARE(firstColumn(db,
                         QStringLiteral("SELECT concat_ws('|', \"UID\", \"IdTransferSyntax\")"
                                        " FROM \"dcmAbstractSyntax\" ORDER BY 1")),
             (QStringList{"default|1", "default|2", "default|3"}));

    // No other table received rows.
    const QStringList filled{"PERSONALDATA", "PROFILES", "USERS", "dcmTransferSyntax", "dcmAbstractSyntax"};
    for (const QString &table : tablesOf(db)) {
        if (filled.contains(table))
            continue;
        QCOMPARE(singleValue(db, QStringLiteral("SELECT count(*) FROM public.\"%1\"").arg(table)), QStringLiteral("0"));
    }

    // The cryptographic functions are there for the encrypted personal data.
    QCOMPARE(singleValue(db, QStringLiteral("SELECT extowner::regrole FROM pg_extension WHERE extname = 'pgcrypto'")),
             QStringLiteral("marlek"));
    QCOMPARE(singleValue(db, QStringLiteral("SELECT encode(digest('abc', 'sha1'), 'hex')")),
             QStringLiteral("a9993e364706816aba3e25717850c26c9cd0d89d"));
}

void TestSqlScriptDatabase::upgradedSchemaColumns_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("columns");

    QTest::newRow("USERS") << "USERS"
                           << QStringList{"ID integer default nextval('\"USERS_ID_seq\"'::regclass) not null",
                                          "IdProfile integer default 0 not null",
                                          "IdPersonalData integer default 0 not null",
                                          "UserName character varying(50) not null",
                                          "Password character varying(50) not null",
                                          "deleted boolean default false not null",
                                          "PasswordTermTime integer default 1 not null",
                                          "PasswordChangeRemindMe boolean default true not null",
                                          "Level integer not null",
                                          "import_id text",
                                          "TextHeader text"};
    QTest::newRow("PERSONALDATA") << "PERSONALDATA"
                                  << QStringList{
                                         "ID integer default nextval('\"PERSONALDATA_ID_seq\"'::regclass) not null",
                                         "FirstName text not null",
                                         "LastName text not null",
                                         "Title text",
                                         "IdGender integer default 0 not null",
                                         "DateOfBirth timestamp without time zone not null",
                                         "Address text",
                                         "PostalCode text",
                                         "City text",
                                         "StateRegion text",
                                         "Country text",
                                         "Telephone text",
                                         "Mobile text",
                                         "eMail text",
                                         "IdNote integer default 0",
                                         "IdImage integer default 0",
                                         "guid text",
                                         "NationalNumber text"};
    QTest::newRow("patients") << "patients"
                              << QStringList{"id integer default nextval('\"PATIENTS_ID_seq\"'::regclass) not null",
                                             "id_personal_data integer default 0 not null",
                                             "deleted boolean default false not null",
                                             "patient_code text",
                                             "dcm_id text",
                                             "id_user integer default 0",
                                             "external_id text",
                                             "scheduled boolean default false not null",
                                             "import_id text",
                                             "in_use_counter integer default 0 not null",
                                             "last_time_in_use timestamp without time zone"};
    QTest::newRow("dcmimage") << "dcmimage"
                              << QStringList{"ID integer default nextval('\"dcmImage_ID_seq\"'::regclass) not null",
                                             "ImageIndex integer not null",
                                             "AnodicCurrent integer",
                                             "AnodicVoltage integer default 0",
                                             "SeriesId integer",
                                             "DcmImageUid text",
                                             "ImageFileName text",
                                             "ExposureTime double precision default 0",
                                             "CommitmentStatus text",
                                             "deleted boolean default false",
                                             "Description text",
                                             "ImageTime time with time zone default now() not null",
                                             "CommitmentStatusTime time with time zone default now()",
                                             "Type integer not null"};
    QTest::newRow("dcmImageSeries") << "dcmImageSeries"
                                    << QStringList{
                                           "ID integer default nextval('\"dcmImageSeries_ID_seq\"'::regclass) not null",
                                           "StudyId integer not null",
                                           "Modality integer default 0 not null",
                                           "OperatorId integer default 0 not null",
                                           "DcmSeriesUid text",
                                           "SeriesTime timestamp with time zone default now()",
                                           "SeriesProperties text",
                                           "Archived integer default 0 not null",
                                           "deleted boolean default false",
                                           "ExamFileName text"};
    QTest::newRow("dcmStudy") << "dcmStudy"
                              << QStringList{"ID integer default nextval('\"dcmStudy_ID_seq\"'::regclass) not null",
                                             "PatientId integer not null",
                                             "PhysicianId integer default 0 not null",
                                             "DcmStudyUid text",
                                             "Description text",
                                             "StudyTime timestamp with time zone default now() not null",
                                             "AccessionNumber text not null",
                                             "deleted boolean default false not null"};
    QTest::newRow("CALHUVALIDITYPARAMS")
        << "CALHUVALIDITYPARAMS"
        << QStringList{"ID integer default nextval('\"CALHUVALIDITYPARAMS_ID_seq\"'::regclass) not null",
                       "HUtype integer not null",
                       "colorScalingAmean numeric(18,6) default 0 not null",
                       "colorScalingAstddev numeric(18,6) default 0 not null",
                       "colorScalingBmean numeric(18,6) default 0 not null",
                       "colorScalingBstddev numeric(18,6) default 0 not null"};
    QTest::newRow("dcmAE") << "dcmAE"
                           << QStringList{"id integer default nextval('\"dcmAE_id_seq\"'::regclass) not null",
                                          "title text not null",
                                          "hostname text not null",
                                          "port integer not null",
                                          "deleted boolean not null"};
    QTest::newRow("dcmTransferSyntax")
        << "dcmTransferSyntax"
        << QStringList{"id integer default nextval('\"dcmTransferSyntax_id_seq\"'::regclass) not null",
                       "UID text not null",
                       "name text not null",
                       "deleted boolean not null"};
    QTest::newRow("dcmAbstractSyntax") << "dcmAbstractSyntax"
                                       << QStringList{"UID text not null", "IdTransferSyntax integer not null"};
    QTest::newRow("acqLog") << "acqLog"
                            << QStringList{"id integer default nextval('\"acqLog_id_seq\"'::regclass) not null",
                                           "acqDate timestamp without time zone not null",
                                           "acqType smallint not null",
                                           "idPatient integer default 0",
                                           "dap double precision default 0",
                                           "deleted boolean not null"};
}

void TestSqlScriptDatabase::upgradedSchemaColumns()
{
    QFETCH(QString, table);
    QFETCH(QStringList, columns);

    const QSqlDatabase db = upgradedDatabase();
    QVERIFY2(db.isValid(), qPrintable(m_upgradeError));
    QCOMPARE(columnsOf(db, table), columns);
}

void TestSqlScriptDatabase::upgradedSchemaKeysAndIndexes()
{
    const QSqlDatabase db = upgradedDatabase();
    QVERIFY2(db.isValid(), qPrintable(m_upgradeError));

    QCOMPARE(sorted(tablesOf(db)),
             sorted(kTables +
                    QStringList{"CALHUVALIDITYPARAMS", "dcmAE", "dcmTransferSyntax", "dcmAbstractSyntax", "acqLog"}));
    QCOMPARE(sorted(primaryKeys(db)),
             sorted(kPrimaryKeys + QStringList{"CALGEOVALIDITYPARAMS_pkey: CALGEOVALIDITYPARAMS(ID)",
                                               "CALHUVALIDITYPARAMS_pkey: CALHUVALIDITYPARAMS(ID)",
                                               "dcmAE_pkey: dcmAE(id)",
                                               "dcmTransferSyntax_pkey: dcmTransferSyntax(id)",
                                               "dcmAbstractSyntax_pkey: dcmAbstractSyntax(UID,IdTransferSyntax)",
                                               "acqLog_pkey: acqLog(id)"}));
    QCOMPARE(sorted(plainIndexes(db)),
             sorted(kIndexes + QStringList{"CALHUVALIDITYPARAMS_Auto_Increment_Key: CALHUVALIDITYPARAMS(ID) btree"}));
    QCOMPARE(sorted(foreignKeys(db)),
             sorted(kForeignKeys + QStringList{"dcmAbstractSyntax_IdTransferSyntax_fkey: "
                                               "dcmAbstractSyntax(IdTransferSyntax) -> dcmTransferSyntax(id)"}));
    // MATCH SIMPLE, ON UPDATE NO ACTION, ON DELETE NO ACTION
    QCOMPARE(singleValue(db,
                         QStringLiteral(
                             "SELECT confmatchtype::text || confupdtype::text || confdeltype::text FROM pg_constraint"
                             " WHERE conname = 'dcmAbstractSyntax_IdTransferSyntax_fkey'")),
             QStringLiteral("saa"));
}

void TestSqlScriptDatabase::upgradedSchemaIsOwnedByServiceRole()
{
    const QSqlDatabase db = upgradedDatabase();
    QVERIFY2(db.isValid(), qPrintable(m_upgradeError));
    QCOMPARE(firstColumn(db,
                         QStringLiteral("SELECT relname || ' ' || relowner::regrole FROM pg_class"
                                        " WHERE relnamespace = 'public'::regnamespace"
                                        " AND relowner <> 'marlek'::regrole")),
             QStringList());
    QCOMPARE(singleValue(db, QStringLiteral("SELECT proowner::regrole FROM pg_proc WHERE proname = 'kivVersion'")),
             QStringLiteral("marlek"));
}

QTEST_GUILESS_MAIN(TestSqlScriptDatabase)

#include "tst_SqlScriptDatabase.moc"
