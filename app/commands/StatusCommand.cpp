#include "StatusCommand.h"

#include "AppContext.h"
#include "BackupService.h"
#include "BackupSidecar.h"
#include "Clock.h"
#include "CnfDataBase.h"
#include "CommandLine.h"
#include "DBManager.h"
#include "DbConnection.h"
#include "DbUpdater.h"
#include "RunReport.h"
#include "SchemaDrift.h"
#include "VersionCompare.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace {

// "Label:" padded so that the values line up.
QString line(const QString &szLabel, const QString &szValue)
{
    return QStringLiteral("%1 %2").arg(szLabel + QLatin1Char(':'), -18).arg(szValue);
}

QString ageText(qint64 nSeconds)
{
    if (nSeconds < 3600)
        return QStringLiteral("%1 min").arg(nSeconds / 60);
    if (nSeconds < 2 * 86400)
        return QStringLiteral("%1 h %2 min").arg(nSeconds / 3600).arg(nSeconds % 3600 / 60);
    return QStringLiteral("%1 days").arg(nSeconds / 86400);
}

QString serverVersion()
{
    QSqlQuery query(QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false));
    return query.exec(QStringLiteral("SHOW server_version")) && query.next() ? query.value(0).toString() : QString();
}

// The newest backup file of the backup folder and whether its checksum file
// matches it.
void reportNewestBackup(RunReport &report, QStringList &lstText)
{
    const QFileInfoList lstFiles =
        QDir(BackupService::backupFolder())
            .entryInfoList(QStringList{QStringLiteral("*.tar")}, QDir::Files | QDir::NoSymLinks, QDir::Time);
    if (lstFiles.isEmpty()) {
        lstText << line(QStringLiteral("Newest backup"),
                        QStringLiteral("none in %1").arg(QDir::toNativeSeparators(BackupService::backupFolder())));
        return;
    }
    const QFileInfo newest = lstFiles.first();
    const BackupSidecar::Check check = BackupSidecar::verify(newest.filePath());
    QString szChecksum;
    switch (check.eState) {
    case BackupSidecar::State::Matches:
        szChecksum = QStringLiteral("matches");
        break;
    case BackupSidecar::State::Absent:
        szChecksum = QStringLiteral("absent");
        break;
    case BackupSidecar::State::Mismatch:
        szChecksum = QStringLiteral("mismatch");
        break;
    default:
        szChecksum = QStringLiteral("unreadable");
        break;
    }
    report.setNewestBackup(newest.filePath(), newest.lastModified(), newest.size(), szChecksum);
    const qint64 nAge = qMax<qint64>(0, newest.lastModified().secsTo(Clock::now()));
    lstText << line(QStringLiteral("Newest backup"),
                    QStringLiteral("%1 (%2 old, %3 bytes, checksum %4)")
                        .arg(QDir::toNativeSeparators(newest.filePath()), ageText(nAge))
                        .arg(newest.size())
                        .arg(szChecksum));
    if (check.eState != BackupSidecar::State::Matches && check.eState != BackupSidecar::State::Absent)
        lstText << QStringLiteral("  ") + check.szReason;
}

// The last line of the text and the end of the report, whichever way the
// status ended.
int conclude(RunReport &report, QStringList &lstText, int nExitCode)
{
    static const char *const kResults[] = {"up to date",
                                           "the status could not be read",
                                           "update steps are pending",
                                           "another updater holds the update lock",
                                           "the schema differs from its version"};
    lstText << line(QStringLiteral("Result"),
                    QStringLiteral("%1 (exit code %2)").arg(QLatin1String(kResults[nExitCode])).arg(nExitCode));
    report.finish(nExitCode, nExitCode != CommandLine::ExitFailed);
    return nExitCode;
}

} // namespace

