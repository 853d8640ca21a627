#include "DBManager.h"

#include "PersonalDataCipher.h"
#include "PersonalDataStatements.h"
#include "SqlText.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QThread>
#include <QUuid>

#include <libpq-fe.h>

Q_LOGGING_CATEGORY(g_lcDatabase, "kiv.database")

namespace {

const QString kDriver = QStringLiteral("QPSQL");
// How long terminateDatabaseActivity() waits for the ended sessions to go.
constexpr int kTerminateWaitMs = 10000;

QString defaultConnectionName()
{
    return QString::fromLatin1(QSqlDatabase::defaultConnection);
}

// The default connection when it is open; an invalid or closed handle
// otherwise. Never tries to (re)open it.
QSqlDatabase openDefaultConnection()
{
    if (!QSqlDatabase::contains(defaultConnectionName()))
        return QSqlDatabase();
    return QSqlDatabase::database(defaultConnectionName(), false);
}

// libpq's connection under the default connection, also when it is broken;
// nullptr when there is none or the driver is not Qt's PostgreSQL driver.
PGconn *defaultNativeConnection()
{
    if (!QSqlDatabase::contains(defaultConnectionName()))
        return nullptr;
    const QSqlDatabase db = QSqlDatabase::database(defaultConnectionName(), false);
    if (!db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "PGconn*") != 0)
        return nullptr;
    return *static_cast<PGconn *const *>(handle.constData());
}

// Client sessions only: background workers of the server (autovacuum and the
// like) are not "activity" a caller could or should end. To a role that is
// not a superuser the server shows other roles' sessions without their
// backend type: those count when they belong to a user, which background
// workers do not.
const QString kOtherSessionsFilter =
    QStringLiteral("FROM pg_stat_activity "
                   "WHERE datname = ? AND pid <> pg_backend_pid() "
                   "AND (backend_type = 'client backend' OR (backend_type IS NULL AND usesysid IS NOT NULL))");

QString tlsText(bool bEnabled)
{
    return bEnabled ? QStringLiteral("on") : QStringLiteral("off");
}

} // namespace

DBManager *DBManager::instance()
{
    static DBManager s_manager;
    return &s_manager;
}

DBManager::DBManager() = default;

// The singleton lives until the end of the process, when Qt's SQL registry may
// already be gone: it leaves the connections alone.
DBManager::~DBManager() = default;

bool DBManager::openDatabase(const QString &szHost,
                             int nPort,
                             const QString &szDatabase,
                             const QString &szUser,
                             const QString &szPassword,
                             int nTimeout)
{
    closeDatabase();
    QSqlDatabase::addDatabase(kDriver);
    if (configureAndOpen(defaultConnectionName(), szHost, nPort, szDatabase, szUser, szPassword, nTimeout))
        return true;
    // A closed default connection would be reopened silently by every
    // QSqlDatabase::database() call; without one callers see at once that
    // there is no connection.
    QSqlDatabase::removeDatabase(defaultConnectionName());
    return false;
}

bool DBManager::testDatabaseConnection(const QString &szHost,
                                       int nPort,
                                       const QString &szDatabase,
                                       const QString &szUser,
                                       const QString &szPassword,
                                       int nTimeout)
{
    const QString szConnection = QStringLiteral("kivdb-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool bResult = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(kDriver, szConnection);
        bResult = configureAndOpen(szConnection, szHost, nPort, szDatabase, szUser, szPassword, nTimeout);
        db.close();
    }
    QSqlDatabase::removeDatabase(szConnection);
    return bResult;
}

