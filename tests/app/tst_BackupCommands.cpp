#include "AppTestEnvironment.h"
#include "DBManager.h"
#include "ProgramHarness.h"
#include "ReportSchema.h"
#include "TestDatabase.h"
#include "UpdaterTestDatabase.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QtTest>

namespace {

const QString kDataKey = QStringLiteral("commands-test-data-key");
const QString kLeftoverPattern = QStringLiteral("^kiv_(verify|restore|rehearse)_");
const QString kStampFormat = QStringLiteral("yyyyMMdd_hhmmss");

using Run = ProgramHarness::Run;

QStringList texts(const QJsonValue &value)
{
    QStringList lstTexts;
    for (const QJsonValue &item : value.toArray())
        lstTexts << item.toString();
    return lstTexts;
}

bool writeFile(const QString &szPath, const QByteArray &content)
{
    QFile file(szPath);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

QByteArray readFile(const QString &szPath)
{
    QFile file(szPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString sha256Of(const QByteArray &content)
{
    return QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex());
}

// The checksum file as sha256sum writes it.
bool writeSidecar(const QString &szFile)
{
    return writeFile(
        szFile + QStringLiteral(".sha256"),
        (sha256Of(readFile(szFile)) + QStringLiteral("  ") + QFileInfo(szFile).fileName() + QLatin1Char('\n'))
            .toUtf8());
}

bool setAge(const QString &szPath, int nDays)
{
    QFile file(szPath);
    return file.open(QIODevice::ReadWrite) &&
           file.setFileTime(QDateTime::currentDateTime().addDays(-nDays), QFileDevice::FileModificationTime);
}

} // namespace

// The backup commands and the rehearsal of the built program, run without a
// window as a scheduler runs them, against the test server with the real
// pg_dump and pg_restore: exit codes, the JSON report (printed and in the
// report file), what the backup folder and the server hold afterwards, and
// that the clinic's database is changed only by a confirmed restore.
class TestBackupCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void backupWritesAVerifiedFile();
    void progressOnlyOnATerminal();
    void commandsWithoutServer_data();
    void commandsWithoutServer();
    void verifyReportsVersionAndRowCounts();
    void verifyRefusesABadBackup_data();
    void verifyRefusesABadBackup();
    void restoreWithoutYesChangesNothing_data();
    void restoreWithoutYesChangesNothing();
    void restoreReplacesTheDatabase();
    void restoreBesideAnotherCopyIsRefused();
    void restoreRefusesABadBackup_data();
    void restoreRefusesABadBackup();
    void backupAfterAKilledRestore();
    void leftoversOfAKilledRunAreRemoved_data();
    void leftoversOfAKilledRunAreRemoved();
    void cleanBackupsKeepsTheLastGoodOnes_data();
    void cleanBackupsKeepsTheLastGoodOnes();
    void rehearsalRunsThePendingStepsOnACopy();
    void rehearsalReportsTheFailingStep();

private:
    // A fresh copy of the source database (1.9.0, a table with rows and
    // large objects) that the program is configured for.
    QString newCase(const QString &szName);
    // One backup of the configured database by the program.
    QString makeBackup();
    // The report printed with --json, checked for what every report must
    // hold: one line, the command, the exit code, the same content as the
    // report file, the schema.
    QJsonObject checkReport(const Run &run, const QString &szCommand, int nExitCode);
    // Each row of szSql, its columns joined by '|', on a connection of the
    // test's own that is closed again.
    QStringList rows(const QString &szDatabase, const QString &szSql);
    QString scalar(const QString &szDatabase, const QString &szSql);
    QStringList leftoverDatabases();
    // Catalog and rows of a database: equal prints, equal databases.
    QStringList fingerprint(const QString &szDatabase);
    // One of the ways a backup file gets damaged.
    bool damage(const QString &szFile, const QString &szKind);

    UpdaterTestDatabase m_db;
    std::unique_ptr<TestDatabase> m_pAdmin;
    ProgramHarness m_program;
    QString m_szSource;
};

void TestBackupCommands::initTestCase()
{
    if (!UpdaterTestDatabase::isConfigured())
        QSKIP("KIV_TEST_PG* not set: start scripts/pgserver.sh and source its env.sh");
    QString szError;
    QVERIFY2(AppTestEnvironment::provisionCredentials(kDataKey, szError), qPrintable(szError));
    QVERIFY2(m_program.setUp(szError), qPrintable(szError));
    DBManager::instance()->enableEncryption(TestDatabase::caFile(), kDataKey);
    m_pAdmin = std::make_unique<TestDatabase>(QStringLiteral("apptest_cmdadmin"));
    KIV_VERIFY_TEST_DATABASE(*m_pAdmin);

    QVERIFY2(m_db.prepare(QStringLiteral("apptest_cmd")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.createAndOpen(QStringLiteral("source")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.9.0")), qPrintable(m_db.lastError()));
    // Rows and large objects of a clinic's own, beside those of the schema.
    QVERIFY2(m_db.exec(QStringLiteral("CREATE TABLE clinic_notes (id integer PRIMARY KEY, note text, scan oid); "
                                      "INSERT INTO clinic_notes SELECT g, 'note ' || g, "
                                      "lo_from_bytea(0, convert_to(repeat('scan ' || g, 200 * g), 'UTF8')) "
                                      "FROM generate_series(1, 5) AS g")),
             qPrintable(m_db.lastError()));
    m_szSource = m_db.prefixed(QStringLiteral("source"));
    DBManager::instance()->closeDatabase();
}

void TestBackupCommands::cleanupTestCase()
{
    m_db.release();
    m_pAdmin.reset();
}

void TestBackupCommands::init()
{
    // Every case starts with settings of its own and an empty backup folder.
    m_program.newConfiguration();
    QDir backups(m_program.backupFolder());
    for (const QString &szName : backups.entryList(QDir::Files | QDir::Hidden))
        QVERIFY(backups.remove(szName));
    QFile::remove(m_program.reportFilePath());
}

void TestBackupCommands::cleanup()
{
    DBManager::instance()->closeDatabase();
}

QString TestBackupCommands::newCase(const QString &szName)
{
    if (!m_db.copyDatabase(m_szSource, szName))
        return QString();
    const QString szDatabase = m_db.prefixed(szName);
    m_program.configure(TestDatabase::host(), TestDatabase::port(), szDatabase);
    return szDatabase;
}

QString TestBackupCommands::makeBackup()
{
    const Run run = m_program.run({QStringLiteral("-Backup"), QStringLiteral("--json")});
    return run.nExitCode == 0
               ? run.json().value(QStringLiteral("backup")).toObject().value(QStringLiteral("file")).toString()
               : QString();
}

QJsonObject TestBackupCommands::checkReport(const Run &run, const QString &szCommand, int nExitCode)
{
    [&] {
        QVERIFY2(run.nExitCode == nExitCode, qPrintable(run.text()));
        // Exactly one line of JSON, nothing on standard error: a scheduler
        // reads the one and mails the other.
        QVERIFY2(run.stdOut.endsWith('\n') && run.stdOut.count('\n') == 1, qPrintable(run.text()));
        QVERIFY2(run.stdErr.isEmpty(), qPrintable(run.text()));
        QJsonParseError error;
        const QJsonDocument printed = QJsonDocument::fromJson(run.stdOut, &error);
        QVERIFY2(printed.isObject(), qPrintable(error.errorString()));
        const QJsonObject report = printed.object();
        QCOMPARE(report.value(QStringLiteral("command")).toString(), szCommand);
        QCOMPARE(report.value(QStringLiteral("exitCode")).toInt(), nExitCode);
        QCOMPARE(report.value(QStringLiteral("success")).toBool(), nExitCode == 0);
        // A failure always says why, a success has nothing to say.
        QCOMPARE(texts(report.value(QStringLiteral("errors"))).isEmpty(), nExitCode == 0);
        QCOMPARE(QJsonDocument::fromJson(readFile(m_program.reportFilePath())).object(), report);
        const QString szProblems = ReportSchema::problems(run.stdOut);
        QVERIFY2(szProblems.isEmpty(), qPrintable(szProblems));
    }();
    return run.json();
}

QStringList TestBackupCommands::rows(const QString &szDatabase, const QString &szSql)
{
    QStringList lstRows;
    const QString szConnection = QStringLiteral("commands-check");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), szConnection);
        db.setHostName(TestDatabase::host());
        db.setPort(TestDatabase::port());
        db.setUserName(TestDatabase::user());
        db.setPassword(TestDatabase::password());
        db.setDatabaseName(szDatabase);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(szSql)) {
                while (query.next()) {
                    QStringList lstColumns;
                    for (int i = 0; i < query.record().count(); ++i)
                        lstColumns << query.value(i).toString();
                    lstRows << lstColumns.join(QLatin1Char('|'));
                }
            } else {
                lstRows << QStringLiteral("query failed: ") + query.lastError().text();
            }
        } else {
            lstRows << QStringLiteral("connection failed: ") + db.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(szConnection);
    return lstRows;
}

QString TestBackupCommands::scalar(const QString &szDatabase, const QString &szSql)
{
    return rows(szDatabase, szSql).value(0);
}

QStringList TestBackupCommands::leftoverDatabases()
{
    return m_pAdmin
        ->scalarAdmin(QStringLiteral("SELECT string_agg(datname, ',' ORDER BY datname) FROM pg_database "
                                     "WHERE datname ~ '%1' OR datname ~ '_before_restore_'")
                          .arg(kLeftoverPattern))
        .toString()
        .split(QLatin1Char(','), Qt::SkipEmptyParts);
}

QStringList TestBackupCommands::fingerprint(const QString &szDatabase)
{
    QStringList lstPrint;
    const auto add = [&](const QString &szSql) { lstPrint << rows(szDatabase, szSql); };
    add(QStringLiteral("SELECT table_name || '.' || column_name || ' ' || data_type || ' ' || is_nullable || ' ' || "
                       "coalesce(column_default, '-') FROM information_schema.columns WHERE table_schema = 'public' "
                       "ORDER BY 1"));
    add(QStringLiteral("SELECT conrelid::regclass::text || ' ' || conname || ' ' || pg_get_constraintdef(oid) "
                       "FROM pg_constraint WHERE connamespace = 'public'::regnamespace ORDER BY 1"));
    add(QStringLiteral("SELECT indexdef FROM pg_indexes WHERE schemaname = 'public' ORDER BY 1"));
    add(QStringLiteral("SELECT p.oid::regprocedure::text || ' ' || md5(pg_get_functiondef(p.oid)) FROM pg_proc AS p "
                       "WHERE p.pronamespace = 'public'::regnamespace AND p.prokind IN ('f', 'p') ORDER BY 1"));
    add(QStringLiteral("SELECT tgrelid::regclass::text || ' ' || tgname FROM pg_trigger WHERE NOT tgisinternal "
                       "ORDER BY 1"));
    add(QStringLiteral("SELECT viewname || ' ' || md5(definition) FROM pg_views WHERE schemaname = 'public' "
                       "ORDER BY 1"));
    add(QStringLiteral("SELECT sequencename || ' ' || coalesce(last_value::text, '-') FROM pg_sequences "
                       "WHERE schemaname = 'public' ORDER BY 1"));
    add(QStringLiteral("SELECT extname || ' ' || extversion FROM pg_extension ORDER BY 1"));
    const QStringList lstTables = rows(szDatabase,
                                       QStringLiteral("SELECT quote_ident(table_name) FROM information_schema.tables "
                                                      "WHERE table_schema = 'public' AND table_type = 'BASE TABLE' "
                                                      "ORDER BY 1"));
    for (const QString &szTable : lstTables)
        add(QStringLiteral("SELECT '%1 ' || count(*) || ' ' || md5(coalesce(string_agg(t::text, E'\\n' ORDER BY "
                           "t::text), '')) FROM public.%1 AS t")
                .arg(szTable));
    add(QStringLiteral("SELECT count(*) || ' ' || md5(coalesce(string_agg(oid::text || ':' || md5(lo_get(oid)), ',' "
                       "ORDER BY oid), '')) FROM pg_largeobject_metadata"));
    return lstPrint;
}

bool TestBackupCommands::damage(const QString &szFile, const QString &szKind)
{
    QByteArray content = readFile(szFile);
    if (content.isEmpty())
        return false;
    if (szKind == QLatin1String("checksum mismatch")) {
        // One byte of a table's rows changed after the checksum was taken.
        const int nAt = content.indexOf("\tnote 3\t");
        if (nAt < 0)
            return false;
        content[nAt + 1] = 'N';
        return writeFile(szFile, content);
    }
    if (szKind == QLatin1String("cut short")) {
        // A copy that broke off half-way, with a checksum of what arrived.
        content.truncate(content.size() / 2);
    } else if (szKind == QLatin1String("bad row inside")) {
        // The archive and its table of contents are whole, but a row of
        // clinic_notes no longer fits its column: only the restore finds out.
        const int nAt = content.indexOf("\tnote 1\t");
        if (nAt < 1 || content.at(nAt - 1) != '1')
            return false;
        content[nAt - 1] = 'x';
    } else if (szKind == QLatin1String("not a backup")) {
        content = QByteArrayLiteral("this is a text file, not a pg_dump archive\n");
    } else {
        return false;
    }
    return writeFile(szFile, content) && writeSidecar(szFile);
}

void TestBackupCommands::backupWritesAVerifiedFile()
{
    QVERIFY(!newCase(QStringLiteral("backup")).isEmpty());

    const Run run = m_program.run({QStringLiteral("-backup"), QStringLiteral("--json")});
    const QJsonObject report = checkReport(run, QStringLiteral("backup"), 0);
    if (QTest::currentTestFailed())
        return;
    const QJsonObject backup = report.value(QStringLiteral("backup")).toObject();
    const QString szFile = backup.value(QStringLiteral("file")).toString();
    QCOMPARE(QFileInfo(szFile).absolutePath(), QFileInfo(m_program.backupFolder()).absoluteFilePath());
    QVERIFY2(QFileInfo(szFile).fileName().startsWith(m_db.prefixed(QStringLiteral("backup")) + "_backup_"),
             qPrintable(szFile));
    const QByteArray content = readFile(szFile);
    QCOMPARE(backup.value(QStringLiteral("bytes")).toDouble(), double(content.size()));
    QCOMPARE(backup.value(QStringLiteral("sha256")).toString(), sha256Of(content));
    // Nothing else in the folder: no unfinished file, one checksum file.
    QCOMPARE(QDir(m_program.backupFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{QFileInfo(szFile).fileName(), QFileInfo(szFile).fileName() + QStringLiteral(".sha256")}));

    // The checksum file is the one of sha256sum.
    const QString szSha256sum = QStandardPaths::findExecutable(QStringLiteral("sha256sum"));
    if (!szSha256sum.isEmpty()) {
        QProcess check;
        check.setWorkingDirectory(m_program.backupFolder());
        check.start(szSha256sum, {QStringLiteral("-c"), QFileInfo(szFile).fileName() + QStringLiteral(".sha256")});
        QVERIFY(check.waitForFinished(60000));
        QVERIFY2(check.exitCode() == 0, check.readAllStandardError().constData());
    }
    // The program connects as at start-up: with TLS when the server offers it.
    QVERIFY2(run.lstLog.contains(QStringLiteral("SSL enabled: 1")), qPrintable(run.text()));
}

void TestBackupCommands::progressOnlyOnATerminal()
{
    const QString szScript = QStandardPaths::findExecutable(QStringLiteral("script"));
    if (szScript.isEmpty())
        QSKIP("script (util-linux) is not installed: no terminal to run the program in");
    QVERIFY(!newCase(QStringLiteral("progress")).isEmpty());

    // Piped: the result on standard output, nothing on standard error.
    const Run piped = m_program.run({QStringLiteral("-Backup")});
    QVERIFY2(piped.nExitCode == 0, qPrintable(piped.text()));
    QCOMPARE(piped.stdErr, QByteArray());
    QVERIFY2(piped.stdOut.startsWith("Backup file: "), qPrintable(piped.text()));
    QVERIFY(piped.stdOut.contains("Backup successfully executed."));

    // On a terminal: the child's progress on one line rewritten in place.
    QProcess terminal;
    terminal.setProcessEnvironment(m_program.environment());
    terminal.start(szScript,
                   {QStringLiteral("-q"),
                    QStringLiteral("-e"),
                    QStringLiteral("-c"),
                    QStringLiteral("'%1' -Backup").arg(m_program.programPath()),
                    QStringLiteral("/dev/null")});
    QVERIFY(terminal.waitForStarted(10000));
    terminal.closeWriteChannel();
    QVERIFY(terminal.waitForFinished(300000));
    const QByteArray screen = terminal.readAll();
    QVERIFY2(terminal.exitCode() == 0, screen.constData());
    QVERIFY2(screen.contains("\rDatabase backup 00:00:"), screen.constData());
    QVERIFY(screen.contains("Backup successfully executed."));
}

void TestBackupCommands::commandsWithoutServer_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("exitCode");

