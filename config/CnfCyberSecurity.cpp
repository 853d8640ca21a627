#include "CnfCyberSecurity.h"

#include <QSettings>

namespace {

const QString kKeyInactivityTimeout = QStringLiteral("cyberSecurity/inactivityTimeout");
const QString kKeyCyberSecurityCheck = QStringLiteral("cyberSecurity/cyberSecurityCheck");

constexpr qint32 kDefaultInactivityTimeout = 120;
constexpr bool kDefaultCyberSecurityCheck = false;

} // namespace

CnfCyberSecurity::CnfCyberSecurity()
    : m_nInactivityTimeout(kDefaultInactivityTimeout), m_bCyberSecurityCheck(kDefaultCyberSecurityCheck)
{
}

CnfCyberSecurity::~CnfCyberSecurity() = default;

bool CnfCyberSecurity::load(QSettings &settings)
{
    m_nInactivityTimeout = settings.value(kKeyInactivityTimeout, kDefaultInactivityTimeout).toInt();
    m_bCyberSecurityCheck = settings.value(kKeyCyberSecurityCheck, kDefaultCyberSecurityCheck).toBool();
    return true;
}

bool CnfCyberSecurity::save(QSettings &settings) const
{
    settings.setValue(kKeyInactivityTimeout, m_nInactivityTimeout);
    settings.setValue(kKeyCyberSecurityCheck, m_bCyberSecurityCheck);
    return true;
}

int CnfCyberSecurity::inactivityTimeout() const
{
    return m_nInactivityTimeout;
}

bool CnfCyberSecurity::cyberSecurityCheck() const
{
    return m_bCyberSecurityCheck;
}