bool DBManager::createDatabaseApart(const QString &szHost,
                                    int nPort,
                                    const QString &szConnectTo,
                                    const QString &szUser,
                                    const QString &szPassword,
                                    int nTimeout,
                                    const QString &szName,
                                    const QString &szTemplate,
                                    QString *pszError) const
{
    if (!SqlText::isUsableDatabaseName(szName) || !SqlText::isUsableDatabaseName(szTemplate)) {
        if (pszError)
            *pszError = QStringLiteral("Unusable database name");
        return false;
    }
    const QString szDatabase = szConnectTo;
    const QString szSql = QStringLiteral("CREATE DATABASE %1 TEMPLATE %2")
                              .arg(SqlText::quoteIdentifier(szName), SqlText::quoteIdentifier(szTemplate));
    const QString szConnection = QStringLiteral("kivdb-own-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString szError;
    bool bResult = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(kDriver, szConnection);
        setParameters(db, szHost, nPort, szDatabase, szUser, szPassword, nTimeout);
        if (!db.open()) {
            szError = db.lastError().text();
        } else {
            QSqlQuery query(db);
            bResult = query.exec(szSql);
            if (!bResult)
                szError = query.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(szConnection);
    if (pszError)
        *pszError = szError.trimmed();
    return bResult;
}

bool DBManager::isDatabaseOpen() const
{
    return openDefaultConnection().isOpen();
}

void DBManager::closeDatabase()
{
    // Prepared statements hold the connection: release them first.
    PersonalDataStatements::instance()->reset();
    if (!QSqlDatabase::contains(defaultConnectionName()))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(defaultConnectionName(), false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(defaultConnectionName());
}

QString DBManager::kivDatabaseVersion() const
{
    QSqlDatabase db = openDefaultConnection();
    if (!db.isOpen())
        return QString();
    QSqlQuery query(db);
    // Asking the catalogue first keeps a database without the function from
    // raising an error, which would also abort an open transaction.
    if (!query.exec(QStringLiteral("SELECT to_regprocedure('\"kivVersion\"()') IS NOT NULL")) || !query.next()) {
        m_szLastError = query.lastError().text();
        qCWarning(g_lcDatabase).noquote() << "Unable to look for the function kivVersion:" << m_szLastError;
        return QString();
    }
    if (!query.value(0).toBool()) {
        qCDebug(g_lcDatabase) << "The database has no function kivVersion";
        return QString();
    }
    if (!query.exec(QStringLiteral("SELECT \"kivVersion\"()")) || !query.next()) {
        m_szLastError = query.lastError().text();
        qCWarning(g_lcDatabase).noquote() << "Unable to read the database version:" << m_szLastError;
        return QString();
    }
    return query.value(0).toString();
}

QString DBManager::postgresqlVersion() const
{
    QSqlDatabase db = openDefaultConnection();
    if (!db.isOpen())
        return QString();
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT version()")) || !query.next()) {
        m_szLastError = query.lastError().text();
        qCWarning(g_lcDatabase).noquote() << "Unable to read the server version:" << m_szLastError;
        return QString();
    }
    return query.value(0).toString();
}

bool DBManager::createDatabase(const QString &szName)
{
    if (!SqlText::isUsableDatabaseName(szName)) {
        m_szLastError = QStringLiteral("Unusable database name");
        qCWarning(g_lcDatabase) << "Refused to create a database with the name" << szName;
        return false;
    }
    return execOnDefault(QStringLiteral("CREATE DATABASE ") + SqlText::quoteIdentifier(szName), "create a database");
}

bool DBManager::deleteDatabase(const QString &szName)
{
    if (!SqlText::isUsableDatabaseName(szName)) {
        m_szLastError = QStringLiteral("Unusable database name");
        qCWarning(g_lcDatabase) << "Refused to delete a database with the name" << szName;
        return false;
    }
    return execOnDefault(QStringLiteral("DROP DATABASE ") + SqlText::quoteIdentifier(szName), "delete a database");
}

bool DBManager::createDatabaseFromTemplate(const QString &szName, const QString &szTemplate)
{
    if (!SqlText::isUsableDatabaseName(szName) || !SqlText::isUsableDatabaseName(szTemplate)) {
        m_szLastError = QStringLiteral("Unusable database name");
        qCWarning(g_lcDatabase) << "Refused to create a database with the name" << szName << "from" << szTemplate;
        return false;
    }
    return execOnDefault(QStringLiteral("CREATE DATABASE %1 TEMPLATE %2")
                             .arg(SqlText::quoteIdentifier(szName), SqlText::quoteIdentifier(szTemplate)),
                         "create a database");
}

bool DBManager::renameDatabase(const QString &szOldName, const QString &szNewName)
{
    if (!SqlText::isUsableDatabaseName(szOldName) || !SqlText::isUsableDatabaseName(szNewName)) {
        m_szLastError = QStringLiteral("Unusable database name");
        qCWarning(g_lcDatabase) << "Refused to rename the database" << szOldName << "to" << szNewName;
        return false;
    }
    return execOnDefault(QStringLiteral("ALTER DATABASE %1 RENAME TO %2")
                             .arg(SqlText::quoteIdentifier(szOldName), SqlText::quoteIdentifier(szNewName)),
                         "rename a database");
}

bool DBManager::isDatabaseInUse(const QString &szName) const
{
    return otherSessionCount(szName) > 0;
}

bool DBManager::terminateDatabaseActivity(const QString &szName)
{
    QSqlDatabase db = openDefaultConnection();
    if (!db.isOpen()) {
        m_szLastError = QStringLiteral("No open connection");
        qCWarning(g_lcDatabase) << "Unable to end the activity on" << szName << "without a connection";
        return false;
    }
    {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("SELECT pg_terminate_backend(pid) ") + kOtherSessionsFilter);
        query.addBindValue(szName);
        if (!query.exec()) {
            m_szLastError = query.lastError().text();
            qCWarning(g_lcDatabase).noquote() << "Unable to end the activity on" << szName << ":" << m_szLastError;
            return false;
        }
    }
    // pg_terminate_backend() only signals the sessions; wait until they left.
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        const int nCount = otherSessionCount(szName);
        if (nCount == 0)
            return true;
        if (nCount < 0 || timer.elapsed() > kTerminateWaitMs)
            break;
        QThread::msleep(20);
    }
    m_szLastError = QStringLiteral("Sessions on the database did not end");
    qCWarning(g_lcDatabase) << "Sessions on" << szName << "did not end";
    return false;
}

