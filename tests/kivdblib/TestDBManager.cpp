#include "DBManager.h"
#include "DBParamsManager.h"
#include "TestDatabase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString defaultName()
{
    return QString::fromLatin1(QSqlDatabase::defaultConnection);
}

QSqlDatabase defaultDb()
{
    return QSqlDatabase::database(defaultName(), false);
}

// Client sessions on a database, seen from the maintenance connection.
int sessionsOn(TestDatabase &db, const QString &szDatabase)
{
    db.execAdmin(QStringLiteral("SELECT pg_stat_clear_snapshot()"));
    return db
        .scalarAdmin(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE datname = '%1' "
                                    "AND backend_type = 'client backend'")
                         .arg(QString(szDatabase).replace(QLatin1Char('\''), QLatin1String("''"))))
        .toInt();
}

bool defaultConnectionUsesTls()
{
    QSqlQuery query(defaultDb());
    return query.exec(QStringLiteral("SELECT ssl FROM pg_stat_ssl WHERE pid = pg_backend_pid()")) && query.next() &&
           query.value(0).toBool();
}

// Same columns as the suite's schema.
const char *const kCalibrationValidityTable = "CREATE TABLE \"CALIBRATIONVALIDITY\" ("
                                              "\"ID\" serial PRIMARY KEY, "
                                              "\"CalibrationType\" integer NOT NULL, "
                                              "\"ValidityDays\" integer DEFAULT 0 NOT NULL, "
                                              "\"LastCalibration\" timestamp without time zone, "
                                              "\"WarningDays\" integer DEFAULT 0 NOT NULL, "
                                              "\"Enabled\" boolean DEFAULT true NOT NULL)";

} // namespace

class TestDBManager : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void openReplacesDefaultConnection();
    void failedOpenLeavesNoConnection();
    void testConnectionLeavesNoExtraConnection_data();
    void testConnectionLeavesNoExtraConnection();
    void connectTimeoutEndsWaitForSilentServer();

    void tlsFollowsEncryptionSwitch_data();
    void tlsFollowsEncryptionSwitch();

    void versionsFromOpenDatabase();
    void missingVersionFunctionKeepsTransactionUsable();
    void versionsEmptyWithoutConnection();

    void createsAndDeletesAwkwardNamesVerbatim_data();
    void createsAndDeletesAwkwardNamesVerbatim();
    void refusesNamesTheServerWouldChange_data();
    void refusesNamesTheServerWouldChange();
    void createFailsWithoutConnection();

    void detectsAndEndsOtherSessions();
    void ownConnectionIsNotActivity();
    void activityNameIsBoundNotSql();

    void checkCnfParamAddsMissingDefaultsOnce();
    void checkCnfParamFailsWithoutTableOrConnection();

private:
    QString makeSecondCa(QTemporaryDir &dir);
};

void TestDBManager::init()
{
    DBManager::instance()->enableEncryption(TestDatabase::caFile(), QString());
    DBManager::instance()->setEncryptionEnabled(false);
}

void TestDBManager::cleanup()
{
    DBManager::instance()->closeDatabase();
}

void TestDBManager::openReplacesDefaultConnection()
{
    TestDatabase first(QStringLiteral("first"));
    TestDatabase second(QStringLiteral("second"));
    KIV_VERIFY_TEST_DATABASE(first);
    KIV_VERIFY_TEST_DATABASE(second);
    const QStringList lstBefore = QSqlDatabase::connectionNames();

    QVERIFY2(first.openWithDBManager(false), qPrintable(first.errorText()));
    QVERIFY(DBManager::instance()->isDatabaseOpen());
    QCOMPARE(QSqlDatabase::database().databaseName(), first.name());
    QCOMPARE(sessionsOn(first, first.name()), 1);

    QVERIFY2(second.openWithDBManager(false), qPrintable(second.errorText()));
    QCOMPARE(QSqlDatabase::database().databaseName(), second.name());
    QSqlQuery query;
    QVERIFY(query.exec(QStringLiteral("SELECT current_database()")) && query.next());
    QCOMPARE(query.value(0).toString(), second.name());
    query = QSqlQuery();

    // The earlier connection is gone, on the server and in Qt's registry.
    QCOMPARE(sessionsOn(first, first.name()), 0);
    QStringList lstAfter = QSqlDatabase::connectionNames();
    lstAfter.removeAll(defaultName());
    QStringList lstExpected = lstBefore;
    lstExpected.removeAll(defaultName());
    lstExpected.sort();
    lstAfter.sort();
    QCOMPARE(lstAfter, lstExpected);

    DBManager::instance()->closeDatabase();
    QVERIFY(!DBManager::instance()->isDatabaseOpen());
    QCOMPARE(sessionsOn(second, second.name()), 0);
}

