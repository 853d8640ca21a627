#pragma once

#include "CnfSection.h"

// Options of the suite's main window, at the root of the native store. This
// program reads only the style sheet switch.
#define KIV_CNF_KIVUI_KEYS(X)                                                                                          \
    X(bool, thumbnailDate, "main/thumbnailDate", true)                                                                 \
    X(bool, imageDeletion, "main/imageDeletion", false)                                                                \
    X(bool, showExternalId, "main/showExternalId", false)                                                              \
    X(bool, patientTableOptimizations, "patientTable/optimizations", false)                                            \
    X(bool, enableStyleSheet, "tools/common/miscellaneous/enableStyleSheet", true)                                     \
    X(int, teethNumbering, "main/teethNumbering", 0)                                                                   \
    X(bool, filteringElseActive, "main/filteringElseActive", true)

class CnfKivUI : public CnfSection<CnfKivUI>
{
    KIV_CNF_KEYS(CnfKivUI, KIV_CNF_KIVUI_KEYS)

public:
    CnfKivUI() { resetToDefaults(); }
};

#undef KIV_CNF_KIVUI_KEYS
