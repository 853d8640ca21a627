#include "DBManager.h"
#include "DbUpdateToVersion_1_0_0.h"
#include "DbUpdateToVersion_1_1_0.h"
#include "DbUpdateToVersion_1_4_0.h"
#include "DbUpdateToVersion_1_8_0.h"
#include "PersonalData.h"
#include "TestDatabase.h"
#include "UpdaterTestDatabase.h"
#include "UpdaterTestLog.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

const char *const kDataKey = "updater-test-data-key-0123456789";

QString tableExists(const QString &szTable)
{
    return QStringLiteral("SELECT to_regclass('%1') IS NOT NULL").arg(szTable);
}

} // namespace

class TestDbUpdateToVersion : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void executeQueryReportsEveryStatement_data();
    void executeQueryReportsEveryStatement();
    void executeScriptsStopsAtFirstFailure_data();
    void executeScriptsStopsAtFirstFailure();
    void failedStepLeavesNothingBehind_data();
    void failedStepLeavesNothingBehind();
    void defaultProfileDecidesThirdScript_data();
    void defaultProfileDecidesThirdScript();
    void personalDataPassOnEmptyTable();
    void personalDataPassEncryptsEveryRecordOnce();
    void personalDataSaveFailureFailsStep();
    void personalDataPassWithoutDataKey_data();
    void personalDataPassWithoutDataKey();
    void personalDataRecordRemovedDuringThePassIsSkipped();
    void unreadablePersonalDataFailsStepAndRestoresSwitch();
    void personalDataPassShowsRecordNumber();

private:
    void insertPersonalData(int nCount);
    QStringList plainNames() const;

    UpdaterTestDatabase m_db;
    UpdaterTestLog m_log;
    QTemporaryDir m_scripts;
};

void TestDbUpdateToVersion::initTestCase()
{
    if (!UpdaterTestDatabase::isConfigured())
        QSKIP("KIV_TEST_PG* not set: start scripts/pgserver.sh and source its env.sh");
    QVERIFY(m_scripts.isValid());
    QVERIFY(m_log.open(true));
    DBManager::instance()->enableEncryption(TestDatabase::caFile(), QString::fromLatin1(kDataKey));
    DBManager::instance()->setEncryptionEnabled(true);
    QVERIFY2(m_db.prepare(QStringLiteral("updtest_steps")), qPrintable(m_db.lastError()));
}

void TestDbUpdateToVersion::cleanupTestCase()
{
    m_db.release();
    m_log.close();
}

void TestDbUpdateToVersion::init()
{
    m_log.setDatabaseLogging(true);
    m_log.mark();
}

void TestDbUpdateToVersion::executeQueryReportsEveryStatement_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("error");

    QTest::newRow("all succeed")
        << "CREATE TABLE t1 (x integer); INSERT INTO t1 VALUES (1); CREATE TABLE t2 (y integer);" << true << "";
    QTest::newRow("last without semicolon")
        << "CREATE TABLE t1 (x integer);\nCREATE TABLE t2 (y integer)" << true << "";
    QTest::newRow("first fails")
        << "INSERT INTO nosuch VALUES (1); CREATE TABLE t1 (x integer); CREATE TABLE t2 (y integer)" << false
        << "nosuch";
    QTest::newRow("second fails")
        << "CREATE TABLE t1 (x integer); INSERT INTO nosuch VALUES (1); CREATE TABLE t2 (y integer)" << false
        << "nosuch";
    QTest::newRow("third fails") << "CREATE TABLE t1 (x integer); INSERT INTO t1 VALUES (1); INSERT INTO nosuch VALUES "
                                    "(1); CREATE TABLE t2 (y integer)"
                                 << false << "nosuch";
    QTest::newRow("last fails") << "CREATE TABLE t1 (x integer); CREATE TABLE t2 (y integer); SELECT 1 / 0" << false
                                << "division by zero";
    QTest::newRow("after a select") << "SELECT 1; CREATE TABLE t1 (x integer); CREATE TABLE t2 (x integer, x integer)"
                                    << false << "specified more than once";
}

