#include "AppTestEnvironment.h"
#include "DBManager.h"
#include "ProgramHarness.h"
#include "ReportSchema.h"
#include "TestDatabase.h"
#include "UpdaterTestDatabase.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <sys/types.h>

namespace {

const QString kDataKey = QStringLiteral("report-test-data-key");
const QString kAlreadyRunning = QStringLiteral("The application is already running !");

QStringList stringList(const QJsonValue &value)
{
    QStringList lstTexts;
    for (const QJsonValue &item : value.toArray())
        lstTexts << item.toString();
    return lstTexts;
}

QStringList lines(const QByteArray &output)
{
    QString szText = QString::fromLocal8Bit(output);
    if (szText.endsWith(QLatin1Char('\n')))
        szText.chop(1);
    return szText.isEmpty() ? QStringList() : szText.split(QLatin1Char('\n'));
}

QByteArray readFile(const QString &szPath)
{
    QFile file(szPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The JSON report of the unattended runs of the built program, printed with
// "--json" and written to Log/KivDataBaseUpdater-last-run.json, for every way
// a run ends; and the answers to a bad command line.
class ProgramReportTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void autoUpdateReport_data();
    void autoUpdateReport();
    void reportFileWithoutJson();
    void autoCreateReport();
    void secondCopyIsRefusedWithAReport_data();
    void secondCopyIsRefusedWithAReport();
    void reportFileIsNeverHalfWritten();
    void unknownFirstArgumentIsAUsageError_data();
    void unknownFirstArgumentIsAUsageError();
    void extraArgumentsAreNamedInOneWarning_data();
    void extraArgumentsAreNamedInOneWarning();
    void interactiveStartWithoutDisplaySaysSo();

private:
    using Run = ProgramHarness::Run;
    // The single JSON object of a "--json" run, validated against the schema
    // and equal to the report file.
    QJsonObject reportOf(const Run &run);
    // The errors of the report are the texts of the run's ERROR lines.
    void compareErrorsWithLog(const QJsonObject &report, const Run &run);

    UpdaterTestDatabase m_db;
    ProgramHarness m_program;
};

void ProgramReportTest::initTestCase()
{
    if (!UpdaterTestDatabase::isConfigured())
        QSKIP("KIV_TEST_PG* not set: start scripts/pgserver.sh and source its env.sh");
    QString szError;
    QVERIFY2(AppTestEnvironment::provisionCredentials(kDataKey, szError), qPrintable(szError));
    DBManager::instance()->enableEncryption(TestDatabase::caFile(), kDataKey);
    DBManager::instance()->setEncryptionEnabled(true);
    QVERIFY2(m_db.prepare(QStringLiteral("apptest_report")), qPrintable(m_db.lastError()));
    QVERIFY2(m_program.setUp(szError), qPrintable(szError));
    QVERIFY2(m_db.createAndOpen(QStringLiteral("v142")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.4.2")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.createAndOpen(QStringLiteral("v190")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.9.0")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.createAndOpen(QStringLiteral("v170")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.7.0")), qPrintable(m_db.lastError()));
    // Records the pass of 1.8.0 encrypts (and needs the data key for).
    QVERIFY(m_db.exec(QStringLiteral("INSERT INTO \"PERSONALDATA\" (\"FirstName\", \"LastName\", \"IdGender\", "
                                     "\"DateOfBirth\") SELECT 'First ' || n, 'Last ' || n, 1, '1980-01-01'::timestamp "
                                     "FROM generate_series(1, 5) AS n")));
    DBManager::instance()->closeDatabase();
}

void ProgramReportTest::cleanupTestCase()
{
    m_db.release();
}

void ProgramReportTest::init()
{
    QVERIFY(m_program.newConfiguration());
    QFile::remove(m_program.reportFilePath());
}

QJsonObject ProgramReportTest::reportOf(const Run &run)
{
    const QList<QByteArray> lstLines = run.stdOut.split('\n');
    [&] {
        QCOMPARE(lstLines.size(), 2);
        QCOMPARE(lstLines.last(), QByteArray());
    }();
    if (QTest::currentTestFailed())
        return QJsonObject();
    const QJsonDocument document = QJsonDocument::fromJson(lstLines.first());
    if (!document.isObject()) {
        QTest::qFail("standard output is no JSON object", __FILE__, __LINE__);
        return QJsonObject();
    }
    if (ReportSchema::interpreter().isEmpty()) {
        qWarning("python3-jsonschema is missing (scripts/setup.sh installs it): the report is not validated");
    } else {
        const QString szProblems = ReportSchema::problems(run.stdOut);
        if (!szProblems.isEmpty()) {
            QTest::qFail(
                qPrintable(szProblems + QLatin1Char('\n') + QString::fromUtf8(run.stdOut)), __FILE__, __LINE__);
            return QJsonObject();
        }
    }
    // The report file holds the same report.
    const QJsonObject file = QJsonDocument::fromJson(readFile(m_program.reportFilePath())).object();
    if (file != document.object()) {
        QTest::qFail(qPrintable(QStringLiteral("the report file differs from the printed report:\n%1")
                                    .arg(QString::fromUtf8(readFile(m_program.reportFilePath())))),
                     __FILE__,
                     __LINE__);
        return QJsonObject();
    }
    return document.object();
}

void ProgramReportTest::compareErrorsWithLog(const QJsonObject &report, const Run &run)
{
    // The program's error lines: "ERROR: " and the text. A failed statement's
    // server text is also echoed on the debug channel, as an information
    // line that begins with the server's own "ERROR:  " (two blanks): not an
    // error line of the program, and its text is on the next error line.
    QStringList lstLogErrors;
    for (const QString &szLine : run.lstLog)
        if (szLine.startsWith(QStringLiteral("ERROR: ")) && !szLine.startsWith(QStringLiteral("ERROR:  ")))
            lstLogErrors << szLine.mid(7).simplified();
    // The log writes a text of several lines as one line and the lines
    // after it; the report joins them into one.
    const QStringList lstErrors = stringList(report.value(QStringLiteral("errors")));
    bool bSame = lstErrors.size() == lstLogErrors.size();
    for (int i = 0; bSame && i < lstErrors.size(); ++i)
        bSame = lstErrors.at(i).startsWith(lstLogErrors.at(i));
    QVERIFY2(bSame,
             qPrintable(QStringLiteral("report:\n%1\nlog:\n%2").arg(lstErrors.join('\n'), lstLogErrors.join('\n'))));
}

void ProgramReportTest::autoUpdateReport_data()
{
    QTest::addColumn<QString>("from"); // empty: no server
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("dataKey");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("versionAfter");
    QTest::addColumn<QStringList>("pending");
    QTest::addColumn<QStringList>("steps"); // "version result"
    QTest::addColumn<QString>("error");     // part of one error text

    const QStringList lstAfter142{"1.5.0", "1.6.0", "1.7.0", "1.8.0", "1.9.0"};
    QTest::newRow("success") << "v170"
                             << "" << kDataKey << 0 << "1.9.0" << QStringList{"1.8.0", "1.9.0"}
                             << QStringList{"1.8.0 ok", "1.9.0 ok"} << "";
    QTest::newRow("up to date") << "v190"
                                << "" << kDataKey << 0 << "1.9.0" << QStringList() << QStringList() << "";
    // A column that the step to 1.5.0 adds, already there.
    QTest::newRow("failing step") << "v142"
                                  << "ALTER TABLE patients ADD COLUMN import_id text" << kDataKey << 1 << "1.4.2"
                                  << lstAfter142 << QStringList{"1.5.0 failed"} << "already exists";
    QTest::newRow("missing data key") << "v170"
                                      << ""
                                      << "" << 1 << "1.7.0" << QStringList{"1.8.0", "1.9.0"}
                                      << QStringList{"1.8.0 failed"} << "data key";
    QTest::newRow("no server") << ""
                               << "" << kDataKey << 1 << "" << QStringList() << QStringList() << "Unable to connect";
}

void ProgramReportTest::autoUpdateReport()
{
    QFETCH(QString, from);
    QFETCH(QString, sql);
    QFETCH(QString, dataKey);
    QFETCH(int, exitCode);
    QFETCH(QString, versionAfter);
    QFETCH(QStringList, pending);
    QFETCH(QStringList, steps);
    QFETCH(QString, error);

    QString szDatabase = QStringLiteral("pelq");
    QString szVersionBefore;
    if (from.isEmpty()) {
        m_program.configure(QStringLiteral("127.0.0.1"), 1, szDatabase);
    } else {
        const QString szName = QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('_'));
        szDatabase = m_db.prefixed(szName);
        QVERIFY2(m_db.openCopy(m_db.prefixed(from), szName), qPrintable(m_db.lastError()));
        if (!sql.isEmpty())
            QVERIFY2(m_db.exec(sql), qPrintable(m_db.lastError()));
        szVersionBefore = m_db.version();
        DBManager::instance()->closeDatabase();
        m_program.configure(TestDatabase::host(), TestDatabase::port(), szDatabase);
    }
    QString szError;
    if (dataKey != kDataKey)
        QVERIFY2(AppTestEnvironment::provisionCredentials(dataKey, szError), qPrintable(szError));
    const auto restoreKey = qScopeGuard([dataKey] {
        QString szIgnored;
        if (dataKey != kDataKey)
            AppTestEnvironment::provisionCredentials(kDataKey, szIgnored);
    });

    const Run run = m_program.run({QStringLiteral("-AutoUpdate"), QStringLiteral("--json")});
    QCOMPARE(run.nExitCode, exitCode);
    const QJsonObject report = reportOf(run);
    QVERIFY(!QTest::currentTestFailed());
    QCOMPARE(report.value(QStringLiteral("command")).toString(), QStringLiteral("autoUpdate"));
    QCOMPARE(report.value(QStringLiteral("exitCode")).toInt(), exitCode);
    QCOMPARE(report.value(QStringLiteral("success")).toBool(), exitCode == 0);
    QCOMPARE(report.value(QStringLiteral("database")).toString(), szDatabase);
    QCOMPARE(report.value(QStringLiteral("versionBefore")).toString(), szVersionBefore);
    QCOMPARE(report.value(QStringLiteral("versionAfter")).toString(), versionAfter);
    QCOMPARE(report.value(QStringLiteral("tls")), from.isEmpty() ? QJsonValue() : QJsonValue(true));
    QCOMPARE(stringList(report.value(QStringLiteral("pendingSteps"))), pending);
    QStringList lstSteps;
    for (const QJsonValue &step : report.value(QStringLiteral("stepsRun")).toArray())
        lstSteps << step.toObject().value(QStringLiteral("version")).toString() + QLatin1Char(' ') +
                        step.toObject().value(QStringLiteral("result")).toString();
    QCOMPARE(lstSteps, steps);
    QVERIFY(report.value(QStringLiteral("backup")).isNull());
    const QString szLogFile = report.value(QStringLiteral("logFile")).toString();
    QVERIFY2(QFileInfo(szLogFile).isFile() &&
                 QFileInfo(szLogFile).absolutePath() == QFileInfo(m_program.logFolder()).absoluteFilePath(),
             qPrintable(szLogFile));
    QVERIFY(QDateTime::fromString(report.value(QStringLiteral("startedAt")).toString(), Qt::ISODateWithMs) <=
            QDateTime::fromString(report.value(QStringLiteral("endedAt")).toString(), Qt::ISODateWithMs));
    compareErrorsWithLog(report, run);
    const QStringList lstErrors = stringList(report.value(QStringLiteral("errors")));
    if (error.isEmpty())
        QCOMPARE(lstErrors, QStringList());
    else
        QVERIFY2(!lstErrors.filter(error).isEmpty(), qPrintable(lstErrors.join('\n')));
    // The version the report names is the database's.
    if (!from.isEmpty()) {
        QVERIFY(DBManager::instance()->openDatabase(TestDatabase::host(),
                                                    TestDatabase::port(),
                                                    szDatabase,
                                                    TestDatabase::user(),
                                                    TestDatabase::password(),
                                                    10));
        QCOMPARE(m_db.version(), versionAfter);
        DBManager::instance()->closeDatabase();
    }
}

void ProgramReportTest::reportFileWithoutJson()
{
    // Without "--json" nothing goes to standard output; the file is written
    // all the same, for a failed run too.
    m_program.configure(QStringLiteral("127.0.0.1"), 1, QStringLiteral("pelq"));
    const Run run = m_program.run({QStringLiteral("-AutoUpdate")});
    QCOMPARE(run.nExitCode, 1);
    QCOMPARE(run.stdOut, QByteArray());
    const QByteArray file = readFile(m_program.reportFilePath());
    if (!ReportSchema::interpreter().isEmpty())
        QCOMPARE(ReportSchema::problems(file), QString());
    const QJsonObject report = QJsonDocument::fromJson(file).object();
    QCOMPARE(report.value(QStringLiteral("exitCode")).toInt(), 1);
    QCOMPARE(report.value(QStringLiteral("server")).toString(), QStringLiteral("127.0.0.1:1"));
    compareErrorsWithLog(report, run);
}

void ProgramReportTest::autoCreateReport()
{
    // -AutoCreate always works on the suite's default server 127.0.0.1:6543
    // with the database "pelq". On another test server it fails there
    // (nothing listens, or a server that does not know these credentials),
    // and its report says so in the same shape.
    const bool bDefaultServer = TestDatabase::port() == 6543;
    TestDatabase admin(QStringLiteral("apptest_admin"));
    KIV_VERIFY_TEST_DATABASE(admin);
    if (bDefaultServer)
        QVERIFY(admin.dropDatabase(QStringLiteral("pelq")));
    m_program.configure(QStringLiteral("elsewhere"), 1, QStringLiteral("other"));

    const Run run = m_program.run({QStringLiteral("-AutoCreate"), QStringLiteral("--json")});
    const QJsonObject report = reportOf(run);
    QVERIFY(!QTest::currentTestFailed());
    QCOMPARE(report.value(QStringLiteral("command")).toString(), QStringLiteral("autoCreate"));
    QCOMPARE(report.value(QStringLiteral("server")).toString(), QStringLiteral("127.0.0.1:6543"));
    QCOMPARE(report.value(QStringLiteral("database")).toString(), QStringLiteral("pelq"));
    compareErrorsWithLog(report, run);
    if (bDefaultServer) {
        QCOMPARE(run.nExitCode, 0);
        QCOMPARE(report.value(QStringLiteral("versionAfter")).toString(), QStringLiteral("1.9.0"));
        QVERIFY(!report.value(QStringLiteral("stepsRun")).toArray().isEmpty());
        QVERIFY(admin.dropDatabase(QStringLiteral("pelq")));
    } else {
        QCOMPARE(run.nExitCode, 1);
        QCOMPARE(report.value(QStringLiteral("success")), QJsonValue(false));
        QVERIFY(!report.value(QStringLiteral("errors")).toArray().isEmpty());
    }
}

void ProgramReportTest::secondCopyIsRefusedWithAReport_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("command");
    QTest::newRow("-AutoUpdate") << "-AutoUpdate"
                                 << "autoUpdate";
    QTest::newRow("-AutoCreate") << "-AutoCreate"
                                 << "autoCreate";
}

void ProgramReportTest::secondCopyIsRefusedWithAReport()
{
    QFETCH(QString, option);
    QFETCH(QString, command);

    // An interactive copy that cannot connect waits on its question box.
    m_program.configure(QStringLiteral("127.0.0.1"), 1, QStringLiteral("pelq"));
    const int nBefore = m_program.logText().size();
    QProcess first;
    m_program.start(first, QStringList(), m_program.environment(false));
    QVERIFY(first.waitForStarted(10000));
    const auto end = qScopeGuard([&first] {
        first.kill();
        first.waitForFinished(10000);
    });
    QTRY_VERIFY_WITH_TIMEOUT(m_program.logText().mid(nBefore).contains(QStringLiteral("CommandLine = ")), 30000);

    const Run refused = m_program.run({option, QStringLiteral("--json")});
    QCOMPARE(refused.nExitCode, 255);
    const QJsonObject report = reportOf(refused);
    QVERIFY(!QTest::currentTestFailed());
    QCOMPARE(report.value(QStringLiteral("command")).toString(), command);
    QCOMPARE(report.value(QStringLiteral("exitCode")).toInt(), 255);
    QCOMPARE(report.value(QStringLiteral("success")), QJsonValue(false));
    QCOMPARE(stringList(report.value(QStringLiteral("errors"))), QStringList{kAlreadyRunning});
    QCOMPARE(report.value(QStringLiteral("stepsRun")).toArray(), QJsonArray());
}

void ProgramReportTest::reportFileIsNeverHalfWritten()
{
    // An old report, then runs killed outright at moments spread over their
    // end, where the report is written: after each, the file is the old
    // report or a whole new one.
    m_program.configure(QStringLiteral("127.0.0.1"), 1, QStringLiteral("pelq"));
    QVERIFY(QDir().mkpath(m_program.logFolder()));
    const Run whole = m_program.run({QStringLiteral("-AutoUpdate")});
    QCOMPARE(whole.nExitCode, 1);
    const QByteArray oldReport = readFile(m_program.reportFilePath()).replace("\"autoUpdate\"", "\"autoCreate\"");
    QVERIFY(oldReport.contains("\"autoCreate\""));

    int nOld = 0;
    int nNew = 0;
    for (int nRound = 0; nRound < 16; ++nRound) {
        {
            QFile file(m_program.reportFilePath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(oldReport), qint64(oldReport.size()));
        }
        const int nLogBefore = m_program.logText().size();
        QProcess process;
        m_program.start(process, {QStringLiteral("-AutoUpdate")}, m_program.environment(true));
        QVERIFY(process.waitForStarted(10000));
        // The window closes, then the report is written: from the closing
        // line on, a kill a little later each round.
        while (process.state() == QProcess::Running &&
               !m_program.logText().mid(nLogBefore).contains(QStringLiteral("*** Close Program ***")))
            QThread::usleep(200);
        QThread::usleep(static_cast<unsigned long>(nRound * 500));
        ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
        QVERIFY(process.waitForFinished(30000));

        const QByteArray file = readFile(m_program.reportFilePath());
        if (file == oldReport) {
            ++nOld;
            continue;
        }
        ++nNew;
        const QJsonObject report = QJsonDocument::fromJson(file).object();
        QCOMPARE(report.value(QStringLiteral("command")).toString(), QStringLiteral("autoUpdate"));
        if (!ReportSchema::interpreter().isEmpty())
            QCOMPARE(ReportSchema::problems(file), QString());
    }
    qInfo("kills: %d left the old report, %d the new one", nOld, nNew);

    // A kill while the report was written leaves its temporary file (the
    // report's name and six characters). The next run removes those that
    // are old, and leaves a fresh one, which another copy may be writing.
    const QDir logFolder(m_program.logFolder());
    const QString szPattern = QStringLiteral("KivDataBaseUpdater-last-run.json.??????");
    const QString szFresh = logFolder.filePath(QStringLiteral("KivDataBaseUpdater-last-run.json.Fr35h1"));
    for (const QString &szName : logFolder.entryList({szPattern}, QDir::Files | QDir::Hidden)) {
        QFile leftover(logFolder.filePath(szName));
        QVERIFY(leftover.open(QIODevice::ReadWrite));
        QVERIFY(leftover.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    }
    QFile stale(logFolder.filePath(QStringLiteral("KivDataBaseUpdater-last-run.json.St4le1")));
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write("{\"format\":");
    QVERIFY(stale.flush());
    QVERIFY(stale.setFileTime(QDateTime::currentDateTime().addSecs(-120), QFileDevice::FileModificationTime));
    stale.close();
    QFile fresh(szFresh);
    QVERIFY(fresh.open(QIODevice::WriteOnly));
    fresh.close();
    QCOMPARE(m_program.run({QStringLiteral("-AutoUpdate")}).nExitCode, 1);
    QCOMPARE(logFolder.entryList({szPattern}, QDir::Files | QDir::Hidden), QStringList{QFileInfo(szFresh).fileName()});
    QVERIFY(QFile::remove(szFresh));
    const QJsonObject last = QJsonDocument::fromJson(readFile(m_program.reportFilePath())).object();
    QCOMPARE(last.value(QStringLiteral("command")).toString(), QStringLiteral("autoUpdate"));
}

void ProgramReportTest::unknownFirstArgumentIsAUsageError_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("firstLine");

    QTest::newRow("-Foo") << QStringList{"-Foo"} << "KivDataBaseUpdater: Unknown option: -Foo";
    QTest::newRow("/AutoUpdate") << QStringList{"/AutoUpdate"} << "KivDataBaseUpdater: Unknown option: /AutoUpdate";
    QTest::newRow("AutoUpdate") << QStringList{"AutoUpdate", "--json"}
                                << "KivDataBaseUpdater: Unknown option: AutoUpdate";
    QTest::newRow("--json first") << QStringList{"--json", "-AutoUpdate"}
                                  << "KivDataBaseUpdater: Unknown option: --json";
    QTest::newRow("-Verify without file")
        << QStringList{"-Verify", "--json"} << "KivDataBaseUpdater: -Verify needs the backup file";
}

void ProgramReportTest::unknownFirstArgumentIsAUsageError()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, firstLine);