void TestDBManager::failedOpenLeavesNoConnection()
{
    TestDatabase db(QStringLiteral("failopen"));
    KIV_VERIFY_TEST_DATABASE(db);
    QVERIFY(db.openWithDBManager(false));

    DBManager *pManager = DBManager::instance();
    QVERIFY(!pManager->openDatabase(TestDatabase::host(),
                                    TestDatabase::port(),
                                    db.name(),
                                    TestDatabase::user(),
                                    TestDatabase::password() + QStringLiteral("-wrong"),
                                    10));
    QVERIFY(!pManager->isDatabaseOpen());
    QVERIFY(!QSqlDatabase::contains(defaultName()));
    QVERIFY(pManager->lastError().contains(QStringLiteral("password"), Qt::CaseInsensitive));
    QCOMPARE(sessionsOn(db, db.name()), 0);
}

void TestDBManager::testConnectionLeavesNoExtraConnection_data()
{
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("passwordSuffix");
    QTest::addColumn<bool>("encryption");
    QTest::addColumn<bool>("expected");

    QTest::newRow("reachable") << QString() << QString() << false << true;
    QTest::newRow("reachable with TLS") << QString() << QString() << true << true;
    QTest::newRow("wrong password") << QString() << QStringLiteral("-wrong") << false << false;
    QTest::newRow("missing database") << QStringLiteral("kivtest_no_such_database") << QString() << false << false;
}

void TestDBManager::testConnectionLeavesNoExtraConnection()
{
    QFETCH(QString, database);
    QFETCH(QString, passwordSuffix);
    QFETCH(bool, encryption);
    QFETCH(bool, expected);

    TestDatabase open(QStringLiteral("openconn"));
    TestDatabase target(QStringLiteral("probe"));
    KIV_VERIFY_TEST_DATABASE(open);
    KIV_VERIFY_TEST_DATABASE(target);
    QVERIFY(open.openWithDBManager(false));
    const QStringList lstBefore = QSqlDatabase::connectionNames();

    DBManager *pManager = DBManager::instance();
    pManager->setEncryptionEnabled(encryption);
    const QString szDatabase = database.isEmpty() ? target.name() : database;
    QCOMPARE(pManager->testDatabaseConnection(TestDatabase::host(),
                                              TestDatabase::port(),
                                              szDatabase,
                                              TestDatabase::user(),
                                              TestDatabase::password() + passwordSuffix,
                                              10),
             expected);

    QCOMPARE(QSqlDatabase::connectionNames(), lstBefore);
    QCOMPARE(sessionsOn(target, target.name()), 0);
    // The default connection is untouched.
    QVERIFY(pManager->isDatabaseOpen());
    QCOMPARE(QSqlDatabase::database().databaseName(), open.name());
}

void TestDBManager::connectTimeoutEndsWaitForSilentServer()
{
    // A listener that never answers: without a time-out the connection
    // attempt would wait forever for the server's reply.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!DBManager::instance()->openDatabase(QStringLiteral("127.0.0.1"),
                                                 silent.serverPort(),
                                                 QStringLiteral("postgres"),
                                                 TestDatabase::user(),
                                                 TestDatabase::password(),
                                                 2));
    QVERIFY2(timer.elapsed() < 15000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(!DBManager::instance()->isDatabaseOpen());
}

