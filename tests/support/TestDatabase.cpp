#include "TestDatabase.h"

#include "DBManager.h"

#include <QCoreApplication>
#include <QDebug>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QThread>

namespace {

const char *const kVariables[] = {
    "KIV_TEST_PGHOST", "KIV_TEST_PGPORT", "KIV_TEST_PGUSER", "KIV_TEST_PGPASSWORD", "KIV_TEST_PGCAFILE"};

QString variable(const char *pszName)
{
    return qEnvironmentVariable(pszName);
}

QString uniqueSuffix()
{
    return QStringLiteral("%1_%2")
        .arg(QCoreApplication::applicationPid())
        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

} // namespace

TestDatabase::TestDatabase(const QString &szPrefix)
{
    const QString szMissing = missingEnvironment();
    if (!szMissing.isEmpty()) {
        m_szError = QStringLiteral("The test database server is not configured: %1 not set "
                                   "(start it with scripts/pgserver.sh start DIR and source DIR/env.sh)")
                        .arg(szMissing);
        return;
    }
    QString szClean = szPrefix.toLower();
    szClean.remove(QRegularExpression(QStringLiteral("[^a-z0-9_]")));
    const QString szSuffix = uniqueSuffix();
    m_szName = szClean.left(62 - szSuffix.size()) + QLatin1Char('_') + szSuffix;
    m_szConnection = QStringLiteral("testdb-") + m_szName;
    m_szAdminConnection = QStringLiteral("testdb-admin-") + m_szName;
    // FILE_COPY: much quicker than the WAL-logged copy for a small template.
    if (!execAdmin(QStringLiteral("CREATE DATABASE %1 STRATEGY FILE_COPY").arg(quoted(m_szName))))
        return;
    m_bValid = true;
}

TestDatabase::~TestDatabase()
{
    if (m_szName.isEmpty())
        return;
    if (m_bValid)
        dropDatabase(m_szName);
    closeConnection(m_szConnection);
    closeConnection(m_szAdminConnection);
}

bool TestDatabase::isValid() const
{
    return m_bValid;
}

QString TestDatabase::errorText() const
{
    return m_szError;
}

QString TestDatabase::name() const
{
    return m_szName;
}

QString TestDatabase::missingEnvironment()
{
    QStringList lstMissing;
    for (const char *pszName : kVariables) {
        if (variable(pszName).isEmpty())
            lstMissing << QString::fromLatin1(pszName);
    }
    return lstMissing.join(QStringLiteral(", "));
}

QString TestDatabase::host()
{
    return variable("KIV_TEST_PGHOST");
}

int TestDatabase::port()
{
    return variable("KIV_TEST_PGPORT").toInt();
}

QString TestDatabase::user()
{
    return variable("KIV_TEST_PGUSER");
}

QString TestDatabase::password()
{
    return variable("KIV_TEST_PGPASSWORD");
}

QString TestDatabase::caFile()
{
    return variable("KIV_TEST_PGCAFILE");
}

bool TestDatabase::openWithDBManager(bool bEncryption, int nTimeout)
{
    DBManager *pManager = DBManager::instance();
    // The library does not hand its data key out again: a CA file set before
    // keeps the key that came with it; another one comes without a key.
    if (pManager->caChainFile() != caFile())
        pManager->enableEncryption(caFile(), QString());
    pManager->setEncryptionEnabled(bEncryption);
    if (pManager->openDatabase(host(), port(), m_szName, user(), password(), nTimeout))
        return true;
    m_szError = pManager->lastError();
    return false;
}

bool TestDatabase::exec(const QString &szSql)
{
    QSqlQuery query(connection());
    if (query.exec(szSql))
        return true;
    m_szError = query.lastError().text();
    qWarning().noquote() << "TestDatabase:" << m_szError;
    return false;
}

QVariant TestDatabase::scalar(const QString &szSql)
{
    QSqlQuery query(connection());
    if (query.exec(szSql) && query.next())
        return query.value(0);
    m_szError = query.lastError().text();
    return QVariant();
}

QList<QVariantList> TestDatabase::rows(const QString &szSql)
{
    QList<QVariantList> lstRows;
    QSqlQuery query(connection());
    if (!query.exec(szSql)) {
        m_szError = query.lastError().text();
        return lstRows;
    }
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < query.record().count(); ++i)
            row << query.value(i);
        lstRows << row;
    }
    return lstRows;
}

