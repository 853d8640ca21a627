#include "CnfLinguaDevice.h"

#include "CnfStoreStatus.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

struct DeviceFile
{
    // Below the machine-wide data folder.
    const char *pszPath;
    const char *pszLanguageKey;
};

// The interface settings of the panoramic device and the I/O configuration of
// the device software, in the order in which they are consulted.
constexpr DeviceFile kInterfaceSettings{"/Marlek Telvor Group/KivPan/PanInterface.ini", "Interface/Language"};
constexpr DeviceFile kIoConfiguration{"/Marlek Telvor Group/KivDeviceIO/IoConfiguration.ini", "IO/Language"};
constexpr DeviceFile kDeviceFiles[] = {kInterfaceSettings, kIoConfiguration};

QString filePath(const DeviceFile &file)
{
    const QString szBase = CnfLinguaDevice::baseFolder();
    return szBase.isEmpty() ? QString() : szBase + QLatin1String(file.pszPath);
}

} // namespace

CnfLinguaDevice::CnfLinguaDevice() = default;

CnfLinguaDevice::~CnfLinguaDevice() = default;

bool CnfLinguaDevice::load()
{
    for (const DeviceFile &file : kDeviceFiles) {
        const QString szPath = filePath(file);
        if (szPath.isEmpty() || !QFileInfo::exists(szPath))
            continue;
        QSettings settings(szPath, QSettings::IniFormat);
        m_szLanguage = settings.value(QLatin1String(file.pszLanguageKey), QString()).toString();
        if (m_szLanguage.isEmpty())
            m_szLanguage = QStringLiteral("en");
    }
    return true;
}

bool CnfLinguaDevice::save(const QString &szLanguage)
{
    bool bResult = true;
    for (const DeviceFile &file : kDeviceFiles) {
        const QString szPath = filePath(file);
        if (szPath.isEmpty() || !QFileInfo::exists(szPath))
            continue;
        m_szLanguage = szLanguage;
        QSettings settings(szPath, QSettings::IniFormat);
        settings.setValue(QLatin1String(file.pszLanguageKey), szLanguage);
        bResult = CnfStoreStatus::sync(settings) && bResult;
    }
    return bResult;
}

QString CnfLinguaDevice::language() const
{
    return m_szLanguage;
}

QString CnfLinguaDevice::baseFolder()
{
    const QStringList locations = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    // A platform with a single generic data location uses that one.
    if (locations.size() < 2)
        return locations.value(0);
    return locations.at(1);
}

QString CnfLinguaDevice::interfaceSettingsFilePath()
{
    return filePath(kInterfaceSettings);
}

QString CnfLinguaDevice::ioConfigurationFilePath()
{
    return filePath(kIoConfiguration);
}
