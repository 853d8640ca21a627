#pragma once

#include "CnfSection.h"

// Cyber-security options of the suite, at the root of the native store. This
// program only carries them through.
#define KIV_CNF_CYBERSECURITY_KEYS(X)                                                                                  \
    X(int, inactivityTimeout, "cyberSecurity/inactivityTimeout", 120)                                                  \
    X(bool, cyberSecurityCheck, "cyberSecurity/cyberSecurityCheck", false)

class CnfCyberSecurity : public CnfSection<CnfCyberSecurity>
{
    KIV_CNF_KEYS(CnfCyberSecurity, KIV_CNF_CYBERSECURITY_KEYS)

public:
    CnfCyberSecurity() { resetToDefaults(); }
};

#undef KIV_CNF_CYBERSECURITY_KEYS
