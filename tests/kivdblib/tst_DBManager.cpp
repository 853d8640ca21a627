#include "DBManager.h"
#include "DBParamsManager.h"
#include "TestDatabase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QSqlDatabase defaultDb()
{
    return QSqlDatabase::database(QString::fromLatin1(QSqlDatabase::defaultConnection), false);
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

QVariant defaultScalar(const QString &szSql)
{
    QSqlQuery query(defaultDb());
    return query.exec(szSql) && query.next() ? query.value(0) : QVariant();
}

bool openDefault(const QString &szDatabase, const QString &szPassword = TestDatabase::password(), int nTimeout = 10)
{
    return DBManager::instance()->openDatabase(
        TestDatabase::host(), TestDatabase::port(), szDatabase, TestDatabase::user(), szPassword, nTimeout);
}

} // namespace

class TestDBManager : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void openReplacesDefaultConnection();
    void testConnectionLeavesNoExtraConnection_data();
    void testConnectionLeavesNoExtraConnection();
    void connectTimeoutEndsWaitForSilentServer();
    void tlsFollowsEncryptionSwitch_data();
    void tlsFollowsEncryptionSwitch();
    void versionsFromDatabase();
    void createsAndDeletesAwkwardNamesVerbatim_data();
    void createsAndDeletesAwkwardNamesVerbatim();
    void refusesNamesTheServerWouldChange_data();
    void refusesNamesTheServerWouldChange();
    void detectsAndEndsOtherSessionsOnly();
    void checkCnfParamAddsMissingDefaultsOnce();
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
    const int nConnections = QSqlDatabase::connectionNames().size();
    DBManager *pManager = DBManager::instance();

    QVERIFY(openDefault(first.name()));
    QVERIFY(pManager->isDatabaseOpen());
    QCOMPARE(sessionsOn(first, first.name()), 1);
    QVERIFY(openDefault(second.name()));
    QCOMPARE(QSqlQuery().exec(QStringLiteral("SELECT 1")), true);
    QCOMPARE(defaultScalar(QStringLiteral("SELECT current_database()")).toString(), second.name());
    // The earlier connection is gone, on the server and in Qt's registry.
    QCOMPARE(sessionsOn(first, first.name()), 0);
    QCOMPARE(QSqlDatabase::connectionNames().size(), nConnections + 1);

    // A failed open leaves no default connection that Qt would reopen silently.
    QVERIFY(!openDefault(second.name(), TestDatabase::password() + QStringLiteral("-wrong")));
    QVERIFY(!pManager->isDatabaseOpen());
    QVERIFY(!QSqlDatabase::contains(QString::fromLatin1(QSqlDatabase::defaultConnection)));
    QVERIFY(pManager->lastError().contains(QStringLiteral("password"), Qt::CaseInsensitive));
    QCOMPARE(sessionsOn(second, second.name()), 0);
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
    QVERIFY(openDefault(open.name()));
    const QStringList lstBefore = QSqlDatabase::connectionNames();

    DBManager *pManager = DBManager::instance();
    pManager->setEncryptionEnabled(encryption);
    QCOMPARE(pManager->testDatabaseConnection(TestDatabase::host(),
                                              TestDatabase::port(),
                                              database.isEmpty() ? target.name() : database,
                                              TestDatabase::user(),
                                              TestDatabase::password() + passwordSuffix,
                                              10),
             expected);
    QCOMPARE(QSqlDatabase::connectionNames(), lstBefore);
    // The server ends the closed session's backend a moment after the client
    // has gone.
    QTRY_COMPARE_WITH_TIMEOUT(sessionsOn(target, target.name()), 0, 5000);
    QCOMPARE(defaultScalar(QStringLiteral("SELECT current_database()")).toString(), open.name());
}

void TestDBManager::connectTimeoutEndsWaitForSilentServer()
{
    // A listener that never answers: without the time-out the attempt would
    // wait for the server's reply forever.
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
}

