#include "DbUpdateToVersion.h"

#include "DbUpdateSession.h"
#include "ProgramLog.h"
#include "SqlScriptRunner.h"

#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlError>

DbUpdateToVersion::~DbUpdateToVersion() = default;

bool DbUpdateToVersion::updateInTransaction()
{
    return runInTransaction([this] { return update(); });
}

bool DbUpdateToVersion::runInTransaction(const std::function<bool()> &work)
{
    DbUpdateSession *pSession = DbUpdateSession::instance();
    if (!pSession->take())
        return false;
    const auto releaseSession = qScopeGuard([pSession] { pSession->release(); });

    QSqlDatabase db = pSession->database();
    if (!db.isValid())
        return false;
    if (!db.transaction()) {
        pSession->reportFailure(db.lastError(), QStringLiteral("BEGIN"));
        return false;
    }
    pSession->setInTransaction(true);
    const bool bResult = work();
    pSession->setInTransaction(false);

    if (bResult && pSession->isIntact()) {
        if (db.commit())
            return true;
        if (!pSession->isIntact()) {
            ProgramLog::error(QStringLiteral("The connection was lost while the update step was being committed: "
                                             "whether the server saved its changes is not known; the next run reads "
                                             "the version again."));
            return false;
        }
        // A transaction that the server already aborted answers COMMIT with a
        // rollback, which the driver reports as a failed commit; a COMMIT that
        // fails ends the transaction as well.
        pSession->reportFailure(db.lastError(), QStringLiteral("COMMIT"));
    }
    const QString szDiscarded = QStringLiteral("The server discards the open transaction of a lost connection: none of "
                                               "the changes of the failed update step were saved.");
    if (!pSession->isIntact()) {
        ProgramLog::warning(szDiscarded);
        return false;
    }
    if (!db.rollback()) {
        if (!pSession->isIntact()) {
            ProgramLog::warning(szDiscarded);
        } else {
            pSession->reportFailure(db.lastError(), QStringLiteral("ROLLBACK"));
            ProgramLog::error(QStringLiteral("Unable to roll back the failed update step."));
        }
        return false;
    }
    ProgramLog::warning(QStringLiteral("The changes of the failed update step were rolled back."));
    pSession->reportLockTimeout();
    return false;
}

bool DbUpdateToVersion::executeScripts(QStringList lstScripts)
{
    bool bResult = true;
    QString szPath;
    for (int i = 0; i < lstScripts.size() && bResult; ++i) {
        szPath = lstScripts.at(i);
        const QString szText = SqlScriptRunner::readScript(szPath);
        bResult = !szText.isEmpty() && executeQuery(szText);
    }
    // General category: the operator's log names the failing script whatever
    // the database logging setting.
    if (!bResult)
        ProgramLog::error(QStringLiteral("Error executing script: %1").arg(szPath));
    return bResult;
}

bool DbUpdateToVersion::executeQuery(QString strQuery)
{
    DbUpdateSession *pSession = DbUpdateSession::instance();
    QSqlDatabase db = pSession->database();
    if (!db.isValid())
        return false;
    QSqlError error;
    if (SqlScriptRunner::run(db, strQuery, &error))
        return true;
    pSession->reportFailure(error, strQuery);
    return false;
}

QString DbUpdateToVersion::scriptPath(const QString &szFolder, const QString &szFile)
{
    return QStringLiteral(":/SqlScript/%1/%2").arg(szFolder, szFile);
}
