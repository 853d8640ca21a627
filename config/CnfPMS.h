#pragma once

#include <QString>

class QSettings;

// Link to a practice management system, at the root of the native store.
// This program only carries it through.
class CnfPMS
{
public:
    CnfPMS();
    virtual ~CnfPMS();

    bool load(QSettings &settings);
    bool save(QSettings &settings) const;

    int linkType() const;
    bool twDoubleSpace() const;
    QString dateFormat() const;
    bool replaceFirstNameLastName() const;
    QString codecNameForIniFiles() const;

private:
    qint32 m_nLinkType;
    bool m_bTwDoubleSpace;
    QString m_szDateFormat;
    bool m_bReplaceFirstNameLastName;
    QString m_szCodecNameForIniFiles;
};
