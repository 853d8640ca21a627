// The command-line verification and rehearsal of the built program against
// the work they stand for, side by side in one run on the private test server:
//
//   verify     "-Verify FILE" of a backup of about 200 MB (large objects and a
//              table), process start to exit, against an empty database made
//              from template0, pg_restore into it with the arguments the
//              program logged, and the row count of every table (target 1.1x);
//   rehearse   "-Rehearse" of a 1.4.0 database with patients' personal data
//              and large objects, against the same restore plus the update
//              run alone (the update engine in this process on the restored
//              copy, 1.4.0 to 1.9.0, with the same data key) (target 1.2x).
//
// Each side runs several times in alternating order; the medians are
// compared. Needs the server of scripts/pgserver.sh (env.sh sourced), the
// PostgreSQL client programs and a Release build.
// Usage: bench_commands [verify|rehearse|all] [MEGABYTES] [ROUNDS]

#include "BenchSupport.h"
#include "DBManager.h"
#include "DbUpdater.h"
#include "LogFileManager.h"
#include "TestDatabase.h"
#include "UpdaterTestDatabase.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

const QString kDataKey = QStringLiteral("bench-commands-data-key");

QString clientFolder()
{
    return qEnvironmentVariable("KIV_PG_BIN", QStringLiteral("/usr/lib/postgresql/15/bin"));
}

// The built program in a suite folder of its own, with credentials and
// settings of its own, run as a scheduler runs it.
class Program
{
public:
    Program()
    {
        const QString szBin = QCoreApplication::applicationDirPath();
        m_szProgram = installSuite(m_work.path(), TestDatabase::caFile());

        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert(QStringLiteral("HOME"), m_work.path());
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_work.filePath(QStringLiteral("config")));
        m_environment.insert(QStringLiteral("XDG_DATA_HOME"), m_work.filePath(QStringLiteral("share")));
        m_environment.insert(QStringLiteral("XDG_DATA_DIRS"), m_work.filePath(QStringLiteral("data")));
        m_environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        QProcess setup;
        setup.setProcessEnvironment(m_environment);
        setup.start(szBin + QStringLiteral("/VesperSetup"), {QStringLiteral("--force")});
        setup.write(
            QStringLiteral("%1\n%2\n%3\n").arg(TestDatabase::user(), TestDatabase::password(), kDataKey).toUtf8());
        setup.closeWriteChannel();
        if (!setup.waitForFinished(60000) || setup.exitCode() != 0)
            fail(QStringLiteral("VesperSetup failed: ") + QString::fromLocal8Bit(setup.readAllStandardError()));
    }

    void configure(const QString &szDatabase)
    {
        QSettings settings(m_work.filePath(QStringLiteral("config/Marlek Telvor Group/Telvor Imaging Suite.conf")),
                           QSettings::IniFormat);
        settings.beginGroup(QStringLiteral("tools/common"));
        settings.setValue(QStringLiteral("dbInfo/dataSource"), TestDatabase::host());
        settings.setValue(QStringLiteral("dbInfo/portNumber"), TestDatabase::port());
        settings.setValue(QStringLiteral("dbInfo/initialCatalog"), szDatabase);
        settings.setValue(QStringLiteral("miscellaneous/dbServerPath"), clientFolder());
        settings.setValue(QStringLiteral("miscellaneous/timeoutProcessExecution"), 3600);
    }

    // The report of the run; fails the benchmark when the run fails.
    QJsonObject run(const QStringList &lstArguments, double *pdSeconds = nullptr) const
    {
        QProcess process;
        process.setProcessEnvironment(m_environment);
        QElapsedTimer timer;
        timer.start();
        process.start(m_szProgram, lstArguments + QStringList{QStringLiteral("--json")});
        if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            fail(QStringLiteral("%1 failed: %2 %3")
                     .arg(lstArguments.join(QLatin1Char(' ')),
                          QString::fromLocal8Bit(process.readAllStandardOutput()),
                          QString::fromLocal8Bit(process.readAllStandardError())));
        if (pdSeconds)
            *pdSeconds = timer.nsecsElapsed() / 1e9;
        return QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    }

    // The last pg_restore command line the program logged (not a --list).
    QString loggedRestore() const
    {
        QString szCommand;
        const QDir logDir(m_work.filePath(QStringLiteral("suite/Log")));
        for (const QFileInfo &info : logDir.entryInfoList({QStringLiteral("*.log")}, QDir::Files)) {
            QFile file(info.filePath());
            if (!file.open(QIODevice::ReadOnly))
                continue;
            for (const QString &szLine : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
                const int nStart = szLine.indexOf(QLatin1Char('"'));
                if (nStart >= 0 && szLine.contains(QLatin1String("/pg_restore\" ")) &&
                    !szLine.contains(QLatin1String("--list")))
                    szCommand = szLine.mid(nStart);
            }
        }
        if (szCommand.isEmpty())
            fail(QStringLiteral("the program logged no pg_restore command"));
        return szCommand;
    }

