#pragma once

#include "CnfDataBase.h"
#include "CnfLingua.h"
#include "CnfLinguaDevice.h"
#include "CnfLinguaKiv3dApp.h"
#include "CnfLogFile.h"
#include "CnfVarie.h"

// This program's own configuration: database connection, log files and
// miscellaneous options in "tools/common", the language in "common" of the
// native store, and the language entries of the 3D viewer and device software.
class CnfProgram
{
public:
    CnfProgram() = default;
    virtual ~CnfProgram() = default;

    bool load();
    // Writes every key of the sections, changed or not, and hands the
    // language on to the 3D viewer and the device software. False when a
    // store could not be written (a warning names it); the others are
    // written still.
    bool save();

    CnfDataBase &dataBase() { return m_dataBase; }
    const CnfDataBase &dataBase() const { return m_dataBase; }
    CnfLingua &lingua() { return m_lingua; }
    const CnfLingua &lingua() const { return m_lingua; }
    CnfLogFile &logFile() { return m_logFile; }
    const CnfLogFile &logFile() const { return m_logFile; }
    CnfVarie &varie() { return m_varie; }
    const CnfVarie &varie() const { return m_varie; }
    CnfLinguaKiv3dApp &linguaKiv3dApp() { return m_linguaKiv3dApp; }
    const CnfLinguaKiv3dApp &linguaKiv3dApp() const { return m_linguaKiv3dApp; }
    CnfLinguaDevice &linguaDevice() { return m_linguaDevice; }
    const CnfLinguaDevice &linguaDevice() const { return m_linguaDevice; }

private:
    CnfDataBase m_dataBase;
    CnfLingua m_lingua;
    CnfLogFile m_logFile;
    CnfVarie m_varie;
    CnfLinguaKiv3dApp m_linguaKiv3dApp;
    CnfLinguaDevice m_linguaDevice;
};
