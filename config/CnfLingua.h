#pragma once

#include "CnfSection.h"

// The suite's language, key "language" in group "common" of the native store.
#define KIV_CNF_LINGUA_KEYS(X) X(QString, language, "language", QString())

class CnfLingua : public CnfSection<CnfLingua>
{
    KIV_CNF_KEYS(CnfLingua, KIV_CNF_LINGUA_KEYS)

public:
    CnfLingua() { resetToDefaults(); }

    // An empty or missing language becomes "en".
    bool load(QSettings &settings);

    void setLanguage(const QString &szLanguage) { m_language = szLanguage; }
};

#undef KIV_CNF_LINGUA_KEYS