QList<DatabaseSession> DBManager::databaseSessions(const QString &szName, bool *pbOk) const
{
    QList<DatabaseSession> lstSessions;
    if (pbOk)
        *pbOk = false;
    QSqlDatabase db = openDefaultConnection();
    if (!db.isOpen()) {
        m_szLastError = QStringLiteral("No open connection");
        return lstSessions;
    }
    QSqlQuery query(db);
    query.exec(QStringLiteral("SELECT pg_stat_clear_snapshot()"));
    // The server's own rules for pg_terminate_backend(), asked beforehand so
    // that nobody is disconnected by an attempt that cannot succeed.
    query.prepare(QStringLiteral("SELECT pid, coalesce(usename::text, ''), coalesce(application_name, ''), "
                                 "coalesce(host(client_addr), ''), "
                                 "CASE WHEN (SELECT rolsuper FROM pg_roles WHERE rolname = current_user) THEN true "
                                 "WHEN usesysid IS NULL "
                                 "OR (SELECT rolsuper FROM pg_roles WHERE oid = usesysid) THEN false "
                                 "ELSE pg_has_role(usesysid, 'USAGE') OR pg_has_role('pg_signal_backend', 'USAGE') "
                                 "END ") +
                  kOtherSessionsFilter + QStringLiteral(" ORDER BY pid"));
    query.addBindValue(szName);
    if (!query.exec()) {
        m_szLastError = query.lastError().text();
        qCWarning(g_lcDatabase).noquote() << "Unable to read the activity on" << szName << ":" << m_szLastError;
        return lstSessions;
    }
    while (query.next())
        lstSessions.append({query.value(0).toInt(),
                            query.value(1).toString(),
                            query.value(2).toString(),
                            query.value(3).toString(),
                            query.value(4).toBool()});
    if (pbOk)
        *pbOk = true;
    return lstSessions;
}

bool DBManager::setDatabaseAllowConnections(const QString &szName, bool bAllow)
{
    if (!SqlText::isUsableDatabaseName(szName)) {
        m_szLastError = QStringLiteral("Unusable database name");
        return false;
    }
    return execOnDefault(
        QStringLiteral("ALTER DATABASE %1 ALLOW_CONNECTIONS %2")
            .arg(SqlText::quoteIdentifier(szName), bAllow ? QStringLiteral("true") : QStringLiteral("false")),
        bAllow ? "allow connections to a database" : "refuse connections to a database");
}

