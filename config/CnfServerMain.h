#pragma once

#include "CnfTable.h"

// Ports of the suite's server, in the XML settings file. This program only
// carries them through.
class CnfServerMain
{
public:
    CnfServerMain();
    virtual ~CnfServerMain() = default;

    // "server/portRange" holds "<first>:<second>".
    bool load(QSettings &settings);
    bool save(QSettings &settings) const;

    int managementPort() const { return m_nManagementPort; }
    int portRangeFirst() const { return m_nPortRangeFirst; }
    int portRangeSecond() const { return m_nPortRangeSecond; }

private:
    static const CnfTable<CnfServerMain> &table();

    qint32 m_nManagementPort;
    // Both in the one key "server/portRange", outside the table.
    qint32 m_nPortRangeFirst;
    qint32 m_nPortRangeSecond;
};
