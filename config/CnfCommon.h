#pragma once

#include "Cnf2d.h"
#include "Cnf3d.h"
#include "CnfCommonFileSystem.h"
#include "CnfCyberSecurity.h"
#include "CnfDevice.h"
#include "CnfIPC.h"
#include "CnfKivUI.h"
#include "CnfPMS.h"

// The suite-wide configuration, at the root of the native store. This
// program reads little of it but writes it all back on a save.
class CnfCommon
{
public:
    CnfCommon() = default;
    virtual ~CnfCommon() = default;

    // True only when every section loaded.
    bool load();
    // False when the store could not be written (a warning names it).
    bool save();

    CnfCommonFileSystem &fileSystem() { return m_fileSystem; }
    const CnfCommonFileSystem &fileSystem() const { return m_fileSystem; }
    const Cnf2d &cnf2d() const { return m_2d; }
    const Cnf3d &cnf3d() const { return m_3d; }
    const CnfKivUI &kivUI() const { return m_kivUI; }
    const CnfPMS &pms() const { return m_pms; }
    const CnfIPC &ipc() const { return m_ipc; }
    const CnfDevice &device() const { return m_device; }
    const CnfCyberSecurity &cyberSecurity() const { return m_cyberSecurity; }

private:
    CnfCommonFileSystem m_fileSystem;
    Cnf2d m_2d;
    Cnf3d m_3d;
    CnfKivUI m_kivUI;
    CnfPMS m_pms;
    CnfIPC m_ipc;
    CnfDevice m_device;
    CnfCyberSecurity m_cyberSecurity;
};
