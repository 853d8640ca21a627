#pragma once

#include "CnfTable.h"

// The suite's 2D imaging application, KivImaging2D, at the root of the
// native store. This program only carries it through.
class Cnf2d
{
public:
    Cnf2d() { table().resetToDefaults(*this); }
    virtual ~Cnf2d() = default;

    // szKivRoot is the suite root folder, from which an empty application
    // name or path gets its default.
    bool load(QSettings &settings, const QString &szKivRoot);
    bool save(QSettings &settings) const { return table().save(settings, *this); }

    int type() const { return m_nType; }
    bool autosave() const { return m_bAutosave; }
    int yCorrection() const { return m_nYCorrection; }
    int heightOverride() const { return m_nHeightOverride; }
    int widthOverride() const { return m_nWidthOverride; }
    QString applicationName() const { return m_szApplicationName; }
    QString applicationPath() const { return m_szApplicationPath; }
    QString printLogoPath() const { return m_szPrintLogoPath; }
    int autoOpen() const { return m_nAutoOpen; }

private:
    static const CnfTable<Cnf2d> &table();

    qint32 m_nType;
    bool m_bAutosave;
    qint32 m_nYCorrection;
    qint32 m_nHeightOverride;
    qint32 m_nWidthOverride;
    QString m_szApplicationName;
    QString m_szApplicationPath;
    QString m_szPrintLogoPath;
    qint32 m_nAutoOpen;
};
