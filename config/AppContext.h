#pragma once

#include "CnfCommon.h"
#include "CnfProgram.h"
#include "CnfServer.h"

#include <QString>

// The process-wide context: the folders that start-up derives, the whole
// configuration and the fixed names of the suite. It lives, like every
// configuration section in it, until the process ends.
class AppContext
{
public:
    AppContext();
    virtual ~AppContext();

    // The one context of the process.
    static AppContext &instance();

    // Parent of the folder that holds the program.
    QString suiteFolder() const;
    void setSuiteFolder(const QString &szFolder);
    // The program's file name without folder and extension.
    QString programBaseName() const;
    void setProgramBaseName(const QString &szBaseName);
    QString caChainFilePath() const;
    void setCaChainFilePath(const QString &szPath);

    CnfProgram &cnfProgram();
    const CnfProgram &cnfProgram() const;
    CnfCommon &cnfCommon();
    const CnfCommon &cnfCommon() const;
    CnfServer &cnfServer();
    const CnfServer &cnfServer() const;

    // Index of the program's log file in its log file manager.
    int logFileIdx() const;
    QString dateFormat() const;
    QString dateTimeFormat() const;
    QString patientFolderName() const;
    QString cacheFolderName() const;
    QString organizationDomain() const;
    // The names under which the native store and the XML settings file are
    // opened.
    static QString organizationName();
    static QString applicationName();

    // Loads the program's, the suite-wide and the server configuration, in
    // this order: the XML settings file is found through the software path.
    bool loadConfiguration();
    // Writes the whole configuration back: program, suite-wide, server, and
    // then the folder settings into the XML settings file. False when a store
    // could not be written (a warning names it); the others are written
    // still.
    bool saveConfiguration();

private:
    QString m_szSuiteFolder;
    QString m_szProgramBaseName;
    QString m_szCaChainFilePath;
    CnfProgram m_cnfProgram;
    CnfCommon m_cnfCommon;
    CnfServer m_cnfServer;
    int m_nLogFileIdx;
    QString m_szDateFormat;
    QString m_szDateTimeFormat;
    QString m_szPatientFolderName;
    QString m_szCacheFolderName;
    QString m_szOrganizationDomain;
};
