#include "DbUpdateToVersion_1_7_0.h"

DbUpdateToVersion_1_7_0::~DbUpdateToVersion_1_7_0() = default;

bool DbUpdateToVersion_1_7_0::update()
{
    const QString szFolder = QStringLiteral("v.01.07.00");
    QStringList lstScripts;
    lstScripts << scriptPath(szFolder, QStringLiteral("01-07-999-kivVersion-CreateOrReplace.sql"));
    return executeScripts(lstScripts);
}
