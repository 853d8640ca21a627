#include "DbUpdater.h"

#include "DBManager.h"
#include "DBParamsManager.h"
#include "DbUpdateSession.h"
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
#include "ProgramLog.h"

#include <QSqlError>
#include <QSqlQuery>

QStringList DbUpdater::knownVersions()
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

QString DbUpdater::targetVersion()
{
    return knownVersions().constLast();
}

DbUpdater::DbUpdater(QObject *parent) : QObject(parent), m_lstVersions(knownVersions())
{
    // One step per version, at the same index.
    m_lstUpdateSteps << new DbUpdateToVersion_1_0_0() << new DbUpdateToVersion_1_1_0() << new DbUpdateToVersion_1_2_0()
                     << new DbUpdateToVersion_1_3_0() << new DbUpdateToVersion_1_4_0() << new DbUpdateToVersion_1_4_1()
                     << new DbUpdateToVersion_1_4_2() << new DbUpdateToVersion_1_5_0() << new DbUpdateToVersion_1_6_0()
                     << new DbUpdateToVersion_1_7_0() << new DbUpdateToVersion_1_8_0() << new DbUpdateToVersion_1_9_0();
    Q_ASSERT(m_lstUpdateSteps.size() == m_lstVersions.size());
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

void DbUpdater::setLockTimeout(int nMilliseconds)
{
    m_nLockTimeoutMs = qMax(0, nMilliseconds);
}

bool DbUpdater::updateDatabase()
{
    m_nFailedStep = 0;
    // Exact text: the versions are never parsed here.
    const int nFound = m_lstVersions.indexOf(m_strCurrentVersion);
    if (nFound < 0) {
        ProgramLog::error(QStringLiteral("Database version not found. Unable to update the Database."));
        return false;
    }
    if (!lockDatabase())
        return false;
    // Another run may have updated the database since the caller read its
    // version: only what it reports under the lock counts.
    const int nStart = lockedVersionIndex(nFound);
    if (nStart < 0) {
        unlockDatabase();
        return false;
    }

    emit updateStarted();

    bool bStepResult = true;
    for (int i = nStart + 1; i < m_lstVersions.size() && bStepResult; ++i) {
        bStepResult = m_lstUpdateSteps.at(i)->updateInTransaction();
        emit updateStep(i + 1);
        if (!bStepResult)
            m_nFailedStep = i + 1;
        if (!bStepResult)
            ProgramLog::error(QStringLiteral("The update to version %1 failed.").arg(m_lstVersions.at(i)));
    }

    // Without its session the run cannot save anything more: a new
    // connection is the next run's.
    bool bParamsSaved = false;
    if (DbUpdateSession::instance()->isIntact()) {
        DBParamsManager paramsManager;
        bParamsSaved = paramsManager.checkCnfParam();
        // Looking again logs a loss of the session that made the save fail.
        if (!bParamsSaved)
            DbUpdateSession::instance()->isIntact();
    }
    unlockDatabase();
    if (!bParamsSaved) {
        ProgramLog::error(QStringLiteral("An error has occurred during saving of default params."));
        return false;
    }

    emit updateCompleted(bStepResult);
    return true;
}

bool DbUpdater::updateLockHolder(DatabaseSession &holder, QString *pszError)
{
    if (pszError)
        pszError->clear();
    QSqlDatabase db = QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
    if (!db.isOpen()) {
        if (pszError)
            *pszError = QStringLiteral("No open connection to the database.");
        return false;
    }
    // A bigint advisory lock shows its upper and lower 32 bits as classid and
    // objid, with objsubid 1. The lock view is open to every role; the
    // activity view hides the client address of other roles' sessions.
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT a.pid, coalesce(a.usename::text, ''), coalesce(a.application_name, ''), "
                                 "coalesce(host(a.client_addr), '') "
                                 "FROM pg_locks AS l JOIN pg_stat_activity AS a ON a.pid = l.pid "
                                 "WHERE l.locktype = 'advisory' AND l.granted AND l.objsubid = 1 "
                                 "AND l.classid = ?::bigint::oid AND l.objid = ?::bigint::oid "
                                 "AND l.database = (SELECT oid FROM pg_database WHERE datname = current_database()) "
                                 "ORDER BY a.pid LIMIT 1"));
    query.addBindValue(QString::number((quint64(kUpdateLockKey) >> 32) & 0xffffffffu));
    query.addBindValue(QString::number(quint64(kUpdateLockKey) & 0xffffffffu));
    if (!query.exec()) {
        if (pszError)
            *pszError = query.lastError().text().trimmed();
        return false;
    }
    if (!query.next())
        return false;
    holder.nProcessId = query.value(0).toInt();
    holder.szUser = query.value(1).toString();
    holder.szApplication = query.value(2).toString();
    holder.szAddress = query.value(3).toString();
    return true;
}

