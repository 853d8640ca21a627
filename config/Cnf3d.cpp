#include "Cnf3d.h"

const CnfTable<Cnf3d> &Cnf3d::table()
{
    // The folders follow the environment of the moment they are needed in.
    static const CnfTable<Cnf3d> s_table{
        {"kiv3dViewer/programName", &Cnf3d::m_szOlderProgramName, QStringLiteral("Kiv3dViewer.exe")},
        {"kiv3dViewer/programFolder",
         &Cnf3d::m_szOlderProgramFolder,
         [] { return programFolder64() + QStringLiteral("/Marlek Telvor Group/Kiv3dViewer"); }},
        {"kiv3dViewerNG/programName", &Cnf3d::m_szNewerProgramName, QStringLiteral("Kiv3dViewerNG.exe")},
        {"kiv3dViewerNG/programFolder",
         &Cnf3d::m_szNewerProgramFolder,
         [] { return programFolder64() + QStringLiteral("/Marlek Telvor Group/Kiv3dViewerNG"); }},
    };
    return s_table;
}

QString Cnf3d::programFolder64()
{
    QString szFolder = qEnvironmentVariable("ProgramW6432");
    if (szFolder.isEmpty())
        szFolder = qEnvironmentVariable("ProgramFiles");
    return szFolder.replace(QLatin1Char('\\'), QLatin1Char('/'));
}