    QTest::newRow("-Backup") << QStringList{"-Backup", "--json"} << "backup" << 1;
    QTest::newRow("-Verify") << QStringList{"-Verify", "x_backup_20260101_000000.tar", "--json"} << "verify" << 1;
    QTest::newRow("-Restore") << QStringList{"-Restore", "x_backup_20260101_000000.tar", "--json", "--yes"} << "restore"
                              << 1;
    QTest::newRow("-Rehearse --fresh") << QStringList{"-Rehearse", "--fresh", "--json"} << "rehearse" << 1;
    // The cleaning of the folder needs no server.
    QTest::newRow("-CleanBackups") << QStringList{"-CleanBackups", "--json"} << "cleanBackups" << 0;
}

void TestBackupCommands::commandsWithoutServer()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, command);
    QFETCH(int, exitCode);

    // Port 1: nothing listens there.
    m_program.configure(QStringLiteral("127.0.0.1"), 1, QStringLiteral("pelq"));
    const Run run = m_program.run(arguments);
    const QJsonObject report = checkReport(run, command, exitCode);
    if (QTest::currentTestFailed() || exitCode == 0)
        return;
    QVERIFY2(!texts(report.value(QStringLiteral("errors"))).filter(QStringLiteral("Unable to connect")).isEmpty(),
             qPrintable(run.text()));
    QVERIFY(report.value(QStringLiteral("backup")).isNull());
    QVERIFY(QDir(m_program.backupFolder()).entryList(QDir::Files).isEmpty());

    // Without --json the same failure is an "ERROR: " line on standard error.
    arguments.removeAll(QStringLiteral("--json"));
    const Run plain = m_program.run(arguments);
    QCOMPARE(plain.nExitCode, exitCode);
    const QStringList lstErrors = QString::fromLocal8Bit(plain.stdErr).split('\n', Qt::SkipEmptyParts);
    QVERIFY2(!lstErrors.filter(QRegularExpression(QStringLiteral("^ERROR: Unable to connect"))).isEmpty(),
             qPrintable(plain.text()));
}

