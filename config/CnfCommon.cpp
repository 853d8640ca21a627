#include "CnfCommon.h"

#include "AppContext.h"
#include "CnfStoreStatus.h"

#include <QSettings>

bool CnfCommon::load()
{
    const std::unique_ptr<QSettings> settings = AppContext::openNativeStore();
    bool bResult = m_fileSystem.load(*settings);
    bResult = m_2d.load(*settings, m_fileSystem.kivRoot()) && bResult;
    bResult = m_3d.load(*settings) && bResult;
    bResult = m_kivUI.load(*settings) && bResult;
    bResult = m_pms.load(*settings) && bResult;
    bResult = m_ipc.load(*settings) && bResult;
    bResult = m_device.load(*settings) && bResult;
    bResult = m_cyberSecurity.load(*settings) && bResult;
    return bResult;
}

bool CnfCommon::save()
{
    const std::unique_ptr<QSettings> settings = AppContext::openNativeStore();
    m_fileSystem.save(*settings);
    m_2d.save(*settings);
    m_3d.save(*settings);
    m_kivUI.save(*settings);
    m_pms.save(*settings);
    m_ipc.save(*settings);
    m_device.save(*settings);
    m_cyberSecurity.save(*settings);
    return CnfStoreStatus::sync(*settings);
}
