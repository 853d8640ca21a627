#pragma once

#include <QString>
#include <QStringList>

class QSettings;

// Folders of the suite, at the root of the native store; the software path
// and the additional paths are also copied into the XML settings file.
class CnfCommonFileSystem
{
public:
    CnfCommonFileSystem();
    virtual ~CnfCommonFileSystem();

    // Replaces the additional paths by exactly the three stored ones, empty
    // ones included.
    bool load(QSettings &settings);
    // Writes the software path and the additional paths only.
    bool save(QSettings &settings) const;

    QString kivRoot() const;
    QString softwarePath() const;
    void setSoftwarePath(const QString &szPath);
    QString appDataLocation() const;
    // The suite runs without its central server, KivServer.
    bool withoutKivServer() const;
    QStringList additionalPaths() const;
    void setAdditionalPaths(const QStringList &paths);

private:
    QString m_szKivRoot;
    QString m_szSoftwarePath;
    QString m_szAppDataLocation;
    bool m_bWithoutKivServer;
    QStringList m_additionalPaths;
};
