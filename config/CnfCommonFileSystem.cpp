#include "CnfCommonFileSystem.h"

#include <QDir>

namespace {

const QString kKeyAdditionalPath = QStringLiteral("common/additionalPath%1");
constexpr int kStoredAdditionalPaths = 3;

QString defaultFolder(const QString &szName)
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:/") + szName;
#else
    return QDir::homePath() + QLatin1Char('/') + szName;
#endif
}

} // namespace

QString CnfCommonFileSystem::defaultKivRoot()
{
    return defaultFolder(QStringLiteral("KIVsoftware"));
}

QString CnfCommonFileSystem::defaultSoftwarePath()
{
    return defaultFolder(QStringLiteral("KIV"));
}

bool CnfCommonFileSystem::load(QSettings &settings)
{
    CnfSection::load(settings);
    m_additionalPaths.clear();
    for (int i = 1; i <= kStoredAdditionalPaths; ++i)
        m_additionalPaths.append(settings.value(kKeyAdditionalPath.arg(i), QString()).toString());
    return true;
}

bool CnfCommonFileSystem::save(QSettings &settings) const
{
    CnfSection::save(settings);
    for (int i = 0; i < m_additionalPaths.size(); ++i)
        settings.setValue(kKeyAdditionalPath.arg(i + 1), m_additionalPaths.at(i));
    return true;
}