int DBManager::databaseAllowsConnections(const QString &szName) const
{
    const QVariant value =
        queryValue(QStringLiteral("SELECT datallowconn FROM pg_database WHERE datname = ?"), {szName});
    return value.isValid() ? (value.toBool() ? 1 : 0) : -1;
}

bool DBManager::setDatabaseComment(const QString &szName, const QString &szComment)
{
    if (!SqlText::isUsableDatabaseName(szName)) {
        m_szLastError = QStringLiteral("Unusable database name");
        return false;
    }
    return execOnDefault(QStringLiteral("COMMENT ON DATABASE %1 IS %2")
                             .arg(SqlText::quoteIdentifier(szName), SqlText::quoteLiteral(szComment)),
                         "comment on a database");
}

QString DBManager::databaseComment(const QString &szName) const
{
    return queryValue(QStringLiteral("SELECT coalesce(shobj_description(oid, 'pg_database'), '') FROM pg_database "
                                     "WHERE datname = ?"),
                      {szName})
        .toString();
}

QStringList DBManager::databaseNames() const
{
    QStringList lstNames;
    QSqlDatabase db = openDefaultConnection();
    if (!db.isOpen()) {
        m_szLastError = QStringLiteral("No open connection");
        return lstNames;
    }
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT datname FROM pg_database WHERE NOT datistemplate ORDER BY datname"))) {
        m_szLastError = query.lastError().text();
        return lstNames;
    }
    while (query.next())
        lstNames << query.value(0).toString();
    return lstNames;
}

int DBManager::serverVersionNumber() const
{
    return queryValue(QStringLiteral("SELECT current_setting('server_version_num')::integer")).toInt();
}

void DBManager::enableEncryption(const QString &szCaChainFile, const QString &szDataKey)
{
    m_szCaChainFile = szCaChainFile;
    PersonalDataCipher::setDataKey(szDataKey);
}

void DBManager::setEncryptionEnabled(bool bEnabled)
{
    m_bEncryptionEnabled = bEnabled;
}

bool DBManager::encryptionEnabled() const
{
    return m_bEncryptionEnabled;
}

QString DBManager::caChainFile() const
{
    return m_szCaChainFile;
}

bool DBManager::hasDataKey() const
{
    return PersonalDataCipher::hasDataKey();
}

QString DBManager::lastError() const
{
    return m_szLastError;
}

int DBManager::sessionProcessId() const
{
    PGconn *pConnection = defaultNativeConnection();
    if (!pConnection || PQstatus(pConnection) != CONNECTION_OK)
        return 0;
    return PQbackendPID(pConnection);
}

QString DBManager::sessionErrorText() const
{
    PGconn *pConnection = defaultNativeConnection();
    return pConnection ? QString::fromUtf8(PQerrorMessage(pConnection)).trimmed() : QString();
}

QString DBManager::connectOptions(int nTimeout) const
{
    // Qt joins these, separated by ';', to libpq's "key=value" list.
    QStringList lstOptions;
    if (nTimeout > 0)
        lstOptions << QStringLiteral("connect_timeout=%1").arg(nTimeout);
    if (m_bEncryptionEnabled) {
        // verify-ca: the certificate must come from our CA; the host name is
        // not compared because the suite connects by IP address as well.
        lstOptions << QStringLiteral("sslmode=verify-ca");
        const QString szCaFile = caFileForConnection();
        if (!szCaFile.isEmpty())
            lstOptions << QStringLiteral("sslrootcert=") + SqlText::quoteConnectValue(szCaFile);
    } else {
        lstOptions << QStringLiteral("sslmode=disable");
    }
    return lstOptions.join(QLatin1Char(';'));
}

QString DBManager::caFileForConnection() const
{
    // Qt turns every ';' of the connection options into a blank and hands
    // libpq the text in the local 8-bit encoding. A path that does not survive
    // this is given through a copy of the file in a private temporary folder.
    QTextCodec *pCodec = QTextCodec::codecForLocale();
    if (m_szCaChainFile.isEmpty() ||
        (!m_szCaChainFile.contains(QLatin1Char(';')) && (!pCodec || pCodec->canEncode(m_szCaChainFile))))
        return m_szCaChainFile;

    static QTemporaryDir s_copyFolder;
    if (!s_copyFolder.isValid())
        return m_szCaChainFile;
    const QString szCopy = s_copyFolder.filePath(QStringLiteral("ca-chain.pem"));
    QFile::remove(szCopy);
    if (!QFile::copy(m_szCaChainFile, szCopy)) {
        qCWarning(g_lcDatabase) << "Unable to read the CA chain file" << m_szCaChainFile;
        return m_szCaChainFile;
    }
    return szCopy;
}