void TestDBManager::tlsFollowsEncryptionSwitch_data()
{
    QTest::addColumn<QString>("caFolder");
    QTest::addColumn<QString>("caKind");
    QTest::addColumn<bool>("encryption");
    QTest::addColumn<bool>("expectedOpen");
    QTest::addColumn<bool>("expectedTls");

    QTest::newRow("server CA") << QString() << "server" << true << true << true;
    QTest::newRow("switch off: no TLS") << QString() << "server" << false << true << false;
    QTest::newRow("switch off ignores a wrong CA") << QString() << "other" << false << true << false;
    QTest::newRow("other CA refused") << QString() << "other" << true << false << false;
    QTest::newRow("missing CA file refused") << QString() << "missing" << true << false << false;
    QTest::newRow("path with spaces") << QStringLiteral("ca folder/with spaces") << "server" << true << true << true;
    QTest::newRow("path with quote and backslash")
        << QStringLiteral("it's a\\folder") << "server" << true << true << true;
    QTest::newRow("path with semicolon") << QStringLiteral("semi;colon; sslmode=disable") << "server" << true << true
                                         << true;
    QTest::newRow("wrong CA, path with semicolon")
        << QStringLiteral("semi;colon; sslmode=disable") << "other" << true << false << false;
}

void TestDBManager::tlsFollowsEncryptionSwitch()
{
    QFETCH(QString, caFolder);
    QFETCH(QString, caKind);
    QFETCH(bool, encryption);
    QFETCH(bool, expectedOpen);
    QFETCH(bool, expectedTls);

    TestDatabase db(QStringLiteral("tls"));
    KIV_VERIFY_TEST_DATABASE(db);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString szSource = TestDatabase::caFile();
    if (caKind == QLatin1String("other"))
        szSource = makeSecondCa(dir);
    QVERIFY(!szSource.isEmpty());
    QString szCaFile = szSource;
    if (!caFolder.isEmpty() || caKind == QLatin1String("missing")) {
        const QString szFolder = dir.filePath(caFolder.isEmpty() ? QStringLiteral("none") : caFolder);
        QVERIFY(QDir().mkpath(szFolder));
        szCaFile = szFolder + QStringLiteral("/telvor CA-chain.pem");
        if (caKind != QLatin1String("missing"))
            QVERIFY(QFile::copy(szSource, szCaFile));
    }

    DBManager *pManager = DBManager::instance();
    pManager->enableEncryption(szCaFile, QString());
    pManager->setEncryptionEnabled(encryption);
    const bool bOpen = pManager->openDatabase(
        TestDatabase::host(), TestDatabase::port(), db.name(), TestDatabase::user(), TestDatabase::password(), 10);
    QVERIFY2(bOpen == expectedOpen, qPrintable(pManager->lastError()));
    QCOMPARE(pManager->isDatabaseOpen(), expectedOpen);
    if (bOpen)
        QCOMPARE(defaultConnectionUsesTls(), expectedTls);
    else if (caKind == QLatin1String("other"))
        QVERIFY2(pManager->lastError().contains(QStringLiteral("certificate"), Qt::CaseInsensitive),
                 qPrintable(pManager->lastError()));
}

void TestDBManager::versionsFromOpenDatabase()
{
    TestDatabase db(QStringLiteral("version"));
    KIV_VERIFY_TEST_DATABASE(db);
    QVERIFY(db.openWithDBManager(false));
    DBManager *pManager = DBManager::instance();

    QCOMPARE(pManager->kivDatabaseVersion(), QString());
    QVERIFY(db.exec(QStringLiteral("CREATE FUNCTION \"kivVersion\"() RETURNS text AS $$ BEGIN RETURN '1.4.1'; END $$ "
                                   "LANGUAGE plpgsql")));
    QCOMPARE(pManager->kivDatabaseVersion(), QStringLiteral("1.4.1"));

    const QString szServer = pManager->postgresqlVersion();
    QVERIFY2(szServer.startsWith(QStringLiteral("PostgreSQL ")), qPrintable(szServer));
    QCOMPARE(szServer, db.scalar(QStringLiteral("SELECT version()")).toString());
}

