#include "DatabaseSession.h"

QString DatabaseSession::text() const
{
    const QString szWho = szApplication.isEmpty() ? QStringLiteral("an unnamed application")
                                                  : QStringLiteral("application \"%1\"").arg(szApplication);
    return QStringLiteral("%1 of user %2 at %3 (process %4)")
        .arg(szWho,
             szUser.isEmpty() ? QStringLiteral("?") : szUser,
             szAddress.isEmpty() ? QStringLiteral("a local or hidden address") : szAddress)
        .arg(nProcessId);
}
