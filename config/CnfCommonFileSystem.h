#pragma once

#include "CnfSection.h"

#include <QStringList>

// Folders of the suite, at the root of the native store; the software path
// and the additional paths are also copied into the XML settings file. All
// start empty: the folders are known once they are loaded. The suite's
// installer owns the root folder, the application-data location and the
// flag withoutKivServer (the suite runs without its central server,
// KivServer): this program only reads them.
#define KIV_CNF_COMMONFILESYSTEM_KEYS(X)                                                                               \
    X(QString, kivRoot, "kivRoot", defaultKivRoot, CnfStorage::LoadOnly)                                               \
    X(QString, softwarePath, "softwarePath", defaultSoftwarePath)                                                      \
    X(QString, appDataLocation, "appDataLocation", QString(), CnfStorage::LoadOnly)                                    \
    X(bool, withoutKivServer, "withoutKivServer", false, CnfStorage::LoadOnly)

class CnfCommonFileSystem : public CnfSection<CnfCommonFileSystem>
{
    KIV_CNF_KEYS(CnfCommonFileSystem, KIV_CNF_COMMONFILESYSTEM_KEYS)

public:
    CnfCommonFileSystem() : m_withoutKivServer(false) {}

    // Replaces the additional paths by exactly the three stored ones, empty
    // ones included.
    bool load(QSettings &settings);
    // Writes the software path and the additional paths only.
    bool save(QSettings &settings) const;

    void setSoftwarePath(const QString &szPath) { m_softwarePath = szPath; }
    QStringList additionalPaths() const { return m_additionalPaths; }
    void setAdditionalPaths(const QStringList &paths) { m_additionalPaths = paths; }

private:
    // The suite's folders before they are stored: fixed on Windows, below
    // the home folder elsewhere.
    static QString defaultKivRoot();
    static QString defaultSoftwarePath();

    // Outside the table: stored as "common/additionalPath1" and on.
    QStringList m_additionalPaths;
};

#undef KIV_CNF_COMMONFILESYSTEM_KEYS
