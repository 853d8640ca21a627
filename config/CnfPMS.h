#pragma once

#include "CnfSection.h"

// Link to a practice management system, at the root of the native store.
// This program only carries it through.
#define KIV_CNF_PMS_KEYS(X)                                                                                            \
    X(int, linkType, "PMS/linkType", 0)                                                                                \
    X(bool, twDoubleSpace, "PMS/twDoubleSpace", true)                                                                  \
    X(QString, dateFormat, "PMS/dateFormat", QStringLiteral("yyyy/MM/dd"))                                             \
    X(bool, replaceFirstNameLastName, "PMS/replaceFirstNameLastName", false)                                           \
    X(QString, codecNameForIniFiles, "PMS/codecNameForIniFiles", QStringLiteral("UTF-8"))

class CnfPMS : public CnfSection<CnfPMS>
{
    KIV_CNF_KEYS(CnfPMS, KIV_CNF_PMS_KEYS)

public:
    CnfPMS() { resetToDefaults(); }
};

#undef KIV_CNF_PMS_KEYS
