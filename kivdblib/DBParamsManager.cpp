#include "DBParamsManager.h"

#include "DBManager.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

DBParamsManager::DBParamsManager() = default;

DBParamsManager::~DBParamsManager() = default;

bool DBParamsManager::checkCnfParam()
{
    const QString szDefault = QString::fromLatin1(QSqlDatabase::defaultConnection);
    QSqlDatabase db = QSqlDatabase::contains(szDefault) ? QSqlDatabase::database(szDefault, false) : QSqlDatabase();
    if (!db.isOpen()) {
        qCWarning(g_lcDatabase) << "Unable to save the default parameters without a connection";
        return false;
    }
    // Adds the calibration types that have no row yet; rows that exist, maybe
    // changed by the operator, are left as they are. One statement, so that
    // the parameters are saved whole or not at all.
    QSqlQuery query(db);
    if (!query.exec(
            QStringLiteral(
                "INSERT INTO \"CALIBRATIONVALIDITY\" (\"CalibrationType\", \"ValidityDays\", \"WarningDays\", "
                "\"Enabled\") "
                "SELECT d.t, d.v, d.w, true FROM (VALUES %1) AS d (t, v, w) "
                "WHERE NOT EXISTS (SELECT 1 FROM \"CALIBRATIONVALIDITY\" AS c WHERE c.\"CalibrationType\" = d.t)")
                .arg(defaultValuesSql()))) {
        qCWarning(g_lcDatabase).noquote() << "Unable to save the default parameters:" << query.lastError().text();
        return false;
    }
    if (query.numRowsAffected() > 0)
        qCDebug(g_lcDatabase) << "Default parameters saved:" << query.numRowsAffected() << "calibration types added";
    return true;
}

QString DBParamsManager::defaultValuesSql()
{
    QStringList lstRows;
    for (const CalibrationDefault &def : calibrationDefaults())
        lstRows
            << QStringLiteral("(%1, %2, %3)").arg(def.nCalibrationType).arg(def.nValidityDays).arg(def.nWarningDays);
    return lstRows.join(QStringLiteral(", "));
}

QVector<DBParamsManager::CalibrationDefault> DBParamsManager::calibrationDefaults()
{
    return {
        {CalibrationGeometric, 365, 30},
        {CalibrationHounsfieldUnits, 365, 30},
    };
}
