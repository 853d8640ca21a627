#include "AppContext.h"

AppContext::AppContext()
    : m_nLogFileIdx(1), m_szDateFormat(QStringLiteral("yyyy/MM/dd")),
      m_szDateTimeFormat(QStringLiteral("yyyy/MM/dd hh:mm:ss")), m_szPatientFolderName(QStringLiteral("Patient")),
      m_szCacheFolderName(QStringLiteral("Cache")), m_szOrganizationDomain(QStringLiteral("marlektelvor.example"))
{
}

AppContext::~AppContext() = default;

AppContext &AppContext::instance()
{
    static AppContext s_context;
    return s_context;
}

QString AppContext::organizationName()
{
    return QStringLiteral("Marlek Telvor Group");
}

QString AppContext::applicationName()
{
    return QStringLiteral("Telvor Imaging Suite");
}

std::unique_ptr<QSettings> AppContext::openNativeStore(const QString &szGroup)
{
    auto settings = std::make_unique<QSettings>(
        QSettings::NativeFormat, QSettings::UserScope, organizationName(), applicationName());
    if (!szGroup.isEmpty())
        settings->beginGroup(szGroup);
    return settings;
}

bool AppContext::loadConfiguration()
{
    bool bResult = m_cnfProgram.load();
    bResult = m_cnfCommon.load() && bResult;
    bResult = m_cnfServer.load(m_cnfCommon.fileSystem().softwarePath()) && bResult;
    return bResult;
}

bool AppContext::saveConfiguration()
{
    const QString szSoftwarePath = m_cnfCommon.fileSystem().softwarePath();
    bool bResult = m_cnfProgram.save();
    bResult = m_cnfCommon.save() && bResult;
    bResult = m_cnfServer.save(szSoftwarePath) && bResult;
    bResult = CnfServer::saveFileSystem(szSoftwarePath, m_cnfCommon.fileSystem()) && bResult;
    return bResult;
}