    m_program.configure(QStringLiteral("127.0.0.1"), 1, QStringLiteral("pelq"));
    QVERIFY(QDir(m_program.logFolder()).removeRecursively());
    // No display: a program that opened its window would abort.
    const Run run = m_program.run(arguments);
    QCOMPARE(run.nExitCode, 64);
    QCOMPARE(run.stdOut, QByteArray());
    const QStringList lstLines = lines(run.stdErr);
    QVERIFY(lstLines.size() > 3);
    QCOMPARE(lstLines.at(0), firstLine);
    QCOMPARE(lstLines.at(1), QString());
    QVERIFY2(lstLines.at(2).startsWith(QStringLiteral("Usage: KivDataBaseUpdater ")), qPrintable(lstLines.at(2)));
    QVERIFY(lstLines.contains(QStringLiteral("  64   unknown option or missing argument")));
    // Nothing read or written: no log, no report.
    QVERIFY(!QFileInfo::exists(m_program.logFolder()));
}

void ProgramReportTest::extraArgumentsAreNamedInOneWarning_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("warning");

    QTest::newRow("two extra") << QStringList{"-AutoUpdate", "extra", "--verbose"}
                               << "WARNING: Ignored arguments: extra --verbose";
    QTest::newRow("--json twice") << QStringList{"-AutoUpdate", "--json", "--json"}
                                  << "WARNING: Ignored arguments: --json";
    QTest::newRow("--fresh is for -Rehearse")
        << QStringList{"-autoupdate", "--fresh"} << "WARNING: Ignored arguments: --fresh";
    QTest::newRow("-Status") << QStringList{"-Status", "--json", "now"} << "WARNING: Ignored arguments: now";
}

