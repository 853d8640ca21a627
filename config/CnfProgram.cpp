#include "CnfProgram.h"

#include "AppContext.h"
#include "CnfStoreStatus.h"

#include <QSettings>

namespace {

const QString kGroupToolsCommon = QStringLiteral("tools/common");
const QString kGroupCommon = QStringLiteral("common");

} // namespace

CnfProgram::CnfProgram() = default;

CnfProgram::~CnfProgram() = default;

bool CnfProgram::load()
{
    {
        QSettings settings(QSettings::NativeFormat,
                           QSettings::UserScope,
                           AppContext::organizationName(),
                           AppContext::applicationName());
        settings.beginGroup(kGroupToolsCommon);
        m_dataBase.load(settings);
        m_logFile.load(settings);
        m_varie.load(settings);
    }
    {
        QSettings settings(QSettings::NativeFormat,
                           QSettings::UserScope,
                           AppContext::organizationName(),
                           AppContext::applicationName());
        settings.beginGroup(kGroupCommon);
        m_lingua.load(settings);
    }
    m_linguaKiv3dApp.load();
    m_linguaDevice.load();
    return true;
}

bool CnfProgram::save()
{
    bool bResult = true;
    {
        QSettings settings(QSettings::NativeFormat,
                           QSettings::UserScope,
                           AppContext::organizationName(),
                           AppContext::applicationName());
        settings.beginGroup(kGroupToolsCommon);
        m_dataBase.save(settings);
        m_logFile.save(settings);
        m_varie.save(settings);
        bResult = CnfStoreStatus::sync(settings) && bResult;
    }
    {
        QSettings settings(QSettings::NativeFormat,
                           QSettings::UserScope,
                           AppContext::organizationName(),
                           AppContext::applicationName());
        settings.beginGroup(kGroupCommon);
        m_lingua.save(settings);
        bResult = CnfStoreStatus::sync(settings) && bResult;
    }
    const QString szLanguage = m_lingua.language();
    bResult = m_linguaKiv3dApp.save(szLanguage) && bResult;
    bResult = m_linguaDevice.save(szLanguage) && bResult;
    return bResult;
}

CnfDataBase &CnfProgram::dataBase()
{
    return m_dataBase;
}

const CnfDataBase &CnfProgram::dataBase() const
{
    return m_dataBase;
}

CnfLingua &CnfProgram::lingua()
{
    return m_lingua;
}

const CnfLingua &CnfProgram::lingua() const
{
    return m_lingua;
}

CnfLogFile &CnfProgram::logFile()
{
    return m_logFile;
}

const CnfLogFile &CnfProgram::logFile() const
{
    return m_logFile;
}

CnfVarie &CnfProgram::varie()
{
    return m_varie;
}

const CnfVarie &CnfProgram::varie() const
{
    return m_varie;
}

CnfLinguaKiv3dApp &CnfProgram::linguaKiv3dApp()
{
    return m_linguaKiv3dApp;
}

const CnfLinguaKiv3dApp &CnfProgram::linguaKiv3dApp() const
{
    return m_linguaKiv3dApp;
}

CnfLinguaDevice &CnfProgram::linguaDevice()
{
    return m_linguaDevice;
}

const CnfLinguaDevice &CnfProgram::linguaDevice() const
{
    return m_linguaDevice;
}
