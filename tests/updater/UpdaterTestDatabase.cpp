#include "UpdaterTestDatabase.h"

#include "DBManager.h"
#include "DbUpdateToVersion_1_0_0.h"
#include "DbUpdateToVersion_1_1_0.h"
#include "DbUpdateToVersion_1_2_0.h"
#include "DbUpdateToVersion_1_3_0.h"
#include "DbUpdateToVersion_1_4_0.h"
#include "DbUpdateToVersion_1_4_1.h"
#include "DbUpdateToVersion_1_4_2.h"
#include "DbUpdateToVersion_1_5_0.h"
#include "DbUpdateToVersion_1_6_0.h"
#include "DbUpdateToVersion_1_7_0.h"
#include "DbUpdateToVersion_1_8_0.h"
#include "DbUpdateToVersion_1_9_0.h"
#include "TestDatabase.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

#include <memory>
#include <vector>

static void initTestSqlScripts()
{
    Q_INIT_RESOURCE(SqlScript);
}

namespace {

const char *const kLoadConnection = "updtest-load";

std::unique_ptr<DbUpdateToVersion> makeStep(int nIndex)
{
    switch (nIndex) {
    case 0:
        return std::make_unique<DbUpdateToVersion_1_0_0>();
    case 1:
        return std::make_unique<DbUpdateToVersion_1_1_0>();
    case 2:
        return std::make_unique<DbUpdateToVersion_1_2_0>();
    case 3:
        return std::make_unique<DbUpdateToVersion_1_3_0>();
    case 4:
        return std::make_unique<DbUpdateToVersion_1_4_0>();
    case 5:
        return std::make_unique<DbUpdateToVersion_1_4_1>();
    case 6:
        return std::make_unique<DbUpdateToVersion_1_4_2>();
    case 7:
        return std::make_unique<DbUpdateToVersion_1_5_0>();
    case 8:
        return std::make_unique<DbUpdateToVersion_1_6_0>();
    case 9:
        return std::make_unique<DbUpdateToVersion_1_7_0>();
    case 10:
        return std::make_unique<DbUpdateToVersion_1_8_0>();
    case 11:
        return std::make_unique<DbUpdateToVersion_1_9_0>();
    default:
        return nullptr;
    }
}

QSqlDatabase addConnection(const QString &szName, const QString &szDatabase)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), szName);
    db.setHostName(TestDatabase::host());
    db.setPort(TestDatabase::port());
    db.setUserName(TestDatabase::user());
    db.setPassword(TestDatabase::password());
    db.setDatabaseName(szDatabase);
    db.setConnectOptions(QStringLiteral("connect_timeout=30"));
    return db;
}

} // namespace

UpdaterTestDatabase::UpdaterTestDatabase() = default;

UpdaterTestDatabase::~UpdaterTestDatabase()
{
    release();
}

bool UpdaterTestDatabase::isConfigured()
{
    return TestDatabase::missingEnvironment().isEmpty();
}

QStringList UpdaterTestDatabase::knownVersions()
{
    return {QStringLiteral("1.0.0"),
            QStringLiteral("1.1.0"),
            QStringLiteral("1.2.0"),
            QStringLiteral("1.3.0"),
            QStringLiteral("1.4.0"),
            QStringLiteral("1.4.1"),
            QStringLiteral("1.4.2"),
            QStringLiteral("1.5.0"),
            QStringLiteral("1.6.0"),
            QStringLiteral("1.7.0"),
            QStringLiteral("1.8.0"),
            QStringLiteral("1.9.0")};
}

