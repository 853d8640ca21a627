#pragma once

#include <QString>

class QSettings;

// Program name and folder of the two generations of the 3D viewer, at the
// root of the native store. This program only carries them through.
class Cnf3d
{
public:
    Cnf3d();
    virtual ~Cnf3d();

    bool load(QSettings &settings);
    bool save(QSettings &settings) const;

    QString olderProgramName() const;
    QString olderProgramFolder() const;
    QString newerProgramName() const;
    QString newerProgramFolder() const;

    // The 64-bit program folder: "ProgramW6432", or "ProgramFiles" when that
    // is empty, with forward slashes.
    static QString programFolder64();

private:
    QString m_szOlderProgramName;
    QString m_szOlderProgramFolder;
    QString m_szNewerProgramName;
    QString m_szNewerProgramFolder;
};
