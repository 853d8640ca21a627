#include "DbUpdateToVersion_1_1_0.h"

#include "DbUpdateSession.h"
#include "ProgramLog.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

DbUpdateToVersion_1_1_0::~DbUpdateToVersion_1_1_0() = default;

bool DbUpdateToVersion_1_1_0::update()
{
    const QString szFolder = QStringLiteral("v.01.01.00");
    QStringList lstScripts;
    lstScripts << scriptPath(szFolder, QStringLiteral("01-01-001-User-AlterTable.sql"))
               << scriptPath(szFolder, QStringLiteral("01-01-002-PersonalData-InsertInto.sql"));
    // The default profile may have been made by hand before the suite
    // created it; inserting it again would break the step. A check that
    // failed has aborted the step's transaction or lost its session: nothing
    // can run after it.
    bool bProfileExists = false;
    if (!checkDefaultProfile(bProfileExists))
        return false;
    if (!bProfileExists)
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
    bool bExists = false;
    checkDefaultProfile(bExists);
    return bExists;
}

bool DbUpdateToVersion_1_1_0::checkDefaultProfile(bool &bExists)
{
    bExists = false;
    DbUpdateSession *pSession = DbUpdateSession::instance();
    QSqlDatabase db = pSession->database();
    if (!db.isValid())
        return false;

    QString szQuery;
    szQuery += QStringLiteral("SELECT \"ID\" \n");
    szQuery += QStringLiteral("FROM \"PROFILES\" \n");
    szQuery += QStringLiteral("WHERE (\"ID\" = 1) \n");
    ProgramLog::info(szQuery, LogCatDatabase);

    QSqlQuery query(db);
    if (!query.exec(szQuery)) {
        pSession->reportFailure(query.lastError(), szQuery);
        return false;
    }
    bExists = query.next();
    return true;
}
