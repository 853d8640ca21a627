#include "CnfCommonFileSystem.h"

#include <QDir>
#include <QSettings>

namespace {

const QString kKeyKivRoot = QStringLiteral("kivRoot");
const QString kKeySoftwarePath = QStringLiteral("softwarePath");
const QString kKeyAppDataLocation = QStringLiteral("appDataLocation");
const QString kKeyWithoutKivServer = QStringLiteral("withoutKivServer");
const QString kKeyAdditionalPath = QStringLiteral("common/additionalPath%1");
constexpr int kStoredAdditionalPaths = 3;

QString defaultKivRoot()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:/KIVsoftware");
#else
    return QDir::homePath() + QStringLiteral("/KIVsoftware");
#endif
}

QString defaultSoftwarePath()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:/KIV");
#else
    return QDir::homePath() + QStringLiteral("/KIV");
#endif
}

} // namespace

CnfCommonFileSystem::CnfCommonFileSystem() : m_bWithoutKivServer(false) {}

CnfCommonFileSystem::~CnfCommonFileSystem() = default;

bool CnfCommonFileSystem::load(QSettings &settings)
{
    m_szKivRoot = settings.value(kKeyKivRoot, defaultKivRoot()).toString();
    m_szSoftwarePath = settings.value(kKeySoftwarePath, defaultSoftwarePath()).toString();
    m_szAppDataLocation = settings.value(kKeyAppDataLocation, QString()).toString();
    m_bWithoutKivServer = settings.value(kKeyWithoutKivServer, false).toBool();
    m_additionalPaths.clear();
    for (int i = 1; i <= kStoredAdditionalPaths; ++i)
        m_additionalPaths.append(settings.value(kKeyAdditionalPath.arg(i), QString()).toString());
    return true;
}

bool CnfCommonFileSystem::save(QSettings &settings) const
{
    settings.setValue(kKeySoftwarePath, m_szSoftwarePath);
    for (int i = 0; i < m_additionalPaths.size(); ++i)
        settings.setValue(kKeyAdditionalPath.arg(i + 1), m_additionalPaths.at(i));
    return true;
}

QString CnfCommonFileSystem::kivRoot() const
{
    return m_szKivRoot;
}

QString CnfCommonFileSystem::softwarePath() const
{
    return m_szSoftwarePath;
}

void CnfCommonFileSystem::setSoftwarePath(const QString &szPath)
{
    m_szSoftwarePath = szPath;
}

QString CnfCommonFileSystem::appDataLocation() const
{
    return m_szAppDataLocation;
}

bool CnfCommonFileSystem::withoutKivServer() const
{
    return m_bWithoutKivServer;
}

QStringList CnfCommonFileSystem::additionalPaths() const
{
    return m_additionalPaths;
}

void CnfCommonFileSystem::setAdditionalPaths(const QStringList &paths)
{
    m_additionalPaths = paths;
}
