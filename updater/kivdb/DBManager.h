#pragma once

#include "kivdblib_global.h"

#include <QLoggingCategory>
#include <QString>

KIVDBLIB_EXPORT Q_DECLARE_LOGGING_CATEGORY(g_lcDatabase)

// Access to the suite's PostgreSQL server. Once openDatabase() succeeds, the
// connection is Qt's default SQL connection (QSqlDatabase::database()).
class KIVDBLIB_EXPORT DBManager
{
public:
    static DBManager *instance();

    // Opens the connection as Qt's default connection, replacing any earlier
    // one. nTimeout is the connect time-out in seconds.
    bool openDatabase(const QString &szHost,
                      int nPort,
                      const QString &szDatabase,
                      const QString &szUser,
                      const QString &szPassword,
                      int nTimeout);
    // Tries a connection with these parameters on a private connection that
    // is removed again; the default connection is not touched.
    bool testDatabaseConnection(const QString &szHost,
                                int nPort,
                                const QString &szDatabase,
                                const QString &szUser,
                                const QString &szPassword,
                                int nTimeout);
    bool isDatabaseOpen() const;
    void closeDatabase();

    // Text returned by the database function "kivVersion"(); empty when there
    // is no connection or no such function.
    QString kivDatabaseVersion() const;
    QString postgresqlVersion() const;

    // Act on the server of the open connection; the name is quoted as an
    // identifier, never run as SQL.
    bool createDatabase(const QString &szName);
    bool deleteDatabase(const QString &szName);
    // Other connections than our own to that database.
    bool isDatabaseInUse(const QString &szName) const;
    bool terminateDatabaseActivity(const QString &szName);

    // Called once at start-up: CA chain file for certificate verification and
    // the data key for personal data.
    void enableEncryption(const QString &szCaChainFile, const QString &szDataKey);
    void setEncryptionEnabled(bool bEnabled);
    bool encryptionEnabled() const;

    QString caChainFile() const;
    QString dataKey() const;
    QString lastError() const;

private:
    DBManager();
    ~DBManager();
    DBManager(const DBManager &) = delete;
    DBManager &operator=(const DBManager &) = delete;

    QString connectOptions(int nTimeout) const;
    bool configureAndOpen(const QString &szConnection,
                          const QString &szHost,
                          int nPort,
                          const QString &szDatabase,
                          const QString &szUser,
                          const QString &szPassword,
                          int nTimeout);

    QString m_szCaChainFile;
    QString m_szDataKey;
    bool m_bEncryptionEnabled = false;
    mutable QString m_szLastError;
};