bool DbUpdater::lockDatabase()
{
    // Without an open connection take() says so.
    DbUpdateSession *pSession = DbUpdateSession::instance();
    if (!pSession->take())
        return false;
    // Named before the lock is asked for, so that the activity view shows
    // who holds it.
    bool bLocked = pSession->applySettings(m_nLockTimeoutMs);
    QSqlQuery query(pSession->database());
    const QString szLock = QStringLiteral("SELECT pg_try_advisory_lock(%1)").arg(kUpdateLockKey);
    if (bLocked && (!query.exec(szLock) || !query.next())) {
        pSession->reportFailure(query.lastError(), szLock);
        bLocked = false;
    }
    if (!bLocked) {
        ProgramLog::error(
            QStringLiteral("Unable to lock the database for the update: %1").arg(pSession->failureText(QString())));
        pSession->release();
        return false;
    }
    if (!query.value(0).toBool()) {
        DatabaseSession holder;
        if (updateLockHolder(holder))
            ProgramLog::info(QStringLiteral("The update lock is held by %1.").arg(holder.text()));
        ProgramLog::error(
            QStringLiteral("Another workstation is updating the database. Unable to update the Database."));
        pSession->resetSettings();
        pSession->release();
        return false;
    }
    return true;
}

void DbUpdater::unlockDatabase()
{
    DbUpdateSession *pSession = DbUpdateSession::instance();
    if (pSession->isIntact()) {
        pSession->resetSettings();
        QSqlQuery query(pSession->database());
        const QString szUnlock = QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(kUpdateLockKey);
        if (!query.exec(szUnlock) || !query.next()) {
            pSession->reportFailure(query.lastError(), szUnlock);
            ProgramLog::error(QStringLiteral("Unable to release the update lock of the database: %1")
                                  .arg(pSession->failureText(QString())));
        } else if (!query.value(0).toBool()) {
            ProgramLog::error(
                QStringLiteral("Unable to release the update lock of the database: the session did not hold it."));
        }
    } else {
        // A session-level lock ends with its session.
        ProgramLog::warning(QStringLiteral("The update lock ended with the lost connection."));
    }
    pSession->release();
}

int DbUpdater::lockedVersionIndex(int nCallerIndex)
{
    DbUpdateSession *pSession = DbUpdateSession::instance();
    const QString szVersion = DBManager::instance()->kivDatabaseVersion();
    if (!pSession->isIntact()) {
        ProgramLog::error(
            QStringLiteral("Unable to read the database version: %1").arg(pSession->failureText(QString())));
        return -1;
    }
    const int nIndex = m_lstVersions.indexOf(szVersion);
    if (nIndex < 0) {
        ProgramLog::error(QStringLiteral("Database version not found. Unable to update the Database."));
        return -1;
    }
    if (nIndex != nCallerIndex)
        ProgramLog::info(
            QStringLiteral("The database reports version %1 instead of %2: the update starts from version %1.")
                .arg(szVersion, m_lstVersions.at(nCallerIndex)));
    return nIndex;
}