void DBManager::setParameters(QSqlDatabase &db,
                              const QString &szHost,
                              int nPort,
                              const QString &szDatabase,
                              const QString &szUser,
                              const QString &szPassword,
                              int nTimeout) const
{
    db.setHostName(szHost);
    db.setPort(nPort > 0 ? nPort : -1);
    db.setDatabaseName(szDatabase);
    db.setUserName(szUser);
    db.setPassword(szPassword);
    db.setConnectOptions(connectOptions(nTimeout));
}

bool DBManager::configureAndOpen(const QString &szConnection,
                                 const QString &szHost,
                                 int nPort,
                                 const QString &szDatabase,
                                 const QString &szUser,
                                 const QString &szPassword,
                                 int nTimeout)
{
    QSqlDatabase db = QSqlDatabase::database(szConnection, false);
    if (!db.isValid()) {
        m_szLastError = QStringLiteral("The PostgreSQL driver (QPSQL) is not available");
        qCWarning(g_lcDatabase).noquote() << m_szLastError;
        return false;
    }
    setParameters(db, szHost, nPort, szDatabase, szUser, szPassword, nTimeout);
    if (!db.open()) {
        m_szLastError = db.lastError().text();
        qCWarning(g_lcDatabase).noquote()
            << QStringLiteral("Connection to %1:%2, database %3, user %4 (TLS %5) failed:")
                   .arg(szHost)
                   .arg(nPort)
                   .arg(szDatabase, szUser, tlsText(m_bEncryptionEnabled))
            << m_szLastError;
        return false;
    }
    qCDebug(g_lcDatabase).noquote() << QStringLiteral("Connected to %1:%2, database %3, user %4 (TLS %5)")
                                           .arg(szHost)
                                           .arg(nPort)
                                           .arg(szDatabase, szUser, tlsText(m_bEncryptionEnabled));
    return true;
}

int DBManager::otherSessionCount(const QString &szName) const
{
    QSqlDatabase db = openDefaultConnection();
    if (!db.isOpen()) {
        m_szLastError = QStringLiteral("No open connection");
        return -1;
    }
    QSqlQuery query(db);
    // The activity view is a snapshot kept for the whole transaction; drop it
    // so that repeated checks see sessions come and go.
    query.exec(QStringLiteral("SELECT pg_stat_clear_snapshot()"));
    query.prepare(QStringLiteral("SELECT count(*) ") + kOtherSessionsFilter);
    query.addBindValue(szName);
    if (!query.exec() || !query.next()) {
        m_szLastError = query.lastError().text();
        qCWarning(g_lcDatabase).noquote() << "Unable to read the activity on" << szName << ":" << m_szLastError;
        return -1;
    }
    return query.value(0).toInt();
}

QVariant DBManager::queryValue(const QString &szSql, const QVariantList &lstBind) const
{
    QSqlDatabase db = openDefaultConnection();
    if (!db.isOpen()) {
        m_szLastError = QStringLiteral("No open connection");
        return QVariant();
    }
    QSqlQuery query(db);
    query.prepare(szSql);
    for (const QVariant &value : lstBind)
        query.addBindValue(value);
    if (!query.exec() || !query.next()) {
        m_szLastError = query.lastError().text();
        return QVariant();
    }
    return query.value(0);
}

bool DBManager::execOnDefault(const QString &szSql, const char *pszWhat)
{
    QSqlDatabase db = openDefaultConnection();
    if (!db.isOpen()) {
        m_szLastError = QStringLiteral("No open connection");
        qCWarning(g_lcDatabase) << "Unable to" << pszWhat << "without a connection";
        return false;
    }
    QSqlQuery query(db);
    if (!query.exec(szSql)) {
        m_szLastError = query.lastError().text();
        qCWarning(g_lcDatabase).noquote() << "Unable to" << pszWhat << ":" << m_szLastError;
        return false;
    }
    return true;
}
