#include "AppTestEnvironment.h"
#include "DBManager.h"
#include "DbUpdater.h"
#include "ProgramHarness.h"
#include "ReportSchema.h"
#include "TestDatabase.h"
#include "UpdaterTestDatabase.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

namespace {

const QString kDataKey = QStringLiteral("status-test-data-key");
const QString kLockHolder = QStringLiteral("other updater");

// The database of a row: a copy of one of the prepared versions, changed by
// some SQL, and another session that holds the update lock.
enum class Lock
{
    Free,
    Held
};

} // namespace

Q_DECLARE_METATYPE(Lock)

namespace {

QStringList stringList(const QJsonValue &value)
{
    QStringList lstTexts;
    for (const QJsonValue &item : value.toArray())
        lstTexts << item.toString();
    return lstTexts;
}

QStringList outputLines(const QByteArray &output)
{
    QString szText = QString::fromLocal8Bit(output);
    if (szText.endsWith(QLatin1Char('\n')))
        szText.chop(1);
    return szText.isEmpty() ? QStringList() : szText.split(QLatin1Char('\n'));
}

// The line of the text output that starts with "Label:".
QString valueOf(const QStringList &lstLines, const QString &szLabel)
{
    for (const QString &szLine : lstLines)
        if (szLine.startsWith(szLabel + QLatin1Char(':')))
            return szLine.mid(szLabel.size() + 1).trimmed();
    return QStringLiteral("<no line %1>").arg(szLabel);
}

} // namespace

// "-Status" of the built program against the test server: what it prints,
// as text and as JSON, its exit code for each state of a database, and that
// it leaves the database, the log and the report file as they were.
class ProgramStatusTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void statusOfTheDatabase_data();
    void statusOfTheDatabase();
    void statusInAnyLetterCase_data();
    void statusInAnyLetterCase();
    void statusOfAnUnreachableServer();
    void statusChangesNothing();
    void statusNamesTheNewestBackup();

private:
    using Run = ProgramHarness::Run;
    // The single JSON object of a "--json" run, validated against the schema.
    QJsonObject reportOf(const Run &run);
    // Everything a write could change: the schema, every table's rows, the
    // sequences and the version.
    QStringList databasePrint();

    UpdaterTestDatabase m_db;
    ProgramHarness m_program;
};

void ProgramStatusTest::initTestCase()
{
    if (!UpdaterTestDatabase::isConfigured())
        QSKIP("KIV_TEST_PG* not set: start scripts/pgserver.sh and source its env.sh");
    QString szError;
    QVERIFY2(AppTestEnvironment::provisionCredentials(kDataKey, szError), qPrintable(szError));
    DBManager::instance()->enableEncryption(TestDatabase::caFile(), kDataKey);
    DBManager::instance()->setEncryptionEnabled(true);
    QVERIFY2(m_db.prepare(QStringLiteral("apptest_status")), qPrintable(m_db.lastError()));
    QVERIFY2(m_program.setUp(szError), qPrintable(szError));

    // The versions the rows start from, made once.
    QVERIFY2(m_db.createAndOpen(QStringLiteral("v142")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.4.2")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.createAndOpen(QStringLiteral("v190")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.9.0")), qPrintable(m_db.lastError()));
    DBManager::instance()->closeDatabase();
}

void ProgramStatusTest::cleanupTestCase()
{
    m_db.release();
}

void ProgramStatusTest::init()
{
    QVERIFY(m_program.newConfiguration());
}

QJsonObject ProgramStatusTest::reportOf(const Run &run)
{
    // Exactly one line on standard output, and that line one JSON object.
    const QList<QByteArray> lstLines = run.stdOut.split('\n');
    [&] {
        QCOMPARE(lstLines.size(), 2);
        QCOMPARE(lstLines.last(), QByteArray());
    }();
    if (QTest::currentTestFailed())
        return QJsonObject();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(lstLines.first(), &error);
    if (!document.isObject()) {
        QTest::qFail(qPrintable(QStringLiteral("not a JSON object: %1").arg(error.errorString())), __FILE__, __LINE__);
        return QJsonObject();
    }
    if (ReportSchema::interpreter().isEmpty()) {
        qWarning("python3-jsonschema is missing (scripts/setup.sh installs it): the report is not validated");
    } else {
        const QString szProblems = ReportSchema::problems(run.stdOut);
        if (!szProblems.isEmpty())
            QTest::qFail(
                qPrintable(szProblems + QLatin1Char('\n') + QString::fromUtf8(run.stdOut)), __FILE__, __LINE__);
    }
    return document.object();
}

