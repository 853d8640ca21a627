#include "AppTestEnvironment.h"
#include "DBManager.h"
#include "ProgramHarness.h"
#include "TestDatabase.h"
#include "UpdaterTestDatabase.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kDataKey = QStringLiteral("program-test-data-key");

} // namespace

// The built program run as an installer runs it: a process started in a
// private suite folder, judged by its exit code, its log and the database.
class ProgramTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void autoUpdateOfUpToDateDatabase();
    void autoUpdateWithoutServerFails();
    void failingStepKeepsTheVersionAndRerunCompletes();
    void failedBackupBeforeUpdateStopsTheUpdate();
    void secondCopyIsRefused();
    void autoCreateOnTheDefaultServer();
    void helpAndVersionPrintAndEnd_data();
    void helpAndVersionPrintAndEnd();

private:
    using Run = ProgramHarness::Run;
    bool openScratch(const QString &szName);

    UpdaterTestDatabase m_db;
    ProgramHarness m_program;
};

void ProgramTest::initTestCase()
{
    if (!UpdaterTestDatabase::isConfigured())
        QSKIP("KIV_TEST_PG* not set: start scripts/pgserver.sh and source its env.sh");
    QString szError;
    QVERIFY2(AppTestEnvironment::provisionCredentials(kDataKey, szError), qPrintable(szError));
    DBManager::instance()->enableEncryption(TestDatabase::caFile(), kDataKey);
    DBManager::instance()->setEncryptionEnabled(true);
    QVERIFY2(m_db.prepare(QStringLiteral("apptest_program")), qPrintable(m_db.lastError()));
    QVERIFY2(m_program.setUp(szError), qPrintable(szError));
}

void ProgramTest::cleanupTestCase()
{
    m_db.release();
}

void ProgramTest::init()
{
    // Every case starts with a settings store of its own.
    QVERIFY(m_program.newConfiguration());
}

bool ProgramTest::openScratch(const QString &szName)
{
    return DBManager::instance()->openDatabase(TestDatabase::host(),
                                               TestDatabase::port(),
                                               m_db.prefixed(szName),
                                               TestDatabase::user(),
                                               TestDatabase::password(),
                                               10);
}

