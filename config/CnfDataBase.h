#pragma once

#include "CnfSection.h"

// Connection to the suite's database, group "tools/common" of the native
// store. User name and password are not stored here: they come from the
// credentials store each time they are asked for. The keys are in the order
// of a save, which writes the port before the time-out; the suite's server
// listens on its own port, not on PostgreSQL's 5432.
#define KIV_CNF_DATABASE_KEYS(X)                                                                                       \
    X(QString, dataSource, "dbInfo/dataSource", QStringLiteral("127.0.0.1"))                                           \
    X(QString, initialCatalog, "dbInfo/initialCatalog", QStringLiteral("pelq"))                                        \
    X(int, portNumber, "dbInfo/portNumber", 6543)                                                                      \
    X(int, connectionTimeout, "dbInfo/connectionTimeout", 120)

class CnfDataBase : public CnfSection<CnfDataBase>
{
    KIV_CNF_KEYS(CnfDataBase, KIV_CNF_DATABASE_KEYS)

public:
    // Host, database name, port and connection time-out at their defaults.
    CnfDataBase() { resetToDefaults(); }

    void setDataSource(const QString &szDataSource) { m_dataSource = szDataSource; }
    void setInitialCatalog(const QString &szInitialCatalog) { m_initialCatalog = szInitialCatalog; }
    void setConnectionTimeout(int nSeconds) { m_connectionTimeout = nSeconds; }
    void setPortNumber(int nPort) { m_portNumber = nPort; }

    // Each asks a fresh Vesper object once; empty when the store has nothing.
    QString userName() const;
    QString password() const;
    // Used for the second attempt to open the database.
    QString retryPassword() const;
};

#undef KIV_CNF_DATABASE_KEYS
