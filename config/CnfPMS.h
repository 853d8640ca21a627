#pragma once

#include "CnfTable.h"

// Link to a practice management system, at the root of the native store.
// This program only carries it through.
class CnfPMS
{
public:
    CnfPMS() { table().resetToDefaults(*this); }
    virtual ~CnfPMS() = default;

    bool load(QSettings &settings) { return table().load(settings, *this); }
    bool save(QSettings &settings) const { return table().save(settings, *this); }

    int linkType() const { return m_nLinkType; }
    bool twDoubleSpace() const { return m_bTwDoubleSpace; }
    QString dateFormat() const { return m_szDateFormat; }
    bool replaceFirstNameLastName() const { return m_bReplaceFirstNameLastName; }
    QString codecNameForIniFiles() const { return m_szCodecNameForIniFiles; }

private:
    static const CnfTable<CnfPMS> &table();

    qint32 m_nLinkType;
    bool m_bTwDoubleSpace;
    QString m_szDateFormat;
    bool m_bReplaceFirstNameLastName;
    QString m_szCodecNameForIniFiles;
};
