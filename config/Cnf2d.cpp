#include "Cnf2d.h"

bool Cnf2d::load(QSettings &settings, const QString &szKivRoot)
{
    CnfSection::load(settings);
    // Stored empty counts as missing.
    if (m_applicationName.isEmpty())
        m_applicationName = defaultApplicationName();
    if (m_applicationPath.isEmpty())
        m_applicationPath = szKivRoot + QStringLiteral("/KivImaging2D");
    return true;
}

QString Cnf2d::defaultApplicationName()
{
    return QStringLiteral("KivImaging2D");
}
