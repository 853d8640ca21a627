#include "CommandRunner.h"

#include "AppContext.h"
#include "BackupService.h"
#include "CnfDataBase.h"
#include "CommandLine.h"
#include "DbUpdater.h"
#include "ProgramLog.h"
#include "Rehearsal.h"
#include "RunReport.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QTime>

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#define KIV_ISATTY _isatty
#define KIV_FILENO _fileno
#else
#include <unistd.h>
#define KIV_ISATTY isatty
#define KIV_FILENO fileno
#endif

namespace {

// The child's progress on one line of the terminal, rewritten in place.
class TerminalProgress
{
public:
    explicit TerminalProgress(BackupService &service)
    {
        if (!KIV_ISATTY(KIV_FILENO(stderr)))
            return;
        QObject::connect(&service, &BackupService::childStarted, &service, [this](const QString &szTitle) {
            m_szTitle = szTitle;
            show(QString(), 0);
        });
        QObject::connect(&service, &BackupService::progress, &service, [this](const QString &szObject, qint64 nMs) {
            show(szObject, nMs);
        });
        QObject::connect(&service, &BackupService::childFinished, &service, [] { std::fputs("\n", stderr); });
    }

private:
    void show(const QString &szObject, qint64 nMs)
    {
        const QString szLine = QStringLiteral("%1 %2 %3")
                                   .arg(m_szTitle, QTime(0, 0).addMSecs(nMs).toString(QStringLiteral("hh:mm:ss")))
                                   .arg(szObject)
                                   .left(110);
        std::fprintf(stderr, "\r%-110s", szLine.toLocal8Bit().constData());
        std::fflush(stderr);
    }

    QString m_szTitle;
};

// The outcome's sentence goes to the log: an error line when it failed.
int conclude(const BackupService::Outcome &outcome, QStringList &lstText)
{
    if (!outcome.message.isNull()) {
        ProgramLog::write(outcome.message.english(), LogCatGeneral, outcome.bOk ? LogSevInformation : LogSevError);
        if (outcome.bOk)
            lstText << outcome.message.english();
    }
    return outcome.bOk ? CommandLine::ExitOk : CommandLine::ExitFailed;
}

QJsonObject rowCounts(const BackupService::Outcome &outcome)
{
    QJsonObject counts;
    for (const auto &count : outcome.lstRowCounts)
        counts.insert(count.first, count.second);
    return counts;
}

} // namespace

int CommandRunner::run(const CommandLine &commandLine, RunReport &report, QStringList &lstText)
{
    const CnfDataBase &cnf = AppContext::instance().cnfProgram().dataBase();
    report.setServer(cnf.dataSource(), cnf.portNumber());
    report.setDatabase(cnf.initialCatalog());

    BackupService service;
    TerminalProgress progress(service);
    // The report names the backup file wherever the command was started.
    const QString szFile = commandLine.file().isEmpty() ? QString() : QFileInfo(commandLine.file()).absoluteFilePath();

    switch (commandLine.command()) {
    case CommandLine::Command::Backup: {
        const BackupService::Outcome outcome = service.backup();
        if (outcome.bOk) {
            report.setBackup({outcome.szFile, outcome.nBytes, outcome.szSha256});
            lstText << QStringLiteral("Backup file: %1 (%2 bytes, SHA-256 %3)")
                           .arg(QDir::toNativeSeparators(outcome.szFile))
                           .arg(outcome.nBytes)
                           .arg(outcome.szSha256);
        }
        return conclude(outcome, lstText);
    }
    case CommandLine::Command::Verify: {
        const BackupService::Outcome outcome = service.verify(szFile);
        if (outcome.bOk) {
            report.setBackup({outcome.szFile, outcome.nBytes, outcome.szSha256});
            report.setDetails(QJsonObject{{QStringLiteral("backupVersion"), outcome.szDatabaseVersion},
                                          {QStringLiteral("entries"), outcome.nEntries},
                                          {QStringLiteral("largeObjects"), outcome.nLargeObjects},
                                          {QStringLiteral("rowCounts"), rowCounts(outcome)}});
            for (const auto &count : outcome.lstRowCounts)
                lstText << QStringLiteral("  %1: %2 rows").arg(count.first).arg(count.second);
        }
        return conclude(outcome, lstText);
    }
    case CommandLine::Command::Restore: {
        if (!commandLine.confirmed()) {
            ProgramLog::error(QStringLiteral("-Restore replaces the database %1 by the content of %2: add --yes as "
                                             "the last argument to confirm it. Nothing was changed.")
                                  .arg(cnf.initialCatalog(), szFile));
            return CommandLine::ExitUsage;
        }
        const BackupService::Outcome outcome = service.restore(szFile);
        if (outcome.bOk)
            report.setBackup({outcome.szFile, outcome.nBytes, outcome.szSha256});
        return conclude(outcome, lstText);
    }
    case CommandLine::Command::CleanBackups:
        return conclude(service.cleanBackups(), lstText);
    case CommandLine::Command::Rehearse: {
        Rehearsal rehearsal(&service);
        const Rehearsal::Result result = rehearsal.run(commandLine.fresh());
        report.setVersionBefore(result.szVersionBefore.isEmpty() ? QString() : result.szVersionBefore);
        const QStringList lstKnown = DbUpdater::knownVersions();
        const int nIndex = lstKnown.indexOf(result.szVersionBefore);
        report.setPendingSteps(nIndex < 0 ? QStringList() : lstKnown.mid(nIndex + 1));
        report.setVersionAfter(result.szVersionAfter.isEmpty() ? QString() : result.szVersionAfter);
        report.setDrift(result.lstDrift);
        for (const RunReport::Step &step : result.lstSteps) {
            report.addStep(step);
            lstText << QStringLiteral("  %1: %2 ms, %3")
                           .arg(step.szVersion)
                           .arg(step.nMilliseconds)
                           .arg(step.bOk ? QStringLiteral("ok") : QStringLiteral("failed"));
        }
        report.setDetails(QJsonObject{{QStringLiteral("rehearsedOn"), result.szBackup}});
        BackupService::Outcome outcome;
        outcome.bOk = result.bOk;
        outcome.message = result.message;
        return conclude(outcome, lstText);
    }
    default:
        break;
    }
    ProgramLog::error(QStringLiteral("The command %1 is not one of the backup commands.").arg(commandLine.name()));
    return CommandLine::ExitFailed;
}
