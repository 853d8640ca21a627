// "-Status --json" of the built program on an up-to-date 1.9.0 database,
// process start to exit, against psql connecting with TLS (sslmode
// verify-ca, the test server's CA) and answering "SELECT 1", measured side
// by side in one run, alternating, as the medians of ROUNDS runs each
// (target: within 1.5x). Two more figures show where the time goes: the
// program's start and end alone ("--version": process start and library
// loading, no configuration, no server) and psql's ("--version").
// Needs the server of scripts/pgserver.sh (env.sh sourced) and a Release build.
// Usage: bench_status [ROUNDS]   (21 by default)

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr double kTarget = 1.5;
const QString kDatabase = QStringLiteral("kivbench_status");

struct Result
{
    int nExitCode = -1;
    QByteArray output;
    double dMs = 0;
};

Result runToEnd(const QString &szProgram,
                const QStringList &lstArguments,
                const QProcessEnvironment &environment,
                const QByteArray &input = QByteArray())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    process.start(szProgram, lstArguments);
    if (!process.waitForStarted(10000))
        fail(QStringLiteral("cannot start %1").arg(szProgram));
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(300000))
        fail(QStringLiteral("%1 did not end").arg(szProgram));
    Result result;
    result.dMs = timer.nsecsElapsed() / 1e6;
    result.nExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = process.readAllStandardOutput() + process.readAllStandardError();
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    bool bOk = true;
    const int nRounds = app.arguments().size() > 1 ? app.arguments().at(1).toInt(&bOk) : 21;
    if (!bOk || nRounds < 1)
        fail(QStringLiteral("bad round count %1").arg(app.arguments().value(1)));
    const QString szHost = env("KIV_TEST_PGHOST");
    const QString szPort = env("KIV_TEST_PGPORT");
    const QString szUser = env("KIV_TEST_PGUSER");
    const QString szPassword = env("KIV_TEST_PGPASSWORD");
    const QString szCaFile = env("KIV_TEST_PGCAFILE");
    const QString szBin = QCoreApplication::applicationDirPath();
    const QString szPsql =
        qEnvironmentVariable("KIV_PG_BIN", QStringLiteral("/usr/lib/postgresql/15/bin")) + QStringLiteral("/psql");

    // A private suite folder and home, laid out as an installer lays them.
    QTemporaryDir work;
    // KIV_BENCH_KEEP=1 keeps the suite folder, its home and the database, to
    // look into a run by hand afterwards; the folder is printed.
    const bool bKeep = qEnvironmentVariableIntValue("KIV_BENCH_KEEP") == 1;
    work.setAutoRemove(!bKeep);
    const QString szProgram = installSuite(work.path(), szCaFile);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), work.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), work.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_DIRS"), work.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("PGPASSWORD"), szPassword);
    // -Status needs no display; -AutoUpdate finds the offscreen platform.
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (runToEnd(szBin + QStringLiteral("/VesperSetup"),
                 {QStringLiteral("--force")},
                 environment,
                 (szUser + '\n' + szPassword + "\nbench-key\n").toUtf8())
            .nExitCode != 0)
        fail(QStringLiteral("VesperSetup failed"));
    {
        QSettings settings(work.filePath(QStringLiteral("config/Marlek Telvor Group/Telvor Imaging Suite.conf")),
                           QSettings::IniFormat);
        settings.setValue(QStringLiteral("tools/common/dbInfo/dataSource"), szHost);
        settings.setValue(QStringLiteral("tools/common/dbInfo/portNumber"), szPort.toInt());
        settings.setValue(QStringLiteral("tools/common/dbInfo/initialCatalog"), kDatabase);
    }

    // The database: the initial schema, brought to the target by the program.
    const QStringList lstAdmin{QStringLiteral("-X"),
                               QStringLiteral("-q"),
                               QStringLiteral("-h"),
                               szHost,
                               QStringLiteral("-p"),
                               szPort,
                               QStringLiteral("-U"),
                               szUser};
    const QStringList lstDrop = lstAdmin + QStringList{"-d", "postgres", "-c", "DROP DATABASE IF EXISTS " + kDatabase};
    runToEnd(szPsql, lstDrop, environment);
    if (runToEnd(szPsql, lstAdmin + QStringList{"-d", "postgres", "-c", "CREATE DATABASE " + kDatabase}, environment)
            .nExitCode ||
        runToEnd(szPsql,
                 lstAdmin + QStringList{"-v",
                                        "ON_ERROR_STOP=1",
                                        "-d",
                                        kDatabase,
                                        "-f",
                                        QStringLiteral(KIV_SOURCE_ROOT "/updater/SqlScript/pelq.sql")},
                 environment)
            .nExitCode ||
        runToEnd(szProgram, {QStringLiteral("-AutoUpdate")}, environment).nExitCode)
        fail(QStringLiteral("cannot prepare the database %1").arg(kDatabase));

    // psql as a clinic's script would check the server: TLS with the CA.
    const QString szConnection = QStringLiteral("host=%1 port=%2 user=%3 dbname=%4 sslmode=verify-ca sslrootcert=%5")
                                     .arg(szHost, szPort, szUser, kDatabase, szCaFile);
    const QStringList lstPsql{QStringLiteral("-X"),
                              QStringLiteral("-q"),
                              QStringLiteral("-A"),
                              QStringLiteral("-t"),
                              QStringLiteral("-d"),
                              szConnection,
                              QStringLiteral("-c"),
                              QStringLiteral("SELECT 1")};
    const Result first = runToEnd(szProgram, {QStringLiteral("-Status"), QStringLiteral("--json")}, environment);
    if (first.nExitCode != 0 || !first.output.contains("\"tls\":true"))
        fail(QStringLiteral("-Status --json did not find the database up to date over TLS: %1")
                 .arg(QString::fromUtf8(first.output)));
    const Result check = runToEnd(szPsql, lstPsql, environment);
    if (check.nExitCode != 0 || check.output.trimmed() != "1")
        fail(QStringLiteral("psql failed: %1").arg(QString::fromUtf8(check.output)));

    QVector<double> status;
    QVector<double> psql;
    QVector<double> programStart;
    QVector<double> psqlStart;
    for (int i = 0; i < nRounds; ++i) {
        const Result one = runToEnd(szProgram, {QStringLiteral("-Status"), QStringLiteral("--json")}, environment);
        if (one.nExitCode != 0)
            fail(QStringLiteral("-Status --json ended with %1").arg(one.nExitCode));
        status << one.dMs;
        const Result other = runToEnd(szPsql, lstPsql, environment);
        if (other.nExitCode != 0)
            fail(QStringLiteral("psql failed"));
        psql << other.dMs;
        programStart << runToEnd(szProgram, {QStringLiteral("--version")}, environment).dMs;
        psqlStart << runToEnd(szPsql, {QStringLiteral("--version")}, environment).dMs;
    }
    if (bKeep)
        std::printf("kept: %s (database %s)\n", qPrintable(work.path()), qPrintable(kDatabase));
    else
        runToEnd(szPsql, lstDrop, environment);

    const double dRatio = median(status) / median(psql);
    std::printf("-Status --json on an up-to-date database, %d rounds, alternating\n", nRounds);
    std::printf("  -Status --json:                 %s\n", qPrintable(figure(status)));
    std::printf("  psql TLS connect + SELECT 1:    %s\n", qPrintable(figure(psql)));
    std::printf("  ratio: %.2fx (target %.1fx): %s\n", dRatio, kTarget, dRatio <= kTarget ? "met" : "NOT met");
    std::printf("  where the time goes:\n");
    std::printf("    program start and end alone:  %s (--version)\n", qPrintable(figure(programStart)));
    std::printf("    psql start and end alone:     %s (--version)\n", qPrintable(figure(psqlStart)));
    return 0;
}
