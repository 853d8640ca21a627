#pragma once

#include <QtGlobal>

class QSettings;

// Cyber-security options of the suite, at the root of the native store. This
// program only carries them through.
class CnfCyberSecurity
{
public:
    CnfCyberSecurity();
    virtual ~CnfCyberSecurity();

    bool load(QSettings &settings);
    bool save(QSettings &settings) const;

    int inactivityTimeout() const;
    bool cyberSecurityCheck() const;

private:
    qint32 m_nInactivityTimeout;
    bool m_bCyberSecurityCheck;
};
