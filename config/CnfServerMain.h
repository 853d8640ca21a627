#pragma once

#include "CnfSection.h"

// Ports of the suite's server, in the XML settings file. This program only
// carries them through. The port range is stored apart, as "<first>:<second>"
// in the one key "server/portRange".
#define KIV_CNF_SERVERMAIN_KEYS(X) X(int, managementPort, "server/managementPort", 51000)

class CnfServerMain : public CnfSection<CnfServerMain>
{
    KIV_CNF_KEYS(CnfServerMain, KIV_CNF_SERVERMAIN_KEYS)

public:
    CnfServerMain();

    bool load(QSettings &settings);
    bool save(QSettings &settings) const;

    int portRangeFirst() const { return m_portRangeFirst; }
    int portRangeSecond() const { return m_portRangeSecond; }

private:
    qint32 m_portRangeFirst;
    qint32 m_portRangeSecond;
};

#undef KIV_CNF_SERVERMAIN_KEYS
