#pragma once

#include "CnfTable.h"

// TCP ports of the suite's programs, at the root of the native store. The
// practice-management port once lived under "PMS/ipcPort": a non-zero value
// there still wins on load, and a save moves it to "IPC/pmsPort".
class CnfIPC
{
public:
    CnfIPC() { table().resetToDefaults(*this); }
    virtual ~CnfIPC() = default;

    bool load(QSettings &settings);
    bool save(QSettings &settings) const;

    int pmsPort() const { return m_nPmsPort; }
    int kivDicomToolkitPort() const { return m_nKivDicomToolkitPort; }
    int kivConfiguratorPort() const { return m_nKivConfiguratorPort; }

private:
    static const CnfTable<CnfIPC> &table();

    qint32 m_nPmsPort;
    qint32 m_nKivDicomToolkitPort;
    qint32 m_nKivConfiguratorPort;
};