void ProgramReportTest::extraArgumentsAreNamedInOneWarning()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, warning);

    m_program.configure(QStringLiteral("127.0.0.1"), 1, QStringLiteral("pelq"));
    const Run run = m_program.run(arguments);
    // The run goes on as without them (and fails for want of a server).
    QCOMPARE(run.nExitCode, 1);
    if (arguments.contains(QStringLiteral("--json"), Qt::CaseInsensitive))
        QCOMPARE(lines(run.stdOut).size(), 1);
    // -Status writes no log: the warning goes to standard error, its only
    // warning there.
    const bool bStatus = arguments.first() == QStringLiteral("-Status");
    const QStringList lstWarnings =
        bStatus ? lines(run.stdErr).filter(QStringLiteral("WARNING: ")) : run.lstLog.filter(QStringLiteral("Ignored"));
    QVERIFY2(lstWarnings == QStringList{warning}, qPrintable(lstWarnings.join('\n')));
}

void ProgramReportTest::interactiveStartWithoutDisplaySaysSo()
{
    m_program.configure(QStringLiteral("127.0.0.1"), 1, QStringLiteral("pelq"));
    QVERIFY(QDir(m_program.logFolder()).removeRecursively());
    const Run run = m_program.run(QStringList(), m_program.environment(true));
    // An exit of its own, not Qt's abort (which the harness sees as -200).
    QCOMPARE(run.nExitCode, 1);
    QCOMPARE(run.stdOut, QByteArray());
    const QStringList lstLines = lines(run.stdErr);
    QCOMPARE(lstLines.size(), 1);
    QVERIFY2(lstLines.first().startsWith(QStringLiteral("KivDataBaseUpdater: no display")),
             qPrintable(lstLines.first()));
    QVERIFY(!QFileInfo::exists(m_program.logFolder()));
}

QTEST_MAIN(ProgramReportTest)
#include "tst_ProgramReport.moc"
