#include "DbUpdateToVersion_1_9_0.h"

DbUpdateToVersion_1_9_0::~DbUpdateToVersion_1_9_0() = default;

bool DbUpdateToVersion_1_9_0::update()
{
    const QString szFolder = QStringLiteral("v.01.09.00");
    QStringList lstScripts;
    lstScripts << scriptPath(szFolder, QStringLiteral("01-09-002-users-Update.sql"))
               << scriptPath(szFolder, QStringLiteral("01-09-003-users-Update.sql"))
               << scriptPath(szFolder, QStringLiteral("01-09-004-users-AlterTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-09-999-kivVersion-CreateOrReplace.sql"));
    return executeScripts(lstScripts);
}
