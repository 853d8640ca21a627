#include "DbUpdateToVersion_1_4_0.h"

DbUpdateToVersion_1_4_0::~DbUpdateToVersion_1_4_0() = default;

bool DbUpdateToVersion_1_4_0::update()
{
    const QString szFolder = QStringLiteral("v.01.04.00");
    QStringList lstScripts;
    lstScripts << scriptPath(szFolder, QStringLiteral("01-04-001-dcmAE-CreateTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-04-002-dcmTransferSystax-CreateTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-04-003-dcmTransferSystax-InsertInto.sql"))
               << scriptPath(szFolder, QStringLiteral("01-04-004-dcmAbstractSystax-CreateTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-04-005-dcmAbstractSystax-InsertInto.sql"))
               << scriptPath(szFolder, QStringLiteral("01-04-006-patients-AlterTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-04-007-patients-Update.sql"))
               << scriptPath(szFolder, QStringLiteral("01-04-008-patients-AlterTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-04-999-kivVersion-CreateOrReplace.sql"));
    return executeScripts(lstScripts);
}
