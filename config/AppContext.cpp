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

QString AppContext::suiteFolder() const
{
    return m_szSuiteFolder;
}

void AppContext::setSuiteFolder(const QString &szFolder)
{
    m_szSuiteFolder = szFolder;
}

QString AppContext::programBaseName() const
{
    return m_szProgramBaseName;
}

void AppContext::setProgramBaseName(const QString &szBaseName)
{
    m_szProgramBaseName = szBaseName;
}

QString AppContext::caChainFilePath() const
{
    return m_szCaChainFilePath;
}

void AppContext::setCaChainFilePath(const QString &szPath)
{
    m_szCaChainFilePath = szPath;
}

CnfProgram &AppContext::cnfProgram()
{
    return m_cnfProgram;
}

const CnfProgram &AppContext::cnfProgram() const
{
    return m_cnfProgram;
}

CnfCommon &AppContext::cnfCommon()
{
    return m_cnfCommon;
}

const CnfCommon &AppContext::cnfCommon() const
{
    return m_cnfCommon;
}

CnfServer &AppContext::cnfServer()
{
    return m_cnfServer;
}

const CnfServer &AppContext::cnfServer() const
{
    return m_cnfServer;
}

int AppContext::logFileIdx() const
{
    return m_nLogFileIdx;
}

QString AppContext::dateFormat() const
{
    return m_szDateFormat;
}

QString AppContext::dateTimeFormat() const
{
    return m_szDateTimeFormat;
}

QString AppContext::patientFolderName() const
{
    return m_szPatientFolderName;
}

QString AppContext::cacheFolderName() const
{
    return m_szCacheFolderName;
}

QString AppContext::organizationDomain() const
{
    return m_szOrganizationDomain;
}

QString AppContext::organizationName()
{
    return QStringLiteral("Marlek Telvor Group");
}

QString AppContext::applicationName()
{
    return QStringLiteral("Telvor Imaging Suite");
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
