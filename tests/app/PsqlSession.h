#pragma once

#include <QProcess>
#include <QString>

// A session on a database of the private test server held by a psql child
// process, as another program of the suite (or the administrator) would hold
// one: of the test role over TCP, or of the server's superuser through the
// server's socket. The session is named by its application name, so that
// the server's activity view tells it apart. It stays until stop() or the
// object's end, or until the server ends it.
class PsqlSession
{
public:
    enum class Role
    {
        TestRole,
        Superuser
    };

    PsqlSession();
    ~PsqlSession();
    PsqlSession(const PsqlSession &) = delete;
    PsqlSession &operator=(const PsqlSession &) = delete;

    // The superuser can be reached (scripts/pgserver.sh names it and its
    // socket folder in the environment).
    static bool superuserAvailable();
    static QString superuserName();

    // Connects and waits until the server lists the session; false (and
    // errorText()) when it did not appear.
    bool start(Role eRole, const QString &szDatabase, const QString &szApplication);
    // The session's server process (0 when there is none).
    int processId() const;
    // Ends psql (end of its input) and waits for it.
    void stop();
    bool isRunning() const;
    QString errorText() const;

private:
    // Sessions of that application name on that database, read on a private
    // connection of the test role; -1 when the query failed.
    static int sessionCount(const QString &szDatabase, const QString &szApplication, int *pnProcessId = nullptr);

    QProcess m_process;
    QString m_szError;
    int m_nProcessId = 0;
};
