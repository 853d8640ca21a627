#include "SqlScriptRunner.h"

#include "DBManager.h"
#include "SqlScripts.h"

#include <QFile>
#include <QSqlQuery>
#include <QTextStream>

namespace {

void setText(QString *pszTarget, const QString &szText)
{
    if (pszTarget)
        *pszTarget = szText;
}

} // namespace

QString SqlScriptRunner::readScript(const QString &szPath, QString *pszError)
{
    initSqlScripts();
    QFile file(szPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        setText(pszError, QStringLiteral("The script %1 cannot be read: %2").arg(szPath, file.errorString()));
        return QString();
    }
    QTextStream stream(&file);
    const QString szText = stream.readAll();
    if (szText.isEmpty())
        setText(pszError, QStringLiteral("The script %1 is empty.").arg(szPath));
    return szText;
}

bool SqlScriptRunner::run(const QSqlDatabase &db, const QString &szSql, QSqlError *pError)
{
    if (!db.isValid() || !db.isOpen()) {
        if (pError)
            *pError = db.lastError();
        return false;
    }
    QSqlQuery query(db);
    bool bResult = query.exec(szSql);
    if (bResult) {
        while (query.nextResult()) {
        }
        bResult = query.lastError().type() == QSqlError::NoError;
    }
    if (!bResult && pError)
        *pError = query.lastError();
    return bResult;
}

bool SqlScriptRunner::runScript(const QSqlDatabase &db, const QString &szPath, QString *pszError)
{
    const QString szText = readScript(szPath, pszError);
    if (szText.isEmpty())
        return false;
    QSqlError error;
    if (run(db, szText, &error))
        return true;
    setText(pszError, describe(error));
    return false;
}

QString SqlScriptRunner::describe(const QSqlError &error)
{
    const QString szText = error.text().trimmed();
    if (!szText.isEmpty())
        return szText;
    DBManager *pDbManager = DBManager::instance();
    if (!pDbManager->isDatabaseOpen()) {
        const QString szLibpq = pDbManager->sessionErrorText();
        return szLibpq.isEmpty() ? QStringLiteral("No open connection to the database server.")
                                 : QStringLiteral("The connection to the database server was lost: %1").arg(szLibpq);
    }
    return QStringLiteral("The database reported an error without a text.");
}
