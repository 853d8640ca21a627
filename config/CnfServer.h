#pragma once

#include "CnfServerMain.h"
#include "CnfServerParameters.h"

#include <QString>

class CnfCommonFileSystem;

// The server configuration, kept in the XML settings file
// "<software path>/Marlek Telvor Group/Telvor Imaging Suite.xml".
class CnfServer
{
public:
    CnfServer() = default;
    virtual ~CnfServer() = default;

    // szSoftwarePath is the suite's software folder (CnfCommonFileSystem),
    // which must be loaded first.
    bool load(const QString &szSoftwarePath);
    // False when the XML settings file could not be opened or written.
    bool save(const QString &szSoftwarePath) const;
    // Copies the folder settings into the XML settings file as well.
    static bool saveFileSystem(const QString &szSoftwarePath, const CnfCommonFileSystem &fileSystem);

    const CnfServerMain &serverMain() const { return m_serverMain; }
    const CnfServerParameters &serverParameters() const { return m_serverParameters; }

private:
    CnfServerMain m_serverMain;
    CnfServerParameters m_serverParameters;
};
