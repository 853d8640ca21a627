#include "DbUpdateSession.h"

#include "DBManager.h"
#include "ProgramLog.h"

#include <QDebug>
#include <QMap>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace {

// Shown in the server's activity view, so that administrators see which
// session holds or waits for what.
const QString kApplicationName = QStringLiteral("KivDataBaseUpdater");
// SQLSTATE lock_not_available: the lock time-out expired.
const QString kLockNotAvailable = QStringLiteral("55P03");

// Server texts come in several lines (message, position, hint); the log
// takes them as one.
QString oneLine(const QString &szText)
{
    return szText.simplified();
}

// The failing SQL names the relation (as regclass prints it: quoted when it
// has to be, schema only when outside the search path).
bool mentions(const QString &szSql, const QString &szRelation)
{
    const QString szName = szRelation.mid(szRelation.lastIndexOf(QLatin1Char('.')) + 1);
    if (szName.startsWith(QLatin1Char('"')))
        return szSql.contains(szName);
    // An unquoted name stands for itself in any letter case.
    const QRegularExpression reName(
        QStringLiteral("(?<![\\w\"$])%1(?![\\w\"$])").arg(QRegularExpression::escape(szName)),
        QRegularExpression::CaseInsensitiveOption);
    return reName.match(szSql).hasMatch();
}

} // namespace

DbUpdateSession *DbUpdateSession::instance()
{
    static DbUpdateSession s_session;
    return &s_session;
}

bool DbUpdateSession::take()
{
    if (m_nTakes > 0) {
        if (!isIntact())
            return false;
        ++m_nTakes;
        return true;
    }
    const int nProcessId = DBManager::instance()->sessionProcessId();
    if (nProcessId == 0) {
        ProgramLog::error(QStringLiteral("No open connection to the database."));
        return false;
    }
    m_nTakes = 1;
    m_nProcessId = nProcessId;
    m_bLost = false;
    m_szLostText.clear();
    m_szLastFailure.clear();
    m_bInTransaction = false;
    m_nLockTimeoutMs = 0;
    m_bLockTimedOut = false;
    m_szLockTimeoutSql.clear();
    return true;
}

void DbUpdateSession::release()
{
    if (m_nTakes == 0 || --m_nTakes > 0)
        return;
    // Closed here, not left to QSqlDatabase::database(), which would open it
    // again for whoever asks next.
    if (m_bLost)
        DBManager::instance()->closeDatabase();
    m_nProcessId = 0;
    m_bInTransaction = false;
}

QSqlDatabase DbUpdateSession::database()
{
    if (!isIntact()) {
        if (!m_bLost)
            ProgramLog::error(QStringLiteral("No open connection to the database."));
        return QSqlDatabase();
    }
    return QSqlDatabase::database(QString::fromLatin1(QSqlDatabase::defaultConnection), false);
}

bool DbUpdateSession::isIntact()
{
    if (m_nTakes == 0)
        return DBManager::instance()->isDatabaseOpen();
    if (m_bLost)
        return false;
    if (DBManager::instance()->sessionProcessId() == m_nProcessId)
        return true;
    markLost(DBManager::instance()->sessionErrorText());
    return false;
}

bool DbUpdateSession::isInTransaction() const
{
    return m_bInTransaction;
}

void DbUpdateSession::setInTransaction(bool bOpen)
{
    m_bInTransaction = bOpen;
}

bool DbUpdateSession::applySettings(int nLockTimeoutMs)
{
    QSqlDatabase db = database();
    if (!db.isValid())
        return false;
    const QStringList lstSettings = {
        QStringLiteral("SET application_name = '%1'").arg(kApplicationName),
        QStringLiteral("SET lock_timeout = %1").arg(qMax(0, nLockTimeoutMs)),
    };
    QSqlQuery query(db);
    for (const QString &szSql : lstSettings) {
        if (!query.exec(szSql)) {
            reportFailure(query.lastError(), szSql);
            return false;
        }
    }
    m_nLockTimeoutMs = qMax(0, nLockTimeoutMs);
    return true;
}

bool DbUpdateSession::resetSettings()
{
    QSqlDatabase db = database();
    if (!db.isValid())
        return false;
    QSqlQuery query(db);
    const QString szSql = QStringLiteral("RESET lock_timeout");
    if (!query.exec(szSql)) {
        reportFailure(query.lastError(), szSql);
        return false;
    }
    m_nLockTimeoutMs = 0;
    return true;
}

void DbUpdateSession::reportFailure(const QSqlError &error, const QString &szSql)
{
    reportFailure(error.text(), error.nativeErrorCode(), szSql);
}

