#include "DbUpdateToVersion.h"

#include "LogFileManager.h"

#include <QDebug>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

// The scripts live in a static library: its resources must be registered by
// name, and Q_INIT_RESOURCE only works outside any namespace.
static void initSqlScriptResources()
{
    static const bool bInitialised = [] {
        Q_INIT_RESOURCE(SqlScript);
        return true;
    }();
    Q_UNUSED(bInitialised)
}

namespace {

void logLine(const QString &szText, int nCategory, int nSeverity)
{
    LogFileManager::Instance()->Log(1, szText, nCategory, nSeverity);
}

void logDatabaseError(const QString &szError)
{
    qDebug() << szError;
    logLine(szError, LogCatDatabase, LogSevError);
}

} // namespace

DbUpdateToVersion::~DbUpdateToVersion() = default;

bool DbUpdateToVersion::updateInTransaction()
{
    QSqlDatabase db = QSqlDatabase::database();
    if (!db.isValid()) {
        logDatabaseError(db.lastError().text());
        return false;
    }
    if (!db.transaction()) {
        logDatabaseError(db.lastError().text());
        return false;
    }

    bool bResult = update();
    if (bResult) {
        // A transaction that the server already aborted answers COMMIT with a
        // rollback, which the driver reports as a failed commit.
        if (!db.commit()) {
            logDatabaseError(db.lastError().text());
            db.rollback();
            bResult = false;
        }
    } else if (!db.rollback()) {
        logDatabaseError(db.lastError().text());
    }
    if (!bResult)
        logLine(
            QStringLiteral("The changes of the failed update step were rolled back."), LogCatDatabase, LogSevWarning);
    return bResult;
}

bool DbUpdateToVersion::executeScripts(QStringList lstScripts)
{
    initSqlScriptResources();

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
    if (!bResult)
        logLine(QStringLiteral("Error executing script: %1").arg(szPath), LogCatDatabase, LogSevError);
    return bResult;
}

bool DbUpdateToVersion::executeQuery(QString strQuery)
{
    QSqlDatabase db = QSqlDatabase::database();
    if (!db.isValid()) {
        logDatabaseError(db.lastError().text());
        return false;
    }

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
        logDatabaseError(query.lastError().text());
    return bResult;
}

QString DbUpdateToVersion::scriptPath(const QString &szFolder, const QString &szFile)
{
    return QStringLiteral(":/SqlScript/%1/%2").arg(szFolder, szFile);
}
