#include "DbUpdateToVersion_1_3_0.h"

DbUpdateToVersion_1_3_0::~DbUpdateToVersion_1_3_0() = default;

bool DbUpdateToVersion_1_3_0::update()
{
    const QString szFolder = QStringLiteral("v.01.03.00");
    QStringList lstScripts;
    lstScripts << scriptPath(szFolder, QStringLiteral("01-03-001-patients-AlterTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-03-999-kivVersion-CreateOrReplace.sql"));
    return executeScripts(lstScripts);
}