void DbUpdateSession::reportFailure(const QString &szText, const QString &szSqlState, const QString &szSql)
{
    qDebug().noquote() << szText;
    const QString szLine = oneLine(szText);
    DBManager *pDbManager = DBManager::instance();
    if (m_nTakes > 0) {
        // After a loss Qt refuses every statement without a text of its own.
        if (m_bLost)
            return;
        if (pDbManager->sessionProcessId() != m_nProcessId) {
            markLost(szLine.isEmpty() ? pDbManager->sessionErrorText() : szLine);
            return;
        }
    } else if (!pDbManager->isDatabaseOpen()) {
        ProgramLog::error(QStringLiteral("Database connection lost: %1").arg(failureText(szLine)));
        return;
    }
    m_szLastFailure = szLine.isEmpty() ? QStringLiteral("The database reported an error without a text.") : szLine;
    ProgramLog::error(m_szLastFailure);

    if (szSqlState == kLockNotAvailable || (szSqlState.isEmpty() && szLine.contains(QLatin1String("lock timeout")))) {
        m_bLockTimedOut = true;
        m_szLockTimeoutSql = szSql;
        // Inside a transaction the server answers nothing more until the
        // transaction is rolled back.
        if (!m_bInTransaction)
            reportLockTimeout();
    }
}

void DbUpdateSession::reportLockTimeout()
{
    if (!m_bLockTimedOut)
        return;
    m_bLockTimedOut = false;
    const QString szHolders = describeLockHolders(m_szLockTimeoutSql);
    const QString szWait = m_nLockTimeoutMs > 0 ? QStringLiteral("Lock wait time-out after %1 ms").arg(m_nLockTimeoutMs)
                                                : QStringLiteral("Lock wait time-out");
    ProgramLog::error(QStringLiteral("%1: %2").arg(szWait, szHolders));
}

QString DbUpdateSession::failureText(const QString &szText) const
{
    if (!oneLine(szText).isEmpty())
        return oneLine(szText);
    if (m_bLost)
        return QStringLiteral("connection lost (%1)").arg(m_szLostText);
    if (!m_szLastFailure.isEmpty())
        return m_szLastFailure;
    return QStringLiteral("no open connection to the database");
}

void DbUpdateSession::markLost(const QString &szText)
{
    if (m_bLost)
        return;
    m_bLost = true;
    m_szLostText = oneLine(szText);
    if (m_szLostText.isEmpty())
        m_szLostText = QStringLiteral("the connection is no longer the session the update began on");
    ProgramLog::error(QStringLiteral("Database connection lost during the update: %1").arg(m_szLostText));
}

QString DbUpdateSession::describeLockHolders(const QString &szSql)
{
    QSqlDatabase db = database();
    if (!db.isValid())
        return QStringLiteral("the sessions holding the lock could not be read (%1).").arg(failureText(QString()));
    // Only the locks granted now can be seen: the server forgot what the
    // statement waited for when it cancelled it. The tables of user objects
    // that the failing statement names are the ones it can have waited for.
    QSqlQuery query(db);
    const QString szHoldersSql = QStringLiteral(
        "SELECT l.relation::regclass::text, a.pid, coalesce(a.application_name, ''), "
        "coalesce(host(a.client_addr), ''), coalesce(a.usename::text, '') "
        "FROM pg_locks AS l JOIN pg_stat_activity AS a ON a.pid = l.pid "
        "WHERE l.granted AND l.locktype = 'relation' AND l.pid <> pg_backend_pid() AND l.relation >= 16384::oid "
        "AND l.database = (SELECT oid FROM pg_database WHERE datname = current_database()) "
        "ORDER BY 1, 2");
    if (!query.exec(szHoldersSql))
        return QStringLiteral("the sessions holding the lock could not be read (%1).")
            .arg(failureText(query.lastError().text()));

    QMap<QString, QStringList> mapHolders;
    while (query.next()) {
        const QString szApplication = query.value(2).toString();
        const QString szAddress = query.value(3).toString();
        const QString szHolder =
            QStringLiteral("%1 at %2 (user %3, process %4)")
                .arg(szApplication.isEmpty() ? QStringLiteral("an unnamed application")
                                             : QStringLiteral("application \"%1\"").arg(szApplication),
                     szAddress.isEmpty() ? QStringLiteral("a local connection") : szAddress,
                     query.value(4).toString())
                .arg(query.value(1).toInt());
        QStringList &lstHolders = mapHolders[query.value(0).toString()];
        if (!lstHolders.contains(szHolder))
            lstHolders << szHolder;
    }
    QStringList lstNamed;
    QStringList lstAll;
    for (auto it = mapHolders.cbegin(); it != mapHolders.cend(); ++it) {
        const QString szPart = QStringLiteral("%1 is held by %2").arg(it.key(), it.value().join(QStringLiteral(", ")));
        lstAll << szPart;
        if (mentions(szSql, it.key()))
            lstNamed << szPart;
    }
    if (!lstNamed.isEmpty())
        return lstNamed.join(QStringLiteral("; ")) + QLatin1Char('.');
    if (!lstAll.isEmpty())
        return QStringLiteral("tables locked by other sessions: %1.").arg(lstAll.join(QStringLiteral("; ")));
    return QStringLiteral("the sessions that held the lock have ended since.");
}
