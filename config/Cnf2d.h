#pragma once

#include "CnfSection.h"

// The suite's 2D imaging application, KivImaging2D, at the root of the
// native store. This program only carries it through. Until a load knows the
// suite root, the application path is empty.
#define KIV_CNF_2D_KEYS(X)                                                                                             \
    X(int, type, "kivImaging2D/type", 0)                                                                               \
    X(bool, autosave, "kivImaging2D/autosave", false)                                                                  \
    X(int, yCorrection, "kivImaging2D/yCorrection", 0)                                                                 \
    X(int, heightOverride, "kivImaging2D/heightOverride", 0)                                                           \
    X(int, widthOverride, "kivImaging2D/widthOverride", 0)                                                             \
    X(QString, applicationName, "kivImaging2D/applicationName", defaultApplicationName)                                \
    X(QString, applicationPath, "kivImaging2D/applicationPath", QString())                                             \
    X(QString, printLogoPath, "kivImaging2D/printLogoPath", QString())                                                 \
    X(int, autoOpen, "kivImaging2D/autoOpen", 1)

class Cnf2d : public CnfSection<Cnf2d>
{
    KIV_CNF_KEYS(Cnf2d, KIV_CNF_2D_KEYS)

public:
    Cnf2d() { resetToDefaults(); }

    // szKivRoot is the suite root folder, from which an empty application
    // name or path gets its default.
    bool load(QSettings &settings, const QString &szKivRoot);

private:
    static QString defaultApplicationName();
};

#undef KIV_CNF_2D_KEYS