void TestBackupCommands::verifyReportsVersionAndRowCounts()
{
    const QString szDatabase = newCase(QStringLiteral("verify"));
    QVERIFY(!szDatabase.isEmpty());
    const QString szFile = makeBackup();
    QVERIFY(!szFile.isEmpty());

    const Run run = m_program.run({QStringLiteral("-VERIFY"), szFile, QStringLiteral("--json")});
    const QJsonObject report = checkReport(run, QStringLiteral("verify"), 0);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(report.value(QStringLiteral("backup")).toObject().value(QStringLiteral("file")).toString(), szFile);
    const QJsonObject details = report.value(QStringLiteral("details")).toObject();
    QCOMPARE(details.value(QStringLiteral("backupVersion")).toString(), QStringLiteral("1.9.0"));
    QCOMPARE(details.value(QStringLiteral("largeObjects")).toInt(), 5);
    QVERIFY(details.value(QStringLiteral("entries")).toInt() > 5);

    // Every table of the source with its rows, and the large objects.
    QJsonObject expected{{QStringLiteral("(large objects)"), 5}};
    const QStringList lstTables =
        rows(szDatabase,
             QStringLiteral("SELECT quote_ident(table_schema) || '.' || quote_ident(table_name) FROM "
                            "information_schema.tables WHERE table_type = 'BASE TABLE' AND table_schema NOT IN "
                            "('pg_catalog', 'information_schema')"));
    QVERIFY(lstTables.contains(QStringLiteral("public.clinic_notes")));
    QVERIFY(lstTables.contains(QStringLiteral("public.\"PERSONALDATA\"")));
    for (const QString &szTable : lstTables)
        expected.insert(szTable, scalar(szDatabase, QStringLiteral("SELECT count(*) FROM %1").arg(szTable)).toInt());
    QCOMPARE(details.value(QStringLiteral("rowCounts")).toObject(), expected);
    QCOMPARE(expected.value(QStringLiteral("public.clinic_notes")).toInt(), 5);

    // The scratch database is gone, the source untouched.
    QCOMPARE(leftoverDatabases(), QStringList());
    QVERIFY2(!run.lstLog.filter(QStringLiteral("kiv_verify_")).isEmpty(), qPrintable(run.text()));
}

