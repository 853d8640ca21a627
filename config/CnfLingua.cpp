#include "CnfLingua.h"

bool CnfLingua::load(QSettings &settings)
{
    CnfSection::load(settings);
    if (m_language.isEmpty())
        m_language = QStringLiteral("en");
    return true;
}