void TestDBManager::tlsFollowsEncryptionSwitch_data()
{
    QTest::addColumn<QString>("caFolder"); // empty: the server's own file
    QTest::addColumn<QString>("caKind");   // "server", "other" CA or "missing" file
    QTest::addColumn<bool>("encryption");
    QTest::addColumn<bool>("expectedOpen");

    QTest::newRow("server CA") << QString() << "server" << true << true;
    QTest::newRow("switch off: no TLS, CA not used") << QString() << "other" << false << true;
    QTest::newRow("other CA refused") << QString() << "other" << true << false;
    QTest::newRow("missing CA file refused") << QStringLiteral("none") << "missing" << true << false;
    QTest::newRow("path with spaces") << QStringLiteral("ca folder/with spaces") << "server" << true << true;
    QTest::newRow("path with quote and backslash") << QStringLiteral("it's a\\folder") << "server" << true << true;
    QTest::newRow("path with semicolon") << QStringLiteral("a;b; sslmode=disable") << "server" << true << true;
    QTest::newRow("other CA, path with semicolon")
        << QStringLiteral("a;b; sslmode=disable") << "other" << true << false;
}

void TestDBManager::tlsFollowsEncryptionSwitch()
{
    QFETCH(QString, caFolder);
    QFETCH(QString, caKind);
    QFETCH(bool, encryption);
    QFETCH(bool, expectedOpen);

    TestDatabase db(QStringLiteral("tls"));
    KIV_VERIFY_TEST_DATABASE(db);
    QTemporaryDir dir;
    QString szCaFile = TestDatabase::caFile();
    if (caKind == QLatin1String("other")) {
        // A CA of our own that did not sign the server's certificate.
        szCaFile = dir.filePath(QStringLiteral("other-ca.pem"));
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
                      {"req",
                       "-x509",
                       "-newkey",
                       "ec",
                       "-pkeyopt",
                       "ec_paramgen_curve:prime256v1",
                       "-nodes",
                       "-days",
                       "2",
                       "-subj",
                       "/CN=Other Test CA",
                       "-keyout",
                       dir.filePath(QStringLiteral("other-ca.key")),
                       "-out",
                       szCaFile});
        QVERIFY(openssl.waitForFinished(60000) && openssl.exitCode() == 0);
    }
    if (!caFolder.isEmpty()) {
        QVERIFY(QDir().mkpath(dir.filePath(caFolder)));
        const QString szCopy = dir.filePath(caFolder + QStringLiteral("/telvor CA-chain.pem"));
        if (caKind != QLatin1String("missing"))
            QVERIFY(QFile::copy(szCaFile, szCopy));
        szCaFile = szCopy;
    }

    DBManager *pManager = DBManager::instance();
    pManager->enableEncryption(szCaFile, QString());
    pManager->setEncryptionEnabled(encryption);
    QVERIFY2(openDefault(db.name()) == expectedOpen, qPrintable(pManager->lastError()));
    if (expectedOpen)
        QCOMPARE(defaultScalar(QStringLiteral("SELECT ssl FROM pg_stat_ssl WHERE pid = pg_backend_pid()")).toBool(),
                 encryption);
    else if (caKind == QLatin1String("other"))
        QVERIFY2(pManager->lastError().contains(QStringLiteral("certificate")), qPrintable(pManager->lastError()));
}

void TestDBManager::versionsFromDatabase()
{
    TestDatabase db(QStringLiteral("version"));
    KIV_VERIFY_TEST_DATABASE(db);
    QVERIFY(openDefault(db.name()));
    DBManager *pManager = DBManager::instance();

    // No function: empty, and an open transaction is not broken by it.
    QSqlDatabase def = defaultDb();
    QVERIFY(def.transaction());
    QCOMPARE(pManager->kivDatabaseVersion(), QString());
    QVERIFY(QSqlQuery(def).exec(QStringLiteral("SELECT 1")));
    QVERIFY(def.commit());

    QVERIFY(db.exec(QStringLiteral("CREATE FUNCTION \"kivVersion\"() RETURNS text AS $$ BEGIN RETURN '1.4.1'; END $$ "
                                   "LANGUAGE plpgsql")));
    QCOMPARE(pManager->kivDatabaseVersion(), QStringLiteral("1.4.1"));
    QCOMPARE(pManager->postgresqlVersion(), db.scalar(QStringLiteral("SELECT version()")).toString());
    QVERIFY(pManager->postgresqlVersion().startsWith(QStringLiteral("PostgreSQL ")));

    pManager->closeDatabase();
    QVERIFY(!pManager->isDatabaseOpen());
    QCOMPARE(pManager->kivDatabaseVersion(), QString());
    QCOMPARE(pManager->postgresqlVersion(), QString());
}

