#pragma once

#include "CnfTable.h"

// The suite's language, key "language" in group "common" of the native store.
class CnfLingua
{
public:
    CnfLingua() { table().resetToDefaults(*this); }
    virtual ~CnfLingua() = default;

    // An empty or missing language becomes "en".
    bool load(QSettings &settings);
    bool save(QSettings &settings) const { return table().save(settings, *this); }

    QString language() const { return m_szLanguage; }
    void setLanguage(const QString &szLanguage) { m_szLanguage = szLanguage; }

private:
    static const CnfTable<CnfLingua> &table();

    QString m_szLanguage;
};
