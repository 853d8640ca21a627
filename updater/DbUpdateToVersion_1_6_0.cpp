#include "DbUpdateToVersion_1_6_0.h"

DbUpdateToVersion_1_6_0::~DbUpdateToVersion_1_6_0() = default;

bool DbUpdateToVersion_1_6_0::update()
{
    const QString szFolder = QStringLiteral("v.01.06.00");
    QStringList lstScripts;
    lstScripts << scriptPath(szFolder, QStringLiteral("01-06-001-patients-AlterTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-06-002-patients-Update.sql"))
               << scriptPath(szFolder, QStringLiteral("01-06-003-patients-AlterTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-06-004-patients-AlterTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-06-005-users-AlterTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-06-999-kivVersion-CreateOrReplace.sql"));
    return executeScripts(lstScripts);
}
