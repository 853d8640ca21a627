#pragma once

#include "CnfTable.h"

// Program name and folder of the two generations of the 3D viewer, at the
// root of the native store. This program only carries them through.
class Cnf3d
{
public:
    Cnf3d() { table().resetToDefaults(*this); }
    virtual ~Cnf3d() = default;

    bool load(QSettings &settings) { return table().load(settings, *this); }
    bool save(QSettings &settings) const { return table().save(settings, *this); }

    QString olderProgramName() const { return m_szOlderProgramName; }
    QString olderProgramFolder() const { return m_szOlderProgramFolder; }
    QString newerProgramName() const { return m_szNewerProgramName; }
    QString newerProgramFolder() const { return m_szNewerProgramFolder; }

    // The 64-bit program folder: "ProgramW6432", or "ProgramFiles" when that
    // is empty, with forward slashes.
    static QString programFolder64();

private:
    static const CnfTable<Cnf3d> &table();

    QString m_szOlderProgramName;
    QString m_szOlderProgramFolder;
    QString m_szNewerProgramName;
    QString m_szNewerProgramFolder;
};