QStringList ProgramStatusTest::databasePrint()
{
    QStringList lstPrint = m_db.fingerprint();
    lstPrint << m_db.column(QStringLiteral("SELECT c.relkind || ' ' || c.oid::regclass::text FROM pg_class AS c "
                                           "WHERE c.relnamespace = 'public'::regnamespace ORDER BY 1"));
    lstPrint << m_db.column(QStringLiteral("SELECT p.oid::regprocedure::text || ' ' || md5(p.prosrc) FROM pg_proc "
                                           "AS p WHERE p.pronamespace = 'public'::regnamespace ORDER BY 1"));
    lstPrint << m_db.column(
        QStringLiteral("SELECT sequencename || ' ' || coalesce(last_value::text, '-') FROM pg_sequences ORDER BY 1"));
    const QStringList lstTables = m_db.column(QStringLiteral(
        "SELECT format('%I', table_name) FROM information_schema.tables WHERE table_schema = 'public' AND "
        "table_type = 'BASE TABLE' ORDER BY 1"));
    for (const QString &szTable : lstTables)
        lstPrint << szTable + QLatin1Char(' ') +
                        m_db.scalar(QStringLiteral("SELECT md5(coalesce(string_agg(t::text, E'\\n' ORDER BY t::text), "
                                                   "'')) FROM %1 AS t")
                                        .arg(szTable))
                            .toString();
    return lstPrint;
}

void ProgramStatusTest::statusOfTheDatabase_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<Lock>("lock");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QStringList>("pending");
    QTest::addColumn<QStringList>("drift"); // "kind object"

    const QStringList lstAfter142{QStringLiteral("1.5.0"),
                                  QStringLiteral("1.6.0"),
                                  QStringLiteral("1.7.0"),
                                  QStringLiteral("1.8.0"),
                                  QStringLiteral("1.9.0")};
    const QString szDropped = QStringLiteral("ALTER TABLE \"ACQDATA\" DROP COLUMN \"Description\"");
    const QString szDroppedDrift = QStringLiteral("missing column \"ACQDATA\".\"Description\"");

    QTest::newRow("up to date") << "v190"
                                << "" << Lock::Free << 0 << "up to date (exit code 0)" << QStringList()
                                << QStringList();
    QTest::newRow("older") << "v142"
                           << "" << Lock::Free << 2 << "update steps are pending (exit code 2)" << lstAfter142
                           << QStringList();
    QTest::newRow("locked") << "v190"
                            << "" << Lock::Held << 3 << "another updater holds the update lock (exit code 3)"
                            << QStringList() << QStringList();
    // A held lock counts before pending steps, pending steps before drift.
    QTest::newRow("locked and older") << "v142" << szDropped << Lock::Held << 3
                                      << "another updater holds the update lock (exit code 3)" << lstAfter142
                                      << QStringList{szDroppedDrift};
    QTest::newRow("drift") << "v190" << szDropped << Lock::Free << 4
                           << "the schema differs from its version (exit code 4)" << QStringList()
                           << QStringList{szDroppedDrift};
    QTest::newRow("older with drift") << "v142" << szDropped << Lock::Free << 2
                                      << "update steps are pending (exit code 2)" << lstAfter142
                                      << QStringList{szDroppedDrift};
    // A table a clinic added is listed, but is no drift.
    QTest::newRow("extra table") << "v190"
                                 << "CREATE TABLE notes_backup (id integer)" << Lock::Free << 0
                                 << "up to date (exit code 0)" << QStringList()
                                 << QStringList{QStringLiteral("extra table notes_backup")};
    // A version this program does not know: the status cannot say what is
    // pending.
    QTest::newRow("newer database")
        << "v190"
        << "CREATE OR REPLACE FUNCTION \"kivVersion\"() RETURNS text LANGUAGE sql AS $$ SELECT '2.0.0'::text $$"
        << Lock::Free << 1 << "the status could not be read (exit code 1)" << QStringList() << QStringList();
}