void TestDBManager::createsAndDeletesAwkwardNamesVerbatim_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("space") << QStringLiteral("kiv test db");
    QTest::newRow("double quotes") << QStringLiteral("kiv\"quoted\"db");
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
    QVERIFY(openDefault(QStringLiteral("postgres")));
    DBManager *pManager = DBManager::instance();

    QVERIFY2(pManager->createDatabase(name), qPrintable(pManager->lastError()));
    const bool bCreated = admin.databaseExists(name);
    if (!bCreated)
        admin.dropDatabase(name);
    QVERIFY(bCreated);
    QVERIFY(!pManager->createDatabase(name));
    QVERIFY2(pManager->deleteDatabase(name), qPrintable(pManager->lastError()));
    QVERIFY(!admin.databaseExists(name));
    QVERIFY(!pManager->deleteDatabase(name));
    QVERIFY(admin.databaseExists(QStringLiteral("postgres")));

    // A database made from template0 under a scratch name takes the name by a rename.
    const QString szScratch = admin.name() + QStringLiteral("_r");
    QVERIFY2(pManager->createDatabaseFromTemplate(szScratch, QStringLiteral("template0")),
             qPrintable(pManager->lastError()));
    QVERIFY2(pManager->renameDatabase(szScratch, name), qPrintable(pManager->lastError()));
    QVERIFY(admin.databaseExists(name));
    QVERIFY(!admin.databaseExists(szScratch));
    QVERIFY2(pManager->deleteDatabase(name), qPrintable(pManager->lastError()));

    pManager->closeDatabase();
    QVERIFY(!pManager->createDatabase(name));
    QVERIFY(!admin.databaseExists(name));
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
    QVERIFY(openDefault(QStringLiteral("postgres")));
    // The server cuts long names to 63 bytes: deleting must not hit the
    // database that has the cut name.
    QString szCut = name;
    while (szCut.toUtf8().size() > 63)
        szCut.chop(1);
    const bool bLong = szCut != name;
    if (bLong) {
        admin.dropDatabase(szCut);
        QVERIFY(admin.execAdmin(QStringLiteral("CREATE DATABASE ") + TestDatabase::quoted(szCut)));
    }
    QVERIFY(!DBManager::instance()->createDatabase(name));
    QVERIFY(!DBManager::instance()->deleteDatabase(name));
    QVERIFY(!DBManager::instance()->createDatabaseFromTemplate(name, QStringLiteral("template0")));
    QVERIFY(!DBManager::instance()->renameDatabase(admin.name(), name));
    QVERIFY(admin.databaseExists(admin.name()));
    if (bLong) {
        QVERIFY(admin.databaseExists(szCut));
        QVERIFY(admin.dropDatabase(szCut));
    }
}

