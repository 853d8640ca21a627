#include "DbUpdateToVersion.h"

#include "DbUpdateSession.h"
#include "LogFileManager.h"
#include "SqlScripts.h"

#include <QFile>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

namespace {

void logLine(const QString &szText, int nSeverity)
{
    LogFileManager::Instance()->Log(1, szText, LogCatGeneral, nSeverity);
}

} // namespace

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
            logLine(QStringLiteral("The connection was lost while the update step was being committed: whether the "
                                   "server saved its changes is not known; the next run reads the version again."),
                    LogSevError);
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
        logLine(szDiscarded, LogSevWarning);
        return false;
    }
    if (!db.rollback()) {
        if (!pSession->isIntact()) {
            logLine(szDiscarded, LogSevWarning);
        } else {
            pSession->reportFailure(db.lastError(), QStringLiteral("ROLLBACK"));
            logLine(QStringLiteral("Unable to roll back the failed update step."), LogSevError);
        }
        return false;
    }
    logLine(QStringLiteral("The changes of the failed update step were rolled back."), LogSevWarning);
    pSession->reportLockTimeout();
    return false;
}

bool DbUpdateToVersion::executeScripts(QStringList lstScripts)
{
    initSqlScripts();

    bool bResult = true;
    QString szPath;
    for (int i = 0; i < lstScripts.size() && bResult; ++i) {
        szPath = lstScripts.at(i);
        QFile file(szPath);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            bResult = false;
            continue;
        }
        // No codec set: the byte-order mark of the scripts selects UTF-8.
        QTextStream stream(&file);
        const QString szText = stream.readAll();
        file.close();
        bResult = szText.isEmpty() ? false : executeQuery(szText);
    }
    // General category: the operator's log names the failing script whatever
    // the database logging setting.
    if (!bResult)
        logLine(QStringLiteral("Error executing script: %1").arg(szPath), LogSevError);
    return bResult;
}

bool DbUpdateToVersion::executeQuery(QString strQuery)
{
    DbUpdateSession *pSession = DbUpdateSession::instance();
    QSqlDatabase db = pSession->database();
    if (!db.isValid())
        return false;

    QSqlQuery query(db);
    bool bResult = query.exec(strQuery);
    if (bResult) {
        // exec() reports only the first statement of a multi-statement text;
        // the error of a later one shows once every result has been walked.
        while (query.nextResult()) {
        }
        bResult = query.lastError().type() == QSqlError::NoError;
    }
    if (!bResult)
        pSession->reportFailure(query.lastError(), strQuery);
    return bResult;
}

QString DbUpdateToVersion::scriptPath(const QString &szFolder, const QString &szFile)
{
    return QStringLiteral(":/SqlScript/%1/%2").arg(szFolder, szFile);
}
