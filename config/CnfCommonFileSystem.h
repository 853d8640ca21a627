#pragma once

#include "CnfTable.h"

#include <QStringList>

// Folders of the suite, at the root of the native store; the software path
// and the additional paths are also copied into the XML settings file. All
// start empty: the folders are known once they are loaded.
class CnfCommonFileSystem
{
public:
    CnfCommonFileSystem() = default;
    virtual ~CnfCommonFileSystem() = default;

    // Replaces the additional paths by exactly the three stored ones, empty
    // ones included.
    bool load(QSettings &settings);
    // Writes the software path and the additional paths only.
    bool save(QSettings &settings) const;

    QString kivRoot() const { return m_szKivRoot; }
    QString softwarePath() const { return m_szSoftwarePath; }
    void setSoftwarePath(const QString &szPath) { m_szSoftwarePath = szPath; }
    QString appDataLocation() const { return m_szAppDataLocation; }
    // The suite runs without its central server, KivServer.
    bool withoutKivServer() const { return m_bWithoutKivServer; }
    QStringList additionalPaths() const { return m_additionalPaths; }
    void setAdditionalPaths(const QStringList &paths) { m_additionalPaths = paths; }

private:
    static const CnfTable<CnfCommonFileSystem> &table();

    QString m_szKivRoot;
    QString m_szSoftwarePath;
    QString m_szAppDataLocation;
    bool m_bWithoutKivServer = false;
    // Outside the table: stored as "common/additionalPath1" and on.
    QStringList m_additionalPaths;
};
