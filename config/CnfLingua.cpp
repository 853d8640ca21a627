#include "CnfLingua.h"

const CnfTable<CnfLingua> &CnfLingua::table()
{
    static const CnfTable<CnfLingua> s_table{
        {"language", &CnfLingua::m_szLanguage, QString()},
    };
    return s_table;
}

bool CnfLingua::load(QSettings &settings)
{
    table().load(settings, *this);
    if (m_szLanguage.isEmpty())
        m_szLanguage = QStringLiteral("en");
    return true;
}
