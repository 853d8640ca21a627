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
    CnfCommon();
    virtual ~CnfCommon();

    // True only when every section loaded.
    bool load();
    // False when the store could not be written (a warning names it).
    bool save();

    CnfCommonFileSystem &fileSystem();
    const CnfCommonFileSystem &fileSystem() const;
    const Cnf2d &cnf2d() const;
    const Cnf3d &cnf3d() const;
    const CnfKivUI &kivUI() const;
    const CnfPMS &pms() const;
    const CnfIPC &ipc() const;
    const CnfDevice &device() const;
    const CnfCyberSecurity &cyberSecurity() const;

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