void TestBackupCommands::verifyRefusesABadBackup_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("logged");

    QTest::newRow("checksum mismatch") << "checksum mismatch"
                                       << "The backup file is incomplete or damaged.";
    QTest::newRow("cut short") << "cut short"
                               << "The backup file is incomplete or damaged.";
    QTest::newRow("not a backup") << "not a backup"
                                  << "The backup file is incomplete or damaged.";
    QTest::newRow("bad row inside") << "bad row inside"
                                    << "Error during the restore process.";
}

void TestBackupCommands::verifyRefusesABadBackup()
{
    QFETCH(QString, kind);
    QFETCH(QString, logged);

    QVERIFY(!newCase(QStringLiteral("badverify")).isEmpty());
    const QString szFile = makeBackup();
    QVERIFY(!szFile.isEmpty());
    QVERIFY(damage(szFile, kind));

    const Run run = m_program.run({QStringLiteral("-Verify"), szFile, QStringLiteral("--json")});
    const QJsonObject report = checkReport(run, QStringLiteral("verify"), 1);
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(!texts(report.value(QStringLiteral("errors"))).filter(logged).isEmpty(), qPrintable(run.text()));
    QCOMPARE(report.value(QStringLiteral("details")).toObject(), QJsonObject());
    // The scratch database is dropped on this way out too.
    QCOMPARE(leftoverDatabases(), QStringList());

    // Without --json: each failure on one "ERROR: " line of standard error,
    // the operator's two-line sentence too.
    const Run plain = m_program.run({QStringLiteral("-Verify"), szFile});
    QCOMPARE(plain.nExitCode, 1);
    const QStringList lstLines = QString::fromLocal8Bit(plain.stdErr).split('\n', Qt::SkipEmptyParts);
    QVERIFY2(!lstLines.isEmpty() && lstLines.filter(QRegularExpression(QStringLiteral("^ERROR: "))) == lstLines,
             qPrintable(plain.text()));
    QVERIFY2(!lstLines.filter(logged + QStringLiteral(" The database ")).isEmpty(), qPrintable(plain.text()));
    QCOMPARE(plain.stdOut, QByteArray());
}

