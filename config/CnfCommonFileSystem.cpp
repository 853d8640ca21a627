#include "CnfCommonFileSystem.h"

#include <QDir>

namespace {

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

const CnfTable<CnfCommonFileSystem> &CnfCommonFileSystem::table()
{
    using Table = CnfTable<CnfCommonFileSystem>;
    // The suite's installer owns the root folder, the application-data
    // location and the flag: this program only reads them.
    static const Table s_table{
        {"kivRoot", &CnfCommonFileSystem::m_szKivRoot, &defaultKivRoot, Table::LoadOnly},
        {"softwarePath", &CnfCommonFileSystem::m_szSoftwarePath, &defaultSoftwarePath},
        {"appDataLocation", &CnfCommonFileSystem::m_szAppDataLocation, QString(), Table::LoadOnly},
        {"withoutKivServer", &CnfCommonFileSystem::m_bWithoutKivServer, false, Table::LoadOnly},
    };
    return s_table;
}

bool CnfCommonFileSystem::load(QSettings &settings)
{
    table().load(settings, *this);
    m_additionalPaths.clear();
    for (int i = 1; i <= kStoredAdditionalPaths; ++i)
        m_additionalPaths.append(settings.value(kKeyAdditionalPath.arg(i), QString()).toString());
    return true;
}

bool CnfCommonFileSystem::save(QSettings &settings) const
{
    table().save(settings, *this);
    for (int i = 0; i < m_additionalPaths.size(); ++i)
        settings.setValue(kKeyAdditionalPath.arg(i + 1), m_additionalPaths.at(i));
    return true;
}
