#include "SchemaExpectationGenerator.h"

#include "DBManager.h"
#include "DbUpdater.h"
#include "LogFileManager.h"
#include "SchemaCatalog.h"
#include "SchemaDrift.h"
#include "SqlScripts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

namespace {

const QString kFirstVersion = QStringLiteral("1.0.0");
const int kConnectTimeout = 30;

QSqlDatabase defaultConnection()
{
    return QSqlDatabase::database(QString::fromLatin1(QSqlDatabase::defaultConnection), false);
}

} // namespace

SchemaExpectationGenerator::SchemaExpectationGenerator(const Server &server) : m_server(server)
{
    m_szScratch = QStringLiteral("kiv_schema_expectations_%1").arg(QCoreApplication::applicationPid());
}

QString SchemaExpectationGenerator::expectationText(const QString &szVersion, const SchemaCatalog &catalog)
{
    return catalog.toText(QStringLiteral("Schema of a database at version %1 as the update engine leaves it.\n"
                                         "Written by the schema_expectations target; do not edit by hand.")
                              .arg(szVersion));
}

bool SchemaExpectationGenerator::run()
{
    initSqlScripts();
    m_lstVersions.clear();
    m_mapTexts.clear();
    m_szError.clear();

    DBManager *pDbManager = DBManager::instance();
    if (!pDbManager->openDatabase(m_server.szHost,
                                  m_server.nPort,
                                  QStringLiteral("postgres"),
                                  m_server.szUser,
                                  m_server.szPassword,
                                  kConnectTimeout)) {
        m_szError = QStringLiteral("Unable to connect to the server: %1").arg(pDbManager->lastError());
        return false;
    }
    if (!pDbManager->createDatabaseFromTemplate(m_szScratch, QStringLiteral("template0"))) {
        m_szError =
            QStringLiteral("Unable to create the scratch database %1: %2").arg(m_szScratch, pDbManager->lastError());
        pDbManager->closeDatabase();
        return false;
    }
    const auto cleanUp = qScopeGuard([this] { dropScratchDatabase(); });

    if (!pDbManager->openDatabase(
            m_server.szHost, m_server.nPort, m_szScratch, m_server.szUser, m_server.szPassword, kConnectTimeout)) {
        m_szError = QStringLiteral("Unable to connect to the scratch database: %1").arg(pDbManager->lastError());
        return false;
    }

    QFile file(QStringLiteral(":/SqlScript/pelq.sql"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        m_szError = QStringLiteral("The initial schema is missing from the resources.");
        return false;
    }
    QTextStream stream(&file);
    QSqlQuery query(defaultConnection());
    bool bLoaded = query.exec(stream.readAll());
    while (bLoaded && query.nextResult()) {
    }
    if (!bLoaded || query.lastError().type() != QSqlError::NoError) {
        m_szError = QStringLiteral("Unable to load the initial schema: %1").arg(query.lastError().text().simplified());
        return false;
    }
    query.finish();

    if (!takeVersion() || !runChain())
        return false;
    return true;
}

bool SchemaExpectationGenerator::write(const QString &szFolder)
{
    if (!QDir().mkpath(szFolder)) {
        m_szError = QStringLiteral("Unable to make the folder %1").arg(szFolder);
        return false;
    }
    for (const QString &szVersion : qAsConst(m_lstVersions)) {
        QSaveFile file(QDir(szFolder).filePath(SchemaDrift::expectationFileName(szVersion)));
        if (!file.open(QIODevice::WriteOnly) || file.write(m_mapTexts.value(szVersion).toUtf8()) < 0 ||
            !file.commit()) {
            m_szError = QStringLiteral("Unable to write %1: %2").arg(file.fileName(), file.errorString());
            return false;
        }
    }
    return true;
}

// The schema of the scratch database under the version it reports now.
bool SchemaExpectationGenerator::takeVersion()
{
    const QString szVersion = DBManager::instance()->kivDatabaseVersion();
    SchemaCatalog catalog;
    if (szVersion.isEmpty() || !catalog.read(defaultConnection())) {
        m_szError = QStringLiteral("Unable to read the schema at version %1: %2")
                        .arg(szVersion.isEmpty() ? QStringLiteral("(none)") : szVersion, catalog.errorText());
        return false;
    }
    if (!m_lstVersions.contains(szVersion))
        m_lstVersions << szVersion;
    m_mapTexts.insert(szVersion, expectationText(szVersion, catalog));
    return true;
}

bool SchemaExpectationGenerator::runChain()
{
    DBManager *pDbManager = DBManager::instance();
    // The personal-data pass of "1.8.0" needs a data key for the default
    // record; the scratch database is dropped afterwards, so any key does.
    const bool bOwnKey = !pDbManager->hasDataKey();
    if (bOwnKey)
        pDbManager->enableEncryption(pDbManager->caChainFile(),
                                     QString::number(QRandomGenerator::system()->generate64(), 16));
    const auto dropKey = qScopeGuard([pDbManager, bOwnKey] {
        if (bOwnKey)
            pDbManager->enableEncryption(pDbManager->caChainFile(), QString());
    });

    // The driver tells its failures to the log only.
    QStringList lstErrors;
    const QMetaObject::Connection logConnection =
        QObject::connect(LogFileManager::Instance(), &LogFileManager::LogOnFile, [&lstErrors](int, QString szText) {
            if (szText.startsWith(QLatin1String("ERROR: ")))
                lstErrors << szText;
        });
    const auto disconnectLog = qScopeGuard([logConnection] { QObject::disconnect(logConnection); });

    DbUpdater updater;
    bool bTaken = true;
    bool bStepsDone = false;
    QObject::connect(&updater, &DbUpdater::updateStep, [this, &bTaken](int) {
        if (bTaken)
            bTaken = takeVersion();
    });
    QObject::connect(&updater, &DbUpdater::updateCompleted, [&bStepsDone](bool bResult) { bStepsDone = bResult; });
    updater.setCurrentVersion(kFirstVersion);
    const bool bRun = updater.updateDatabase();
    if (!bTaken)
        return false;
    if (!bRun || !bStepsDone) {
        m_szError = QStringLiteral("The update chain failed after version %1: %2")
                        .arg(m_lstVersions.isEmpty() ? QStringLiteral("(none)") : m_lstVersions.constLast(),
                             lstErrors.join(QLatin1Char(' ')));
        return false;
    }
    // The newest version as the whole run leaves it, the default parameters
    // of the database library included.
    return takeVersion();
}

void SchemaExpectationGenerator::dropScratchDatabase()
{
    DBManager *pDbManager = DBManager::instance();
    pDbManager->closeDatabase();
    if (pDbManager->openDatabase(m_server.szHost,
                                 m_server.nPort,
                                 QStringLiteral("postgres"),
                                 m_server.szUser,
                                 m_server.szPassword,
                                 kConnectTimeout)) {
        pDbManager->terminateDatabaseActivity(m_szScratch);
        pDbManager->deleteDatabase(m_szScratch);
    }
    pDbManager->closeDatabase();
}