void TestDBManager::detectsAndEndsOtherSessionsOnly()
{
    TestDatabase busy(QStringLiteral("busy"));
    TestDatabase bystander(QStringLiteral("bystander"));
    KIV_VERIFY_TEST_DATABASE(busy);
    KIV_VERIFY_TEST_DATABASE(bystander);
    DBManager *pManager = DBManager::instance();

    // Our own connection is not activity, and ending "others" keeps it.
    QVERIFY(openDefault(busy.name()));
    QVERIFY(!pManager->isDatabaseInUse(busy.name()));
    QVERIFY(pManager->terminateDatabaseActivity(busy.name()));
    QVERIFY(QSqlQuery().exec(QStringLiteral("SELECT 1")));

    QVERIFY(openDefault(QStringLiteral("postgres")));
    QVERIFY(!pManager->isDatabaseInUse(busy.name()));
    QVERIFY(busy.exec(QStringLiteral("SELECT 1")));
    QVERIFY(bystander.exec(QStringLiteral("SELECT 1")));
    QVERIFY(pManager->isDatabaseInUse(busy.name()));

    // The name is a value, never SQL.
    const QString szInjection = QStringLiteral("nothing' OR datname <> '");
    QVERIFY(!pManager->isDatabaseInUse(szInjection));
    QVERIFY(pManager->terminateDatabaseActivity(szInjection));
    QCOMPARE(sessionsOn(busy, busy.name()), 1);

    QVERIFY2(pManager->terminateDatabaseActivity(busy.name()), qPrintable(pManager->lastError()));
    QVERIFY(!pManager->isDatabaseInUse(busy.name()));
    QCOMPARE(sessionsOn(busy, busy.name()), 0);
    QVERIFY(!QSqlQuery(busy.connection()).exec(QStringLiteral("SELECT 1")));
    QVERIFY(bystander.exec(QStringLiteral("SELECT 1")));
    QVERIFY(pManager->isDatabaseOpen());

    pManager->closeDatabase();
    QVERIFY(!pManager->isDatabaseInUse(bystander.name()));
    QVERIFY(!pManager->terminateDatabaseActivity(bystander.name()));
}

void TestDBManager::checkCnfParamAddsMissingDefaultsOnce()
{
    TestDatabase db(QStringLiteral("cnfparam"));
    KIV_VERIFY_TEST_DATABASE(db);
    QVERIFY(openDefault(db.name()));
    QVERIFY(!DBParamsManager().checkCnfParam()); // no table

    QVERIFY(db.exec(QStringLiteral("CREATE TABLE \"CALIBRATIONVALIDITY\" (\"ID\" serial PRIMARY KEY, "
                                   "\"CalibrationType\" integer NOT NULL, \"ValidityDays\" integer DEFAULT 0 NOT NULL, "
                                   "\"LastCalibration\" timestamp, \"WarningDays\" integer DEFAULT 0 NOT NULL, "
                                   "\"Enabled\" boolean DEFAULT true NOT NULL)")));
    // An operator's own setting for the geometric calibration stays.
    QVERIFY(db.exec(QStringLiteral("INSERT INTO \"CALIBRATIONVALIDITY\" (\"CalibrationType\", \"ValidityDays\", "
                                   "\"WarningDays\", \"Enabled\") VALUES (1, 90, 5, false)")));
    // The Hounsfield-unit calibration comes with its defaults: a year of
    // validity, warnings from 30 days before its end.
    const QStringList lstExpected{QStringLiteral("1 90 5 false"), QStringLiteral("2 365 30 true")};

    for (int nRun = 0; nRun < 2; ++nRun) {
        QVERIFY(DBParamsManager().checkCnfParam());
        QStringList lstRows;
        for (const QVariantList &row :
             db.rows(QStringLiteral("SELECT \"CalibrationType\", \"ValidityDays\", \"WarningDays\", \"Enabled\" "
                                    "FROM \"CALIBRATIONVALIDITY\" ORDER BY \"CalibrationType\"")))
            lstRows << QStringLiteral("%1 %2 %3 %4")
                           .arg(row.at(0).toInt())
                           .arg(row.at(1).toInt())
                           .arg(row.at(2).toInt())
                           .arg(row.at(3).toBool() ? "true" : "false");
        QCOMPARE(lstRows, lstExpected);
    }
    DBManager::instance()->closeDatabase();
    QVERIFY(!DBParamsManager().checkCnfParam());
}

QTEST_GUILESS_MAIN(TestDBManager)
#include "tst_DBManager.moc"