void TestBackupCommands::restoreWithoutYesChangesNothing_data()
{
    QTest::addColumn<QStringList>("extra");

    QTest::newRow("no --yes") << QStringList{"--json"};
    // Only the very last argument confirms.
    QTest::newRow("--yes not last") << QStringList{"--yes", "--json"};
}

void TestBackupCommands::restoreWithoutYesChangesNothing()
{
    QFETCH(QStringList, extra);

    const QString szDatabase = newCase(QStringLiteral("noyes"));
    QVERIFY(!szDatabase.isEmpty());
    const QString szFile = makeBackup();
    QVERIFY(!szFile.isEmpty());
    QCOMPARE(rows(szDatabase, QStringLiteral("DELETE FROM clinic_notes WHERE id = 1")), QStringList());
    const QStringList lstBefore = fingerprint(szDatabase);

    const Run run = m_program.run(QStringList{QStringLiteral("-Restore"), szFile} + extra);
    const QJsonObject report = checkReport(run, QStringLiteral("restore"), 64);
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(!texts(report.value(QStringLiteral("errors"))).filter(QStringLiteral("--yes")).isEmpty(),
             qPrintable(run.text()));
    QCOMPARE(fingerprint(szDatabase), lstBefore);
    QCOMPARE(leftoverDatabases(), QStringList());
}

void TestBackupCommands::restoreReplacesTheDatabase()
{
    const QString szDatabase = newCase(QStringLiteral("restore"));
    QVERIFY(!szDatabase.isEmpty());
    const QString szFile = makeBackup();
    QVERIFY(!szFile.isEmpty());
    const QStringList lstBackedUp = fingerprint(szDatabase);
    QCOMPARE(rows(szDatabase,
                  QStringLiteral("DELETE FROM clinic_notes WHERE id = 1; "
                                 "INSERT INTO clinic_notes VALUES (99, 'after the backup', NULL); "
                                 "CREATE TABLE after_backup (x integer)")),
             QStringList());
    QVERIFY(fingerprint(szDatabase) != lstBackedUp);

    // A workstation connected to the database while it is replaced.
    QSqlDatabase workstation = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("workstation"));
    workstation.setHostName(TestDatabase::host());
    workstation.setPort(TestDatabase::port());
    workstation.setUserName(TestDatabase::user());
    workstation.setPassword(TestDatabase::password());
    workstation.setDatabaseName(szDatabase);
    QVERIFY(workstation.open());
    QSqlQuery before(workstation);
    QVERIFY(before.exec(QStringLiteral("SELECT 1")));

    const Run run =
        m_program.run({QStringLiteral("--restore"), szFile, QStringLiteral("--json"), QStringLiteral("--YES")});
    const QJsonObject report = checkReport(run, QStringLiteral("restore"), 0);

    QSqlQuery after(workstation);
    const bool bStillConnected = after.exec(QStringLiteral("SELECT 1"));
    workstation.close();
    workstation = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("workstation"));
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(!bStillConnected, "the workstation's session was not ended");
    QVERIFY2(!run.lstLog.filter(QStringLiteral("Ending the sessions on the database")).isEmpty(),
             qPrintable(run.text()));

    QCOMPARE(report.value(QStringLiteral("backup")).toObject().value(QStringLiteral("file")).toString(), szFile);
    // The data of the backup, under the configured name, open to everyone.
    QCOMPARE(fingerprint(szDatabase), lstBackedUp);
    QCOMPARE(
        m_pAdmin
            ->scalarAdmin(QStringLiteral("SELECT datallowconn FROM pg_database WHERE datname = '%1'").arg(szDatabase))
            .toBool(),
        true);
    QCOMPARE(leftoverDatabases(), QStringList());
}

void TestBackupCommands::restoreBesideAnotherCopyIsRefused()
{
    const QString szDatabase = newCase(QStringLiteral("guarded"));
    QVERIFY(!szDatabase.isEmpty());
    const QString szFile = makeBackup();
    QVERIFY(!szFile.isEmpty());
    QCOMPARE(rows(szDatabase, QStringLiteral("DELETE FROM clinic_notes WHERE id = 2")), QStringList());
    const QStringList lstBefore = fingerprint(szDatabase);

    // A copy of the program holding its single-instance guard: the window,
    // an unattended update or another restore.
    QProcess holder;
    holder.setProcessEnvironment(m_program.environment());
    holder.start(QCoreApplication::applicationDirPath() + QStringLiteral("/guard_probe"),
                 {QStringLiteral("KivDataBaseUpdater-61BB200D-3579-453e-9044")});
    QVERIFY(holder.waitForStarted(10000) && holder.waitForReadyRead(10000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("first"));

    const Run refused =
        m_program.run({QStringLiteral("-Restore"), szFile, QStringLiteral("--json"), QStringLiteral("--yes")});
    const QJsonObject report = checkReport(refused, QStringLiteral("restore"), 255);
    // Backups do not wait for it.
    const Run backup = m_program.run({QStringLiteral("-Backup"), QStringLiteral("--json")});
    checkReport(backup, QStringLiteral("backup"), 0);
    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(10000));
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(texts(report.value(QStringLiteral("errors"))),
             QStringList{QStringLiteral("The application is already running !")});
    QCOMPARE(fingerprint(szDatabase), lstBefore);
}