void TestDbUpdateToVersion::executeQueryReportsEveryStatement()
{
    QFETCH(QString, text);
    QFETCH(bool, result);
    QFETCH(QString, error);

    if (m_db.currentName().isEmpty() || !m_db.currentName().endsWith(QLatin1String("_statements")))
        QVERIFY2(m_db.createAndOpen(QStringLiteral("statements")), qPrintable(m_db.lastError()));
    QVERIFY(m_db.exec(QStringLiteral("DROP TABLE IF EXISTS t1, t2")));
    m_log.mark();

    DbUpdateToVersion_1_0_0 step;
    QCOMPARE(step.executeQuery(text), result);
    // One text is one implicit transaction: all of it or nothing.
    QCOMPARE(m_db.scalar(tableExists("t1")).toBool(), result);
    QCOMPARE(m_db.scalar(tableExists("t2")).toBool(), result);
    const QStringList lstEntries = m_log.entries();
    if (result) {
        QCOMPARE(lstEntries, QStringList());
    } else {
        QCOMPARE(lstEntries.size(), 1);
        QVERIFY2(lstEntries.first().startsWith("ERROR: ") && lstEntries.first().contains(error),
                 qPrintable(lstEntries.first()));
    }
}

void TestDbUpdateToVersion::executeScriptsStopsAtFirstFailure_data()
{
    QTest::addColumn<QStringList>("scripts");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("failingScript");
    QTest::addColumn<QStringList>("tables");

    QTest::newRow("empty list") << QStringList() << true << "" << QStringList();
    QTest::newRow("all run") << QStringList{"first.sql", "second.sql"} << true << "" << QStringList{"s1", "s2"};
    QTest::newRow("missing script") << QStringList{"first.sql", "missing.sql", "second.sql"} << false << "missing.sql"
                                    << QStringList{"s1"};
    QTest::newRow("empty script") << QStringList{"first.sql", "empty.sql", "second.sql"} << false << "empty.sql"
                                  << QStringList{"s1"};
    QTest::newRow("failing script") << QStringList{"first.sql", "failing.sql", "second.sql"} << false << "failing.sql"
                                    << QStringList{"s1"};
    QTest::newRow("failing first") << QStringList{"failing.sql", "first.sql"} << false << "failing.sql"
                                   << QStringList();
}

void TestDbUpdateToVersion::executeScriptsStopsAtFirstFailure()
{
    QFETCH(QStringList, scripts);
    QFETCH(bool, result);
    QFETCH(QString, failingScript);
    QFETCH(QStringList, tables);

    const QString szDir = m_scripts.path() + QLatin1Char('/');
    auto write = [&szDir](const QString &szName, const QByteArray &baText) {
        QFile file(szDir + szName);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(baText) == baText.size();
    };
    // UTF-8 with its byte-order mark and Windows line ends, as the scripts may come.
    QVERIFY(write("first.sql",
                  "\xEF\xBB\xBF-- first\r\nCREATE TABLE s1 (t text);\r\n"
                  "INSERT INTO s1 VALUES ('Z\xC3\xBCrich \xE2\x80\x93 Espa\xC3\xB1"
                  "a');\r\n"));
    QVERIFY(write("second.sql",
                  "\xEF\xBB\xBF"
                  "CREATE TABLE s2 (t text)"));
    QVERIFY(write("empty.sql", ""));
    QVERIFY(write("failing.sql",
                  "\xEF\xBB\xBF"
                  "CREATE TABLE s3 (t text); ALTER TABLE nosuch ADD COLUMN x integer;"));

    QVERIFY2(m_db.createAndOpen(QStringLiteral("scripts")), qPrintable(m_db.lastError()));
    m_log.mark();

    QStringList lstPaths;
    for (const QString &szName : qAsConst(scripts))
        lstPaths << szDir + szName;
    DbUpdateToVersion_1_0_0 step;
    QCOMPARE(step.executeScripts(lstPaths), result);

    for (const QString &szTable : {QStringLiteral("s1"), QStringLiteral("s2"), QStringLiteral("s3")})
        QCOMPARE(m_db.scalar(tableExists(szTable)).toBool(), tables.contains(szTable));
    if (tables.contains("s1"))
        QCOMPARE(m_db.scalar("SELECT t FROM s1").toString(),
                 QString::fromUtf8("Z\xC3\xBCrich \xE2\x80\x93 Espa\xC3\xB1"
                                   "a"));
    const int nLines = m_log.count(QStringLiteral("ERROR: Error executing script: %1%2").arg(szDir, failingScript));
    QCOMPARE(nLines, result ? 0 : 1);
}