void TestDBManager::missingVersionFunctionKeepsTransactionUsable()
{
    TestDatabase db(QStringLiteral("versiontx"));
    KIV_VERIFY_TEST_DATABASE(db);
    QVERIFY(db.openWithDBManager(false));
    QSqlDatabase def = defaultDb();
    QVERIFY(def.transaction());
    QCOMPARE(DBManager::instance()->kivDatabaseVersion(), QString());
    QSqlQuery query(def);
    QVERIFY2(query.exec(QStringLiteral("SELECT 1")), qPrintable(query.lastError().text()));
    query = QSqlQuery();
    QVERIFY(def.commit());
}

void TestDBManager::versionsEmptyWithoutConnection()
{
    DBManager::instance()->closeDatabase();
    QCOMPARE(DBManager::instance()->kivDatabaseVersion(), QString());
    QCOMPARE(DBManager::instance()->postgresqlVersion(), QString());
    QVERIFY(!DBManager::instance()->isDatabaseOpen());
}

void TestDBManager::createsAndDeletesAwkwardNamesVerbatim_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("space") << QStringLiteral("kiv test db");
    QTest::newRow("double quote") << QStringLiteral("kiv\"quoted\"db");
    QTest::newRow("single quote") << QStringLiteral("kiv'single");
    QTest::newRow("semicolon") << QStringLiteral("kiv;db");
    QTest::newRow("injection") << QStringLiteral("x\"; DROP DATABASE postgres; --");
    QTest::newRow("mixed case") << QStringLiteral("KivMixedCase");
    QTest::newRow("backslash") << QStringLiteral("kiv\\db");
    QTest::newRow("non-ASCII") << QStringLiteral("kiv_d\u00e9j\u00e0_\u65e5\u672c");
    QTest::newRow("63 bytes") << QString(63, QLatin1Char('k'));
}

void TestDBManager::createsAndDeletesAwkwardNamesVerbatim()
{
    QFETCH(QString, name);
    TestDatabase admin(QStringLiteral("names"));
    KIV_VERIFY_TEST_DATABASE(admin);
    admin.dropDatabase(name);
    QVERIFY(admin.openWithDBManager(false));
    DBManager *pManager = DBManager::instance();

    QVERIFY2(pManager->createDatabase(name), qPrintable(pManager->lastError()));
    const bool bCreated = admin.databaseExists(name);
    if (!bCreated)
        admin.dropDatabase(name);
    QVERIFY(bCreated);
    QVERIFY(admin.databaseExists(QStringLiteral("postgres")));
    QVERIFY(!pManager->createDatabase(name));

    QVERIFY2(pManager->deleteDatabase(name), qPrintable(pManager->lastError()));
    QVERIFY(!admin.databaseExists(name));
    QVERIFY(admin.databaseExists(QStringLiteral("postgres")));
    QVERIFY(!pManager->deleteDatabase(name));
}

void TestDBManager::refusesNamesTheServerWouldChange_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << QString();
    QTest::newRow("NUL character") << QStringLiteral("kiv") + QChar(0) + QStringLiteral("db");
    QTest::newRow("64 bytes") << QString(64, QLatin1Char('k'));
    QTest::newRow("63 characters, 64 bytes") << QString(62, QLatin1Char('k')) + QChar(0xe9);
}

