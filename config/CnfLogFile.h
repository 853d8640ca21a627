#pragma once

#include "CnfSection.h"

// Log file options of this program, group "tools/common" of the native store:
// the size limit of one log file in megabytes, the switches of the database
// and device logs, and the age in days after which old log files are removed.
#define KIV_CNF_LOGFILE_KEYS(X)                                                                                        \
    X(int, fileDimension, "logFile/fileDimension", 1)                                                                  \
    X(bool, databaseEnabled, "logFile/databaseEnabled", false)                                                         \
    X(bool, deviceEnabled, "logFile/deviceEnabled", false)                                                             \
    X(int, validityDays, "logFile/validityDays", 31)

class CnfLogFile : public CnfSection<CnfLogFile>
{
    KIV_CNF_KEYS(CnfLogFile, KIV_CNF_LOGFILE_KEYS)

public:
    CnfLogFile() { resetToDefaults(); }

    void setFileDimension(int nMegabytes) { m_fileDimension = nMegabytes; }
    void setDatabaseEnabled(bool bEnabled) { m_databaseEnabled = bEnabled; }
    void setDeviceEnabled(bool bEnabled) { m_deviceEnabled = bEnabled; }
    void setValidityDays(int nDays) { m_validityDays = nDays; }
};

#undef KIV_CNF_LOGFILE_KEYS