void ProgramStatusTest::statusOfTheDatabase()
{
    QFETCH(QString, from);
    QFETCH(QString, sql);
    QFETCH(Lock, lock);
    QFETCH(int, exitCode);
    QFETCH(QString, result);
    QFETCH(QStringList, pending);
    QFETCH(QStringList, drift);

    const QString szName = QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('_'));
    QVERIFY2(m_db.openCopy(m_db.prefixed(from), szName), qPrintable(m_db.lastError()));
    if (!sql.isEmpty())
        QVERIFY2(m_db.exec(sql), qPrintable(m_db.lastError()));
    const QString szVersion = m_db.version();
    const QString szServerVersion = m_db.scalar(QStringLiteral("SHOW server_version")).toString();
    DBManager::instance()->closeDatabase();

    // Another updater: a session of its own that holds the update lock.
    QSqlDatabase other;
    int nHolder = 0;
    if (lock == Lock::Held) {
        other = m_db.otherConnection(QStringLiteral("other_updater"));
        QVERIFY2(other.isOpen(), qPrintable(m_db.lastError()));
        QSqlQuery query(other);
        QVERIFY(query.exec(QStringLiteral("SET application_name = '%1'").arg(kLockHolder)));
        QVERIFY2(
            query.exec(QStringLiteral("SELECT pg_advisory_lock(%1), pg_backend_pid()").arg(DbUpdater::kUpdateLockKey)),
            qPrintable(query.lastError().text()));
        QVERIFY(query.next());
        nHolder = query.value(1).toInt();
    }
    const auto release = qScopeGuard([&other] {
        if (other.isValid()) {
            const QString szConnection = other.connectionName();
            other.close();
            other = QSqlDatabase();
            QSqlDatabase::removeDatabase(szConnection);
        }
    });

    m_program.configure(TestDatabase::host(), TestDatabase::port(), m_db.prefixed(szName));

    // As text.
    const Run text = m_program.run({QStringLiteral("-Status")});
    QCOMPARE(text.nExitCode, exitCode);
    const QStringList lstLines = outputLines(text.stdOut);
    QCOMPARE(valueOf(lstLines, QStringLiteral("Server")),
             QStringLiteral("%1:%2 (PostgreSQL %3, TLS on)")
                 .arg(TestDatabase::host())
                 .arg(TestDatabase::port())
                 .arg(szServerVersion));
    QCOMPARE(valueOf(lstLines, QStringLiteral("Database")), m_db.prefixed(szName));
    QCOMPARE(valueOf(lstLines, QStringLiteral("Database version")), szVersion);
    QCOMPARE(valueOf(lstLines, QStringLiteral("Target version")), QStringLiteral("1.9.0"));
    QCOMPARE(valueOf(lstLines, QStringLiteral("Pending steps")),
             pending.isEmpty() ? QStringLiteral("none") : pending.join(QStringLiteral(", ")));
    QCOMPARE(valueOf(lstLines, QStringLiteral("Result")), result);
    if (lock == Lock::Held)
        QCOMPARE(valueOf(lstLines, QStringLiteral("Update lock")),
                 QStringLiteral("held by application \"%1\" of user %2 at 127.0.0.1 (process %3)")
                     .arg(kLockHolder, TestDatabase::user())
                     .arg(nHolder));
    else
        QCOMPARE(valueOf(lstLines, QStringLiteral("Update lock")), QStringLiteral("free"));
    // Each difference on a line of its own, with its definitions.
    for (const QString &szDifference : drift)
        QVERIFY2(!lstLines
                      .filter(QRegularExpression(
                          QStringLiteral("^  %1(: .*)?$").arg(QRegularExpression::escape(szDifference))))
                      .isEmpty(),
                 qPrintable(lstLines.join('\n')));
    const QStringList lstErrors = outputLines(text.stdErr);
    if (exitCode == 1) {
        QCOMPARE(lstErrors.size(), 1);
        QVERIFY2(lstErrors.first().startsWith(QStringLiteral("ERROR: ")), qPrintable(lstErrors.first()));
    } else {
        QCOMPARE(lstErrors, QStringList());
    }

    // As JSON: the same facts.
    const Run json = m_program.run({QStringLiteral("-Status"), QStringLiteral("--json")});
    QCOMPARE(json.nExitCode, exitCode);
    QCOMPARE(json.stdErr, QByteArray());
    const QJsonObject report = reportOf(json);
    QVERIFY(!QTest::currentTestFailed());
    QCOMPARE(report.value(QStringLiteral("command")).toString(), QStringLiteral("status"));
    QCOMPARE(report.value(QStringLiteral("exitCode")).toInt(), exitCode);
    QCOMPARE(report.value(QStringLiteral("success")).toBool(), exitCode != 1);
    QCOMPARE(report.value(QStringLiteral("server")).toString(),
             QStringLiteral("%1:%2").arg(TestDatabase::host()).arg(TestDatabase::port()));
    QCOMPARE(report.value(QStringLiteral("database")).toString(), m_db.prefixed(szName));
    QCOMPARE(report.value(QStringLiteral("tls")), QJsonValue(true));
    QCOMPARE(report.value(QStringLiteral("versionBefore")).toString(), szVersion);
    QCOMPARE(report.value(QStringLiteral("versionAfter")).toString(), szVersion);
    QCOMPARE(stringList(report.value(QStringLiteral("pendingSteps"))), pending);
    QCOMPARE(report.value(QStringLiteral("stepsRun")).toArray(), QJsonArray());
    QVERIFY(report.value(QStringLiteral("logFile")).isNull());
    QStringList lstDrift;
    for (const QJsonValue &difference : report.value(QStringLiteral("drift")).toArray())
        lstDrift << difference.toObject().value(QStringLiteral("kind")).toString() + QLatin1Char(' ') +
                        difference.toObject().value(QStringLiteral("object")).toString();
    QCOMPARE(lstDrift, drift);
    const QJsonObject holder = report.value(QStringLiteral("lockHolder")).toObject();
    if (lock == Lock::Held) {
        QCOMPARE(holder.value(QStringLiteral("processId")).toInt(), nHolder);
        QCOMPARE(holder.value(QStringLiteral("application")).toString(), kLockHolder);
        QCOMPARE(holder.value(QStringLiteral("user")).toString(), TestDatabase::user());
        QCOMPARE(holder.value(QStringLiteral("address")).toString(), QStringLiteral("127.0.0.1"));
        // The holder is one of the sessions on the database, the status's
        // own session is not.
        QCOMPARE(report.value(QStringLiteral("sessions")).toArray(), QJsonArray{holder});
    } else {
        QVERIFY(report.value(QStringLiteral("lockHolder")).isNull());
        QCOMPARE(report.value(QStringLiteral("sessions")).toArray(), QJsonArray());
    }
    const QStringList lstReportErrors = stringList(report.value(QStringLiteral("errors")));
    QCOMPARE(lstReportErrors.size(), exitCode == 1 ? 1 : 0);
    if (exitCode == 1)
        QCOMPARE(QStringLiteral("ERROR: ") + lstReportErrors.first(), lstErrors.first());
}

