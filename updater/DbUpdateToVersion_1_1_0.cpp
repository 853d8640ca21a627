#include "DbUpdateToVersion_1_1_0.h"

#include "LogFileManager.h"

#include <QDebug>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

void logDatabaseError(const QString &szError)
{
    qDebug() << szError;
    LogFileManager::Instance()->Log(1, szError, LogCatDatabase, LogSevError);
}

} // namespace

DbUpdateToVersion_1_1_0::~DbUpdateToVersion_1_1_0() = default;

bool DbUpdateToVersion_1_1_0::update()
{
    const QString szFolder = QStringLiteral("v.01.01.00");
    QStringList lstScripts;
    lstScripts << scriptPath(szFolder, QStringLiteral("01-01-001-User-AlterTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-01-002-PersonalData-InsertInto.sql"));
    // The default profile may have been made by hand before the suite
    // created it; inserting it again would break the step.
    if (!defaultProfileExists())
        lstScripts << scriptPath(szFolder, QStringLiteral("01-01-003-Profiles-InsertInto.sql"));
    lstScripts << scriptPath(szFolder, QStringLiteral("01-01-004-User-InsertInto.sql"))
               << scriptPath(szFolder, QStringLiteral("01-01-005-PersonalData-AlterTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-01-006-CalGeoValidityParams-AlterTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-01-007-CalHUVValidityParams-CreateTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-01-008-DcmImage-AlterTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-01-009-DcmImageSeries-AlterTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-01-010-DcmStudy-AlterTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-01-999-kivVersion-CreateOrReplace.sql"));
    return executeScripts(lstScripts);
}

bool DbUpdateToVersion_1_1_0::defaultProfileExists()
{
    QSqlDatabase db = QSqlDatabase::database();
    if (!db.isValid()) {
        logDatabaseError(db.lastError().text());
        return false;
    }

    QString szQuery;
    szQuery += QStringLiteral("SELECT \"ID\" \n");
    szQuery += QStringLiteral("FROM \"PROFILES\" \n");
    szQuery += QStringLiteral("WHERE (\"ID\" = 1) \n");
    LogFileManager::Instance()->Log(1, szQuery, LogCatDatabase, LogSevInformation);

    QSqlQuery query(db);
    if (!query.exec(szQuery)) {
        logDatabaseError(query.lastError().text());
        return false;
    }
    return query.next();
}
