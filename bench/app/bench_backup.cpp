// Measures backup and restore through the program (DatabaseBackup, with its
// temporary file, archive check, temporary database and progress dialog)
// against pg_dump and pg_restore run directly with the same arguments, in one
// run on the private test server, on a database of a few hundred megabytes
// with large objects. Each side runs three times, in alternating order; the
// medians are compared.
// Usage: bench_backup [MEGABYTES]   (size of the large objects, 300 by default)

#include "AppContext.h"
#include "AppTestEnvironment.h"
#include "DBManager.h"
#include "DatabaseBackup.h"
#include "LogFileManager.h"
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

void say(const QString &szText)
{
    std::printf("%s\n", qPrintable(szText));
    std::fflush(stdout);
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

[[noreturn]] void fail(const QString &szText)
{
    std::fprintf(stderr, "bench_backup: %s\n", qPrintable(szText));
    std::exit(1);
}

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
    DatabaseBackup backup;
    const auto programBackup = [&backup] {
        QElapsedTimer timer;
        timer.start();
        UIMessageBox::setNextAnswer(QMessageBox::Yes);
        if (!backup.backup(nullptr))
            fail(QStringLiteral("the program's backup failed"));
        return timer.elapsed() / 1000.0;
    };
    const auto programRestore = [&backup] {
        QElapsedTimer timer;
        timer.start();
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

    // Alternating order, median of three: the machine is shared.
    QVector<double> dumpProgram, dumpDirect, restoreProgram, restoreDirect;
    for (int nRound = 0; nRound < 3; ++nRound) {
        if (nRound % 2) {
            dumpProgram << programBackup();
            dumpDirect << runDirect(szDump, QStringLiteral("--file"), szDirectFile);
            restoreProgram << programRestore();
            restoreDirect << directRestore(szRestore);
        } else {
            dumpDirect << runDirect(szDump, QStringLiteral("--file"), szDirectFile);
            dumpProgram << programBackup();
            restoreDirect << directRestore(szRestore);
            restoreProgram << programRestore();
        }
    }
    say(QStringLiteral("backup   %1 MB: pg_dump %2 s, program %3 s, ratio %4")
            .arg(QFileInfo(backup.lastBackupFile()).size() / 1048576)
            .arg(median(dumpDirect), 0, 'f', 2)
            .arg(median(dumpProgram), 0, 'f', 2)
            .arg(median(dumpProgram) / median(dumpDirect), 0, 'f', 3));
    say(QStringLiteral("restore  %1: pg_restore %2 s, program %3 s, ratio %4")
            .arg(szRestore.contains(QLatin1String("--single-transaction")) ? "single transaction" : "object by object")
            .arg(median(restoreDirect), 0, 'f', 2)
            .arg(median(restoreProgram), 0, 'f', 2)
            .arg(median(restoreProgram) / median(restoreDirect), 0, 'f', 3));

    DBManager::instance()->closeDatabase();
    scratch.dropDatabase(szDirect);
    LogFileManager::Release();
    return 0;
}
