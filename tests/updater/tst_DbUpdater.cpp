#include "DBManager.h"
#include "DbUpdater.h"
#include "PersonalData.h"
#include "TestDatabase.h"
#include "UpdaterTestDatabase.h"
#include "UpdaterTestLog.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <atomic>
#include <functional>
#include <future>
#include <thread>

namespace {

const char *const kDataKey = "updater-test-data-key-0123456789";

// Makes the update of the personal-data record of "City 10" wait for the
// advisory lock 4711, so that a test can act in the middle of the pass.
const char *const kWaitInThePass =
    "CREATE FUNCTION wait_in_pass() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN IF OLD.\"City\" = 'City 10' THEN "
    "PERFORM pg_advisory_xact_lock(4711); END IF; RETURN NEW; END $$; CREATE TRIGGER wait_in_pass BEFORE UPDATE ON "
    "\"PERSONALDATA\" FOR EACH ROW EXECUTE FUNCTION wait_in_pass()";

// Another workstation, in a thread of its own while the test runs an update:
// it holds szHold (in place when the constructor returns) until stop(), and
// calls onWait once, on its connection, with the updater's process when the
// updater's session waits for a lock.
class LockWatch
{
public:
    using Action = std::function<void(QSqlQuery &query, int nUpdaterPid)>;

    LockWatch(const UpdaterTestDatabase &database, const QString &szHold, const Action &onWait)
    {
        std::promise<bool> held;
        std::future<bool> isHeld = held.get_future();
        m_thread = std::thread([this, &database, szHold, onWait, &held] {
            {
                QSqlDatabase db = database.otherConnection(QStringLiteral("kivtest-watch"));
                QSqlQuery query(db);
                QSqlQuery activity(db);
                held.set_value(query.exec(QStringLiteral("SET application_name = 'kivtest-watch'")) &&
                               query.exec(szHold));
                for (bool bActed = false; !m_bStop; QThread::msleep(5)) {
                    // Inside the hold's transaction the activity view would stay one snapshot.
                    activity.exec(QStringLiteral("SELECT pg_stat_clear_snapshot()"));
                    activity.exec(QStringLiteral("SELECT pid FROM pg_stat_activity WHERE datname = current_database() "
                                                 "AND application_name = 'KivDataBaseUpdater' "
                                                 "AND wait_event_type = 'Lock'"));
                    if (!bActed && activity.next()) {
                        bActed = true;
                        onWait(query, activity.value(0).toInt());
                    }
                }
                db.close();
            }
            QSqlDatabase::removeDatabase(QStringLiteral("kivtest-watch"));
        });
        m_bHolding = isHeld.get();
    }
    ~LockWatch() { stop(); }

    bool isHolding() const { return m_bHolding; }
    void stop()
    {
        m_bStop = true;
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    std::atomic<bool> m_bStop{false};
    bool m_bHolding = false;
    std::thread m_thread;
};

// What a run told, in the order it told it.
class SignalRecorder
{
public:
    explicit SignalRecorder(DbUpdater &updater)
    {
        QObject::connect(&updater, &DbUpdater::updateStarted, [this] { m_lstSignals << QStringLiteral("started"); });
        QObject::connect(&updater, &DbUpdater::updateStep, [this](int nNumStep) {
            m_lstSignals << QStringLiteral("step %1").arg(nNumStep);
        });
        QObject::connect(&updater, &DbUpdater::updateCompleted, [this](bool bUpdateResult) {
            m_lstSignals << QStringLiteral("completed %1").arg(bUpdateResult ? "true" : "false");
        });
    }
    QStringList signalList() const { return m_lstSignals; }

private:
    QStringList m_lstSignals;
};

QStringList expectedRun(int nFirstStep, int nLastStep, const QString &szCompleted)
{
    QStringList lst{QStringLiteral("started")};
    for (int n = nFirstStep; n <= nLastStep; ++n)
        lst << QStringLiteral("step %1").arg(n);
    lst << QStringLiteral("completed ") + szCompleted;
    return lst;
}

} // namespace

class TestDbUpdater : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void fullChainFillsDefaultRows();
    void startsFromEveryKnownVersion_data();
    void startsFromEveryKnownVersion();
    void signalsOfARun_data();
    void signalsOfARun();
    void refusesWhileAnotherRunHoldsTheDatabase();
    void failsWhenDefaultParamsCannotBeSaved();
    void blockedStepFailsWithoutTrace_data();
    void blockedStepFailsWithoutTrace();
    void editDuringThePassWaitsAndSurvives();

private:
    void insertPersonalData();
    QStringList storedPersonalData() const;
    void verifyEncryptedOnce(const QStringList &lstPlain, int nAddedRows);

