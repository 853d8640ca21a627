#include "AppTestEnvironment.h"
#include "DBManager.h"
#include "TestDatabase.h"
#include "UpdaterTestDatabase.h"

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kDataKey = QStringLiteral("program-test-data-key");
const QString kProgram = QStringLiteral("KivDataBaseUpdater");

struct Run
{
    int nExitCode = -100;
    QStringList lstLog; // lines written during the run
};

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
    void configure(const QString &szHost, int nPort, const QString &szDatabase);
    QProcessEnvironment environment(bool bHeadless) const;
    Run run(const QStringList &lstArguments);
    QString logText() const;
    bool openScratch(const QString &szName);

    UpdaterTestDatabase m_db;
    QTemporaryDir m_suite;
    std::unique_ptr<QTemporaryDir> m_pConfigHome;
    QString m_szProgram;
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

    // The suite as an installer lays it out: the program and its libraries
    // in a folder below the suite root, the CA chain in OpenSSL beside it.
    QVERIFY(m_suite.isValid());
    const QDir bin(QCoreApplication::applicationDirPath());
    const QString szUpdater = m_suite.filePath(QStringLiteral("Updater"));
    QVERIFY(QDir().mkpath(szUpdater));
    QVERIFY(QDir().mkpath(m_suite.filePath(QStringLiteral("OpenSSL"))));
    QStringList lstFiles = bin.entryList({QStringLiteral("lib*.so*")}, QDir::Files);
    lstFiles << kProgram;
    for (const QString &szFile : lstFiles)
        QVERIFY2(QFile::copy(bin.filePath(szFile), szUpdater + QLatin1Char('/') + szFile), qPrintable(szFile));
    QVERIFY(QFile::copy(TestDatabase::caFile(), m_suite.filePath(QStringLiteral("OpenSSL/telvorCA-chain.pem"))));
    m_szProgram = szUpdater + QLatin1Char('/') + kProgram;
}

void ProgramTest::cleanupTestCase()
{
    m_db.release();
}

void ProgramTest::init()
{
    // Every case starts with a settings store of its own.
    m_pConfigHome = std::make_unique<QTemporaryDir>();
    QVERIFY(m_pConfigHome->isValid());
}

void ProgramTest::configure(const QString &szHost, int nPort, const QString &szDatabase)
{
    QSettings settings(m_pConfigHome->filePath(QStringLiteral("Marlek Telvor Group/Telvor Imaging Suite.conf")),
                       QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("tools/common"));
    settings.setValue(QStringLiteral("dbInfo/dataSource"), szHost);
    settings.setValue(QStringLiteral("dbInfo/portNumber"), nPort);
    settings.setValue(QStringLiteral("dbInfo/initialCatalog"), szDatabase);
    settings.setValue(QStringLiteral("dbInfo/connectionTimeout"), 10);
    settings.setValue(QStringLiteral("logFile/databaseEnabled"), true);
}

QProcessEnvironment ProgramTest::environment(bool bHeadless) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_pConfigHome->path());
    if (bHeadless) {
        // An unattended run finds out by itself that there is no screen.
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    }
    return env;
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

QString ProgramTest::logText() const
{
    QString szText;
    const QDir logDir(m_suite.filePath(QStringLiteral("Log")));
    for (const QString &szName : logDir.entryList({QStringLiteral("*.log")}, QDir::Files, QDir::Name)) {
        QFile file(logDir.filePath(szName));
        if (file.open(QIODevice::ReadOnly))
            szText += QString::fromUtf8(file.readAll());
    }
    return szText;
}