void TestBackupCommands::restoreRefusesABadBackup_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("logged");

    QTest::newRow("checksum mismatch") << "checksum mismatch"
                                       << "The backup file is incomplete or damaged.";
    QTest::newRow("cut short") << "cut short"
                               << "The backup file is incomplete or damaged.";
    QTest::newRow("bad row inside") << "bad row inside"
                                    << "Error during the restore process.";
}

void TestBackupCommands::restoreRefusesABadBackup()
{
    QFETCH(QString, kind);
    QFETCH(QString, logged);

    const QString szDatabase = newCase(QStringLiteral("badrestore"));
    QVERIFY(!szDatabase.isEmpty());
    const QString szFile = makeBackup();
    QVERIFY(!szFile.isEmpty());
    QVERIFY(damage(szFile, kind));
    QCOMPARE(rows(szDatabase, QStringLiteral("INSERT INTO clinic_notes VALUES (99, 'after the backup', NULL)")),
             QStringList());
    const QStringList lstBefore = fingerprint(szDatabase);

    const Run run =
        m_program.run({QStringLiteral("-Restore"), szFile, QStringLiteral("--json"), QStringLiteral("--yes")});
    const QJsonObject report = checkReport(run, QStringLiteral("restore"), 1);
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(!texts(report.value(QStringLiteral("errors"))).filter(logged).isEmpty(), qPrintable(run.text()));
    QCOMPARE(fingerprint(szDatabase), lstBefore);
    QCOMPARE(
        m_pAdmin
            ->scalarAdmin(QStringLiteral("SELECT datallowconn FROM pg_database WHERE datname = '%1'").arg(szDatabase))
            .toBool(),
        true);
    QCOMPARE(leftoverDatabases(), QStringList());
}

void TestBackupCommands::backupAfterAKilledRestore()
{
    // A restore killed while it ran leaves the database refusing
    // connections: the next night's backup gives them back and goes on.
    const QString szDatabase = newCase(QStringLiteral("killedrestore"));
    QVERIFY(!szDatabase.isEmpty());
    QVERIFY2(m_pAdmin->execAdmin(QStringLiteral("ALTER DATABASE %1 WITH ALLOW_CONNECTIONS false").arg(szDatabase)),
             qPrintable(m_pAdmin->errorText()));

    const Run run = m_program.run({QStringLiteral("-Backup"), QStringLiteral("--json")});
    checkReport(run, QStringLiteral("backup"), 0);
    QCOMPARE(
        m_pAdmin
            ->scalarAdmin(QStringLiteral("SELECT datallowconn FROM pg_database WHERE datname = '%1'").arg(szDatabase))
            .toBool(),
        true);
    QVERIFY2(!run.lstLog.filter(QStringLiteral("connections are allowed again")).isEmpty(), qPrintable(run.text()));
}

void TestBackupCommands::leftoversOfAKilledRunAreRemoved_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("command");

    QTest::newRow("-CleanBackups") << QStringList{"-CleanBackups", "--json"} << "cleanBackups";
    QTest::newRow("-Backup") << QStringList{"-Backup", "--json"} << "backup";
}

void TestBackupCommands::leftoversOfAKilledRunAreRemoved()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, command);

    QVERIFY(!newCase(QStringLiteral("leftovers")).isEmpty());
    // What a verification killed two days ago left, and what one that runs
    // right now has made.
    const QString szOld = QStringLiteral("kiv_verify_20200101_000000_0a0b0c");
    const QString szFresh =
        QStringLiteral("kiv_verify_%1_0d0e0f").arg(QDateTime::currentDateTime().toString(kStampFormat));
    for (const QString &szName : {szOld, szFresh}) {
        QVERIFY(m_pAdmin->dropDatabase(szName));
        QVERIFY2(m_pAdmin->execAdmin(QStringLiteral("CREATE DATABASE %1 TEMPLATE template0").arg(szName)),
                 qPrintable(m_pAdmin->errorText()));
    }
    QVERIFY(QDir().mkpath(m_program.backupFolder()));
    const QString szOldPartial = m_program.backupFolder() + QStringLiteral("/pelq_backup_20200101_000000.tar.partial");
    const QString szFreshPartial =
        m_program.backupFolder() + QStringLiteral("/pelq_backup_20990101_000000.tar.partial");
    QVERIFY(writeFile(szOldPartial, "cut"));
    QVERIFY(setAge(szOldPartial, 2));
    QVERIFY(writeFile(szFreshPartial, "being written"));

    const Run run = m_program.run(arguments);
    checkReport(run, command, 0);
    const QStringList lstLeft = leftoverDatabases();
    const bool bPartialsRight = !QFile::exists(szOldPartial) && QFile::exists(szFreshPartial);
    m_pAdmin->dropDatabase(szFresh);
    m_pAdmin->dropDatabase(szOld);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(lstLeft, QStringList{szFresh});
    QVERIFY(bPartialsRight);
    QVERIFY2(
        run.lstLog.contains(QStringLiteral("Dropped the database %1, left by a restore that did not end.").arg(szOld)),
        qPrintable(run.text()));
}

