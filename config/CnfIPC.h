#pragma once

#include "CnfSection.h"

// TCP ports of the suite's programs, at the root of the native store. The
// practice-management port once lived under "PMS/ipcPort": a non-zero value
// there still wins on load, and a save moves it to "IPC/pmsPort".
#define KIV_CNF_IPC_KEYS(X)                                                                                            \
    X(int, pmsPort, "IPC/pmsPort", 50000)                                                                              \
    X(int, kivDicomToolkitPort, "IPC/kivDicomToolkitPort", 60000)                                                      \
    X(int, kivConfiguratorPort, "IPC/kivConfiguratorPort", 60100)

class CnfIPC : public CnfSection<CnfIPC>
{
    KIV_CNF_KEYS(CnfIPC, KIV_CNF_IPC_KEYS)

public:
    CnfIPC() { resetToDefaults(); }

    bool load(QSettings &settings);
    bool save(QSettings &settings) const;
};

#undef KIV_CNF_IPC_KEYS
