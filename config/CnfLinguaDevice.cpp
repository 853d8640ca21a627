#include "CnfLinguaDevice.h"

#include "CnfStoreStatus.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString kInterfaceSettingsFile = QStringLiteral("/Marlek Telvor Group/KivPan/PanInterface.ini");
const QString kInterfaceLanguageKey = QStringLiteral("Interface/Language");
const QString kIoConfigurationFile = QStringLiteral("/Marlek Telvor Group/KivDeviceIO/IoConfiguration.ini");
const QString kIoConfigurationLanguageKey = QStringLiteral("IO/Language");
const QString kFallbackLanguage = QStringLiteral("en");

struct DeviceFile
{
    QString szPath;
    QString szKey;
};

// In the order in which they are consulted.
QList<DeviceFile> deviceFiles()
{
    return {{CnfLinguaDevice::interfaceSettingsFilePath(), kInterfaceLanguageKey},
            {CnfLinguaDevice::ioConfigurationFilePath(), kIoConfigurationLanguageKey}};
}

} // namespace

CnfLinguaDevice::CnfLinguaDevice() = default;

CnfLinguaDevice::~CnfLinguaDevice() = default;

bool CnfLinguaDevice::load()
{
    for (const DeviceFile &file : deviceFiles()) {
        if (file.szPath.isEmpty() || !QFileInfo::exists(file.szPath))
            continue;
        QSettings settings(file.szPath, QSettings::IniFormat);
        m_szLanguage = settings.value(file.szKey, QString()).toString();
        if (m_szLanguage.isEmpty())
            m_szLanguage = kFallbackLanguage;
    }
    return true;
}

bool CnfLinguaDevice::save(const QString &szLanguage)
{
    bool bResult = true;
    for (const DeviceFile &file : deviceFiles()) {
        if (file.szPath.isEmpty() || !QFileInfo::exists(file.szPath))
            continue;
        m_szLanguage = szLanguage;
        QSettings settings(file.szPath, QSettings::IniFormat);
        settings.setValue(file.szKey, szLanguage);
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
    const QString szBase = baseFolder();
    return szBase.isEmpty() ? QString() : szBase + kInterfaceSettingsFile;
}

QString CnfLinguaDevice::ioConfigurationFilePath()
{
    const QString szBase = baseFolder();
    return szBase.isEmpty() ? QString() : szBase + kIoConfigurationFile;
}
