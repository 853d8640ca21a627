#include "CnfCyberSecurity.h"

const CnfTable<CnfCyberSecurity> &CnfCyberSecurity::table()
{
    static const CnfTable<CnfCyberSecurity> s_table{
        {"cyberSecurity/inactivityTimeout", &CnfCyberSecurity::m_nInactivityTimeout, 120},
        {"cyberSecurity/cyberSecurityCheck", &CnfCyberSecurity::m_bCyberSecurityCheck, false},
    };
    return s_table;
}
