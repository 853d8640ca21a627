// Measures backup and restore through the program (DatabaseBackup, with its
// temporary file, archive check, temporary database and progress dialog)
// against pg_dump and pg_restore run directly with the same arguments, in one
// run on the private test server, on a database of a few hundred megabytes
// with large objects. The program's side includes the verification: the
// checksum of the backup and its file, the archive check, "--version" and
// "pg_restore --list", and for the restore the swap and the drop of the old
// database. Each side runs ROUNDS times, in alternating order; the medians
// are compared. With KIV_BENCH_DETAILS set, the log lines of the program's
// last backup and restore follow, each with the time it took to get there.
// Usage: bench_backup [MEGABYTES [ROUNDS]]   (size of the large objects, 300
// by default; 3 rounds)

#include "AppContext.h"
#include "AppTestEnvironment.h"
#include "BenchSupport.h"
#include "DBManager.h"
#include "DatabaseBackup.h"
#include "LogFileManager.h"
#include "ProgramLog.h"
#include "TestDatabase.h"
#include "UIFileDialog.h"
#include "UIMessageBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

// Logged before each backup and restore of the program: where they start.
const QString kBackupMark = QStringLiteral("bench: the program's backup");
const QString kRestoreMark = QStringLiteral("bench: the program's restore");

// The last command line the program logged for that client program.
QString loggedCommand(const QString &szLogFolder, const QString &szProgram)
{
    QString szCommand;
    for (const QFileInfo &info : QDir(szLogFolder).entryInfoList(QDir::Files)) {
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QStringList lstLines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        for (const QString &szLine : lstLines) {
            const int nStart = szLine.indexOf(QLatin1Char('"'));
            if (nStart >= 0 && szLine.contains(QLatin1Char('/') + szProgram + QLatin1String("\" ")) &&
                !szLine.contains(QLatin1String("--list")))
                szCommand = szLine.mid(nStart);
        }
    }
    return szCommand;
}

// Where the time of the program's last run of an operation went: its log
// lines from the last one that is szFirst on, each with the time since the
// line before, when that is more than a few milliseconds.
void sayWhereTheTimeWent(const QString &szLogFolder, const QString &szFirst)
{
    static const QRegularExpression reLine(
        QStringLiteral("^KIV\\d+<(\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d):(\\d{3})> (.*)$"));
    QList<QPair<QDateTime, QString>> lstLines;
    bool bInside = false;
    for (const QFileInfo &info : QDir(szLogFolder).entryInfoList(QDir::Files, QDir::Name)) {
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        for (const QString &szLine : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
            const QRegularExpressionMatch match = reLine.match(szLine.trimmed());
            if (!match.hasMatch())
                continue;
            const QDateTime time = QDateTime::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd hh:mm:ss"))
                                       .addMSecs(match.captured(2).toInt());
            // From the mark to the next mark of the bench.
            if (match.captured(3) == szFirst) {
                lstLines.clear();
                bInside = true;
            } else if (match.captured(3).startsWith(QLatin1String("bench: "))) {
                bInside = false;
            }
            if (bInside)
                lstLines.append({time, match.captured(3)});
        }
    }
    for (int i = 1; i < lstLines.size(); ++i) {
        const qint64 nMs = lstLines.at(i - 1).first.msecsTo(lstLines.at(i).first);
        if (nMs >= 10)
            say(QStringLiteral("    %1 ms before: %2").arg(nMs, 6).arg(lstLines.at(i).second.left(100)));
    }
}

// Runs the command string as the program does, with one argument replaced.
double runDirect(QString szCommand, const QString &szAfter, const QString &szValue)
{
    QStringList lstArguments = QProcess::splitCommand(szCommand);
    const int nIndex = lstArguments.indexOf(szAfter);
    if (nIndex < 0 || nIndex + 1 >= lstArguments.size())
        fail(QStringLiteral("no %1 in %2").arg(szAfter, szCommand));
    lstArguments[nIndex + 1] = szValue;
    const QString szProgram = lstArguments.takeFirst();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PGPASSWORD"), TestDatabase::password());
    QProcess process;
    process.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    process.start(szProgram, lstArguments);
    if (!process.waitForFinished(-1) || process.exitCode() != 0)
        fail(QStringLiteral("%1 failed: %2").arg(szProgram, QString::fromLocal8Bit(process.readAllStandardError())));
    return timer.elapsed() / 1000.0;
}

} // namespace