private:
    QTemporaryDir m_work;
    QString m_szProgram;
    QProcessEnvironment m_environment;
};

// What the program's scratch restore stands for, done directly: a new
// database from template0, then pg_restore with the program's arguments.
double restoreDirect(TestDatabase &admin, const QString &szCommand, const QString &szTarget)
{
    admin.dropDatabase(szTarget);
    QElapsedTimer timer;
    timer.start();
    if (!admin.execAdmin(QStringLiteral("CREATE DATABASE %1 TEMPLATE template0").arg(TestDatabase::quoted(szTarget))))
        fail(admin.errorText());
    QStringList lstArguments = QProcess::splitCommand(szCommand);
    const int nIndex = lstArguments.indexOf(QStringLiteral("--dbname"));
    if (nIndex < 0)
        fail(QStringLiteral("no --dbname in ") + szCommand);
    lstArguments[nIndex + 1] = szTarget;
    const QString szProgram = lstArguments.takeFirst();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PGPASSWORD"), TestDatabase::password());
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(szProgram, lstArguments);
    if (!process.waitForFinished(-1) || process.exitCode() != 0)
        fail(QStringLiteral("pg_restore failed: ") + QString::fromLocal8Bit(process.readAllStandardError()));
    return timer.nsecsElapsed() / 1e9;
}

// Opens the restored copy the way the program does (TLS, the data key).
void openCopy(const QString &szDatabase)
{
    DBManager *pDbManager = DBManager::instance();
    pDbManager->setEncryptionEnabled(true);
    if (!pDbManager->openDatabase(
            TestDatabase::host(), TestDatabase::port(), szDatabase, TestDatabase::user(), TestDatabase::password(), 30))
        fail(QStringLiteral("cannot open %1: %2").arg(szDatabase, pDbManager->lastError()));
}

// The row count of every table and of the large objects, in one query.
double countRows()
{
    QElapsedTimer timer;
    timer.start();
    QSqlQuery tables;
    if (!tables.exec(QStringLiteral("SELECT quote_ident(table_schema) || '.' || quote_ident(table_name) FROM "
                                    "information_schema.tables WHERE table_type = 'BASE TABLE' AND table_schema NOT "
                                    "IN ('pg_catalog', 'information_schema')")))
        fail(tables.lastError().text());
    QStringList lstParts{QStringLiteral("SELECT count(*) FROM pg_largeobject_metadata")};
    while (tables.next())
        lstParts << QStringLiteral("SELECT count(*) FROM %1").arg(tables.value(0).toString());
    QSqlQuery counts;
    if (!counts.exec(lstParts.join(QStringLiteral(" UNION ALL "))))
        fail(counts.lastError().text());
    while (counts.next()) {
    }
    return timer.nsecsElapsed() / 1e9;
}

// Large objects of 64 kB, about three quarters of nMegabytes, and a table
// for the rest.
bool fill(UpdaterTestDatabase &db, int nMegabytes)
{
    const int nObjects = nMegabytes * 12;
    const int nRows = nMegabytes * 1250;
    return db.exec(QStringLiteral("CREATE TABLE images_bench (id integer PRIMARY KEY, name text, note text, scan oid); "
                                  "INSERT INTO images_bench SELECT g, 'image ' || g, repeat(md5(g::text), 6), "
                                  "CASE WHEN g <= %1 THEN lo_from_bytea(0, decode(repeat(md5(g::text), 4096), 'hex')) "
                                  "END FROM generate_series(1, %2) AS g")
                       .arg(nObjects)
                       .arg(qMax(nRows, nObjects)));
}

