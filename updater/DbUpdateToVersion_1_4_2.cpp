#include "DbUpdateToVersion_1_4_2.h"

DbUpdateToVersion_1_4_2::~DbUpdateToVersion_1_4_2() = default;

bool DbUpdateToVersion_1_4_2::update()
{
    const QString szFolder = QStringLiteral("v.01.04.02");
    QStringList lstScripts;
    lstScripts << scriptPath(szFolder, QStringLiteral("01-04-999-kivVersion-CreateOrReplace.sql"));
    return executeScripts(lstScripts);
}
