#pragma once

#include <QString>

class QSettings;

// The suite's language, key "language" in group "common" of the native store.
class CnfLingua
{
public:
    CnfLingua();
    virtual ~CnfLingua();

    // An empty or missing language becomes "en".
    bool load(QSettings &settings);
    bool save(QSettings &settings) const;

    QString language() const;
    void setLanguage(const QString &szLanguage);

private:
    QString m_szLanguage;
};