void ProgramStatusTest::statusInAnyLetterCase_data()
{
    QTest::addColumn<QString>("option");
    QTest::newRow("-status") << "-status";
    QTest::newRow("--STATUS") << "--STATUS";
    QTest::newRow("-sTaTuS") << "-sTaTuS";
}

void ProgramStatusTest::statusInAnyLetterCase()
{
    QFETCH(QString, option);
    m_program.configure(TestDatabase::host(), TestDatabase::port(), m_db.prefixed(QStringLiteral("v190")));
    const Run run = m_program.run({option, QStringLiteral("--JSON")});
    QCOMPARE(run.nExitCode, 0);
    const QJsonObject report = reportOf(run);
    QVERIFY(!QTest::currentTestFailed());
    QCOMPARE(report.value(QStringLiteral("command")).toString(), QStringLiteral("status"));
}

void ProgramStatusTest::statusOfAnUnreachableServer()
{
    // Port 1: nothing listens there.
    m_program.configure(QStringLiteral("127.0.0.1"), 1, QStringLiteral("pelq"));

    const Run text = m_program.run({QStringLiteral("-Status")});
    QCOMPARE(text.nExitCode, 1);
    const QStringList lstLines = outputLines(text.stdOut);
    QCOMPARE(valueOf(lstLines, QStringLiteral("Server")), QStringLiteral("127.0.0.1:1"));
    QCOMPARE(valueOf(lstLines, QStringLiteral("Database")), QStringLiteral("pelq"));
    QCOMPARE(valueOf(lstLines, QStringLiteral("Result")), QStringLiteral("the status could not be read (exit code 1)"));
    const QStringList lstErrors = outputLines(text.stdErr);
    QCOMPARE(lstErrors.size(), 1);
    QVERIFY2(
        lstErrors.first().startsWith(QStringLiteral("ERROR: Unable to connect to the database pelq on 127.0.0.1:1: ")),
        qPrintable(lstErrors.first()));

    const Run json = m_program.run({QStringLiteral("-Status"), QStringLiteral("--json")});
    QCOMPARE(json.nExitCode, 1);
    const QJsonObject report = reportOf(json);
    QVERIFY(!QTest::currentTestFailed());
    QCOMPARE(report.value(QStringLiteral("success")), QJsonValue(false));
    QCOMPARE(report.value(QStringLiteral("exitCode")).toInt(), 1);
    QCOMPARE(report.value(QStringLiteral("server")).toString(), QStringLiteral("127.0.0.1:1"));
    QCOMPARE(report.value(QStringLiteral("database")).toString(), QStringLiteral("pelq"));
    for (const char *pszKey : {"tls", "serverVersion", "versionBefore", "versionAfter", "lockHolder"})
        QVERIFY2(report.value(QLatin1String(pszKey)).isNull(), pszKey);
    QCOMPARE(QStringList{QStringLiteral("ERROR: ") + stringList(report.value(QStringLiteral("errors"))).value(0)},
             lstErrors);
}