void benchVerify(UpdaterTestDatabase &db, TestDatabase &admin, Program &program, int nMegabytes, int nRounds)
{
    QElapsedTimer timer;
    timer.start();
    if (!db.createAndOpen(QStringLiteral("verify")) || !fill(db, nMegabytes))
        fail(db.lastError());
    DBManager::instance()->closeDatabase();
    const QString szSource = db.prefixed(QStringLiteral("verify"));
    program.configure(szSource);
    const QJsonObject backup = program.run({QStringLiteral("-Backup")});
    const QString szFile = backup.value(QStringLiteral("backup")).toObject().value(QStringLiteral("file")).toString();
    say(QStringLiteral("verify: backup %1 of %2 MB made in %3 s")
            .arg(QFileInfo(szFile).fileName())
            .arg(QFileInfo(szFile).size() / 1048576.0, 0, 'f', 1)
            .arg(timer.elapsed() / 1000.0, 0, 'f', 1));

    // Warm-up, which also gives the program's pg_restore command.
    program.run({QStringLiteral("-Verify"), szFile});
    const QString szCommand = program.loggedRestore();
    const QString szDirect = szSource + QStringLiteral("_direct");

    QVector<double> vecProgram, vecDirect, vecRestore, vecCount;
    const auto direct = [&] {
        const double dRestore = restoreDirect(admin, szCommand, szDirect);
        openCopy(szDirect);
        const double dCount = countRows();
        DBManager::instance()->closeDatabase();
        vecRestore << dRestore;
        vecCount << dCount;
        vecDirect << dRestore + dCount;
        admin.dropDatabase(szDirect);
    };
    const auto viaProgram = [&] {
        double dSeconds = 0;
        program.run({QStringLiteral("-Verify"), szFile}, &dSeconds);
        vecProgram << dSeconds;
    };
    for (int nRound = 0; nRound < nRounds; ++nRound) {
        if (nRound % 2) {
            viaProgram();
            direct();
        } else {
            direct();
            viaProgram();
        }
        say(QStringLiteral("  round %1: -Verify %2 s, pg_restore + counts %3 s")
                .arg(nRound + 1)
                .arg(vecProgram.last(), 0, 'f', 2)
                .arg(vecDirect.last(), 0, 'f', 2));
    }
    say(QStringLiteral("verify   %1: -Verify %2 s, pg_restore %3 s + counts %4 s = %5 s, ratio %6 (target 1.1)")
            .arg(szCommand.contains(QLatin1String("--single-transaction")) ? "single transaction" : "object by object")
            .arg(median(vecProgram), 0, 'f', 2)
            .arg(median(vecRestore), 0, 'f', 2)
            .arg(median(vecCount), 0, 'f', 3)
            .arg(median(vecDirect), 0, 'f', 2)
            .arg(median(vecProgram) / median(vecDirect), 0, 'f', 3));
}