void TestBackupCommands::cleanBackupsKeepsTheLastGoodOnes_data()
{
    QTest::addColumn<QStringList>("files"); // name:age in days:checksum file ok
    QTest::addColumn<int>("keepCount");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("kept");

    const QStringList lstFiles{"pelq_backup_20260101_000000.tar:60:ok",
                               "pelq_backup_20260201_000000.tar:45:ok",
                               "pelq_backup_20260301_000000.tar:2:ok"};
    QTest::newRow("old ones go") << lstFiles << 0 << 0 << QStringList{"pelq_backup_20260301_000000.tar"};
    QTest::newRow("keep count 2") << lstFiles << 2 << 0
                                  << QStringList{"pelq_backup_20260201_000000.tar", "pelq_backup_20260301_000000.tar"};
    QTest::newRow("the newest stays however old")
        << QStringList{"pelq_backup_20260101_000000.tar:60:ok", "pelq_backup_20260201_000000.tar:45:ok"} << 0 << 0
        << QStringList{"pelq_backup_20260201_000000.tar"};
    // The newest may be the only good one: while it does not check, the
    // older ones are all there is.
    QTest::newRow("newest damaged: nothing goes")
        << QStringList{"pelq_backup_20260101_000000.tar:60:ok", "pelq_backup_20260201_000000.tar:45:bad"} << 0 << 1
        << QStringList{"pelq_backup_20260101_000000.tar", "pelq_backup_20260201_000000.tar"};
}

void TestBackupCommands::cleanBackupsKeepsTheLastGoodOnes()
{
    QFETCH(QStringList, files);
    QFETCH(int, keepCount);
    QFETCH(int, exitCode);
    QFETCH(QStringList, kept);

    QVERIFY(!newCase(QStringLiteral("clean")).isEmpty());
    if (keepCount > 0)
        m_program.setSetting(QStringLiteral("miscellaneous/backupKeepCount"), keepCount);
    QVERIFY(QDir().mkpath(m_program.backupFolder()));
    for (const QString &szSpec : files) {
        const QString szPath = m_program.backupFolder() + QLatin1Char('/') + szSpec.section(QLatin1Char(':'), 0, 0);
        QVERIFY(writeFile(szPath, szSpec.toUtf8()));
        QVERIFY(writeSidecar(szPath));
        if (szSpec.section(QLatin1Char(':'), 2) != QLatin1String("ok"))
            QVERIFY(writeFile(szPath, "changed after its checksum was taken"));
        const int nDays = szSpec.section(QLatin1Char(':'), 1, 1).toInt();
        QVERIFY(setAge(szPath, nDays));
        QVERIFY(setAge(szPath + QStringLiteral(".sha256"), nDays));
    }

    const Run run = m_program.run({QStringLiteral("-cleanbackups"), QStringLiteral("--json")});
    const QJsonObject report = checkReport(run, QStringLiteral("cleanBackups"), exitCode);
    if (QTest::currentTestFailed())
        return;
    QStringList lstExpected;
    for (const QString &szName : kept)
        lstExpected << szName << szName + QStringLiteral(".sha256");
    QCOMPARE(QDir(m_program.backupFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name), lstExpected);
    if (exitCode != 0)
        QVERIFY2(!texts(report.value(QStringLiteral("errors")))
                      .filter(QStringLiteral("The newest backup does not match its checksum file."))
                      .isEmpty(),
                 qPrintable(run.text()));
}

