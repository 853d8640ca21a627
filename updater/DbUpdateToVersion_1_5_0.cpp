#include "DbUpdateToVersion_1_5_0.h"

DbUpdateToVersion_1_5_0::~DbUpdateToVersion_1_5_0() = default;

bool DbUpdateToVersion_1_5_0::update()
{
    const QString szFolder = QStringLiteral("v.01.05.00");
    QStringList lstScripts;
    lstScripts << scriptPath(szFolder, QStringLiteral("01-05-001-patients-AlterTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-05-002-USERS-AlterTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-05-003-PERSONALDATA-AlterTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-05-004-acqLog-CreateTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-05-999-kivVersion-CreateOrReplace.sql"));
    return executeScripts(lstScripts);
}
