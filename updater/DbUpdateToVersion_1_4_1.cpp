#include "DbUpdateToVersion_1_4_1.h"

DbUpdateToVersion_1_4_1::~DbUpdateToVersion_1_4_1() = default;

bool DbUpdateToVersion_1_4_1::update()
{
    const QString szFolder = QStringLiteral("v.01.04.01");
    QStringList lstScripts;
    lstScripts << scriptPath(szFolder, QStringLiteral("01-04-999-kivVersion-CreateOrReplace.sql"));
    return executeScripts(lstScripts);
}
