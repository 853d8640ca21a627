#pragma once

#include "CnfTable.h"

// Cyber-security options of the suite, at the root of the native store. This
// program only carries them through.
class CnfCyberSecurity
{
public:
    CnfCyberSecurity() { table().resetToDefaults(*this); }
    virtual ~CnfCyberSecurity() = default;

    bool load(QSettings &settings) { return table().load(settings, *this); }
    bool save(QSettings &settings) const { return table().save(settings, *this); }

    int inactivityTimeout() const { return m_nInactivityTimeout; }
    bool cyberSecurityCheck() const { return m_bCyberSecurityCheck; }

private:
    static const CnfTable<CnfCyberSecurity> &table();

    qint32 m_nInactivityTimeout;
    bool m_bCyberSecurityCheck;
};
