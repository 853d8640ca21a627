#include "CnfPMS.h"

const CnfTable<CnfPMS> &CnfPMS::table()
{
    static const CnfTable<CnfPMS> s_table{
        {"PMS/linkType", &CnfPMS::m_nLinkType, 0},
        {"PMS/twDoubleSpace", &CnfPMS::m_bTwDoubleSpace, true},
        {"PMS/dateFormat", &CnfPMS::m_szDateFormat, QStringLiteral("yyyy/MM/dd")},
        {"PMS/replaceFirstNameLastName", &CnfPMS::m_bReplaceFirstNameLastName, false},
        {"PMS/codecNameForIniFiles", &CnfPMS::m_szCodecNameForIniFiles, QStringLiteral("UTF-8")},
    };
    return s_table;
}
