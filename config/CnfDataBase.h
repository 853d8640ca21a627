#pragma once

#include "CnfTable.h"

// Connection to the suite's database, group "tools/common" of the native
// store. User name and password are not stored here: they come from the
// credentials store each time they are asked for.
class CnfDataBase
{
public:
    CnfDataBase() { resetToDefaults(); }
    virtual ~CnfDataBase() = default;

    bool load(QSettings &settings) { return table().load(settings, *this); }
    bool save(QSettings &settings) const { return table().save(settings, *this); }
    // Host, database name, port and connection time-out back to their defaults.
    void resetToDefaults() { table().resetToDefaults(*this); }

    QString dataSource() const { return m_szDataSource; }
    void setDataSource(const QString &szDataSource) { m_szDataSource = szDataSource; }
    QString initialCatalog() const { return m_szInitialCatalog; }
    void setInitialCatalog(const QString &szInitialCatalog) { m_szInitialCatalog = szInitialCatalog; }
    int connectionTimeout() const { return m_nConnectionTimeout; }
    void setConnectionTimeout(int nSeconds) { m_nConnectionTimeout = nSeconds; }
    int portNumber() const { return m_nPortNumber; }
    void setPortNumber(int nPort) { m_nPortNumber = nPort; }

    // Each asks a fresh Vesper object once; empty when the store has nothing.
    QString userName() const;
    QString password() const;
    // Used for the second attempt to open the database.
    QString retryPassword() const;

private:
    static const CnfTable<CnfDataBase> &table();

    QString m_szDataSource;
    QString m_szInitialCatalog;
    qint32 m_nConnectionTimeout;
    qint32 m_nPortNumber;
};