void benchRehearse(UpdaterTestDatabase &db, TestDatabase &admin, Program &program, int nMegabytes, int nRounds)
{
    // A clinic at 1.4.0: patients with personal data in the clear, which the
    // step to 1.8.0 encrypts, and its images.
    const int nPatients = 50000;
    QElapsedTimer timer;
    timer.start();
    if (!db.createAndOpen(QStringLiteral("rehearse")) || !db.bringTo(QStringLiteral("1.4.0")) ||
        !db.exec(QStringLiteral("INSERT INTO \"PERSONALDATA\" (\"FirstName\", \"LastName\", \"DateOfBirth\") "
                                "SELECT 'First ' || n, 'Last ' || n, '1980-01-01'::timestamp + n * interval '1 day' "
                                "FROM generate_series(1, %1) AS n")
                     .arg(nPatients)) ||
        !db.exec(QStringLiteral("INSERT INTO patients (id_personal_data) SELECT \"ID\" FROM \"PERSONALDATA\"")) ||
        !fill(db, nMegabytes / 2))
        fail(db.lastError());
    DBManager::instance()->closeDatabase();
    const QString szSource = db.prefixed(QStringLiteral("rehearse"));
    program.configure(szSource);
    const QJsonObject backup = program.run({QStringLiteral("-Backup")});
    const QString szFile = backup.value(QStringLiteral("backup")).toObject().value(QStringLiteral("file")).toString();
    say(QStringLiteral("rehearse: 1.4.0 with %1 patients, backup of %2 MB made in %3 s")
            .arg(nPatients)
            .arg(QFileInfo(szFile).size() / 1048576.0, 0, 'f', 1)
            .arg(timer.elapsed() / 1000.0, 0, 'f', 1));

    program.run({QStringLiteral("-Rehearse")});
    const QString szCommand = program.loggedRestore();
    const QString szDirect = szSource + QStringLiteral("_direct");

    QVector<double> vecProgram, vecDirect, vecRestore, vecUpdate;
    QString szSteps;
    const auto direct = [&] {
        const double dRestore = restoreDirect(admin, szCommand, szDirect);
        QElapsedTimer update;
        update.start();
        openCopy(szDirect);
        DbUpdater updater;
        updater.setCurrentVersion(QStringLiteral("1.4.0"));
        bool bOk = false;
        QObject::connect(&updater, &DbUpdater::updateCompleted, [&bOk](bool bResult) { bOk = bResult; });
        if (!updater.updateDatabase() || !bOk)
            fail(QStringLiteral("the update of the restored copy failed"));
        const double dUpdate = update.nsecsElapsed() / 1e9;
        DBManager::instance()->closeDatabase();
        vecRestore << dRestore;
        vecUpdate << dUpdate;
        vecDirect << dRestore + dUpdate;
        admin.dropDatabase(szDirect);
    };
    const auto viaProgram = [&] {
        double dSeconds = 0;
        const QJsonObject report = program.run({QStringLiteral("-Rehearse")}, &dSeconds);
        if (report.value(QStringLiteral("versionAfter")).toString() != QLatin1String("1.9.0"))
            fail(QStringLiteral("the rehearsal did not reach 1.9.0"));
        vecProgram << dSeconds;
        QStringList lstSteps;
        for (const QJsonValue &step : report.value(QStringLiteral("stepsRun")).toArray())
            lstSteps << QStringLiteral("%1 %2 ms")
                            .arg(step.toObject().value(QStringLiteral("version")).toString())
                            .arg(step.toObject().value(QStringLiteral("milliseconds")).toInt());
        szSteps = lstSteps.join(QStringLiteral(", "));
    };
    for (int nRound = 0; nRound < nRounds; ++nRound) {
        if (nRound % 2) {
            viaProgram();
            direct();
        } else {
            direct();
            viaProgram();
        }
        say(QStringLiteral("  round %1: -Rehearse %2 s, pg_restore + update %3 s")
                .arg(nRound + 1)
                .arg(vecProgram.last(), 0, 'f', 2)
                .arg(vecDirect.last(), 0, 'f', 2));
    }
    say(QStringLiteral("rehearse: -Rehearse %1 s, pg_restore %2 s + update %3 s = %4 s, ratio %5 (target 1.2)")
            .arg(median(vecProgram), 0, 'f', 2)
            .arg(median(vecRestore), 0, 'f', 2)
            .arg(median(vecUpdate), 0, 'f', 2)
            .arg(median(vecDirect), 0, 'f', 2)
            .arg(median(vecProgram) / median(vecDirect), 0, 'f', 3));
    say(QStringLiteral("  steps of the last rehearsal: ") + szSteps);
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The update engine shows a progress dialog in the step to 1.8.0.
    QApplication app(argc, argv);
    const QString szWhat = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("all");
    const int nMegabytes = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 200;
    const int nRounds = argc > 3 ? QString::fromLocal8Bit(argv[3]).toInt() : 5;
    if (!TestDatabase::missingEnvironment().isEmpty())
        fail(QStringLiteral("the test server is not configured: ") + TestDatabase::missingEnvironment());

    // This process logs like the program: the update engine writes its lines.
    LogFileManager *pLog = LogFileManager::Instance();
    pLog->AddLogFile(1, "KIV", home.path() + '/', "bench", "log", 100, 5, false, true);
    pLog->OpenFiles();
    DBManager::instance()->enableEncryption(TestDatabase::caFile(), kDataKey);

    Program program;
    TestDatabase admin(QStringLiteral("kivbench_cmdadmin"));
    UpdaterTestDatabase db;
    if (!admin.isValid() || !db.prepare(QStringLiteral("kivbench_cmd")))
        fail(admin.errorText() + db.lastError());
    if (szWhat == QLatin1String("verify") || szWhat == QLatin1String("all"))
        benchVerify(db, admin, program, nMegabytes, nRounds);
    if (szWhat == QLatin1String("rehearse") || szWhat == QLatin1String("all"))
        benchRehearse(db, admin, program, nMegabytes, nRounds);
    db.release();
    LogFileManager::Release();
    return 0;
}
