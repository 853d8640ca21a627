#include "CnfKivUI.h"

const CnfTable<CnfKivUI> &CnfKivUI::table()
{
    static const CnfTable<CnfKivUI> s_table{
        {"main/thumbnailDate", &CnfKivUI::m_bThumbnailDate, true},
        {"main/imageDeletion", &CnfKivUI::m_bImageDeletion, false},
        {"main/showExternalId", &CnfKivUI::m_bShowExternalId, false},
        {"patientTable/optimizations", &CnfKivUI::m_bPatientTableOptimizations, false},
        {"tools/common/miscellaneous/enableStyleSheet", &CnfKivUI::m_bEnableStyleSheet, true},
        {"main/teethNumbering", &CnfKivUI::m_nTeethNumbering, 0},
        {"main/filteringElseActive", &CnfKivUI::m_bFilteringElseActive, true},
    };
    return s_table;
}
