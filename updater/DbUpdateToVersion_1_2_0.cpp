#include "DbUpdateToVersion_1_2_0.h"

DbUpdateToVersion_1_2_0::~DbUpdateToVersion_1_2_0() = default;

bool DbUpdateToVersion_1_2_0::update()
{
    const QString szFolder = QStringLiteral("v.01.02.00");
    QStringList lstScripts;
    lstScripts << scriptPath(szFolder, QStringLiteral("01-02-001-DcmImageSeries-AlterTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-02-002-DcmImage-AlterTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-02-003-DcmImage-AlterTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-02-004-DcmImage-AlterTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-02-005-patients-AlterTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-02-999-kivVersion-CreateOrReplace.sql"));
    return executeScripts(lstScripts);
}