void TestDBManager::refusesNamesTheServerWouldChange()
{
    QFETCH(QString, name);
    TestDatabase admin(QStringLiteral("badnames"));
    KIV_VERIFY_TEST_DATABASE(admin);
    QVERIFY(admin.openWithDBManager(false));
    // The server would cut a long name to 63 bytes: deleting must not hit the
    // database that has the cut name.
    QString szCut = name;
    while (szCut.toUtf8().size() > 63)
        szCut.chop(1);
    const bool bLong = name.toUtf8().size() > 63;
    if (bLong) {
        admin.dropDatabase(szCut);
        QVERIFY(admin.execAdmin(QStringLiteral("CREATE DATABASE ") + TestDatabase::quoted(szCut)));
    }
    DBManager *pManager = DBManager::instance();
    QVERIFY(!pManager->createDatabase(name));
    QVERIFY(!pManager->deleteDatabase(name));
    if (bLong) {
        QVERIFY(admin.databaseExists(szCut));
        QVERIFY(admin.dropDatabase(szCut));
    }
}

void TestDBManager::createFailsWithoutConnection()
{
    TestDatabase admin(QStringLiteral("noconn"));
    KIV_VERIFY_TEST_DATABASE(admin);
    DBManager::instance()->closeDatabase();
    const QString szName = admin.name() + QStringLiteral("_x");
    QVERIFY(!DBManager::instance()->createDatabase(szName));
    QVERIFY(!admin.databaseExists(szName));
    QVERIFY(!DBManager::instance()->deleteDatabase(admin.name()));
    QVERIFY(admin.databaseExists(admin.name()));
    QVERIFY(!DBManager::instance()->isDatabaseInUse(admin.name()));
    QVERIFY(!DBManager::instance()->terminateDatabaseActivity(admin.name()));
}

void TestDBManager::detectsAndEndsOtherSessions()
{
    TestDatabase maintenance(QStringLiteral("maint"));
    TestDatabase busy(QStringLiteral("busy"));
    KIV_VERIFY_TEST_DATABASE(maintenance);
    KIV_VERIFY_TEST_DATABASE(busy);
    QVERIFY(maintenance.openWithDBManager(false));
    DBManager *pManager = DBManager::instance();

    QVERIFY(!pManager->isDatabaseInUse(busy.name()));
    QVERIFY(busy.exec(QStringLiteral("SELECT 1")));
    QVERIFY(pManager->isDatabaseInUse(busy.name()));

    QVERIFY2(pManager->terminateDatabaseActivity(busy.name()), qPrintable(pManager->lastError()));
    QVERIFY(!pManager->isDatabaseInUse(busy.name()));
    QCOMPARE(sessionsOn(busy, busy.name()), 0);
    // The ended session really is gone: its next statement fails.
    QSqlQuery query(busy.connection());
    QVERIFY(!query.exec(QStringLiteral("SELECT 1")));
    // Nothing left to end is not a failure; the database can now be deleted.
    QVERIFY(pManager->terminateDatabaseActivity(busy.name()));
    QVERIFY(pManager->isDatabaseOpen());
}

void TestDBManager::ownConnectionIsNotActivity()
{
    TestDatabase db(QStringLiteral("own"));
    KIV_VERIFY_TEST_DATABASE(db);
    QVERIFY(db.openWithDBManager(false));
    DBManager *pManager = DBManager::instance();
    QVERIFY(!pManager->isDatabaseInUse(db.name()));
    QVERIFY(pManager->terminateDatabaseActivity(db.name()));
    QVERIFY(pManager->isDatabaseOpen());
    QSqlQuery query;
    QVERIFY(query.exec(QStringLiteral("SELECT 1")));
}

void TestDBManager::activityNameIsBoundNotSql()
{
    TestDatabase maintenance(QStringLiteral("bound"));
    TestDatabase busy(QStringLiteral("busybound"));
    KIV_VERIFY_TEST_DATABASE(maintenance);
    KIV_VERIFY_TEST_DATABASE(busy);
    QVERIFY(maintenance.openWithDBManager(false));
    QVERIFY(busy.exec(QStringLiteral("SELECT 1")));

    const QString szInjection = QStringLiteral("nothing' OR datname <> '");
    DBManager *pManager = DBManager::instance();
    QVERIFY(!pManager->isDatabaseInUse(szInjection));
    QVERIFY(pManager->terminateDatabaseActivity(szInjection));
    QCOMPARE(sessionsOn(busy, busy.name()), 1);
    QVERIFY(busy.exec(QStringLiteral("SELECT 1")));
}