void TestBackupCommands::rehearsalRunsThePendingStepsOnACopy()
{
    // A clinic at 1.4.0 with patients: the update encrypts their personal
    // data at 1.8.0 with the data key of the credentials store.
    QVERIFY2(m_db.createAndOpen(QStringLiteral("rehearse")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.4.0")), qPrintable(m_db.lastError()));
    QVERIFY(
        m_db.exec(QStringLiteral("INSERT INTO \"PERSONALDATA\" (\"FirstName\", \"LastName\", \"DateOfBirth\") "
                                 "SELECT 'First ' || n || ' Jos\u00e9', 'Last ' || n, "
                                 "'1980-01-01'::timestamp + n * interval '1 day' FROM generate_series(1, 40) AS n")));
    QVERIFY(m_db.exec(QStringLiteral("INSERT INTO patients (id_personal_data) SELECT \"ID\" FROM \"PERSONALDATA\"")));
    DBManager::instance()->closeDatabase();
    const QString szDatabase = m_db.prefixed(QStringLiteral("rehearse"));
    m_program.configure(TestDatabase::host(), TestDatabase::port(), szDatabase);
    const QStringList lstBefore = fingerprint(szDatabase);

    // Nothing to rehearse on yet.
    const Run none = m_program.run({QStringLiteral("-Rehearse"), QStringLiteral("--json")});
    const QJsonObject noneReport = checkReport(none, QStringLiteral("rehearse"), 1);
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(!texts(noneReport.value(QStringLiteral("errors"))).filter(QStringLiteral("no verified backup")).isEmpty(),
             qPrintable(none.text()));

    // --fresh: a new backup first, then the update on a copy of it.
    const Run fresh = m_program.run({QStringLiteral("-Rehearse"), QStringLiteral("--fresh"), QStringLiteral("--json")});
    const QJsonObject report = checkReport(fresh, QStringLiteral("rehearse"), 0);
    if (QTest::currentTestFailed())
        return;
    const QStringList lstBackups = QDir(m_program.backupFolder()).entryList({QStringLiteral("*.tar")}, QDir::Files);
    QCOMPARE(lstBackups.size(), 1);
    const QString szBackup = m_program.backupFolder() + QLatin1Char('/') + lstBackups.first();
    QCOMPARE(report.value(QStringLiteral("details")).toObject().value(QStringLiteral("rehearsedOn")).toString(),
             szBackup);
    QCOMPARE(report.value(QStringLiteral("versionBefore")).toString(), QStringLiteral("1.4.0"));
    QCOMPARE(report.value(QStringLiteral("versionAfter")).toString(), QStringLiteral("1.9.0"));
    const QStringList lstPending = UpdaterTestDatabase::knownVersions().mid(5);
    QCOMPARE(texts(report.value(QStringLiteral("pendingSteps"))), lstPending);
    QStringList lstRun;
    for (const QJsonValue &step : report.value(QStringLiteral("stepsRun")).toArray()) {
        const QJsonObject object = step.toObject();
        QCOMPARE(object.value(QStringLiteral("result")).toString(), QStringLiteral("ok"));
        QVERIFY(object.value(QStringLiteral("milliseconds")).toDouble() >= 0);
        lstRun << object.value(QStringLiteral("version")).toString();
    }
    QCOMPARE(lstRun, lstPending);
    // The copy of an untouched 1.4.0 database has the schema of its version.
    for (const QJsonValue &difference : report.value(QStringLiteral("drift")).toArray())
        QCOMPARE(difference.toObject().value(QStringLiteral("kind")).toString(), QStringLiteral("extra"));

    // The clinic's database is as it was, and the copy is gone.
    QCOMPARE(fingerprint(szDatabase), lstBefore);
    QCOMPARE(leftoverDatabases(), QStringList());

    // Without --fresh the newest verified backup of this database serves
    // (not a newer one of another database in the same folder, nor a newer
    // one that no longer matches its checksum): no new one.
    const QString szOther = m_program.backupFolder() + QStringLiteral("/otherdb_backup_20991231_000000.tar");
    QVERIFY(writeFile(szOther, "a backup of another database"));
    QVERIFY(writeSidecar(szOther));
    const QString szDamaged =
        m_program.backupFolder() + QLatin1Char('/') + szDatabase + QStringLiteral("_backup_20991231_000000.tar");
    QVERIFY(writeFile(szDamaged, "a backup"));
    QVERIFY(writeSidecar(szDamaged));
    QVERIFY(writeFile(szDamaged, "a backup, damaged after its checksum was taken"));
    const Run again = m_program.run({QStringLiteral("-REHEARSE"), QStringLiteral("--json")});
    const QJsonObject againReport = checkReport(again, QStringLiteral("rehearse"), 0);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(againReport.value(QStringLiteral("details")).toObject().value(QStringLiteral("rehearsedOn")).toString(),
             szBackup);
    QCOMPARE(QDir(m_program.backupFolder()).entryList({QStringLiteral("*.tar")}, QDir::Files, QDir::Name),
             QStringList(lstBackups) << QFileInfo(szDamaged).fileName() << QFileInfo(szOther).fileName());
    QCOMPARE(fingerprint(szDatabase), lstBefore);
    QCOMPARE(leftoverDatabases(), QStringList());
}

void TestBackupCommands::rehearsalReportsTheFailingStep()
{
    // A column that the step to 1.5.0 adds, added by hand already.
    QVERIFY2(m_db.createAndOpen(QStringLiteral("rehearsefail")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.4.2")), qPrintable(m_db.lastError()));
    QVERIFY(m_db.exec(QStringLiteral("ALTER TABLE patients ADD COLUMN import_id text")));
    DBManager::instance()->closeDatabase();
    const QString szDatabase = m_db.prefixed(QStringLiteral("rehearsefail"));
    m_program.configure(TestDatabase::host(), TestDatabase::port(), szDatabase);
    QVERIFY(!makeBackup().isEmpty());
    const QStringList lstBefore = fingerprint(szDatabase);

    const Run run = m_program.run({QStringLiteral("-Rehearse"), QStringLiteral("--json")});
    const QJsonObject report = checkReport(run, QStringLiteral("rehearse"), 1);
    if (QTest::currentTestFailed())
        return;
    const QStringList lstErrors = texts(report.value(QStringLiteral("errors")));
    QVERIFY2(
        !lstErrors.filter(QStringLiteral("The step to version 1.5.0 failed on the copy of the database.")).isEmpty(),
        qPrintable(run.text()));
    QVERIFY2(!lstErrors.filter(QStringLiteral("already exists")).isEmpty(), qPrintable(run.text()));
    const QJsonArray steps = report.value(QStringLiteral("stepsRun")).toArray();
    QCOMPARE(steps.size(), 1);
    QCOMPARE(steps.first().toObject().value(QStringLiteral("version")).toString(), QStringLiteral("1.5.0"));
    QCOMPARE(steps.first().toObject().value(QStringLiteral("result")).toString(), QStringLiteral("failed"));
    QCOMPARE(report.value(QStringLiteral("versionBefore")).toString(), QStringLiteral("1.4.2"));
    QCOMPARE(report.value(QStringLiteral("versionAfter")).toString(), QStringLiteral("1.4.2"));
    // The drift check of the copy names the column added by hand.
    bool bNamed = false;
    for (const QJsonValue &difference : report.value(QStringLiteral("drift")).toArray())
        bNamed = bNamed || difference.toObject().value(QStringLiteral("object")).toString().contains("import_id");
    QVERIFY2(bNamed, qPrintable(run.text()));

    QCOMPARE(fingerprint(szDatabase), lstBefore);
    QCOMPARE(leftoverDatabases(), QStringList());
}

QTEST_MAIN(TestBackupCommands)
#include "tst_BackupCommands.moc"
