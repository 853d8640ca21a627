#include "Cnf2d.h"

namespace {

const QString kDefaultApplicationName = QStringLiteral("KivImaging2D");
const QString kApplicationFolder = QStringLiteral("/KivImaging2D");

} // namespace

const CnfTable<Cnf2d> &Cnf2d::table()
{
    static const CnfTable<Cnf2d> s_table{
        {"kivImaging2D/type", &Cnf2d::m_nType, 0},
        {"kivImaging2D/autosave", &Cnf2d::m_bAutosave, false},
        {"kivImaging2D/yCorrection", &Cnf2d::m_nYCorrection, 0},
        {"kivImaging2D/heightOverride", &Cnf2d::m_nHeightOverride, 0},
        {"kivImaging2D/widthOverride", &Cnf2d::m_nWidthOverride, 0},
        {"kivImaging2D/applicationName", &Cnf2d::m_szApplicationName, kDefaultApplicationName},
        // Until a load knows the suite root, the path is empty.
        {"kivImaging2D/applicationPath", &Cnf2d::m_szApplicationPath, QString()},
        {"kivImaging2D/printLogoPath", &Cnf2d::m_szPrintLogoPath, QString()},
        {"kivImaging2D/autoOpen", &Cnf2d::m_nAutoOpen, 1},
    };
    return s_table;
}

bool Cnf2d::load(QSettings &settings, const QString &szKivRoot)
{
    table().load(settings, *this);
    // Stored empty counts as missing.
    if (m_szApplicationName.isEmpty())
        m_szApplicationName = kDefaultApplicationName;
    if (m_szApplicationPath.isEmpty())
        m_szApplicationPath = szKivRoot + kApplicationFolder;
    return true;
}