int main(int argc, char *argv[])
{
    // Vesper's files and the settings go to a private folder, not the user's.
    QTemporaryDir home;
    qputenv("XDG_DATA_DIRS", (home.path() + "/data1:" + home.path() + "/data2").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int nMegabytes = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 300;
    const int nRounds = argc > 2 ? qMax(1, QString::fromLocal8Bit(argv[2]).toInt()) : 3;
    if (!TestDatabase::missingEnvironment().isEmpty())
        fail(QStringLiteral("the test server is not configured: ") + TestDatabase::missingEnvironment());

    AppTestEnvironment env;
    QString szError;
    if (!AppTestEnvironment::provisionCredentials(QStringLiteral("bench-data-key"), szError))
        fail(szError);
    QTemporaryDir logDir;
    LogFileManager *pLog = LogFileManager::Instance();
    pLog->AddLogFile(1, "KIV", logDir.path() + '/', "bench", "log", 100, 5, false, true);
    pLog->OpenFiles();

    TestDatabase source(QStringLiteral("benchbackup"));
    TestDatabase scratch(QStringLiteral("benchdirect"));
    if (!source.isValid() || !scratch.isValid())
        fail(source.errorText() + scratch.errorText());
    const QString szDirect = scratch.name() + QStringLiteral("_r");
    // 100 kB per large object; a table of about a third of their size.
    const int nObjects = nMegabytes * 10;
    QElapsedTimer fill;
    fill.start();
    if (!source.exec(QStringLiteral("CREATE TABLE images (id integer PRIMARY KEY, name text, note text); "
                                    "INSERT INTO images SELECT g, 'image ' || g, repeat(md5(g::text), 4) "
                                    "FROM generate_series(1, %1) g; "
                                    "SELECT count(lo_from_bytea(0, decode(repeat(md5(g::text), 3200), 'hex'))) "
                                    "FROM generate_series(1, %2) g")
                         .arg(nMegabytes * 2000)
                         .arg(nObjects)))
        fail(source.errorText());
    say(QStringLiteral("database %1 with %2 large objects filled in %3 s, %4")
            .arg(source.name())
            .arg(nObjects)
            .arg(fill.elapsed() / 1000.0, 0, 'f', 1)
            .arg(source.scalar("SELECT pg_size_pretty(pg_database_size(current_database()))").toString()));

    env.configure(source.name());
    AppContext::instance().cnfProgram().varie().setTimeoutProcessExecution(3600);
    if (!source.openWithDBManager(false))
        fail(source.errorText());
    UIMessageBox::setScripted(true);
    UIFileDialog::setScripted(true);
    // Every run starts from a server without dirty buffers: DROP DATABASE
    // makes the server write them out (a checkpoint). Without this the direct
    // restore, which drops its last copy before it is timed, would start from
    // a clean server and the program right after a restore from a dirty one.
    const QString szSettle = scratch.name() + QStringLiteral("_settle");
    const auto settle = [&] {
        if (!scratch.execAdmin(QStringLiteral("CREATE DATABASE %1").arg(TestDatabase::quoted(szSettle))) ||
            !scratch.dropDatabase(szSettle))
            fail(scratch.errorText());
    };
    DatabaseBackup backup;
    const auto programBackup = [&] {
        settle();
        QElapsedTimer timer;
        timer.start();
        ProgramLog::info(kBackupMark);
        UIMessageBox::setNextAnswer(QMessageBox::Yes);
        if (!backup.backup(nullptr))
            fail(QStringLiteral("the program's backup failed"));
        return timer.elapsed() / 1000.0;
    };
    const auto programRestore = [&] {
        settle();
        QElapsedTimer timer;
        timer.start();
        ProgramLog::info(kRestoreMark);
        UIMessageBox::setNextAnswer(QMessageBox::Yes);
        UIFileDialog::setNextName(backup.lastBackupFile());
        if (!backup.restore(nullptr))
            fail(QStringLiteral("the program's restore failed"));
        return timer.elapsed() / 1000.0;
    };
    // The direct runs take the command lines the program logged, with the
    // output file or the target database of their own; the target database is
    // made the way the program makes its temporary one.
    const auto directRestore = [&](const QString &szCommand) {
        scratch.dropDatabase(szDirect);
        settle();
        QElapsedTimer timer;
        timer.start();
        if (!scratch.execAdmin(
                QStringLiteral("CREATE DATABASE %1 TEMPLATE template0").arg(TestDatabase::quoted(szDirect))))
            fail(scratch.errorText());
        const double dCreate = timer.elapsed() / 1000.0;
        return dCreate + runDirect(szCommand, QStringLiteral("--dbname"), szDirect);
    };

    // Warm-up, which also gives the command lines.
    programBackup();
    programRestore();
    const QString szDump = loggedCommand(logDir.path(), QStringLiteral("pg_dump"));
    const QString szRestore = loggedCommand(logDir.path(), QStringLiteral("pg_restore"));
    const QString szDirectFile = env.suiteFolder() + QStringLiteral("/direct.tar");

    const auto directDump = [&] {
        settle();
        return runDirect(szDump, QStringLiteral("--file"), szDirectFile);
    };

    // Alternating order, the median of the rounds: the machine is shared.
    QVector<double> dumpProgram, dumpDirect, restoreProgram, restoreDirect;
    for (int nRound = 0; nRound < nRounds; ++nRound) {
        if (nRound % 2) {
            dumpProgram << programBackup();
            dumpDirect << directDump();
            restoreProgram << programRestore();
            restoreDirect << directRestore(szRestore);
        } else {
            dumpDirect << directDump();
            dumpProgram << programBackup();
            restoreDirect << directRestore(szRestore);
            restoreProgram << programRestore();
        }
    }
    // The medians, and the best of each side, less touched by the load of
    // the machine's other work.
    const auto ratios = [](const QVector<double> &program, const QVector<double> &direct) {
        return QStringLiteral("direct %1 s (best %2), program %3 s (best %4), ratio %5 (best %6)")
            .arg(median(direct), 0, 'f', 2)
            .arg(*std::min_element(direct.begin(), direct.end()), 0, 'f', 2)
            .arg(median(program), 0, 'f', 2)
            .arg(*std::min_element(program.begin(), program.end()), 0, 'f', 2)
            .arg(median(program) / median(direct), 0, 'f', 3)
            .arg(*std::min_element(program.begin(), program.end()) / *std::min_element(direct.begin(), direct.end()),
                 0,
                 'f',
                 3);
    };
    say(QStringLiteral("backup   %1 MB, pg_dump: %2")
            .arg(QFileInfo(backup.lastBackupFile()).size() / 1048576)
            .arg(ratios(dumpProgram, dumpDirect)));
    say(QStringLiteral("restore  %1, pg_restore: %2")
            .arg(szRestore.contains(QLatin1String("--single-transaction")) ? "single transaction" : "object by object")
            .arg(ratios(restoreProgram, restoreDirect)));

    if (qEnvironmentVariableIsSet("KIV_BENCH_DETAILS")) {
        say(QStringLiteral("the program's last backup, where the time went:"));
        sayWhereTheTimeWent(logDir.path(), kBackupMark);
        say(QStringLiteral("the program's last restore, where the time went:"));
        sayWhereTheTimeWent(logDir.path(), kRestoreMark);
    }

    DBManager::instance()->closeDatabase();
    scratch.dropDatabase(szDirect);
    LogFileManager::Release();
    return 0;
}
