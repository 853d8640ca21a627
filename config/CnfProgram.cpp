#include "CnfProgram.h"

#include "AppContext.h"
#include "CnfStoreStatus.h"

#include <QSettings>

namespace {

const QString kGroupToolsCommon = QStringLiteral("tools/common");
const QString kGroupCommon = QStringLiteral("common");

} // namespace

bool CnfProgram::load()
{
    {
        const std::unique_ptr<QSettings> settings = AppContext::openNativeStore(kGroupToolsCommon);
        m_dataBase.load(*settings);
        m_logFile.load(*settings);
        m_varie.load(*settings);
    }
    m_lingua.load(*AppContext::openNativeStore(kGroupCommon));
    m_linguaKiv3dApp.load();
    m_linguaDevice.load();
    return true;
}

bool CnfProgram::save()
{
    bool bResult = true;
    {
        const std::unique_ptr<QSettings> settings = AppContext::openNativeStore(kGroupToolsCommon);
        m_dataBase.save(*settings);
        m_logFile.save(*settings);
        m_varie.save(*settings);
        bResult = CnfStoreStatus::sync(*settings) && bResult;
    }
    {
        const std::unique_ptr<QSettings> settings = AppContext::openNativeStore(kGroupCommon);
        m_lingua.save(*settings);
        bResult = CnfStoreStatus::sync(*settings) && bResult;
    }
    const QString szLanguage = m_lingua.language();
    bResult = m_linguaKiv3dApp.save(szLanguage) && bResult;
    bResult = m_linguaDevice.save(szLanguage) && bResult;
    return bResult;
}