QSqlDatabase TestDatabase::connection()
{
    return openConnection(m_szConnection, m_szName);
}

bool TestDatabase::execAdmin(const QString &szSql)
{
    QSqlQuery query(adminConnection());
    if (query.exec(szSql))
        return true;
    m_szError = query.lastError().text();
    return false;
}

QVariant TestDatabase::scalarAdmin(const QString &szSql)
{
    QSqlQuery query(adminConnection());
    if (query.exec(szSql) && query.next())
        return query.value(0);
    m_szError = query.lastError().text();
    return QVariant();
}

bool TestDatabase::databaseExists(const QString &szName)
{
    QSqlQuery query(adminConnection());
    query.prepare(QStringLiteral("SELECT count(*) FROM pg_database WHERE datname = ?"));
    query.addBindValue(szName);
    return query.exec() && query.next() && query.value(0).toInt() == 1;
}

bool TestDatabase::dropDatabase(const QString &szName)
{
    // DBManager's connection would be ended by the server; close it here.
    {
        QSqlDatabase db = QSqlDatabase::contains(QString::fromLatin1(QSqlDatabase::defaultConnection))
                              ? QSqlDatabase::database(QString::fromLatin1(QSqlDatabase::defaultConnection), false)
                              : QSqlDatabase();
        const bool bOurs = db.isOpen() && db.databaseName() == szName;
        db = QSqlDatabase();
        if (bOurs)
            DBManager::instance()->closeDatabase();
    }
    if (szName == m_szName)
        closeConnection(m_szConnection);
    // End the other client sessions, then drop. Not WITH (FORCE): that fails
    // when an autovacuum worker happens to be on the database, while a plain
    // DROP DATABASE waits for such workers itself.
    {
        QSqlQuery query(adminConnection());
        query.prepare(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = ? "
                                     "AND pid <> pg_backend_pid() AND backend_type = 'client backend'"));
        query.addBindValue(szName);
        query.exec();
    }
    for (int nTry = 0; nTry < 3; ++nTry) {
        if (execAdmin(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(quoted(szName))))
            break;
        QThread::msleep(200);
    }
    return !databaseExists(szName);
}

QString TestDatabase::quoted(const QString &szName)
{
    QString szQuoted = szName;
    szQuoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + szQuoted + QLatin1Char('"');
}

QSqlDatabase TestDatabase::adminConnection()
{
    return openConnection(m_szAdminConnection, QStringLiteral("postgres"));
}

QSqlDatabase TestDatabase::openConnection(const QString &szConnection, const QString &szDatabase)
{
    if (QSqlDatabase::contains(szConnection)) {
        QSqlDatabase db = QSqlDatabase::database(szConnection, false);
        if (db.isOpen())
            return db;
    }
    QSqlDatabase db = QSqlDatabase::contains(szConnection)
                          ? QSqlDatabase::database(szConnection, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), szConnection);
    db.setHostName(host());
    db.setPort(port());
    db.setDatabaseName(szDatabase);
    db.setUserName(user());
    db.setPassword(password());
    db.setConnectOptions(QStringLiteral("connect_timeout=30;sslmode=disable"));
    if (!db.open()) {
        m_szError = db.lastError().text();
        qWarning().noquote() << "TestDatabase: no connection to" << szDatabase << ":" << m_szError;
    }
    return db;
}

void TestDatabase::closeConnection(const QString &szConnection)
{
    if (!QSqlDatabase::contains(szConnection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(szConnection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(szConnection);
}