void ProgramStatusTest::statusChangesNothing()
{
    // A database with steps pending, a report of an earlier run, a log of
    // today.
    QVERIFY2(m_db.openCopy(m_db.prefixed(QStringLiteral("v142")), QStringLiteral("unchanged")),
             qPrintable(m_db.lastError()));
    m_program.configure(TestDatabase::host(), TestDatabase::port(), m_db.prefixed(QStringLiteral("unchanged")));
    QVERIFY(QDir().mkpath(m_program.logFolder()));
    const QByteArray oldReport("{\"format\":1,\"command\":\"autoUpdate\",\"note\":\"the last real run\"}\n");
    QFile reportFile(m_program.reportFilePath());
    QVERIFY(reportFile.open(QIODevice::WriteOnly));
    reportFile.write(oldReport);
    reportFile.close();
    const QStringList lstPrint = databasePrint();
    QVERIFY(!lstPrint.isEmpty());
    const QString szLog = m_program.logText();
    const QStringList lstSuite = QDir(m_program.suiteFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const QStringList lstLogFolder = QDir(m_program.logFolder()).entryList(QDir::Files);
    DBManager::instance()->closeDatabase();

    const Run text = m_program.run({QStringLiteral("-Status")});
    QCOMPARE(text.nExitCode, 2);
    const Run json = m_program.run({QStringLiteral("-Status"), QStringLiteral("--json")});
    QCOMPARE(json.nExitCode, 2);

    // A database where every statement that writes fails: the status reads
    // all it reads as before.
    QVERIFY(m_db.reopen());
    QVERIFY(m_db.exec(QStringLiteral("ALTER DATABASE %1 SET default_transaction_read_only = on")
                          .arg(TestDatabase::quoted(m_db.prefixed(QStringLiteral("unchanged"))))));
    DBManager::instance()->closeDatabase();
    const Run readOnly = m_program.run({QStringLiteral("-Status"), QStringLiteral("--json")});
    QCOMPARE(readOnly.nExitCode, 2);
    QJsonObject before = reportOf(json);
    QJsonObject after = reportOf(readOnly);
    QVERIFY(!QTest::currentTestFailed());
    for (const char *pszKey : {"startedAt", "endedAt"}) {
        before.remove(QLatin1String(pszKey));
        after.remove(QLatin1String(pszKey));
    }
    QCOMPARE(after, before);

    QVERIFY(m_db.reopen());
    QVERIFY(m_db.exec(QStringLiteral("SET default_transaction_read_only = off")));
    QVERIFY(m_db.exec(QStringLiteral("ALTER DATABASE %1 RESET default_transaction_read_only")
                          .arg(TestDatabase::quoted(m_db.prefixed(QStringLiteral("unchanged"))))));
    QCOMPARE(databasePrint(), lstPrint);
    DBManager::instance()->closeDatabase();
    QVERIFY(reportFile.open(QIODevice::ReadOnly));
    QCOMPARE(reportFile.readAll(), oldReport);
    reportFile.close();
    QCOMPARE(m_program.logText(), szLog);
    QCOMPARE(QDir(m_program.logFolder()).entryList(QDir::Files), lstLogFolder);
    QCOMPARE(QDir(m_program.suiteFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), lstSuite);
}

void ProgramStatusTest::statusNamesTheNewestBackup()
{
    m_program.configure(TestDatabase::host(), TestDatabase::port(), m_db.prefixed(QStringLiteral("v190")));
    m_program.setSetting(QStringLiteral("miscellaneous/dbServerPath"), AppTestEnvironment::clientFolder());
    QVERIFY(QDir(m_program.backupFolder()).removeRecursively());

    Run json = m_program.run({QStringLiteral("-Status"), QStringLiteral("--json")});
    QCOMPARE(json.nExitCode, 0);
    QVERIFY(reportOf(json).value(QStringLiteral("newestBackup")).isNull());
    QVERIFY(!QTest::currentTestFailed());

    // A real backup, then one that was changed after its checksum was taken.
    const Run backup = m_program.run({QStringLiteral("-Backup"), QStringLiteral("--json")});
    QCOMPARE(backup.nExitCode, 0);
    const QJsonObject written = reportOf(backup).value(QStringLiteral("backup")).toObject();
    QVERIFY(!QTest::currentTestFailed());
    const QString szFile = written.value(QStringLiteral("file")).toString();
    QVERIFY2(QFile::exists(szFile), qPrintable(szFile));

    json = m_program.run({QStringLiteral("-Status"), QStringLiteral("--json")});
    QCOMPARE(json.nExitCode, 0);
    QJsonObject newest = reportOf(json).value(QStringLiteral("newestBackup")).toObject();
    QVERIFY(!QTest::currentTestFailed());
    QCOMPARE(newest.value(QStringLiteral("file")).toString(), szFile);
    QCOMPARE(newest.value(QStringLiteral("bytes")).toDouble(), written.value(QStringLiteral("bytes")).toDouble());
    QCOMPARE(newest.value(QStringLiteral("checksum")).toString(), QStringLiteral("matches"));
    const Run text = m_program.run({QStringLiteral("-Status")});
    const QString szNewest = valueOf(outputLines(text.stdOut), QStringLiteral("Newest backup"));
    QVERIFY2(QRegularExpression(QStringLiteral("^%1 \\(\\d+ min old, %2 bytes, checksum matches\\)$")
                                    .arg(QRegularExpression::escape(QDir::toNativeSeparators(szFile)))
                                    .arg(qint64(written.value(QStringLiteral("bytes")).toDouble())))
                 .match(szNewest)
                 .hasMatch(),
             qPrintable(szNewest));

    QFile file(szFile);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(file.size() / 2));
    const char cByte = file.peek(1).at(0);
    file.putChar(char(cByte ^ 0x20));
    file.close();
    json = m_program.run({QStringLiteral("-Status"), QStringLiteral("--json")});
    QCOMPARE(json.nExitCode, 0);
    newest = reportOf(json).value(QStringLiteral("newestBackup")).toObject();
    QVERIFY(!QTest::currentTestFailed());
    QCOMPARE(newest.value(QStringLiteral("checksum")).toString(), QStringLiteral("mismatch"));
    QVERIFY(QFile::remove(szFile));
    QVERIFY(QFile::remove(szFile + QStringLiteral(".sha256")));
}

QTEST_MAIN(ProgramStatusTest)
#include "tst_ProgramStatus.moc"
