#pragma once

#include <QSqlDatabase>
#include <QString>

class QSqlError;

// The one database session on which an update works: the session of Qt's
// default connection at the moment the update took it. It holds the update
// lock and begins the steps' transactions, so every statement of the update
// must run on it. Qt's PostgreSQL driver reports a broken connection as
// closed, and QSqlDatabase::database() would then open a new session without
// a word; the update therefore takes its connection only from here, which
// never opens one and refuses it once it is no longer the session taken.
//
// A lost session ends the update: the loss is logged once with the server's
// text, nothing runs any more, and when the update lets the session go the
// default connection is closed, so that nothing reopens it silently. The next
// run starts on a new connection from what the database then reports.
//
// Everything runs on the GUI thread; there is one update at a time.
class DbUpdateSession
{
public:
    static DbUpdateSession *instance();

    // Takes the session of the open default connection for an update; a step
    // inside a running update shares the update's session. False (and the
    // reason in the log) when there is no open connection or the session was
    // lost. Every successful take() is matched by one release().
    bool take();
    void release();

    // The default connection while it is the session taken and intact (or,
    // outside an update, while it is open); an invalid handle otherwise. Never
    // opens a connection.
    QSqlDatabase database();
    // Checks, without a round trip, that the default connection still is the
    // session taken; records the loss when it is not.
    bool isIntact();

    // A step's transaction is open on the session.
    bool isInTransaction() const;
    void setInTransaction(bool bOpen);

    // Session settings of an update: the application name under which the
    // server's activity view shows it, and how long a statement may wait for
    // a lock before it fails (0: no limit).
    bool applySettings(int nLockTimeoutMs);
    bool resetSettings();

    // Files a failed statement of the update: a lost session, a lock time-out
    // or another error. Logs the cause as one error line of the general
    // category. A lock time-out is explained (table and blocking sessions)
    // at once outside a transaction, otherwise by reportLockTimeout() once the
    // transaction has been rolled back.
    void reportFailure(const QSqlError &error, const QString &szSql);
    void reportFailure(const QString &szText, const QString &szSqlState, const QString &szSql);
    void reportLockTimeout();
    // Text for a failure that must not be logged empty: szText, or the loss,
    // or the last failure filed, or the missing connection.
    QString failureText(const QString &szText) const;

private:
    DbUpdateSession() = default;
    void markLost(const QString &szText);
    QString describeLockHolders(const QString &szSql);

    int m_nTakes = 0;
    int m_nProcessId = 0;
    bool m_bLost = false;
    QString m_szLostText;
    QString m_szLastFailure;
    bool m_bInTransaction = false;
    int m_nLockTimeoutMs = 0;
    bool m_bLockTimedOut = false;
    QString m_szLockTimeoutSql;
};
