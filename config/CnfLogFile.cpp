#include "CnfLogFile.h"

const CnfTable<CnfLogFile> &CnfLogFile::table()
{
    static const CnfTable<CnfLogFile> s_table{
        {"logFile/fileDimension", &CnfLogFile::m_nFileDimension, 1},
        {"logFile/databaseEnabled", &CnfLogFile::m_bDatabaseEnabled, false},
        {"logFile/deviceEnabled", &CnfLogFile::m_bDeviceEnabled, false},
        {"logFile/validityDays", &CnfLogFile::m_nValidityDays, 31},
    };
    return s_table;
}
