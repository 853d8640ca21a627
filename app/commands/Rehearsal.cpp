#include "Rehearsal.h"

#include "BackupService.h"
#include "DBManager.h"
#include "DbUpdater.h"
#include "ProgramLog.h"
#include "SchemaDrift.h"
#include "UpdateRecorder.h"

#include <QDir>
#include <QScopeGuard>

#include <algorithm>

namespace {

const QString kScratchPrefix = QStringLiteral("kiv_rehearse_");

const char *const kNoBackup =
    QT_TRANSLATE_NOOP("Rehearsal", "There is no verified backup to rehearse the update on.\nMake a backup first.");
const char *const kCopyFailed =
    QT_TRANSLATE_NOOP("Rehearsal", "The copy of the database for the rehearsal could not be made.");
const char *const kUpToDate =
    QT_TRANSLATE_NOOP("Rehearsal", "The copy reports version %1: there is no step to rehearse.");
const char *const kSucceeded =
    QT_TRANSLATE_NOOP("Rehearsal", "The update from version %1 to %2 succeeded on the copy of the database.");
const char *const kFailed = QT_TRANSLATE_NOOP(
    "Rehearsal", "The step to version %1 failed on the copy of the database.\nThe log names the cause.");
const char *const kNotRun =
    QT_TRANSLATE_NOOP("Rehearsal", "The update could not run on the copy of the database.\nThe log names the cause.");

} // namespace

Rehearsal::Rehearsal(BackupService *pService, QObject *pParent) : QObject(pParent), m_pService(pService) {}

Rehearsal::Result Rehearsal::run(bool bFresh)
{
    Result result;
    // The backup's checksum, taken as it was written or checked here: the
    // restore does not read the whole file again for it.
    BackupSidecar::Check sidecar;
    if (bFresh) {
        const BackupService::Outcome backup = m_pService->backup();
        if (!backup.bOk) {
            result.message = backup.message.isNull() ? Sentence("Rehearsal", kCopyFailed) : backup.message;
            return result;
        }
        result.szBackup = backup.szFile;
        sidecar.eState = BackupSidecar::State::Matches;
        sidecar.szExpected = backup.szSha256;
        sidecar.szActual = backup.szSha256;
    } else {
        result.szBackup = BackupService::newestVerifiedBackup(&sidecar);
        if (result.szBackup.isEmpty()) {
            ProgramLog::error(QStringLiteral("No backup in %1 matches its checksum file: nothing to rehearse on.")
                                  .arg(QDir::toNativeSeparators(BackupService::backupFolder())));
            result.message = Sentence("Rehearsal", kNoBackup);
            return result;
        }
    }
    ProgramLog::info(QStringLiteral("Rehearsal of the update on a copy of %1.").arg(result.szBackup));

    const BackupService::Outcome copy = m_pService->restoreToScratch(result.szBackup, kScratchPrefix, &sidecar);
    // The copy goes whatever happens on it.
    const auto dropCopy = qScopeGuard([this, &copy] {
        if (!copy.szScratch.isEmpty())
            m_pService->dropScratch(copy.szScratch);
    });
    if (!copy.bOk) {
        result.message = copy.message.isNull() ? Sentence("Rehearsal", kCopyFailed) : copy.message;
        return result;
    }

    // The connection is on the copy now: the engine works there only.
    result.szVersionBefore = copy.szDatabaseVersion;
    const SchemaDriftResult drift = SchemaDrift::check(result.szVersionBefore);
    if (drift.isCompared())
        result.lstDrift = RunReport::differencesOf(drift);
    for (const SchemaDifference &difference : drift.missing() + drift.changed())
        ProgramLog::warning(QStringLiteral("Schema of the copy: %1").arg(difference.text()));

    if (result.szVersionBefore == DbUpdater::targetVersion()) {
        result.bOk = true;
        result.szVersionAfter = result.szVersionBefore;
        result.message = Sentence("Rehearsal", kUpToDate).arg(result.szVersionBefore);
        return result;
    }

    DbUpdater updater;
    UpdateRecorder recorder(&updater);
    bool bStepsOk = false;
    connect(&updater, &DbUpdater::updateCompleted, this, [&bStepsOk](bool bResult) { bStepsOk = bResult; });
    updater.setCurrentVersion(result.szVersionBefore);
    const bool bRan = updater.updateDatabase();
    result.lstSteps = recorder.steps();
    result.szVersionAfter = DBManager::instance()->kivDatabaseVersion();
    result.bOk = bRan && bStepsOk;
    if (result.bOk) {
        result.message = Sentence("Rehearsal", kSucceeded).arg(result.szVersionBefore).arg(result.szVersionAfter);
        ProgramLog::info(result.message.english());
    } else {
        const auto failed = std::find_if(
            result.lstSteps.cbegin(), result.lstSteps.cend(), [](const RunReport::Step &step) { return !step.bOk; });
        result.message = failed == result.lstSteps.cend() ? Sentence("Rehearsal", kNotRun)
                                                          : Sentence("Rehearsal", kFailed).arg(failed->szVersion);
        ProgramLog::error(result.message.english());
    }
    return result;
}