    UpdaterTestDatabase m_db;
    UpdaterTestLog m_log;
    QStringList m_lstReference;
};

void TestDbUpdater::initTestCase()
{
    if (!UpdaterTestDatabase::isConfigured())
        QSKIP("KIV_TEST_PG* not set: start scripts/pgserver.sh and source its env.sh");
    QVERIFY(m_log.open(true));
    DBManager::instance()->enableEncryption(TestDatabase::caFile(), QString::fromLatin1(kDataKey));
    DBManager::instance()->setEncryptionEnabled(true);
    QVERIFY2(m_db.prepare(QStringLiteral("updtest_driver")), qPrintable(m_db.lastError()));

    // The schema every start version must end with, made by the steps alone.
    QVERIFY2(m_db.createAndOpen(QStringLiteral("reference")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.9.0")), qPrintable(m_db.lastError()));
    m_lstReference = m_db.fingerprint();
    QVERIFY(m_lstReference.size() > 100);
}

void TestDbUpdater::cleanupTestCase()
{
    m_db.release();
    m_log.close();
}

void TestDbUpdater::init()
{
    m_log.setDatabaseLogging(true);
    m_log.mark();
}

void TestDbUpdater::fullChainFillsDefaultRows()
{
    QVERIFY2(m_db.createAndOpen(QStringLiteral("chain")), qPrintable(m_db.lastError()));
    QCOMPARE(m_db.version(), QStringLiteral("1.0.0"));
    QCOMPARE(m_db.scalar("SELECT count(*) FROM \"USERS\"").toInt(), 0);
    QCOMPARE(m_db.scalar("SELECT count(*) FROM \"PERSONALDATA\"").toInt(), 0);

    DbUpdater updater;
    SignalRecorder recorder(updater);
    updater.setCurrentVersion(QStringLiteral("1.0.0"));
    QVERIFY(updater.updateDatabase());
    QCOMPARE(recorder.signalList(), expectedRun(2, 12, QStringLiteral("true")));
    QCOMPARE(m_db.version(), QStringLiteral("1.9.0"));

    QCOMPARE(m_db.scalar("SELECT count(*) FROM \"PERSONALDATA\"").toInt(), 1);
    QCOMPARE(m_db.column("SELECT \"ID\" || ':' || \"IdDescription\" FROM \"PROFILES\""), QStringList{"1:1"});
    QCOMPARE(m_db.column("SELECT \"UserName\" || ':' || \"Level\" || ':' || \"PasswordTermTime\" || ':' "
                         "|| \"PasswordChangeRemindMe\" || ':' || \"IdProfile\" FROM \"USERS\" ORDER BY \"Level\""),
             (QStringList{"administrator:9:1:true:1", "marlek:10:1:true:1"}));
    QCOMPARE(m_db.column("SELECT \"UID\" || ' ' || name FROM \"dcmTransferSyntax\" ORDER BY id"),
             (QStringList{"1.2.840.10008.1.2.1 Explicit VR Little Endian",
                          "1.2.840.10008.1.2.2 Explicit VR Big Endian",
                          "1.2.840.10008.1.2 Implicit VR Little Endian",
                          "1.2.840.10008.1.2.4.57 JPEG Lossless",
                          "1.2.840.10008.1.2.4.70 JPEG Lossless SV1",
                          "1.2.840.10008.1.2.5 RLE Lossless"}));
    QCOMPARE(m_db.column("SELECT \"UID\" || ':' || \"IdTransferSyntax\" FROM \"dcmAbstractSyntax\" "
                         "ORDER BY \"IdTransferSyntax\""),
             (QStringList{"default:1", "default:2", "default:3"}));

    // The default personal data went through the encryption pass.
    const qint64 nId = m_db.scalar("SELECT \"ID\" FROM \"PERSONALDATA\"").toLongLong();
    QVERIFY(m_db.scalar("SELECT \"FirstName\" FROM \"PERSONALDATA\"").toString() != "DefaultFirstName");
    PersonalData record;
    record.setIdPersonalData(nId);
    QVERIFY(record.load());
    QCOMPARE(record.value(QStringLiteral("FirstName")), QStringLiteral("DefaultFirstName"));
    QCOMPARE(record.value(QStringLiteral("LastName")), QStringLiteral("DefaultLastName"));

    for (const QString &szEntry : m_log.entries())
        QVERIFY2(!szEntry.startsWith(QLatin1String("ERROR: ")), qPrintable(szEntry));
}

void TestDbUpdater::startsFromEveryKnownVersion_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("expectedSignals");

    QTest::newRow("1.0.0") << "1.0.0" << expectedRun(2, 12, "true");
    QTest::newRow("1.1.0") << "1.1.0" << expectedRun(3, 12, "true");
    QTest::newRow("1.2.0") << "1.2.0" << expectedRun(4, 12, "true");
    QTest::newRow("1.3.0") << "1.3.0" << expectedRun(5, 12, "true");
    QTest::newRow("1.4.0")
        << "1.4.0"
        << QStringList{
               "started", "step 6", "step 7", "step 8", "step 9", "step 10", "step 11", "step 12", "completed true"};
    QTest::newRow("1.4.1") << "1.4.1" << expectedRun(7, 12, "true");
    QTest::newRow("1.4.2") << "1.4.2" << expectedRun(8, 12, "true");
    QTest::newRow("1.5.0") << "1.5.0" << expectedRun(9, 12, "true");
    QTest::newRow("1.6.0") << "1.6.0" << expectedRun(10, 12, "true");
    QTest::newRow("1.7.0") << "1.7.0" << expectedRun(11, 12, "true");
    QTest::newRow("1.8.0") << "1.8.0" << expectedRun(12, 12, "true");
    QTest::newRow("1.9.0") << "1.9.0" << QStringList{"started", "completed true"};
}

void TestDbUpdater::startsFromEveryKnownVersion()
{
    QFETCH(QString, start);
    QFETCH(QStringList, expectedSignals);

    QVERIFY2(m_db.createAndOpen(QStringLiteral("from_") + QString(start).replace('.', '_')),
             qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(start), qPrintable(m_db.lastError()));

    DbUpdater updater;
    SignalRecorder recorder(updater);
    updater.setCurrentVersion(start);
    QVERIFY(updater.updateDatabase());
    QCOMPARE(recorder.signalList(), expectedSignals);
    QCOMPARE(m_db.version(), QStringLiteral("1.9.0"));
    QCOMPARE(m_db.fingerprint(), m_lstReference);
}

void TestDbUpdater::signalsOfARun_data()
{
    QTest::addColumn<QString>("dbVersion");
    QTest::addColumn<QString>("currentVersion");
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("expectedSignals");
    QTest::addColumn<QString>("finalVersion");
    QTest::addColumn<QString>("logLine");

    const QString szNotFound = QStringLiteral("ERROR: Database version not found. Unable to update the Database.");
    QTest::newRow("unknown newer version") << "1.4.0"
                                           << "2.0.0"
                                           << "" << false << QStringList() << "1.4.0" << szNotFound;
    QTest::newRow("empty version") << "1.4.0"
                                   << ""
                                   << "" << false << QStringList() << "1.4.0" << szNotFound;
    QTest::newRow("version with a trailing blank") << "1.4.0"
                                                   << "1.4.0 "
                                                   << "" << false << QStringList() << "1.4.0" << szNotFound;
    QTest::newRow("1.10.0 is not known") << "1.4.0"
                                         << "1.10.0"
                                         << "" << false << QStringList() << "1.4.0" << szNotFound;
    // 1.5.0 passes, the last script but one of 1.6.0 meets a column that is already there.
    QTest::newRow("step to 1.6.0 fails")
        << "1.4.2"
        << "1.4.2"
        << "ALTER TABLE \"USERS\" ADD COLUMN \"TextHeader\" text" << true
        << QStringList{"started", "step 8", "step 9", "completed false"} << "1.5.0"
        << "ERROR: Error executing script: :/SqlScript/v.01.06.00/01-06-005-users-AlterTable.sql";
    QTest::newRow("first step fails")
        << "1.3.0"
        << "1.3.0"
        << "CREATE TABLE \"dcmAE\" (id integer)" << true << QStringList{"started", "step 5", "completed false"}
        << "1.3.0"
        << "ERROR: Error executing script: :/SqlScript/v.01.04.00/01-04-001-dcmAE-CreateTable.sql";
    // The caller read the version before another run took the database on;
    // the administrator has changed his password settings since.
    QTest::newRow("another run finished first")
        << "1.9.0"
        << "1.7.0"
        << "UPDATE \"USERS\" SET \"PasswordTermTime\" = 90, \"PasswordChangeRemindMe\" = false" << true
        << QStringList{"started", "completed true"} << "1.9.0"
        << "The database reports version 1.9.0 instead of 1.7.0: the update starts from version 1.9.0.";
    QTest::newRow("the caller read an older version")
        << "1.6.0"
        << "1.4.0"
        << "" << true << expectedRun(10, 12, "true") << "1.9.0"
        << "The database reports version 1.6.0 instead of 1.4.0: the update starts from version 1.6.0.";
}

void TestDbUpdater::signalsOfARun()
{
    QFETCH(QString, dbVersion);
    QFETCH(QString, currentVersion);
    QFETCH(QString, obstacle);
    QFETCH(bool, result);
    QFETCH(QStringList, expectedSignals);
    QFETCH(QString, finalVersion);
    QFETCH(QString, logLine);

    QVERIFY2(m_db.createAndOpen(QStringLiteral("signals")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(dbVersion), qPrintable(m_db.lastError()));
    if (!obstacle.isEmpty())
        QVERIFY2(m_db.exec(obstacle), qPrintable(m_db.lastError()));
    const QString szUsers = QStringLiteral("SELECT \"UserName\" || ':' || \"PasswordTermTime\" || ':' || "
                                           "\"PasswordChangeRemindMe\" FROM \"USERS\" ORDER BY 1");
    const QStringList lstBefore = m_db.fingerprint() + m_db.column(szUsers);
    m_log.mark();

    DbUpdater updater;
    SignalRecorder recorder(updater);
    updater.setCurrentVersion(currentVersion);
    QCOMPARE(updater.updateDatabase(), result);
    QCOMPARE(recorder.signalList(), expectedSignals);
    QCOMPARE(m_db.version(), finalVersion);
    QCOMPARE(m_log.count(logLine), 1);
    // A run that ends at the version it began with leaves everything as it was.
    if (finalVersion == dbVersion)
        QCOMPARE(m_db.fingerprint() + m_db.column(szUsers), lstBefore);

    // Nothing of the failed step stays: 1.6.0 had added its patients columns
    // before its users script failed.
    if (finalVersion == QLatin1String("1.5.0")) {
        QVERIFY(m_db.scalar("SELECT to_regclass('\"acqLog\"') IS NOT NULL").toBool());
        QCOMPARE(m_db.scalar("SELECT count(*) FROM information_schema.columns WHERE table_name = 'patients' "
                             "AND column_name IN ('in_use_counter', 'last_time_in_use')")
                     .toInt(),
                 0);
    }
}

void TestDbUpdater::refusesWhileAnotherRunHoldsTheDatabase()
{
    QVERIFY2(m_db.createAndOpen(QStringLiteral("locked")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.4.0")), qPrintable(m_db.lastError()));

    const QString szConnection = QStringLiteral("other-workstation");
    {
        QSqlDatabase other = m_db.otherConnection(szConnection);
        QVERIFY2(other.isOpen(), qPrintable(m_db.lastError()));
        QSqlQuery otherQuery(other);
        auto otherAsks = [&otherQuery](const QString &szFunction) {
            if (!otherQuery.exec(QStringLiteral("SELECT %1(%2)").arg(szFunction).arg(DbUpdater::kUpdateLockKey)) ||
                !otherQuery.next())
                return QStringLiteral("failed: ") + otherQuery.lastError().text();
            return otherQuery.value(0).toBool() ? QStringLiteral("true") : QStringLiteral("false");
        };
        QCOMPARE(otherAsks("pg_try_advisory_lock"), QStringLiteral("true"));

        DbUpdater updater;
        SignalRecorder recorder(updater);
        updater.setCurrentVersion(QStringLiteral("1.4.0"));
        QVERIFY(!updater.updateDatabase());
        QCOMPARE(recorder.signalList(), QStringList());
        QCOMPARE(m_db.version(), QStringLiteral("1.4.0"));
        QCOMPARE(m_log.count("ERROR: Another workstation is updating the database. Unable to update the Database."), 1);
        // The refused run released nothing: the other session still holds its lock.
        QCOMPARE(otherAsks("pg_advisory_unlock"), QStringLiteral("true"));

        // Once free, the run holds the database while it works and lets it go at the end.
        QString szTriedDuringRun;
        connect(
            &updater, &DbUpdater::updateStarted, this, [&] { szTriedDuringRun = otherAsks("pg_try_advisory_lock"); });
        QVERIFY(updater.updateDatabase());
        QCOMPARE(szTriedDuringRun, QStringLiteral("false"));
        QCOMPARE(m_db.version(), QStringLiteral("1.9.0"));
        QCOMPARE(otherAsks("pg_try_advisory_lock"), QStringLiteral("true"));
        QCOMPARE(otherAsks("pg_advisory_unlock"), QStringLiteral("true"));
        other.close();
    }
    QSqlDatabase::removeDatabase(szConnection);
}

void TestDbUpdater::failsWhenDefaultParamsCannotBeSaved()
{
    QVERIFY2(m_db.createAndOpen(QStringLiteral("params")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.4.0")), qPrintable(m_db.lastError()));
    // The database library keeps its default parameters in "CALIBRATIONVALIDITY".
    QVERIFY(m_db.exec("CREATE FUNCTION refuse_insert() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                      "RAISE EXCEPTION 'no new parameters'; END $$"));
    QVERIFY(m_db.exec("CREATE TRIGGER refuse_insert BEFORE INSERT ON \"CALIBRATIONVALIDITY\" "
                      "FOR EACH ROW EXECUTE FUNCTION refuse_insert()"));
    m_log.mark();

    DbUpdater updater;
    SignalRecorder recorder(updater);
    updater.setCurrentVersion(QStringLiteral("1.4.0"));
    QVERIFY(!updater.updateDatabase());
    QStringList lstExpected = expectedRun(6, 12, QString());
    lstExpected.removeLast();
    QCOMPARE(recorder.signalList(), lstExpected);
    QCOMPARE(m_log.count("ERROR: An error has occurred during saving of default params."), 1);
    // The steps themselves stay done, and the run let the database go.
    QCOMPARE(m_db.version(), QStringLiteral("1.9.0"));
    const QString szConnection = QStringLiteral("params-other");
    {
        QSqlDatabase other = m_db.otherConnection(szConnection);
        QSqlQuery query(other);
        QVERIFY(query.exec(QStringLiteral("SELECT pg_try_advisory_lock(%1)").arg(DbUpdater::kUpdateLockKey)));
        QVERIFY(query.next());
        QVERIFY(query.value(0).toBool());
        other.close();
    }
    QSqlDatabase::removeDatabase(szConnection);
}

void TestDbUpdater::insertPersonalData()
{
    QVERIFY(m_db.exec("INSERT INTO \"PERSONALDATA\" (\"FirstName\", \"LastName\", \"DateOfBirth\", \"Address\", "
                      "\"PostalCode\", \"City\", \"StateRegion\", \"Country\") SELECT 'First ' || n, 'Last ' || n, "
                      "'1980-01-01', 'Street ' || n, '1000', 'City ' || n, 'Region', 'Country' "
                      "FROM generate_series(1, 20) AS n"));
}

QStringList TestDbUpdater::storedPersonalData() const
{
    return m_db.column("SELECT \"ID\" || '|' || \"FirstName\" || '|' || \"LastName\" || '|' || \"City\" "
                       "FROM \"PERSONALDATA\" ORDER BY \"ID\"");
}

// Every row of lstPlain reads back, decrypted once, as it was.
void TestDbUpdater::verifyEncryptedOnce(const QStringList &lstPlain, int nAddedRows)
{
    QCOMPARE(m_db.scalar("SELECT count(*) FROM \"PERSONALDATA\"").toInt(), lstPlain.size() + nAddedRows);
    QCOMPARE(
        m_db.scalar("SELECT count(*) FROM \"PERSONALDATA\" WHERE NOT starts_with(\"FirstName\", '$kiv1$')").toInt(), 0);
    for (const QString &szRow : lstPlain) {
        PersonalData record;
        record.setIdPersonalData(szRow.section('|', 0, 0).toLongLong());
        QVERIFY(record.load());
        QCOMPARE(QStringList({szRow.section('|', 0, 0),
                              record.value(QStringLiteral("FirstName")),
                              record.value(QStringLiteral("LastName")),
                              record.value(QStringLiteral("City"))})
                     .join('|'),
                 szRow);
    }
}

void TestDbUpdater::blockedStepFailsWithoutTrace_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("hold");
    QTest::addColumn<bool>("terminate");
    QTest::addColumn<int>("failedStep");
    QTest::addColumn<int>("addedRows");
    QTest::addColumn<QString>("error");

    // Another session holds a lock that the step waits for; then the
    // updater's backend is ended, or its lock time-out expires.
    const QString szLost = QStringLiteral("^ERROR: Database connection lost during the update: .*"
                                          "terminating connection due to administrator command");
    const QString szProfile = QStringLiteral("INSERT INTO \"PROFILES\" (\"ID\", \"IdDescription\") VALUES (1, 7)");
    const QString szProfiles = QStringLiteral("BEGIN; LOCK TABLE \"PROFILES\" IN ACCESS EXCLUSIVE MODE");
    const auto timedOut = [](const char *pszTable) {
        return QStringLiteral("^ERROR: Lock wait time-out after 1000 ms: %1 is held by application "
                              "\"kivtest-watch\" at 127\\.0\\.0\\.1 \\(user ")
            .arg(pszTable);
    };
    QTest::newRow("lost in a schema step")
        << "1.3.0"
        << ""
        << "BEGIN; LOCK TABLE patients IN ACCESS EXCLUSIVE MODE" << true << 5 << 0 << szLost;
    QTest::newRow("lost in the default profile check")
        << "1.0.0" << szProfile << szProfiles << true << 2 << 1 << szLost;
    QTest::newRow("lost in the personal-data pass")
        << "1.7.0" << kWaitInThePass << "SELECT pg_advisory_lock(4711)" << true << 11 << 0 << szLost;
    QTest::newRow("time-out in the default profile check")
        << "1.0.0" << szProfile << szProfiles << false << 2 << 1 << timedOut("\"PROFILES\"");
    QTest::newRow("time-out in the personal-data pass")
        << "1.7.0"
        << ""
        << "BEGIN; UPDATE \"PERSONALDATA\" SET \"City\" = \"City\"" << false << 11 << 0 << timedOut("\"PERSONALDATA\"");
}

void TestDbUpdater::blockedStepFailsWithoutTrace()
{
    QFETCH(QString, start);
    QFETCH(QString, setup);
    QFETCH(QString, hold);
    QFETCH(bool, terminate);
    QFETCH(int, failedStep);
    QFETCH(int, addedRows);
    QFETCH(QString, error);

    QVERIFY2(m_db.createAndOpen(QStringLiteral("blocked")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(start), qPrintable(m_db.lastError()));
    insertPersonalData();
    if (!setup.isEmpty())
        QVERIFY2(m_db.exec(setup), qPrintable(m_db.lastError()));
    const QStringList lstSchema = m_db.fingerprint();
    const QStringList lstPlain = storedPersonalData();
    m_log.setDatabaseLogging(false);
    m_log.mark();

    DbUpdater updater;
    SignalRecorder recorder(updater);
    updater.setCurrentVersion(start);
    if (!terminate)
        updater.setLockTimeout(1000);
    LockWatch watch(m_db, hold, [terminate](QSqlQuery &query, int nUpdaterPid) {
        if (terminate)
            query.exec(QStringLiteral("SELECT pg_terminate_backend(%1)").arg(nUpdaterPid));
    });
    QVERIFY(watch.isHolding());
    const qint64 nSessions = m_db.sessionCount();
    QCOMPARE(updater.updateDatabase(), !terminate);
    // No statement ran on another session, and a lost one is not replaced.
    QCOMPARE(m_db.sessionCount(), nSessions);
    QCOMPARE(DBManager::instance()->isDatabaseOpen(), !terminate);
    watch.stop();
    QStringList lstSignals{QStringLiteral("started"), QStringLiteral("step %1").arg(failedStep)};
    if (!terminate)
        lstSignals << QStringLiteral("completed false");
    QCOMPARE(recorder.signalList(), lstSignals);
    QVERIFY(DBManager::instance()->encryptionEnabled());
    // The cause is in the general log; a rollback is told only when it happened.
    const QStringList lstEntries = m_log.entries();
    QVERIFY2(lstEntries.filter(QRegularExpression(error)).size() == 1 &&
                 lstEntries.filter("rolled back").size() == (terminate ? 0 : 1) &&
                 lstEntries.filter(QRegularExpression("^ERROR: *$")).isEmpty(),
             qPrintable(lstEntries.join('\n')));

    // Nothing of the step stays, and the next run completes.
    QVERIFY2(m_db.reopen(), qPrintable(m_db.lastError()));
    QCOMPARE(m_db.fingerprint(), lstSchema);
    QCOMPARE(storedPersonalData(), lstPlain);
    DbUpdater next;
    next.setCurrentVersion(m_db.version());
    QVERIFY(next.updateDatabase());
    QCOMPARE(m_db.version(), QStringLiteral("1.9.0"));
    verifyEncryptedOnce(lstPlain, addedRows);
}

void TestDbUpdater::editDuringThePassWaitsAndSurvives()
{
    QVERIFY2(m_db.createAndOpen(QStringLiteral("edit")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.7.0")), qPrintable(m_db.lastError()));
    insertPersonalData();
    QVERIFY(m_db.exec(kWaitInThePass));
    QStringList lstPlain = storedPersonalData();
    const QString szId = lstPlain.filter("|City 15").value(0).section('|', 0, 0);

    // While the pass waits at the tenth record, another workstation changes
    // the fifteenth; once that edit waits, the pass goes on.
    bool bEditWaited = false;
    LockWatch watch(m_db, "SELECT pg_advisory_lock(4711)", [&](QSqlQuery &query, int) {
        std::atomic<bool> bEditDone{false};
        std::thread editor([&] {
            {
                QSqlDatabase db = m_db.otherConnection(QStringLiteral("kivtest-editor"));
                QSqlQuery(db).exec(QStringLiteral("SET application_name = 'kivtest-editor'; UPDATE \"PERSONALDATA\" "
                                                  "SET \"City\" = 'Edited' WHERE \"ID\" = %1")
                                       .arg(szId));
                db.close();
            }
            QSqlDatabase::removeDatabase(QStringLiteral("kivtest-editor"));
            bEditDone = true;
        });
        for (; !bEditDone && !bEditWaited; QThread::msleep(5)) {
            query.exec("SELECT count(*) FROM pg_stat_activity WHERE application_name = 'kivtest-editor' "
                       "AND wait_event_type = 'Lock'");
            bEditWaited = query.next() && query.value(0).toInt() == 1;
        }
        query.exec("SELECT pg_advisory_unlock(4711)");
        editor.join();
    });
    QVERIFY(watch.isHolding());

    DbUpdater updater;
    SignalRecorder recorder(updater);
    updater.setCurrentVersion(QStringLiteral("1.7.0"));
    QVERIFY(updater.updateDatabase());
    watch.stop();
    QCOMPARE(recorder.signalList(), expectedRun(11, 12, "true"));
    QVERIFY(bEditWaited);
    lstPlain.replaceInStrings(QRegularExpression("\\|City 15$"), "|Edited");
    verifyEncryptedOnce(lstPlain, 0);
}

QTEST_MAIN(TestDbUpdater)
#include "tst_DbUpdater.moc"
