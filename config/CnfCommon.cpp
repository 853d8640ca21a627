#include "CnfCommon.h"

#include "AppContext.h"
#include "CnfStoreStatus.h"

#include <QSettings>

CnfCommon::CnfCommon() = default;

CnfCommon::~CnfCommon() = default;

bool CnfCommon::load()
{
    QSettings settings(
        QSettings::NativeFormat, QSettings::UserScope, AppContext::organizationName(), AppContext::applicationName());
    bool bResult = m_fileSystem.load(settings);
    bResult = m_2d.load(settings, m_fileSystem.kivRoot()) && bResult;
    bResult = m_3d.load(settings) && bResult;
    bResult = m_kivUI.load(settings) && bResult;
    bResult = m_pms.load(settings) && bResult;
    bResult = m_ipc.load(settings) && bResult;
    bResult = m_device.load(settings) && bResult;
    bResult = m_cyberSecurity.load(settings) && bResult;
    return bResult;
}

bool CnfCommon::save()
{
    QSettings settings(
        QSettings::NativeFormat, QSettings::UserScope, AppContext::organizationName(), AppContext::applicationName());
    m_fileSystem.save(settings);
    m_2d.save(settings);
    m_3d.save(settings);
    m_kivUI.save(settings);
    m_pms.save(settings);
    m_ipc.save(settings);
    m_device.save(settings);
    m_cyberSecurity.save(settings);
    return CnfStoreStatus::sync(settings);
}

CnfCommonFileSystem &CnfCommon::fileSystem()
{
    return m_fileSystem;
}

const CnfCommonFileSystem &CnfCommon::fileSystem() const
{
    return m_fileSystem;
}

const Cnf2d &CnfCommon::cnf2d() const
{
    return m_2d;
}

const Cnf3d &CnfCommon::cnf3d() const
{
    return m_3d;
}

const CnfKivUI &CnfCommon::kivUI() const
{
    return m_kivUI;
}

const CnfPMS &CnfCommon::pms() const
{
    return m_pms;
}

const CnfIPC &CnfCommon::ipc() const
{
    return m_ipc;
}

const CnfDevice &CnfCommon::device() const
{
    return m_device;
}

const CnfCyberSecurity &CnfCommon::cyberSecurity() const
{
    return m_cyberSecurity;
}