void TestDbUpdateToVersion::failedStepLeavesNothingBehind_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<QString>("removal");
    QTest::addColumn<QString>("failingScript");

    QTest::newRow("first script") << "CREATE TABLE \"dcmAE\" (id integer)"
                                  << "DROP TABLE \"dcmAE\""
                                  << "01-04-001-dcmAE-CreateTable.sql";
    QTest::newRow("sixth script") << "ALTER TABLE patients ADD COLUMN scheduled integer"
                                  << "ALTER TABLE patients DROP COLUMN scheduled"
                                  << "01-04-006-patients-AlterTable.sql";
}

void TestDbUpdateToVersion::failedStepLeavesNothingBehind()
{
    QFETCH(QString, obstacle);
    QFETCH(QString, removal);
    QFETCH(QString, failingScript);

    QVERIFY2(m_db.createAndOpen(QStringLiteral("rollback")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.3.0")), qPrintable(m_db.lastError()));
    QVERIFY(m_db.exec("INSERT INTO \"PERSONALDATA\" (\"FirstName\", \"LastName\", \"DateOfBirth\") "
                      "VALUES ('Ada', 'Lovelace', '1815-12-10')"));
    QVERIFY(m_db.exec("INSERT INTO patients (id_personal_data) SELECT max(\"ID\") FROM \"PERSONALDATA\""));
    QVERIFY(m_db.exec(obstacle));
    m_log.mark();

    DbUpdateToVersion_1_4_0 step;
    QVERIFY(!step.updateInTransaction());
    QCOMPARE(m_db.version(), QStringLiteral("1.3.0"));
    const QString szPrefix = QStringLiteral("ERROR: Error executing script: :/SqlScript/v.01.04.00/");
    QStringList lstNamed;
    for (const QString &szEntry : m_log.entries()) {
        if (szEntry.startsWith(szPrefix))
            lstNamed << szEntry.mid(szPrefix.size());
    }
    QCOMPARE(lstNamed, QStringList{failingScript});
    // Tables the step made before its failing script are gone again.
    QCOMPARE(m_db.scalar(tableExists("\"dcmTransferSyntax\"")).toBool(), false);
    QCOMPARE(m_db.scalar(tableExists("\"dcmAbstractSyntax\"")).toBool(), false);
    QCOMPARE(m_db.scalar("SELECT count(*) FROM patients").toInt(), 1);

    QVERIFY(m_db.exec(removal));
    QVERIFY(step.updateInTransaction());
    QCOMPARE(m_db.version(), QStringLiteral("1.4.0"));
    QCOMPARE(m_db.scalar("SELECT count(*) FROM \"dcmTransferSyntax\"").toInt(), 6);
    QCOMPARE(m_db.scalar("SELECT count(*) FROM patients WHERE scheduled = false").toInt(), 1);
}

void TestDbUpdateToVersion::defaultProfileDecidesThirdScript_data()
{
    QTest::addColumn<bool>("profileExists");
    QTest::addColumn<QString>("profiles");

    // With the profile there, the insert script would fail on the key: the
    // step succeeds only when it is left out.
    QTest::newRow("profile made by hand") << true << "1:7";
    QTest::newRow("no profile") << false << "1:1";
}

void TestDbUpdateToVersion::defaultProfileDecidesThirdScript()
{
    QFETCH(bool, profileExists);
    QFETCH(QString, profiles);

    QVERIFY2(m_db.createAndOpen(QStringLiteral("profile")), qPrintable(m_db.lastError()));
    if (profileExists)
        QVERIFY(m_db.exec("INSERT INTO \"PROFILES\" (\"ID\", \"IdDescription\") VALUES (1, 7)"));
    m_log.mark();

    DbUpdateToVersion_1_1_0 step;
    QCOMPARE(step.defaultProfileExists(), profileExists);
    QVERIFY(step.updateInTransaction());
    QCOMPARE(m_db.version(), QStringLiteral("1.1.0"));
    QCOMPARE(m_db.column("SELECT \"ID\" || ':' || \"IdDescription\" FROM \"PROFILES\""), QStringList{profiles});
    QCOMPARE(m_db.scalar("SELECT count(*) FROM \"USERS\" WHERE \"IdProfile\" = 1").toInt(), 2);

    const QString szQuery = QStringLiteral("SELECT \"ID\" \nFROM \"PROFILES\" \nWHERE (\"ID\" = 1) \n");
    QCOMPARE(m_log.count(szQuery), 2);
    for (const QString &szEntry : m_log.entries())
        QVERIFY2(!szEntry.startsWith(QLatin1String("ERROR: ")), qPrintable(szEntry));

    // The query is a database-category line.
    m_log.setDatabaseLogging(false);
    m_log.mark();
    QCOMPARE(step.defaultProfileExists(), true);
    QCOMPARE(m_log.count(szQuery), 0);
}

void TestDbUpdateToVersion::insertPersonalData(int nCount)
{
    QVERIFY(m_db.exec(
        QStringLiteral(
            "INSERT INTO \"PERSONALDATA\" (\"FirstName\", \"LastName\", \"Title\", \"IdGender\", \"DateOfBirth\", "
            "\"City\", \"eMail\") SELECT 'First ' || n || ' Jos\u00e9', 'Last ' || n, CASE WHEN n % 3 = 0 THEN NULL "
            "ELSE 'Dr' END, 1, '1980-01-01'::timestamp + n * interval '1 day', 'City ' || n, 'p' || n || "
            "'@example.org' "
            "FROM generate_series(1, %1) AS n")
            .arg(nCount)));
}

QStringList TestDbUpdateToVersion::plainNames() const
{
    return m_db.column("SELECT \"ID\" || ' ' || \"FirstName\" || ' ' || \"LastName\" FROM \"PERSONALDATA\" "
                       "ORDER BY \"ID\"");
}

void TestDbUpdateToVersion::personalDataPassOnEmptyTable()
{
    QVERIFY2(m_db.createAndOpen(QStringLiteral("nodata")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.7.0")), qPrintable(m_db.lastError()));
    QVERIFY(m_db.exec("DELETE FROM \"USERS\""));
    QVERIFY(m_db.exec("DELETE FROM \"PERSONALDATA\""));
    m_log.mark();

    DbUpdateToVersion_1_8_0 step;
    QVERIFY(step.updateInTransaction());
    QCOMPARE(m_db.version(), QStringLiteral("1.8.0"));
    QCOMPARE(m_log.entries(),
             (QStringList{"Start encryption of the database data",
                          "Encryping \"PERSONALDATA\" table",
                          "End encryption of the database data"}));
    QVERIFY(DBManager::instance()->encryptionEnabled());
}

void TestDbUpdateToVersion::personalDataPassEncryptsEveryRecordOnce()
{
    const int nRows = 150;
    QVERIFY2(m_db.createAndOpen(QStringLiteral("data")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.7.0")), qPrintable(m_db.lastError()));
    insertPersonalData(nRows);
    const QStringList lstPlain = plainNames();
    QCOMPARE(lstPlain.size(), nRows + 1);

    DbUpdateToVersion_1_8_0 step;
    QVERIFY(step.updateInTransaction());
    QCOMPARE(m_db.version(), QStringLiteral("1.8.0"));
    QVERIFY(DBManager::instance()->encryptionEnabled());

    auto checkDecrypted = [this, &lstPlain]() {
        const QStringList lstStored = plainNames();
        QCOMPARE(lstStored.size(), lstPlain.size());
        for (int i = 0; i < lstPlain.size(); ++i) {
            QVERIFY2(lstStored.at(i) != lstPlain.at(i), qPrintable(lstStored.at(i)));
            const qint64 nId = lstPlain.at(i).section(' ', 0, 0).toLongLong();
            PersonalData record;
            record.setIdPersonalData(nId);
            QVERIFY(record.load());
            QCOMPARE(QStringLiteral("%1 %2 %3")
                         .arg(nId)
                         .arg(record.value(QStringLiteral("FirstName")), record.value(QStringLiteral("LastName"))),
                     lstPlain.at(i));
        }
        PersonalData sample;
        sample.setIdPersonalData(lstPlain.at(3).section(' ', 0, 0).toLongLong());
        QVERIFY(sample.load());
        QCOMPARE(sample.value(QStringLiteral("City")), QStringLiteral("City 3"));
        QCOMPARE(sample.value(QStringLiteral("eMail")), QStringLiteral("p3@example.org"));
    };
    checkDecrypted();
    if (QTest::currentTestFailed())
        return;

    // A second pass finds the records encrypted already and leaves them so.
    QVERIFY(step.encryptPersonalData(nullptr));
    checkDecrypted();
}

void TestDbUpdateToVersion::personalDataSaveFailureFailsStep()
{
    QVERIFY2(m_db.createAndOpen(QStringLiteral("savefail")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.7.0")), qPrintable(m_db.lastError()));
    insertPersonalData(40);
    const QStringList lstPlain = plainNames();
    const qint64 nBadId = lstPlain.at(20).section(' ', 0, 0).toLongLong();
    QVERIFY(m_db.exec(
        QStringLiteral("CREATE FUNCTION refuse_update() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                       "IF OLD.\"ID\" = %1 THEN RAISE EXCEPTION 'record %1 is read-only'; END IF; RETURN NEW; END $$")
            .arg(nBadId)));
    QVERIFY(m_db.exec("CREATE TRIGGER refuse_update BEFORE UPDATE ON \"PERSONALDATA\" "
                      "FOR EACH ROW EXECUTE FUNCTION refuse_update()"));
    const bool bHadPgcrypto = m_db.scalar("SELECT count(*) FROM pg_extension WHERE extname = 'pgcrypto'").toInt() > 0;
    m_log.mark();

    DbUpdateToVersion_1_8_0 step;
    QVERIFY(!step.updateInTransaction());
    QCOMPARE(m_log.count(
                 QStringLiteral("ERROR: Unable to save the encrypted \"PERSONALDATA\" record with ID %1.").arg(nBadId)),
             1);
    QCOMPARE(m_log.entries()
                 .filter(QRegularExpression(QStringLiteral("^ERROR: .*record %1 is read-only").arg(nBadId)))
                 .size(),
             1);
    QCOMPARE(m_log.count("End encryption of the database data"), 1);
    QVERIFY(DBManager::instance()->encryptionEnabled());
    // The records saved before the failing one are back as they were.
    QCOMPARE(m_db.version(), QStringLiteral("1.7.0"));
    QCOMPARE(plainNames(), lstPlain);
    QCOMPARE(m_db.scalar("SELECT count(*) FROM pg_extension WHERE extname = 'pgcrypto'").toInt() > 0, bHadPgcrypto);

    QVERIFY(m_db.exec("DROP TRIGGER refuse_update ON \"PERSONALDATA\""));
    QVERIFY(step.updateInTransaction());
    QCOMPARE(m_db.version(), QStringLiteral("1.8.0"));
    const QStringList lstStored = plainNames();
    for (int i = 0; i < lstPlain.size(); ++i)
        QVERIFY(lstStored.at(i) != lstPlain.at(i));
}

void TestDbUpdateToVersion::personalDataPassWithoutDataKey_data()
{
    QTest::addColumn<bool>("encryptedBefore");
    QTest::newRow("records to encrypt") << false;
    QTest::newRow("records encrypted already") << true;
}

void TestDbUpdateToVersion::personalDataPassWithoutDataKey()
{
    QFETCH(bool, encryptedBefore);

    QVERIFY2(m_db.createAndOpen(QStringLiteral("nokey")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.7.0")), qPrintable(m_db.lastError()));
    insertPersonalData(30);
    DbUpdateToVersion_1_8_0 step;
    if (encryptedBefore)
        QVERIFY(step.encryptPersonalData(nullptr));
    const QStringList lstStored = plainNames();
    DBManager *pManager = DBManager::instance();
    pManager->enableEncryption(TestDatabase::caFile(), QString());
    const auto restoreKey =
        qScopeGuard([pManager] { pManager->enableEncryption(TestDatabase::caFile(), QString::fromLatin1(kDataKey)); });
    m_log.mark();

    // Nothing to encrypt needs no key; something to encrypt fails the step
    // with one line that says what is missing and how to provide it.
    QCOMPARE(step.updateInTransaction(), encryptedBefore);
    QCOMPARE(m_db.version(), encryptedBefore ? QStringLiteral("1.8.0") : QStringLiteral("1.7.0"));
    QCOMPARE(plainNames(), lstStored);
    const QStringList lstErrors = m_log.entries().filter(QRegularExpression("^ERROR: "));
    if (encryptedBefore) {
        QCOMPARE(lstErrors, QStringList());
    } else {
        QCOMPARE(lstErrors.size(), 1);
        QVERIFY2(lstErrors.first().contains("data key") && lstErrors.first().contains("missing") &&
                     lstErrors.first().contains("VesperSetup") && lstErrors.first().contains("README"),
                 qPrintable(lstErrors.first()));
    }
    QCOMPARE(m_log.count("End encryption of the database data"), 1);
}

void TestDbUpdateToVersion::personalDataRecordRemovedDuringThePassIsSkipped()
{
    QVERIFY2(m_db.createAndOpen(QStringLiteral("removed")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.7.0")), qPrintable(m_db.lastError()));
    insertPersonalData(40);
    QStringList lstPlain = plainNames();
    const qint64 nGoneId = lstPlain.at(17).section(' ', 0, 0).toLongLong();
    // The row is gone by the time its save reaches the server (removed from
    // within, as the pass's table lock keeps other sessions out).
    QVERIFY(m_db.exec(QStringLiteral("CREATE FUNCTION remove_one() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                                     "IF OLD.\"ID\" = %1 THEN DELETE FROM \"PERSONALDATA\" WHERE \"ID\" = OLD.\"ID\"; "
                                     "RETURN NULL; END IF; RETURN NEW; END $$")
                          .arg(nGoneId)));
    QVERIFY(m_db.exec("CREATE TRIGGER remove_one BEFORE UPDATE ON \"PERSONALDATA\" "
                      "FOR EACH ROW EXECUTE FUNCTION remove_one()"));
    m_log.mark();

    DbUpdateToVersion_1_8_0 step;
    QVERIFY(step.updateInTransaction());
    QCOMPARE(m_log.count(QStringLiteral("WARNING: The \"PERSONALDATA\" record with ID %1 was removed by another "
                                        "workstation during the encryption: skipped.")
                             .arg(nGoneId)),
             1);
    lstPlain.removeAt(17);
    const QStringList lstStored = plainNames();
    QCOMPARE(lstStored.size(), lstPlain.size());
    for (int i = 0; i < lstPlain.size(); ++i) {
        PersonalData record;
        record.setIdPersonalData(lstPlain.at(i).section(' ', 0, 0).toLongLong());
        QVERIFY(record.load());
        QVERIFY(lstStored.at(i) != lstPlain.at(i));
        QCOMPARE(QStringLiteral("%1 %2 %3")
                     .arg(record.idPersonalData())
                     .arg(record.value(QStringLiteral("FirstName")), record.value(QStringLiteral("LastName"))),
                 lstPlain.at(i));
    }
}

void TestDbUpdateToVersion::unreadablePersonalDataFailsStepAndRestoresSwitch()
{
    QVERIFY2(m_db.createAndOpen(QStringLiteral("unreadable")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.7.0")), qPrintable(m_db.lastError()));
    // Reading the table's rows fails; locking it and reading its columns do not.
    QVERIFY(m_db.exec("CREATE FUNCTION refuse_read() RETURNS boolean LANGUAGE plpgsql AS $$ BEGIN "
                      "RAISE EXCEPTION 'personal data not readable'; END $$; "
                      "ALTER TABLE \"PERSONALDATA\" ENABLE ROW LEVEL SECURITY; "
                      "ALTER TABLE \"PERSONALDATA\" FORCE ROW LEVEL SECURITY; "
                      "CREATE POLICY refuse_read ON \"PERSONALDATA\" USING (refuse_read())"));
    m_log.setDatabaseLogging(false);
    m_log.mark();

    DBManager *pManager = DBManager::instance();
    for (const bool bSwitch : {false, true}) {
        pManager->setEncryptionEnabled(bSwitch);
        DbUpdateToVersion_1_8_0 step;
        QVERIFY(!step.updateInTransaction());
        QCOMPARE(pManager->encryptionEnabled(), bSwitch);
    }
    QCOMPARE(m_db.version(), QStringLiteral("1.7.0"));
    QCOMPARE(m_log.count("ERROR: Unable to read the \"PERSONALDATA\" table."), 2);
    QCOMPARE(m_log.entries().filter(QRegularExpression("^ERROR: .*personal data not readable")).size(), 2);
}

void TestDbUpdateToVersion::personalDataPassShowsRecordNumber()
{
    QVERIFY2(m_db.createAndOpen(QStringLiteral("progress")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.7.0")), qPrintable(m_db.lastError()));
    insertPersonalData(149);
    const int nTotal = m_db.scalar("SELECT count(*) FROM \"PERSONALDATA\"").toInt();
    QCOMPARE(nTotal, 150);
    // Every record takes at least 3 ms, so that the pass lasts long enough for
    // several rounds of event processing.
    QVERIFY(m_db.exec("CREATE FUNCTION slow_update() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                      "PERFORM pg_sleep(0.003); RETURN NEW; END $$"));
    QVERIFY(m_db.exec("CREATE TRIGGER slow_update BEFORE UPDATE ON \"PERSONALDATA\" "
                      "FOR EACH ROW EXECUTE FUNCTION slow_update()"));

    // Whenever pending events are processed: what the dialog shows, and how
    // many records are stored encrypted by then.
    struct Sample
    {
        int nValue;
        int nMaximum;
        int nSaved;
    };
    QVector<Sample> samples;
    QStringList lstProblems;
    QTimer probe;
    probe.setInterval(0);
    connect(&probe, &QTimer::timeout, this, [&]() {
        QProgressDialog *pDialog = nullptr;
        for (QWidget *pWidget : QApplication::topLevelWidgets()) {
            if (auto *pFound = qobject_cast<QProgressDialog *>(pWidget); pFound && pFound->isVisible())
                pDialog = pFound;
        }
        if (!pDialog)
            return;
        if (pDialog->labelText() != QLatin1String("Encrypting data") || pDialog->findChild<QPushButton *>())
            lstProblems << QStringLiteral("label %1, cancel button %2")
                               .arg(pDialog->labelText())
                               .arg(pDialog->findChild<QPushButton *>() != nullptr);
        const int nSaved =
            m_db.scalar("SELECT count(*) FROM \"PERSONALDATA\" WHERE starts_with(\"FirstName\", '$kiv1$')").toInt();
        samples << Sample{pDialog->value(), pDialog->maximum(), nSaved};
    });
    probe.start();
    DbUpdateToVersion_1_8_0 step;
    QVERIFY(step.updateInTransaction());
    probe.stop();
    QVERIFY2(lstProblems.isEmpty(), qPrintable(lstProblems.join("; ")));
    QCOMPARE(m_db.scalar("SELECT count(*) FROM \"PERSONALDATA\" WHERE starts_with(\"FirstName\", '$kiv1$')").toInt(),
             nTotal);

    // Shown at 0 before the first record; record n is shown as n while it is
    // worked on; the last record is shown as the total, not reset.
    QVERIFY(samples.size() >= 2);
    QCOMPARE(samples.first().nValue, 0);
    QCOMPARE(samples.first().nSaved, 0);
    QCOMPARE(samples.last().nValue, nTotal);
    // The value only grows, and never runs ahead of the records saved.
    int nPreviousValue = 0;
    for (const Sample &sample : qAsConst(samples)) {
        QCOMPARE(sample.nMaximum, nTotal);
        QVERIFY2(sample.nValue >= nPreviousValue,
                 qPrintable(QStringLiteral("value %1 after %2").arg(sample.nValue).arg(nPreviousValue)));
        nPreviousValue = sample.nValue;
        QVERIFY2(sample.nSaved == sample.nValue || sample.nSaved == sample.nValue - 1,
                 qPrintable(QStringLiteral("value %1 with %2 records saved").arg(sample.nValue).arg(sample.nSaved)));
    }
    // Events are processed while the pass runs, in rounds rather than once
    // per record.
    QVERIFY2(samples.size() >= 3 && samples.size() <= nTotal / 2,
             qPrintable(QStringLiteral("%1 rounds of events for %2 records").arg(samples.size()).arg(nTotal)));
}

QTEST_MAIN(TestDbUpdateToVersion)
#include "tst_DbUpdateToVersion.moc"
