#include "DbCreator.h"

#include "AppContext.h"
#include "CnfDataBase.h"
#include "DBManager.h"
#include "DbConnection.h"
#include "ProgramLog.h"
#include "SqlScriptRunner.h"

#include <QDebug>
#include <QSqlDatabase>

namespace {

const QString kSchemaScript = QStringLiteral(":/SqlScript/pelq.sql");

void logDatabaseError(const QString &szError)
{
    qDebug() << szError;
    ProgramLog::error(szError, LogCatDatabase);
}

// Runs the whole schema text on the default connection. The server applies a
// multi-statement text sent in one go as one implicit transaction: all of it
// or nothing.
bool loadSchema(QString &szReason)
{
    const QString szSchema = SqlScriptRunner::readScript(kSchemaScript, &szReason);
    if (szSchema.isEmpty())
        return false;
    QSqlError error;
    if (SqlScriptRunner::run(
            QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false), szSchema, &error))
        return true;
    szReason = SqlScriptRunner::describe(error);
    logDatabaseError(szReason);
    return false;
}

// The cause of a failed DBManager call, never empty.
QString managerFailure()
{
    const QString szError = DBManager::instance()->lastError().trimmed();
    return szError.isEmpty() ? SqlScriptRunner::describe(QSqlError()) : szError;
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
        ProgramLog::warning(szReason, LogCatDatabase);
        if (pszReason)
            *pszReason = szReason;
        return false;
    }

    ProgramLog::info(QStringLiteral("Start db %1 creation ...").arg(szDatabase), LogCatDatabase);

    bool bCreated = false;
    bool bResult = DbConnection::open(cnf, DbConnection::kMaintenanceDatabase) &&
                   (bCreated = pDbManager->createDatabase(szDatabase));
    if (bResult)
        bResult = DbConnection::open(cnf);
    if (!bResult)
        szReason = managerFailure();
    if (bResult)
        bResult = loadSchema(szReason);

    if (!bResult) {
        // A database this call created but could not fill is dropped again:
        // left behind empty it would block the next creation under the same
        // name ("already exist") and look like a database of the suite.
        if (bCreated && DbConnection::open(cnf, DbConnection::kMaintenanceDatabase) &&
            !pDbManager->deleteDatabase(szDatabase))
            logDatabaseError(managerFailure());
        ProgramLog::error(QStringLiteral("Unable to create the database %1.").arg(szDatabase), LogCatDatabase);
        if (pszReason)
            *pszReason = szReason.trimmed();
        return false;
    }

    CnfProgram &program = AppContext::instance().cnfProgram();
    program.dataBase().setInitialCatalog(szDatabase);
    if (!program.save())
        ProgramLog::error(QStringLiteral("Unable to save the configuration."));
    ProgramLog::info(QStringLiteral("The database %1 was created with success.").arg(szDatabase), LogCatDatabase);
    return true;
}
