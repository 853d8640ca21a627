#pragma once

#include <QString>

class QSettings;

// Connection to the suite's database, group "tools/common" of the native
// store. User name and password are not stored here: they come from the
// credentials store each time they are asked for.
class CnfDataBase
{
public:
    CnfDataBase();
    virtual ~CnfDataBase();

    bool load(QSettings &settings);
    bool save(QSettings &settings) const;
    // Host, database name, port and connection time-out back to their defaults.
    void resetToDefaults();

    QString dataSource() const;
    void setDataSource(const QString &szDataSource);
    QString initialCatalog() const;
    void setInitialCatalog(const QString &szInitialCatalog);
    int connectionTimeout() const;
    void setConnectionTimeout(int nSeconds);
    int portNumber() const;
    void setPortNumber(int nPort);

    // Each asks a fresh Vesper object once; empty when the store has nothing.
    QString userName() const;
    QString password() const;
    // Used for the second attempt to open the database.
    QString retryPassword() const;

private:
    QString m_szDataSource;
    QString m_szInitialCatalog;
    qint32 m_nConnectionTimeout;
    qint32 m_nPortNumber;
};
