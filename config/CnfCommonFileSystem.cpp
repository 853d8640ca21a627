#include "CnfCommonFileSystem.h"

#include <QDir>

namespace {

const QString kKeyAdditionalPath = QStringLiteral("common/additionalPath%1");
constexpr int kStoredAdditionalPaths = 3;

// The suite's folders before they are stored: fixed on Windows, below the
// home folder elsewhere.
QString defaultFolder(const QString &szName)
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:/") + szName;
#else
    return QDir::homePath() + QLatin1Char('/') + szName;
#endif
}

} // namespace

const CnfTable<CnfCommonFileSystem> &CnfCommonFileSystem::table()
{
    using Table = CnfTable<CnfCommonFileSystem>;
    // The suite's installer owns the root folder, the application-data
    // location and the flag: this program only reads them.
    static const Table s_table{
        {"kivRoot",
         &CnfCommonFileSystem::m_szKivRoot,
         [] { return defaultFolder(QStringLiteral("KIVsoftware")); },
         Table::LoadOnly},
        {"softwarePath", &CnfCommonFileSystem::m_szSoftwarePath, [] { return defaultFolder(QStringLiteral("KIV")); }},
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