Run ProgramTest::run(const QStringList &lstArguments)
{
    const int nBefore = logText().size();
    QProcess process;
    process.setProcessEnvironment(environment(true));
    process.start(m_szProgram, lstArguments);
    Run result;
    if (!process.waitForStarted(10000) || !process.waitForFinished(300000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.nExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -200;
    // Lines of the text log: a head "KIV00000001<stamp> " before each text.
    for (const QString &szLine : logText().mid(nBefore).split(QLatin1Char('\n'))) {
        const int nHead = szLine.indexOf(QLatin1String("> "));
        if (szLine.startsWith(QLatin1String("KIV")) && nHead > 0)
            result.lstLog << szLine.mid(nHead + 2);
    }
    return result;
}

void ProgramTest::autoUpdateOfUpToDateDatabase()
{
    QVERIFY2(m_db.createAndOpen(QStringLiteral("uptodate")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.9.0")), qPrintable(m_db.lastError()));
    DBManager::instance()->closeDatabase();
    configure(TestDatabase::host(), TestDatabase::port(), m_db.prefixed(QStringLiteral("uptodate")));

    const Run result = run({QStringLiteral("-autoupdate")});
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
    configure(QStringLiteral("127.0.0.1"), 1, QStringLiteral("pelq"));
    const Run result = run({QStringLiteral("--AutoUpdate")});
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
    configure(TestDatabase::host(), TestDatabase::port(), m_db.prefixed(QStringLiteral("failing")));

    Run result = run({QStringLiteral("-AutoUpdate")});
    QCOMPARE(result.nExitCode, 1);
    QVERIFY(result.lstLog.contains(QStringLiteral("ERROR: Error during database update.")));
    QVERIFY2(!result.lstLog.filter(QStringLiteral("already exists")).isEmpty(), qPrintable(result.lstLog.join('\n')));

    // The database still reports the version before the failed step.
    QVERIFY(openScratch(QStringLiteral("failing")));
    QCOMPARE(m_db.version(), QStringLiteral("1.4.2"));
    QVERIFY(m_db.exec(QStringLiteral("ALTER TABLE patients DROP COLUMN import_id")));
    DBManager::instance()->closeDatabase();

    result = run({QStringLiteral("-AutoUpdate")});
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
    configure(TestDatabase::host(), TestDatabase::port(), m_db.prefixed(QStringLiteral("backupfirst")));

    // A dump program that fails, and the option that asks for a backup first.
    QTemporaryDir clientDir;
    QFile dump(clientDir.filePath(QStringLiteral("pg_dump")));
    QVERIFY(dump.open(QIODevice::WriteOnly));
    // It tells a version new enough for the server, so that it is the one run.
    dump.write("#!/bin/sh\n[ \"$1\" = --version ] && { echo 'pg_dump (PostgreSQL) 99.1'; exit 0; }\n"
               "echo 'pg_dump: error: disk full' >&2\nexit 3\n");
    dump.close();
    QVERIFY(dump.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    {
        QSettings settings(m_pConfigHome->filePath(QStringLiteral("Marlek Telvor Group/Telvor Imaging Suite.conf")),
                           QSettings::IniFormat);
        settings.setValue(QStringLiteral("tools/common/miscellaneous/dbServerPath"), clientDir.path());
        settings.setValue(QStringLiteral("tools/common/miscellaneous/backupBeforeUpdate"), true);
    }

    const Run result = run({QStringLiteral("-AutoUpdate")});
    QCOMPARE(result.nExitCode, 1);
    QVERIFY2(!result.lstLog.filter(QStringLiteral("ERROR: Backup process exit code = 3")).isEmpty(),
             qPrintable(result.lstLog.join('\n')));
    QVERIFY(result.lstLog.filter(QStringLiteral("Database update performed")).isEmpty());
    QVERIFY(openScratch(QStringLiteral("backupfirst")));
    QCOMPARE(m_db.version(), QStringLiteral("1.8.0"));
    DBManager::instance()->closeDatabase();
    QVERIFY(QDir(m_suite.filePath(QStringLiteral("DataBaseBackUp"))).entryList(QDir::Files).isEmpty());
}

void ProgramTest::secondCopyIsRefused()
{
    configure(QStringLiteral("127.0.0.1"), 1, QStringLiteral("pelq"));
    // An interactive copy that cannot connect waits on its question box.
    const int nBefore = logText().size();
    QProcess first;
    first.setProcessEnvironment(environment(false));
    first.start(m_szProgram, QStringList());
    QVERIFY(first.waitForStarted(10000));
    // It holds the guard once it has logged its command line.
    QTRY_VERIFY_WITH_TIMEOUT(logText().mid(nBefore).contains(QStringLiteral("CommandLine = ")), 30000);

    const Run refused = run({QStringLiteral("-AutoUpdate")});
    QCOMPARE(refused.nExitCode, 255); // -1 as the process's exit status
    QVERIFY(refused.lstLog.contains(QStringLiteral("WARNING: The application is already running !")));

    // A copy killed outright does not lock out the next one.
    first.kill();
    QVERIFY(first.waitForFinished(10000));
    const Run next = run({QStringLiteral("-AutoUpdate")});
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
    configure(QStringLiteral("elsewhere"), 1, QStringLiteral("other"));

    const Run created = run({QStringLiteral("-AutoCreate")});
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
    const Run updated = run({QStringLiteral("-AutoUpdate")});
    QCOMPARE(updated.nExitCode, 0);
    QVERIFY(updated.lstLog.contains(QStringLiteral("The database is up to date.")));
    const Run again = run({QStringLiteral("-AutoCreate")});
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
    configure(QStringLiteral("127.0.0.1"), 1, QStringLiteral("pelq"));
    const QString szLogBefore = logText();
    QProcess process;
    process.setProcessEnvironment(environment(true));
    process.start(m_szProgram, {argument, QStringLiteral("-AutoUpdate")});
    QVERIFY(process.waitForStarted(10000));
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    const QString szOut = QString::fromLocal8Bit(process.readAllStandardOutput());
    QCOMPARE(szOut.section(QLatin1Char('\n'), 0, 0), firstLine);
    QVERIFY(szOut.endsWith(QLatin1Char('\n')));
    QCOMPARE(QString::fromLocal8Bit(process.readAllStandardError()), QString());
    QCOMPARE(logText(), szLogBefore);
}

QTEST_MAIN(ProgramTest)
#include "tst_Program.moc"
