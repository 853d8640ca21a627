#pragma once

#include "DatabaseSession.h"
#include "kivdblib_global.h"

#include <QList>
#include <QLoggingCategory>
#include <QString>
#include <QStringList>
#include <QVariant>

// Access to the suite's PostgreSQL server. Once openDatabase() succeeds, the
// connection is Qt's default SQL connection (QSqlDatabase::database()).
class QSqlDatabase;

class KIVDBLIB_EXPORT DBManager
{
public:
    static DBManager *instance();

    // Opens the connection as Qt's default connection, replacing any earlier
    // one. nTimeout is the connect time-out in seconds (0 or less: none).
    // With the encryption switch on the connection uses TLS and verifies the
    // server certificate against the CA chain file of enableEncryption();
    // with it off it is made without TLS. After a failure there is no default
    // connection at all (isDatabaseOpen() is false).
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
    // createDatabaseFromTemplate() on a connection of its own to the
    // database szConnectTo, opened with these parameters and closed again;
    // the default connection is not touched. Safe to call from another thread
    // (it keeps no state of this object); false and the server's text in
    // *pszError on failure.
    bool createDatabaseApart(const QString &szHost,
                             int nPort,
                             const QString &szConnectTo,
                             const QString &szUser,
                             const QString &szPassword,
                             int nTimeout,
                             const QString &szName,
                             const QString &szTemplate,
                             QString *pszError = nullptr) const;
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
    // A new database copied from szTemplate ("template0" gives one without
    // anything added to the server's usual template).
    bool createDatabaseFromTemplate(const QString &szName, const QString &szTemplate);
    // No session may be connected to szOldName, the open one included.
    bool renameDatabase(const QString &szOldName, const QString &szNewName);
    // Other client connections than our own to that database, of every role
    // (background processes of the server are not counted). Terminating
    // waits (a few seconds at most) until they are gone; it fails for
    // sessions that this role may not end (a superuser's).
    bool isDatabaseInUse(const QString &szName) const;
    bool terminateDatabaseActivity(const QString &szName);
    // Those sessions; *pbOk false when the activity could not be read.
    QList<DatabaseSession> databaseSessions(const QString &szName, bool *pbOk = nullptr) const;

    // Whether new sessions may connect to the database (ALLOW_CONNECTIONS);
    // refused connections hold for every role, superusers included.
    bool setDatabaseAllowConnections(const QString &szName, bool bAllow);
    // 1 connections allowed, 0 refused, -1 unknown (no such database, no
    // connection, query failed).
    int databaseAllowsConnections(const QString &szName) const;
    // The comment on a database (COMMENT ON DATABASE); empty when it has none
    // or it cannot be read.
    bool setDatabaseComment(const QString &szName, const QString &szComment);
    QString databaseComment(const QString &szName) const;
    // The names of the server's databases that are not templates; empty (and
    // lastError()) when they could not be read.
    QStringList databaseNames() const;
    // The server's version as a number (150018 for 15.18), 0 when unknown.
    int serverVersionNumber() const;

    // Called once at start-up: CA chain file for certificate verification and
    // the data key under which personal data is encrypted (PersonalData). The
    // library keeps only the AES key derived from the data key, in this
    // process, and wipes it when it is replaced or the process ends; neither
    // is ever sent to the server. An empty data key drops the key held.
    void enableEncryption(const QString &szCaChainFile, const QString &szDataKey);
    void setEncryptionEnabled(bool bEnabled);
    bool encryptionEnabled() const;

    QString caChainFile() const;
    // A data key was given to enableEncryption().
    bool hasDataKey() const;
    // Text of the last failure of this object.
    QString lastError() const;

    // Server process of the session behind the default connection, as libpq
    // knows it (no round trip to the server); 0 when there is no default
    // connection or libpq found it broken. A connection that was opened again
    // is another session with another process.
    int sessionProcessId() const;
    // libpq's message on the default connection about its last statement or
    // failure, whoever ran it, also after the connection broke; empty when
    // there is none.
    QString sessionErrorText() const;

private:
    DBManager();
    ~DBManager();
    DBManager(const DBManager &) = delete;
    DBManager &operator=(const DBManager &) = delete;

    QString connectOptions(int nTimeout) const;
    // The parameters of a connection, the TLS options of the switch included.
    void setParameters(QSqlDatabase &db,
                       const QString &szHost,
                       int nPort,
                       const QString &szDatabase,
                       const QString &szUser,
                       const QString &szPassword,
                       int nTimeout) const;
    // Path of the CA chain file as libpq can be given it through Qt.
    QString caFileForConnection() const;
    // Other client sessions on the database szName; -1 when the query failed.
    int otherSessionCount(const QString &szName) const;
    // First value of a one-row query on the open default connection; an
    // invalid value (and lastError()) when it failed.
    QVariant queryValue(const QString &szSql, const QVariantList &lstBind = {}) const;
    // Runs one statement on the open default connection; false (and the
    // error in lastError()) when there is none or the statement failed.
    bool execOnDefault(const QString &szSql, const char *pszWhat);
    bool configureAndOpen(const QString &szConnection,
                          const QString &szHost,
                          int nPort,
                          const QString &szDatabase,
                          const QString &szUser,
                          const QString &szPassword,
                          int nTimeout);

    QString m_szCaChainFile;
    bool m_bEncryptionEnabled = false;
    mutable QString m_szLastError;
};

// The library's logging category, "kiv.database".
KIVDBLIB_EXPORT Q_DECLARE_LOGGING_CATEGORY(g_lcDatabase)
