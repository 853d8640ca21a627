#pragma once

#include "CnfCommon.h"
#include "CnfProgram.h"
#include "CnfServer.h"

#include <QSettings>
#include <QString>

#include <memory>

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
    QString suiteFolder() const { return m_szSuiteFolder; }
    void setSuiteFolder(const QString &szFolder) { m_szSuiteFolder = szFolder; }
    // The program's file name without folder and extension.
    QString programBaseName() const { return m_szProgramBaseName; }
    void setProgramBaseName(const QString &szBaseName) { m_szProgramBaseName = szBaseName; }
    QString caChainFilePath() const { return m_szCaChainFilePath; }
    void setCaChainFilePath(const QString &szPath) { m_szCaChainFilePath = szPath; }

    CnfProgram &cnfProgram() { return m_cnfProgram; }
    const CnfProgram &cnfProgram() const { return m_cnfProgram; }
    CnfCommon &cnfCommon() { return m_cnfCommon; }
    const CnfCommon &cnfCommon() const { return m_cnfCommon; }
    CnfServer &cnfServer() { return m_cnfServer; }
    const CnfServer &cnfServer() const { return m_cnfServer; }

    // Index of the program's log file in its log file manager.
    int logFileIdx() const { return m_nLogFileIdx; }
    QString dateFormat() const { return m_szDateFormat; }
    QString dateTimeFormat() const { return m_szDateTimeFormat; }
    QString patientFolderName() const { return m_szPatientFolderName; }
    QString cacheFolderName() const { return m_szCacheFolderName; }
    QString organizationDomain() const { return m_szOrganizationDomain; }
    // The names under which the native store and the XML settings file are
    // opened.
    static QString organizationName();
    static QString applicationName();
    // The native per-user store of the suite, entered into szGroup (the root
    // when empty). Each operation opens its own and drops it when done.
    static std::unique_ptr<QSettings> openNativeStore(const QString &szGroup = QString());

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
