#include "CnfLingua.h"

#include <QSettings>

namespace {

const QString kKeyLanguage = QStringLiteral("language");
const QString kFallbackLanguage = QStringLiteral("en");

} // namespace

CnfLingua::CnfLingua() = default;

CnfLingua::~CnfLingua() = default;

bool CnfLingua::load(QSettings &settings)
{
    m_szLanguage = settings.value(kKeyLanguage, QString()).toString();
    if (m_szLanguage.isEmpty())
        m_szLanguage = kFallbackLanguage;
    return true;
}

bool CnfLingua::save(QSettings &settings) const
{
    settings.setValue(kKeyLanguage, m_szLanguage);
    return true;
}

QString CnfLingua::language() const
{
    return m_szLanguage;
}

void CnfLingua::setLanguage(const QString &szLanguage)
{
    m_szLanguage = szLanguage;
}
