#include "DbConnection.h"

#include "CnfDataBase.h"
#include "DBManager.h"

const QString DbConnection::kMaintenanceDatabase = QStringLiteral("postgres");

bool DbConnection::open(const CnfDataBase &cnf, Password password)
{
    return open(cnf, cnf.initialCatalog(), password);
}

bool DbConnection::open(const CnfDataBase &cnf, const QString &szDatabase, Password password)
{
    return DBManager::instance()->openDatabase(cnf.dataSource(),
                                               cnf.portNumber(),
                                               szDatabase,
                                               cnf.userName(),
                                               password == Password::Retry ? cnf.retryPassword() : cnf.password(),
                                               cnf.connectionTimeout());
}

bool DbConnection::openMaintenance(const CnfDataBase &cnf)
{
    CnfDataBase maintenance;
    maintenance.setDataSource(cnf.dataSource());
    maintenance.setPortNumber(cnf.portNumber());
    return open(maintenance, kMaintenanceDatabase);
}

bool DbConnection::openWithFallbacks(const CnfDataBase &cnf)
{
    for (const bool bEncryption : {true, false}) {
        DBManager::instance()->setEncryptionEnabled(bEncryption);
        if (open(cnf) || open(cnf, Password::Retry))
            return true;
    }
    return false;
}
