#pragma once

#include <QString>

class QSettings;

// The suite's 2D imaging application, KivImaging2D, at the root of the
// native store. This program only carries it through.
class Cnf2d
{
public:
    Cnf2d();
    virtual ~Cnf2d();

    // szKivRoot is the suite root folder, from which an empty application
    // name or path gets its default.
    bool load(QSettings &settings, const QString &szKivRoot);
    bool save(QSettings &settings) const;

    int type() const;
    bool autosave() const;
    int yCorrection() const;
    int heightOverride() const;
    int widthOverride() const;
    QString applicationName() const;
    QString applicationPath() const;
    QString printLogoPath() const;
    int autoOpen() const;

private:
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
