#include "Cnf3d.h"

#include <QSettings>

namespace {

const QString kKeyOlderProgramName = QStringLiteral("kiv3dViewer/programName");
const QString kKeyOlderProgramFolder = QStringLiteral("kiv3dViewer/programFolder");
const QString kKeyNewerProgramName = QStringLiteral("kiv3dViewerNG/programName");
const QString kKeyNewerProgramFolder = QStringLiteral("kiv3dViewerNG/programFolder");

const QString kDefaultOlderProgramName = QStringLiteral("Kiv3dViewer.exe");
const QString kDefaultNewerProgramName = QStringLiteral("Kiv3dViewerNG.exe");
const QString kOlderFolder = QStringLiteral("/Marlek Telvor Group/Kiv3dViewer");
const QString kNewerFolder = QStringLiteral("/Marlek Telvor Group/Kiv3dViewerNG");

} // namespace

Cnf3d::Cnf3d()
    : m_szOlderProgramName(kDefaultOlderProgramName), m_szOlderProgramFolder(programFolder64() + kOlderFolder),
      m_szNewerProgramName(kDefaultNewerProgramName), m_szNewerProgramFolder(programFolder64() + kNewerFolder)
{
}

Cnf3d::~Cnf3d() = default;

bool Cnf3d::load(QSettings &settings)
{
    const QString szProgramFolder = programFolder64();
    m_szOlderProgramName = settings.value(kKeyOlderProgramName, kDefaultOlderProgramName).toString();
    m_szOlderProgramFolder = settings.value(kKeyOlderProgramFolder, szProgramFolder + kOlderFolder).toString();
    m_szNewerProgramName = settings.value(kKeyNewerProgramName, kDefaultNewerProgramName).toString();
    m_szNewerProgramFolder = settings.value(kKeyNewerProgramFolder, szProgramFolder + kNewerFolder).toString();
    return true;
}

bool Cnf3d::save(QSettings &settings) const
{
    settings.setValue(kKeyOlderProgramName, m_szOlderProgramName);
    settings.setValue(kKeyOlderProgramFolder, m_szOlderProgramFolder);
    settings.setValue(kKeyNewerProgramName, m_szNewerProgramName);
    settings.setValue(kKeyNewerProgramFolder, m_szNewerProgramFolder);
    return true;
}

QString Cnf3d::olderProgramName() const
{
    return m_szOlderProgramName;
}

QString Cnf3d::olderProgramFolder() const
{
    return m_szOlderProgramFolder;
}

QString Cnf3d::newerProgramName() const
{
    return m_szNewerProgramName;
}

QString Cnf3d::newerProgramFolder() const
{
    return m_szNewerProgramFolder;
}

QString Cnf3d::programFolder64()
{
    QString szFolder = qEnvironmentVariable("ProgramW6432");
    if (szFolder.isEmpty())
        szFolder = qEnvironmentVariable("ProgramFiles");
    return szFolder.replace(QLatin1Char('\\'), QLatin1Char('/'));
}