bool UpdaterTestDatabase::prepare(const QString &szPrefix)
{
    initTestSqlScripts();
    m_szPrefix = szPrefix;
    m_pTemplate = std::make_unique<TestDatabase>(szPrefix + QStringLiteral("_template"));
    if (!m_pTemplate->isValid()) {
        m_szLastError = m_pTemplate->errorText();
        return false;
    }

    QFile file(QStringLiteral(":/SqlScript/pelq.sql"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        m_szLastError = QStringLiteral("pelq.sql is missing from the resources");
        return false;
    }
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    const QString szSchema = stream.readAll();

    // Loaded through a connection of our own that is closed again: a
    // template must have no sessions when it is copied.
    bool bLoaded = false;
    {
        QSqlDatabase db = addConnection(QString::fromLatin1(kLoadConnection), m_pTemplate->name());
        bLoaded = db.open() && runText(db, szSchema);
        if (!db.isOpen())
            m_szLastError = db.lastError().text();
        db.close();
    }
    QSqlDatabase::removeDatabase(QString::fromLatin1(kLoadConnection));
    return bLoaded;
}

void UpdaterTestDatabase::release()
{
    DBManager::instance()->closeDatabase();
    if (m_pTemplate) {
        for (const QString &szName : qAsConst(m_lstCreated))
            dropDatabase(szName);
    }
    m_lstCreated.clear();
    m_szCurrent.clear();
    m_pTemplate.reset();
}

QString UpdaterTestDatabase::templateName() const
{
    return m_pTemplate ? m_pTemplate->name() : QString();
}

bool UpdaterTestDatabase::createAndOpen(const QString &szName)
{
    const QString szFull = prefixed(szName);
    if (m_szCurrent == szFull)
        DBManager::instance()->closeDatabase();
    return copyDatabase(templateName(), szName) && openDefault(szFull);
}

bool UpdaterTestDatabase::reopen()
{
    return openDefault(m_szCurrent);
}

bool UpdaterTestDatabase::copyDatabase(const QString &szSource, const QString &szName)
{
    const QString szFull = prefixed(szName);
    if (!m_pTemplate || !dropDatabase(szFull) ||
        !m_pTemplate->execAdmin(QStringLiteral("CREATE DATABASE %1 TEMPLATE %2 STRATEGY FILE_COPY")
                                    .arg(TestDatabase::quoted(szFull), TestDatabase::quoted(szSource)))) {
        m_szLastError = m_pTemplate ? m_pTemplate->errorText() : QStringLiteral("no template");
        return false;
    }
    if (!m_lstCreated.contains(szFull))
        m_lstCreated << szFull;
    return true;
}

bool UpdaterTestDatabase::openCopy(const QString &szSource, const QString &szName)
{
    const QString szFull = prefixed(szName);
    if (m_szCurrent == szFull || m_szCurrent == szSource)
        DBManager::instance()->closeDatabase();
    return copyDatabase(szSource, szName) && openDefault(szFull);
}

QString UpdaterTestDatabase::prefixed(const QString &szName) const
{
    return QStringLiteral("%1_%2_%3").arg(m_szPrefix, szName).arg(QCoreApplication::applicationPid());
}

bool UpdaterTestDatabase::openDefault(const QString &szName)
{
    m_szCurrent = szName;
    if (!DBManager::instance()->openDatabase(
            TestDatabase::host(), TestDatabase::port(), szName, TestDatabase::user(), TestDatabase::password(), 30)) {
        m_szLastError = DBManager::instance()->lastError();
        return false;
    }
    return true;
}

bool UpdaterTestDatabase::bringTo(const QString &szVersion)
{
    const QStringList lstVersions = knownVersions();
    const int nTarget = lstVersions.indexOf(szVersion);
    const int nCurrent = lstVersions.indexOf(version());
    if (nTarget < 0 || nCurrent < 0) {
        m_szLastError = QStringLiteral("unknown version %1 or %2").arg(szVersion, version());
        return false;
    }
    for (int i = nCurrent + 1; i <= nTarget; ++i) {
        if (!makeStep(i)->updateInTransaction()) {
            m_szLastError = QStringLiteral("step to %1 failed").arg(lstVersions.at(i));
            return false;
        }
    }
    return version() == szVersion;
}

qint64 UpdaterTestDatabase::sessionCount() const
{
    return m_pTemplate
               ? m_pTemplate
                     ->scalarAdmin(
                         QStringLiteral("SELECT sessions FROM pg_stat_database WHERE datname = '%1'").arg(m_szCurrent))
                     .toLongLong()
               : -1;
}

QString UpdaterTestDatabase::version() const
{
    return scalar(QStringLiteral("SELECT \"kivVersion\"()")).toString();
}

QVariant UpdaterTestDatabase::scalar(const QString &szSql) const
{
    QSqlQuery query(QSqlDatabase::database());
    if (!query.exec(szSql) || !query.next()) {
        m_szLastError = query.lastError().text();
        return QVariant();
    }
    return query.value(0);
}

QStringList UpdaterTestDatabase::column(const QString &szSql) const
{
    QStringList lstValues;
    QSqlQuery query(QSqlDatabase::database());
    if (!query.exec(szSql)) {
        m_szLastError = query.lastError().text();
        return lstValues;
    }
    while (query.next())
        lstValues << query.value(0).toString();
    return lstValues;
}

bool UpdaterTestDatabase::exec(const QString &szSql) const
{
    QSqlQuery query(QSqlDatabase::database());
    if (!query.exec(szSql)) {
        m_szLastError = query.lastError().text();
        return false;
    }
    return true;
}

QSqlDatabase UpdaterTestDatabase::otherConnection(const QString &szConnectionName) const
{
    QSqlDatabase db = addConnection(szConnectionName, m_szCurrent);
    if (!db.open())
        m_szLastError = db.lastError().text();
    return db;
}

QStringList UpdaterTestDatabase::fingerprint() const
{
    QStringList lstPrint = column(
        QStringLiteral("SELECT table_name || '.' || column_name || ' ' || data_type || ' ' || is_nullable || ' ' "
                       "|| coalesce(column_default, '-') FROM information_schema.columns WHERE table_schema = 'public' "
                       "ORDER BY table_name, column_name"));
    lstPrint << column(QStringLiteral(
        "SELECT conrelid::regclass::text || ' ' || conname || ' ' || pg_get_constraintdef(oid) FROM pg_constraint "
        "WHERE connamespace = 'public'::regnamespace ORDER BY 1"));
    lstPrint << column(
        QStringLiteral("SELECT indexdef FROM pg_indexes WHERE schemaname = 'public' ORDER BY indexname"));
    const QStringList lstCounted = {QStringLiteral("\"USERS\""),
                                    QStringLiteral("\"PERSONALDATA\""),
                                    QStringLiteral("\"PROFILES\""),
                                    QStringLiteral("\"dcmTransferSyntax\""),
                                    QStringLiteral("\"dcmAbstractSyntax\"")};
    for (const QString &szTable : lstCounted)
        lstPrint << szTable + QLatin1Char(' ') +
                        scalar(QStringLiteral("SELECT count(*) FROM %1").arg(szTable)).toString();
    lstPrint << QStringLiteral("version ") + version();
    return lstPrint;
}

bool UpdaterTestDatabase::dropDatabase(const QString &szName)
{
    if (m_szCurrent == szName) {
        DBManager::instance()->closeDatabase();
        m_szCurrent.clear();
    }
    // Without FORCE the server itself ends autovacuum workers on the
    // database, which FORCE cannot end for us.
    m_pTemplate->execAdmin(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(TestDatabase::quoted(szName)));
    if (m_pTemplate->dropDatabase(szName))
        return true;
    m_szLastError = m_pTemplate->errorText();
    return false;
}

bool UpdaterTestDatabase::runText(QSqlDatabase db, const QString &szText)
{
    QSqlQuery query(db);
    bool bResult = query.exec(szText);
    while (bResult && query.nextResult()) {
    }
    if (!bResult || query.lastError().type() != QSqlError::NoError) {
        m_szLastError = query.lastError().text();
        return false;
    }
    return true;
}
