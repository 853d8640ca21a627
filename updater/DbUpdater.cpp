#include "DbUpdater.h"

#include "DBParamsManager.h"
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
#include "LogFileManager.h"

#include <QDebug>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

void logLine(const QString &szText, int nCategory, int nSeverity)
{
    LogFileManager::Instance()->Log(1, szText, nCategory, nSeverity);
}

} // namespace

DbUpdater::DbUpdater(QObject *parent) : QObject(parent)
{
    m_strCurrentVersion.clear();
    m_lstVersions << QStringLiteral("1.0.0");
    m_lstUpdateSteps << new DbUpdateToVersion_1_0_0();
    m_lstVersions << QStringLiteral("1.1.0");
    m_lstUpdateSteps << new DbUpdateToVersion_1_1_0();
    m_lstVersions << QStringLiteral("1.2.0");
    m_lstUpdateSteps << new DbUpdateToVersion_1_2_0();
    m_lstVersions << QStringLiteral("1.3.0");
    m_lstUpdateSteps << new DbUpdateToVersion_1_3_0();
    m_lstVersions << QStringLiteral("1.4.0");
    m_lstUpdateSteps << new DbUpdateToVersion_1_4_0();
    m_lstVersions << QStringLiteral("1.4.1");
    m_lstUpdateSteps << new DbUpdateToVersion_1_4_1();
    m_lstVersions << QStringLiteral("1.4.2");
    m_lstUpdateSteps << new DbUpdateToVersion_1_4_2();
    m_lstVersions << QStringLiteral("1.5.0");
    m_lstUpdateSteps << new DbUpdateToVersion_1_5_0();
    m_lstVersions << QStringLiteral("1.6.0");
    m_lstUpdateSteps << new DbUpdateToVersion_1_6_0();
    m_lstVersions << QStringLiteral("1.7.0");
    m_lstUpdateSteps << new DbUpdateToVersion_1_7_0();
    m_lstVersions << QStringLiteral("1.8.0");
    m_lstUpdateSteps << new DbUpdateToVersion_1_8_0();
    m_lstVersions << QStringLiteral("1.9.0");
    m_lstUpdateSteps << new DbUpdateToVersion_1_9_0();
}

DbUpdater::~DbUpdater()
{
    for (int i = 0; i < m_lstVersions.size(); ++i)
        delete m_lstUpdateSteps.at(i);
    m_lstUpdateSteps.clear();
    m_lstVersions.clear();
}

void DbUpdater::setCurrentVersion(QString strVersion)
{
    m_strCurrentVersion = strVersion;
}

int DbUpdater::versionCount() const
{
    return m_lstVersions.size();
}

bool DbUpdater::updateDatabase()
{
    // Exact text: the versions are never parsed here.
    const int nFound = m_lstVersions.indexOf(m_strCurrentVersion);
    if (nFound < 0) {
        logLine(
            QStringLiteral("Database version not found. Unable to update the Database."), LogCatGeneral, LogSevError);
        return false;
    }
    if (!lockDatabase())
        return false;

    emit updateStarted();

    bool bStepResult = true;
    for (int i = nFound + 1; i < m_lstVersions.size() && bStepResult; ++i) {
        bStepResult = m_lstUpdateSteps.at(i)->updateInTransaction();
        emit updateStep(i + 1);
    }

    DBParamsManager paramsManager;
    const bool bParamsSaved = paramsManager.checkCnfParam();
    unlockDatabase();
    if (!bParamsSaved) {
        logLine(QStringLiteral("An error has occurred during saving of default params."), LogCatGeneral, LogSevError);
        return false;
    }

    emit updateCompleted(bStepResult);
    return true;
}

bool DbUpdater::lockDatabase()
{
    QSqlQuery query(QSqlDatabase::database());
    if (!query.exec(QStringLiteral("SELECT pg_try_advisory_lock(%1)").arg(kUpdateLockKey)) || !query.next()) {
        const QString szError = query.lastError().text();
        qDebug() << szError;
        logLine(
            QStringLiteral("Unable to lock the database for the update: %1").arg(szError), LogCatGeneral, LogSevError);
        return false;
    }
    if (!query.value(0).toBool()) {
        logLine(QStringLiteral("Another workstation is updating the database. Unable to update the Database."),
                LogCatGeneral,
                LogSevError);
        return false;
    }
    return true;
}

void DbUpdater::unlockDatabase()
{
    QSqlQuery query(QSqlDatabase::database());
    if (!query.exec(QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(kUpdateLockKey)) || !query.next() ||
        !query.value(0).toBool()) {
        logLine(QStringLiteral("Unable to release the update lock of the database: %1").arg(query.lastError().text()),
                LogCatGeneral,
                LogSevWarning);
    }
}
