#pragma once

#include "kivdblib_global.h"

#include <QString>

// A client session connected to a database, as the server's activity view
// shows it. To a role that is not a superuser the server hides the client
// address of other roles' sessions: it is empty then.
struct KIVDBLIB_EXPORT DatabaseSession
{
    int nProcessId = 0;
    QString szUser;
    QString szApplication;
    QString szAddress;
    // Whether this program's role may end the session. A role that is not a
    // superuser cannot end a superuser's session, nor one of a role whose
    // privileges it does not have, unless it has those of pg_signal_backend.
    bool bCanEnd = true;

    // "application "psql" of user marlek at 10.0.0.7 (process 4711)"
    QString text() const;
};
