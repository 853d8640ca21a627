#pragma once

#include "kivdblib_global.h"

#include <QString>
#include <QVector>

// Default parameters of the suite kept in the database.
//
// The defaults are the validity periods of the device calibrations: table
// "CALIBRATIONVALIDITY" holds one row per calibration type with the days a
// calibration stays valid, the days before its end from which the suite warns,
// and whether the check is enabled. checkCnfParam() adds the row of every
// known calibration type that has none yet and never changes existing rows.
class KIVDBLIB_EXPORT DBParamsManager
{
public:
    enum CalibrationType
    {
        CalibrationGeometric = 1,       // "CALGEOVALIDITYPARAMS"
        CalibrationHounsfieldUnits = 2, // "CALHUVALIDITYPARAMS"
    };

    struct CalibrationDefault
    {
        int nCalibrationType;
        int nValidityDays;
        int nWarningDays;
    };

    DBParamsManager();
    virtual ~DBParamsManager();

    // Makes sure the default parameters are stored in the database on the
    // default connection; false when they could not be saved (no connection,
    // statement failed). Running it again changes nothing.
    bool checkCnfParam();

    static QVector<CalibrationDefault> calibrationDefaults();

private:
    static QString defaultValuesSql();
};