void TestDBManager::checkCnfParamAddsMissingDefaultsOnce()
{
    TestDatabase db(QStringLiteral("cnfparam"));
    KIV_VERIFY_TEST_DATABASE(db);
    QVERIFY(db.exec(QString::fromLatin1(kCalibrationValidityTable)));
    // An operator's own setting for the geometric calibration stays.
    QVERIFY(db.exec(QStringLiteral("INSERT INTO \"CALIBRATIONVALIDITY\" (\"CalibrationType\", \"ValidityDays\", "
                                   "\"WarningDays\", \"Enabled\") VALUES (1, 90, 5, false)")));
    QVERIFY(db.openWithDBManager(false));

    const QString szRows = QStringLiteral("SELECT \"CalibrationType\", \"ValidityDays\", \"WarningDays\", \"Enabled\" "
                                          "FROM \"CALIBRATIONVALIDITY\" ORDER BY \"CalibrationType\"");
    QList<QVariantList> lstExpected;
    lstExpected << QVariantList{1, 90, 5, false};
    for (const DBParamsManager::CalibrationDefault &def : DBParamsManager::calibrationDefaults()) {
        if (def.nCalibrationType != 1)
            lstExpected << QVariantList{def.nCalibrationType, def.nValidityDays, def.nWarningDays, true};
    }
    QVERIFY(lstExpected.size() >= 2);

    for (int nRun = 0; nRun < 2; ++nRun) {
        DBParamsManager params;
        QVERIFY(params.checkCnfParam());
        const QList<QVariantList> lstRows = db.rows(szRows);
        QCOMPARE(lstRows.size(), lstExpected.size());
        for (int i = 0; i < lstRows.size(); ++i) {
            QCOMPARE(lstRows.at(i).at(0).toInt(), lstExpected.at(i).at(0).toInt());
            QCOMPARE(lstRows.at(i).at(1).toInt(), lstExpected.at(i).at(1).toInt());
            QCOMPARE(lstRows.at(i).at(2).toInt(), lstExpected.at(i).at(2).toInt());
            QCOMPARE(lstRows.at(i).at(3).toBool(), lstExpected.at(i).at(3).toBool());
        }
    }
}

void TestDBManager::checkCnfParamFailsWithoutTableOrConnection()
{
    TestDatabase db(QStringLiteral("cnfparamfail"));
    KIV_VERIFY_TEST_DATABASE(db);
    QVERIFY(db.openWithDBManager(false));
    {
        DBParamsManager params;
        QVERIFY(!params.checkCnfParam());
    }
    QVERIFY(db.exec(QString::fromLatin1(kCalibrationValidityTable)));
    {
        DBParamsManager params;
        QVERIFY(params.checkCnfParam());
    }
    DBManager::instance()->closeDatabase();
    {
        DBParamsManager params;
        QVERIFY(!params.checkCnfParam());
    }
}

QString TestDBManager::makeSecondCa(QTemporaryDir &dir)
{
    const QString szCert = dir.filePath(QStringLiteral("other-ca.pem"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"),
                   QStringLiteral("-x509"),
                   QStringLiteral("-newkey"),
                   QStringLiteral("ec"),
                   QStringLiteral("-pkeyopt"),
                   QStringLiteral("ec_paramgen_curve:prime256v1"),
                   QStringLiteral("-nodes"),
                   QStringLiteral("-days"),
                   QStringLiteral("2"),
                   QStringLiteral("-subj"),
                   QStringLiteral("/CN=Other Test CA"),
                   QStringLiteral("-keyout"),
                   dir.filePath(QStringLiteral("other-ca.key")),
                   QStringLiteral("-out"),
                   szCert});
    if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0) {
        qWarning() << "openssl failed:" << openssl.readAllStandardError();
        return QString();
    }
    return szCert;
}

QTEST_GUILESS_MAIN(TestDBManager)
#include "TestDBManager.moc"
