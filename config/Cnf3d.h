#pragma once

#include "CnfSection.h"

// Program name and folder of the two generations of the 3D viewer, at the
// root of the native store. This program only carries them through. The
// folders follow the environment of the moment they are needed in.
#define KIV_CNF_3D_KEYS(X)                                                                                             \
    X(QString, olderProgramName, "kiv3dViewer/programName", QStringLiteral("Kiv3dViewer.exe"))                         \
    X(QString, olderProgramFolder, "kiv3dViewer/programFolder", defaultOlderProgramFolder)                             \
    X(QString, newerProgramName, "kiv3dViewerNG/programName", QStringLiteral("Kiv3dViewerNG.exe"))                     \
    X(QString, newerProgramFolder, "kiv3dViewerNG/programFolder", defaultNewerProgramFolder)

class Cnf3d : public CnfSection<Cnf3d>
{
    KIV_CNF_KEYS(Cnf3d, KIV_CNF_3D_KEYS)

public:
    Cnf3d() { resetToDefaults(); }

    // The 64-bit program folder: "ProgramW6432", or "ProgramFiles" when that
    // is empty, with forward slashes.
    static QString programFolder64();

private:
    static QString defaultOlderProgramFolder();
    static QString defaultNewerProgramFolder();
};

#undef KIV_CNF_3D_KEYS
