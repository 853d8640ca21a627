#include "CnfServer.h"

#include "CnfCommonFileSystem.h"
#include "CnfStoreStatus.h"
#include "XmlFormat.h"

bool CnfServer::load(const QString &szSoftwarePath)
{
    const std::unique_ptr<QSettings> settings = XmlFormat::open(szSoftwarePath);
    if (!settings)
        return false;
    m_serverMain.load(*settings);
    m_serverParameters.load(*settings);
    return true;
}

bool CnfServer::save(const QString &szSoftwarePath) const
{
    const std::unique_ptr<QSettings> settings = XmlFormat::open(szSoftwarePath);
    if (!settings)
        return false;
    m_serverMain.save(*settings);
    m_serverParameters.save(*settings);
    return CnfStoreStatus::sync(*settings);
}

bool CnfServer::saveFileSystem(const QString &szSoftwarePath, const CnfCommonFileSystem &fileSystem)
{
    const std::unique_ptr<QSettings> settings = XmlFormat::open(szSoftwarePath);
    if (!settings)
        return false;
    return fileSystem.save(*settings) && CnfStoreStatus::sync(*settings);
}
