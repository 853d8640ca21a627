// Start-up of the program, in one run on the private test server:
//   window   process start until the main window is shown with the database
//            reachable, vs a bare Qt Widgets program showing an empty window
//            (target: within 1.5x);
//   auto     "-AutoUpdate" on an up-to-date database, process start to exit,
//            vs psql -c 'SELECT "kivVersion"()' on the same server.
// Needs the server of scripts/pgserver.sh (env.sh sourced) and a Release build.

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRounds = 9;
const QString kDatabase = QStringLiteral("kivbench_startup");

int runToEnd(const QString &szProgram,
             const QStringList &lstArguments,
             const QProcessEnvironment &environment,
             const QByteArray &input = QByteArray())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(szProgram, lstArguments);
    if (!process.waitForStarted(10000))
        fail(QStringLiteral("cannot start %1").arg(szProgram));
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(300000))
        fail(QStringLiteral("%1 did not end").arg(szProgram));
    return process.exitCode();
}

// Milliseconds from the process start until bShown says the window is up.
template <typename Shown>
double timeUntilShown(const QString &szProgram, const QProcessEnvironment &environment, Shown bShown)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    process.start(szProgram, QStringList());
    while (!bShown(process)) {
        if (timer.elapsed() > 60000)
            fail(QStringLiteral("%1 did not show its window").arg(szProgram));
        process.waitForReadyRead(1);
    }
    const double dMs = timer.nsecsElapsed() / 1e6;
    process.kill();
    process.waitForFinished();
    return dMs;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString szHost = env("KIV_TEST_PGHOST");
    const QString szPort = env("KIV_TEST_PGPORT");
    const QString szUser = env("KIV_TEST_PGUSER");
    const QString szPassword = env("KIV_TEST_PGPASSWORD");
    const QString szCaFile = env("KIV_TEST_PGCAFILE");
    const QString szBin = QCoreApplication::applicationDirPath();
    const QString szPsql = QStringLiteral("/usr/lib/postgresql/15/bin/psql");

    // A private suite folder and home, laid out as an installer lays them.
    QTemporaryDir work;
    const QString szProgram = installSuite(work.path(), szCaFile);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), work.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), work.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_DIRS"), work.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("PGPASSWORD"), szPassword);
    if (runToEnd(szBin + QStringLiteral("/VesperSetup"),
                 {QStringLiteral("--force")},
                 environment,
                 (szUser + '\n' + szPassword + "\nbench-key\n").toUtf8()) != 0)
        fail(QStringLiteral("VesperSetup failed"));
    {
        QSettings settings(work.filePath(QStringLiteral("config/Marlek Telvor Group/Telvor Imaging Suite.conf")),
                           QSettings::IniFormat);
        settings.setValue(QStringLiteral("tools/common/dbInfo/dataSource"), szHost);
        settings.setValue(QStringLiteral("tools/common/dbInfo/portNumber"), szPort.toInt());
        settings.setValue(QStringLiteral("tools/common/dbInfo/initialCatalog"), kDatabase);
    }

    // The database: the initial schema, brought to the target by the program.
    const QStringList lstPsql{QStringLiteral("-X"),
                              QStringLiteral("-q"),
                              QStringLiteral("-h"),
                              szHost,
                              QStringLiteral("-p"),
                              szPort,
                              QStringLiteral("-U"),
                              szUser};
    runToEnd(
        szPsql, lstPsql + QStringList{"-d", "postgres", "-c", "DROP DATABASE IF EXISTS " + kDatabase}, environment);
    if (runToEnd(szPsql, lstPsql + QStringList{"-d", "postgres", "-c", "CREATE DATABASE " + kDatabase}, environment) ||
        runToEnd(szPsql,
                 lstPsql + QStringList{"-v",
                                       "ON_ERROR_STOP=1",
                                       "-d",
                                       kDatabase,
                                       "-f",
                                       QStringLiteral(KIV_SOURCE_ROOT "/updater/SqlScript/pelq.sql")},
                 environment) ||
        runToEnd(szProgram, {QStringLiteral("-AutoUpdate")}, environment))
        fail(QStringLiteral("cannot prepare the database %1").arg(kDatabase));

    // Window shown: the program logs the displayed version right after show().
    const QString szLogFolder = work.filePath(QStringLiteral("suite/Log"));
    auto logSize = [&szLogFolder] {
        qint64 nSize = 0;
        for (const QFileInfo &info : QDir(szLogFolder).entryInfoList({QStringLiteral("*.log")}, QDir::Files))
            nSize += info.size();
        return nSize;
    };
    auto logMentions = [&szLogFolder](qint64 nFrom) {
        for (const QFileInfo &info : QDir(szLogFolder).entryInfoList({QStringLiteral("*.log")}, QDir::Files)) {
            QFile file(info.filePath());
            if (file.open(QIODevice::ReadOnly) && file.seek(qMin(nFrom, file.size())) &&
                file.readAll().contains("Database version after update"))
                return true;
        }
        return false;
    };

    QVector<double> bare;
    QVector<double> program;
    QVector<double> autoUpdate;
    QVector<double> psql;
    for (int i = 0; i < kRounds; ++i) {
        bare << timeUntilShown(szBin + QStringLiteral("/bench_bare_window"), environment, [](QProcess &process) {
            return process.canReadLine();
        });
        const qint64 nFrom = logSize();
        program << timeUntilShown(szProgram, environment, [&](QProcess &) { return logMentions(nFrom); });

        QElapsedTimer timer;
        timer.start();
        if (runToEnd(szProgram, {QStringLiteral("-AutoUpdate")}, environment) != 0)
            fail(QStringLiteral("-AutoUpdate failed"));
        autoUpdate << timer.nsecsElapsed() / 1e6;
        timer.restart();
        if (runToEnd(szPsql, lstPsql + QStringList{"-d", kDatabase, "-c", "SELECT \"kivVersion\"()"}, environment))
            fail(QStringLiteral("psql failed"));
        psql << timer.nsecsElapsed() / 1e6;
    }
    runToEnd(
        szPsql, lstPsql + QStringList{"-d", "postgres", "-c", "DROP DATABASE IF EXISTS " + kDatabase}, environment);

    std::printf("window shown:   program %.1f ms, bare Qt window %.1f ms: %.2fx (target 1.5x)\n",
                median(program),
                median(bare),
                median(program) / median(bare));
    std::printf("-AutoUpdate:    program %.1f ms, psql %.1f ms: %.2fx\n",
                median(autoUpdate),
                median(psql),
                median(autoUpdate) / median(psql));
    return 0;
}