void ProgramTest::autoUpdateOfUpToDateDatabase()
{
    QVERIFY2(m_db.createAndOpen(QStringLiteral("uptodate")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.9.0")), qPrintable(m_db.lastError()));
    DBManager::instance()->closeDatabase();
    m_program.configure(TestDatabase::host(), TestDatabase::port(), m_db.prefixed(QStringLiteral("uptodate")));

    const Run result = m_program.run({QStringLiteral("-autoupdate")});
    QCOMPARE(result.nExitCode, 0);
    QVERIFY2(result.lstLog.contains(QStringLiteral("The database is up to date.")),
             qPrintable(result.lstLog.join('\n')));
    QVERIFY(result.lstLog.contains(QStringLiteral("SSL enabled: 1")));
    QVERIFY(result.lstLog.contains(QStringLiteral("*** Close Program ***")));
    QVERIFY(result.lstLog.filter(QStringLiteral("ERROR: ")).isEmpty());
}

void ProgramTest::autoUpdateWithoutServerFails()
{
    // Port 1: nothing listens there.
    m_program.configure(QStringLiteral("127.0.0.1"), 1, QStringLiteral("pelq"));
    const Run result = m_program.run({QStringLiteral("--AutoUpdate")});
    QCOMPARE(result.nExitCode, 1);
    QVERIFY2(!result.lstLog.filter(QRegularExpression(QStringLiteral("^ERROR: .*connect"))).isEmpty(),
             qPrintable(result.lstLog.join('\n')));
    QVERIFY(result.lstLog.contains(QStringLiteral("*** Close Program ***")));
}

void ProgramTest::failingStepKeepsTheVersionAndRerunCompletes()
{
    // A column that the step to "1.5.0" adds, already there.
    QVERIFY2(m_db.createAndOpen(QStringLiteral("failing")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.4.2")), qPrintable(m_db.lastError()));
    QVERIFY(m_db.exec(QStringLiteral("ALTER TABLE patients ADD COLUMN import_id text")));
    DBManager::instance()->closeDatabase();
    m_program.configure(TestDatabase::host(), TestDatabase::port(), m_db.prefixed(QStringLiteral("failing")));

    Run result = m_program.run({QStringLiteral("-AutoUpdate")});
    QCOMPARE(result.nExitCode, 1);
    QVERIFY(result.lstLog.contains(QStringLiteral("ERROR: Error during database update.")));
    QVERIFY2(!result.lstLog.filter(QStringLiteral("already exists")).isEmpty(), qPrintable(result.lstLog.join('\n')));

    // The database still reports the version before the failed step.
    QVERIFY(openScratch(QStringLiteral("failing")));
    QCOMPARE(m_db.version(), QStringLiteral("1.4.2"));
    QVERIFY(m_db.exec(QStringLiteral("ALTER TABLE patients DROP COLUMN import_id")));
    DBManager::instance()->closeDatabase();

    result = m_program.run({QStringLiteral("-AutoUpdate")});
    QCOMPARE(result.nExitCode, 0);
    QVERIFY(result.lstLog.contains(QStringLiteral("Database update performed with success.")));
    QVERIFY(openScratch(QStringLiteral("failing")));
    QCOMPARE(m_db.version(), QStringLiteral("1.9.0"));
    DBManager::instance()->closeDatabase();
}

void ProgramTest::failedBackupBeforeUpdateStopsTheUpdate()
{
    QVERIFY2(m_db.createAndOpen(QStringLiteral("backupfirst")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.8.0")), qPrintable(m_db.lastError()));
    DBManager::instance()->closeDatabase();
    m_program.configure(TestDatabase::host(), TestDatabase::port(), m_db.prefixed(QStringLiteral("backupfirst")));

    // A dump program that fails, and the option that asks for a backup first.
    QTemporaryDir clientDir;
    QFile dump(clientDir.filePath(QStringLiteral("pg_dump")));
    QVERIFY(dump.open(QIODevice::WriteOnly));
    // It tells a version new enough for the server, so that it is the one run.
    dump.write("#!/bin/sh\n[ \"$1\" = --version ] && { echo 'pg_dump (PostgreSQL) 99.1'; exit 0; }\n"
               "echo 'pg_dump: error: disk full' >&2\nexit 3\n");
    dump.close();
    QVERIFY(dump.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    m_program.setSetting(QStringLiteral("miscellaneous/dbServerPath"), clientDir.path());
    m_program.setSetting(QStringLiteral("miscellaneous/backupBeforeUpdate"), true);

    const Run result = m_program.run({QStringLiteral("-AutoUpdate")});
    QCOMPARE(result.nExitCode, 1);
    QVERIFY2(!result.lstLog.filter(QStringLiteral("ERROR: Backup process exit code = 3")).isEmpty(),
             qPrintable(result.lstLog.join('\n')));
    QVERIFY(result.lstLog.filter(QStringLiteral("Database update performed")).isEmpty());
    QVERIFY(openScratch(QStringLiteral("backupfirst")));
    QCOMPARE(m_db.version(), QStringLiteral("1.8.0"));
    DBManager::instance()->closeDatabase();
    QVERIFY(QDir(m_program.backupFolder()).entryList(QDir::Files).isEmpty());
}

void ProgramTest::secondCopyIsRefused()
{
    m_program.configure(QStringLiteral("127.0.0.1"), 1, QStringLiteral("pelq"));
    // An interactive copy that cannot connect waits on its question box.
    const int nBefore = m_program.logText().size();
    QProcess first;
    m_program.start(first, QStringList(), m_program.environment(false));
    QVERIFY(first.waitForStarted(10000));
    // It holds the guard once it has logged its command line.
    QTRY_VERIFY_WITH_TIMEOUT(m_program.logText().mid(nBefore).contains(QStringLiteral("CommandLine = ")), 30000);

    const Run refused = m_program.run({QStringLiteral("-AutoUpdate")});
    QCOMPARE(refused.nExitCode, 255); // -1 as the process's exit status
    QVERIFY(refused.lstLog.contains(QStringLiteral("WARNING: The application is already running !")));

    // A copy killed outright does not lock out the next one.
    first.kill();
    QVERIFY(first.waitForFinished(10000));
    const Run next = m_program.run({QStringLiteral("-AutoUpdate")});
    QCOMPARE(next.nExitCode, 1); // no server, but not refused
    QVERIFY(!next.lstLog.contains(QStringLiteral("WARNING: The application is already running !")));
}

void ProgramTest::autoCreateOnTheDefaultServer()
{
    // -AutoCreate always works on the suite's default server 127.0.0.1:6543
    // with the database "pelq".
    if (TestDatabase::port() != 6543)
        QSKIP("the test server does not listen on the suite's default port 6543");
    TestDatabase admin(QStringLiteral("apptest_admin"));
    KIV_VERIFY_TEST_DATABASE(admin);
    QVERIFY(admin.dropDatabase(QStringLiteral("pelq")));
    m_program.configure(QStringLiteral("elsewhere"), 1, QStringLiteral("other"));

    const Run created = m_program.run({QStringLiteral("-AutoCreate")});
    QCOMPARE(created.nExitCode, 0);
    QVERIFY2(created.lstLog.contains(QStringLiteral("The database pelq was created with success.")),
             qPrintable(created.lstLog.join('\n')));
    QVERIFY(created.lstLog.contains(QStringLiteral("Database update performed with success.")));
    QVERIFY(created.lstLog.filter(QStringLiteral("ERROR: ")).isEmpty());
    QVERIFY(DBManager::instance()->openDatabase(
        QStringLiteral("127.0.0.1"), 6543, QStringLiteral("pelq"), TestDatabase::user(), TestDatabase::password(), 10));
    QCOMPARE(m_db.version(), QStringLiteral("1.9.0"));
    DBManager::instance()->closeDatabase();

    // The settings now point at the new database: an update finds it current,
    // and a second creation refuses to touch it.
    const Run updated = m_program.run({QStringLiteral("-AutoUpdate")});
    QCOMPARE(updated.nExitCode, 0);
    QVERIFY(updated.lstLog.contains(QStringLiteral("The database is up to date.")));
    const Run again = m_program.run({QStringLiteral("-AutoCreate")});
    QCOMPARE(again.nExitCode, 1);
    QVERIFY(!again.lstLog.filter(QStringLiteral("ERROR: Unable to create the database pelq")).isEmpty());
    QVERIFY(admin.dropDatabase(QStringLiteral("pelq")));
}

void ProgramTest::helpAndVersionPrintAndEnd_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("firstLine");

    const QString szUsage =
        QStringLiteral("Usage: KivDataBaseUpdater [-AutoUpdate | -AutoCreate | -Status | -Backup | -Verify FILE | "
                       "-Restore FILE --yes |");
    const QString szVersion = QStringLiteral("Kiv DataBase Updater 1.13.0.568");
    QTest::newRow("--help") << "--help" << szUsage;
    QTest::newRow("--HELP") << "--HELP" << szUsage;
    QTest::newRow("--version") << "--version" << szVersion;
    QTest::newRow("--VerSion") << "--VerSion" << szVersion;
}

void ProgramTest::helpAndVersionPrintAndEnd()
{
    QFETCH(QString, argument);
    QFETCH(QString, firstLine);

    // No display and no platform chosen: a program that made its window (or
    // only its QApplication) would abort here instead of printing.
    m_program.configure(QStringLiteral("127.0.0.1"), 1, QStringLiteral("pelq"));
    const QString szLogBefore = m_program.logText();
    QProcess process;
    m_program.start(process, {argument, QStringLiteral("-AutoUpdate")}, m_program.environment(true));
    QVERIFY(process.waitForStarted(10000));
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    const QString szOut = QString::fromLocal8Bit(process.readAllStandardOutput());
    QCOMPARE(szOut.section(QLatin1Char('\n'), 0, 0), firstLine);
    QVERIFY(szOut.endsWith(QLatin1Char('\n')));
    QCOMPARE(QString::fromLocal8Bit(process.readAllStandardError()), QString());
    QCOMPARE(m_program.logText(), szLogBefore);
}

QTEST_MAIN(ProgramTest)
#include "tst_Program.moc"