int StatusCommand::run(RunReport &report, QStringList &lstText)
{
    const CnfDataBase &cnf = AppContext::instance().cnfProgram().dataBase();
    DBManager *pDbManager = DBManager::instance();
    report.setServer(cnf.dataSource(), cnf.portNumber());
    report.setDatabase(cnf.initialCatalog());

    // Server texts come in several lines; the report takes each as one.
    const auto fail = [&report](const QString &szError) {
        report.addError(szError.simplified());
        return int(CommandLine::ExitFailed);
    };

    if (!DbConnection::openWithFallbacks(cnf)) {
        lstText << line(QStringLiteral("Server"), QStringLiteral("%1:%2").arg(cnf.dataSource()).arg(cnf.portNumber()));
        lstText << line(QStringLiteral("Database"), cnf.initialCatalog());
        return conclude(report,
                        lstText,
                        fail(QStringLiteral("Unable to connect to the database %1 on %2:%3: %4")
                                 .arg(cnf.initialCatalog(), cnf.dataSource())
                                 .arg(cnf.portNumber())
                                 .arg(pDbManager->lastError().trimmed())));
    }
    const QString szServerVersion = serverVersion();
    const bool bTls = pDbManager->encryptionEnabled();
    report.setServerVersion(szServerVersion);
    report.setTls(bTls);
    lstText << line(QStringLiteral("Server"),
                    QStringLiteral("%1:%2 (PostgreSQL %3, TLS %4)")
                        .arg(cnf.dataSource())
                        .arg(cnf.portNumber())
                        .arg(szServerVersion, bTls ? QStringLiteral("on") : QStringLiteral("off")));
    lstText << line(QStringLiteral("Database"), cnf.initialCatalog());

    const QString szVersion = pDbManager->kivDatabaseVersion();
    const QString szTarget = DbUpdater::targetVersion();
    report.setVersionBefore(szVersion.isEmpty() ? QString() : szVersion);
    report.setVersionAfter(szVersion.isEmpty() ? QString() : szVersion);
    lstText << line(QStringLiteral("Database version"), szVersion.isEmpty() ? QStringLiteral("none") : szVersion);
    lstText << line(QStringLiteral("Target version"), szTarget);

    int nExitCode = CommandLine::ExitOk;
    const QStringList lstKnown = DbUpdater::knownVersions();
    const int nIndex = lstKnown.indexOf(szVersion);
    if (nIndex < 0) {
        if (szVersion.isEmpty())
            nExitCode = fail(QStringLiteral("The database reports no version: it has no function \"kivVersion\"() "
                                            "or it cannot be read. %1")
                                 .arg(pDbManager->lastError().trimmed()));
        else if (compareVersions(szVersion, szTarget) > 0)
            nExitCode = fail(QStringLiteral("The database reports version %1, newer than %2: this program cannot "
                                            "update it.")
                                 .arg(szVersion, szTarget));
        else
            nExitCode = fail(
                QStringLiteral("The database reports version %1, which this program does not know.").arg(szVersion));
    }
    const QStringList lstPending = nIndex < 0 ? QStringList() : lstKnown.mid(nIndex + 1);
    report.setPendingSteps(lstPending);
    lstText << line(QStringLiteral("Pending steps"),
                    lstPending.isEmpty() ? QStringLiteral("none") : lstPending.join(QStringLiteral(", ")));

    DatabaseSession holder;
    QString szLockError;
    const bool bLockHeld = DbUpdater::updateLockHolder(holder, &szLockError);
    if (bLockHeld)
        report.setLockHolder(holder);
    if (!szLockError.isEmpty())
        nExitCode = fail(QStringLiteral("Unable to read who holds the update lock: %1").arg(szLockError));
    lstText << line(QStringLiteral("Update lock"),
                    bLockHeld ? QStringLiteral("held by %1").arg(holder.text()) : QStringLiteral("free"));

    bool bSessionsRead = false;
    const QList<DatabaseSession> lstSessions = pDbManager->databaseSessions(cnf.initialCatalog(), &bSessionsRead);
    report.setSessions(lstSessions);
    if (!bSessionsRead)
        nExitCode = fail(
            QStringLiteral("Unable to read the sessions on the database: %1").arg(pDbManager->lastError().trimmed()));
    lstText << line(QStringLiteral("Sessions"), QString::number(lstSessions.size()));
    for (const DatabaseSession &session : lstSessions)
        lstText << QStringLiteral("  ") + session.text();

    reportNewestBackup(report, lstText);

    bool bDrift = false;
    if (nIndex >= 0) {
        const SchemaDriftResult drift = SchemaDrift::check(szVersion);
        if (!drift.isCompared()) {
            nExitCode = fail(QStringLiteral("Unable to check the schema: %1").arg(drift.errorText()));
        } else {
            report.setDrift(RunReport::differencesOf(drift));
            bDrift = drift.hasDrift();
            lstText << line(QStringLiteral("Schema"), drift.summary());
            for (const QList<SchemaDifference> *pList : {&drift.missing(), &drift.changed(), &drift.extra()})
                for (const SchemaDifference &difference : *pList)
                    lstText << QStringLiteral("  ") + difference.text();
        }
    }
    pDbManager->closeDatabase();

    if (nExitCode == CommandLine::ExitOk) {
        if (bLockHeld)
            nExitCode = CommandLine::ExitLockHeld;
        else if (!lstPending.isEmpty())
            nExitCode = CommandLine::ExitStepsPending;
        else if (bDrift)
            nExitCode = CommandLine::ExitDriftFound;
    }
    return conclude(report, lstText, nExitCode);
}
