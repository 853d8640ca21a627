#pragma once

#include <QString>
#include <QStringList>

// Language of the panoramic device's software. Kept only in that software's
// own INI files below the machine-wide data folder: its interface settings
// and its I/O configuration.
class CnfLinguaDevice
{
public:
    CnfLinguaDevice();
    virtual ~CnfLinguaDevice();

    // Reads the language of each file that exists; the I/O configuration,
    // read last, wins. An empty language becomes "en".
    bool load();
    // Writes szLanguage into each file that exists; false when a file could
    // not be written (the others are written still).
    bool save(const QString &szLanguage);

    QString language() const;

    // Machine-wide data folder: the second generic data location.
    static QString baseFolder();
    static QString interfaceSettingsFilePath();
    static QString ioConfigurationFilePath();

private:
    QString m_szLanguage;
};
