#pragma once

#include <QtGlobal>

class QSettings;

// Ports of the suite's server, in the XML settings file. This program only
// carries them through.
class CnfServerMain
{
public:
    CnfServerMain();
    virtual ~CnfServerMain();

    // "server/portRange" holds "<first>:<second>".
    bool load(QSettings &settings);
    bool save(QSettings &settings) const;

    int managementPort() const;
    int portRangeFirst() const;
    int portRangeSecond() const;

private:
    qint32 m_nManagementPort;
    qint32 m_nPortRangeFirst;
    qint32 m_nPortRangeSecond;
};
