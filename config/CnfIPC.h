#pragma once

#include <QtGlobal>

class QSettings;

// TCP ports of the suite's programs, at the root of the native store. The
// practice-management port once lived under "PMS/ipcPort": a non-zero value
// there still wins on load, and a save moves it to "IPC/pmsPort".
class CnfIPC
{
public:
    CnfIPC();
    virtual ~CnfIPC();

    bool load(QSettings &settings);
    bool save(QSettings &settings) const;

    int pmsPort() const;
    int kivDicomToolkitPort() const;
    int kivConfiguratorPort() const;

private:
    qint32 m_nPmsPort;
    qint32 m_nKivDicomToolkitPort;
    qint32 m_nKivConfiguratorPort;
};
