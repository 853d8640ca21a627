#include "DbCreator.h"

#include "AppContext.h"
#include "CnfDataBase.h"
#include "DBManager.h"
#include "LogFileManager.h"
#include "SqlScripts.h"

#include <QDebug>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

namespace {

const QString kMaintenanceDatabase = QStringLiteral("postgres");
const QString kSchemaScript = QStringLiteral(":/SqlScript/pelq.sql");

void logDatabase(const QString &szText, int nSeverity)
{
    LogFileManager::Instance()->Log(1, szText, LogCatDatabase, nSeverity);
}

// The text of a failure, never empty: Qt reports a statement refused on a
// connection that is gone without a text of its own.
QString failureReason(const QString &szError)
{
    if (!szError.trimmed().isEmpty())
        return szError.trimmed();
    DBManager *pDbManager = DBManager::instance();
    if (!pDbManager->isDatabaseOpen()) {
        const QString szLibpq = pDbManager->sessionErrorText();
        return szLibpq.isEmpty() ? QStringLiteral("The connection to the database server was lost.")
                                 : QStringLiteral("The connection to the database server was lost: %1").arg(szLibpq);
    }
    return QStringLiteral("The database reported an error without a text.");
}

void logDatabaseError(const QString &szError)
{
    qDebug() << szError;
    logDatabase(failureReason(szError), LogSevError);
}

bool openOn(const CnfDataBase &cnf, const QString &szDatabase)
{
    return DBManager::instance()->openDatabase(
        cnf.dataSource(), cnf.portNumber(), szDatabase, cnf.userName(), cnf.password(), cnf.connectionTimeout());
}

QString readSchema()
{
    initSqlScripts();
    QFile file(kSchemaScript);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    // No codec set: the byte-order mark of the script selects UTF-8.
    QTextStream stream(&file);
    return stream.readAll();
}

// Runs the whole schema text on the default connection. The server applies a
// multi-statement text sent in one go as one implicit transaction: all of it
// or nothing.
bool loadSchema(const QString &szSchema, QString &szReason)
{
    QSqlDatabase db = QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
    if (!db.isValid() || !db.isOpen()) {
        szReason =
            db.lastError().text().isEmpty() ? QStringLiteral("No open database connection") : db.lastError().text();
        logDatabaseError(szReason);
        return false;
    }
    QSqlQuery query(db);
    bool bResult = query.exec(szSchema);
    if (bResult) {
        // exec() reports only the first statement; a later one's error shows
        // once every result has been walked.
        while (query.nextResult()) {
        }
        bResult = query.lastError().type() == QSqlError::NoError;
    }
    if (!bResult) {
        szReason = failureReason(query.lastError().text());
        logDatabaseError(szReason);
    }
    return bResult;
}

} // namespace

bool createNewDatabase(const QString &szHost, const QString &szDatabase, int nPort, QString *pszReason)
{
    QString szReason;
    CnfDataBase cnf;
    cnf.setDataSource(szHost);
    cnf.setInitialCatalog(szDatabase);
    cnf.setPortNumber(nPort);

    DBManager *pDbManager = DBManager::instance();
    if (pDbManager->testDatabaseConnection(
            szHost, nPort, szDatabase, cnf.userName(), cnf.password(), cnf.connectionTimeout())) {
        szReason = QStringLiteral("A database with name %1 already exist.").arg(szDatabase);
        logDatabase(szReason, LogSevWarning);
        if (pszReason)
            *pszReason = szReason;
        return false;
    }

    logDatabase(QStringLiteral("Start db %1 creation ...").arg(szDatabase), LogSevInformation);

    bool bCreated = false;
    bool bResult = openOn(cnf, kMaintenanceDatabase) && (bCreated = pDbManager->createDatabase(szDatabase));
    if (bResult)
        bResult = openOn(cnf, szDatabase);
    if (!bResult)
        szReason = failureReason(pDbManager->lastError());
    if (bResult) {
        const QString szSchema = readSchema();
        if (szSchema.isEmpty())
            szReason = QStringLiteral("The initial schema %1 cannot be read.").arg(kSchemaScript);
        bResult = !szSchema.isEmpty() && loadSchema(szSchema, szReason);
    }

    if (!bResult) {
        // A database this call created but could not fill is dropped again:
        // left behind empty it would block the next creation under the same
        // name ("already exist") and look like a database of the suite.
        if (bCreated && openOn(cnf, kMaintenanceDatabase) && !pDbManager->deleteDatabase(szDatabase))
            logDatabaseError(pDbManager->lastError());
        logDatabase(QStringLiteral("Unable to create the database %1.").arg(szDatabase), LogSevError);
        if (pszReason)
            *pszReason = szReason.trimmed();
        return false;
    }

    CnfProgram &program = AppContext::instance().cnfProgram();
    program.dataBase().setInitialCatalog(szDatabase);
    if (!program.save())
        LogFileManager::Instance()->Log(
            1, QStringLiteral("Unable to save the configuration."), LogCatGeneral, LogSevError);
    logDatabase(QStringLiteral("The database %1 was created with success.").arg(szDatabase), LogSevInformation);
    return true;
}
