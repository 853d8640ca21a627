#include "Cnf3d.h"

QString Cnf3d::programFolder64()
{
    QString szFolder = qEnvironmentVariable("ProgramW6432");
    if (szFolder.isEmpty())
        szFolder = qEnvironmentVariable("ProgramFiles");
    return szFolder.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

QString Cnf3d::defaultOlderProgramFolder()
{
    return programFolder64() + QStringLiteral("/Marlek Telvor Group/Kiv3dViewer");
}

QString Cnf3d::defaultNewerProgramFolder()
{
    return programFolder64() + QStringLiteral("/Marlek Telvor Group/Kiv3dViewerNG");
}
