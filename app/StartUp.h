#pragma once

#include <QDate>
#include <QLoggingCategory>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// What the program derives at start-up from where it is installed, from its
// configuration and from its command line.
class StartUp
{
public:
    enum class AutoMode
    {
        None,
        Update,
        Create
    };

    // Options that only print something and end the program.
    enum class InfoOption
    {
        None,
        Help,
        Version
    };

    static const QString kApplicationName;
    static const QString kApplicationVersion;

    // The suite root: the folder above the one that holds the program
    // ("C:/Suite/Updater" gives "C:/Suite"); a path without "/" stays whole.
    static QString suiteFolder(const QString &szApplicationDirPath);
    // The program's file name without folder and extension.
    static QString programBaseName(const QString &szApplicationFilePath);
    static QString caChainFilePath(const QString &szSuiteFolder);
    static QString backupFolder(const QString &szSuiteFolder);
    static QString logFolder(const QString &szSuiteFolder);
    static QString languageFolder(const QString &szSuiteFolder);

    // Megabytes of one log file: a configured size outside 1..9 becomes 1.
    static int logFileSize(int nFileDimension);
    // "KivDataBaseUpdater-<year>-<MM>-<dd>"
    static QString logFileName(const QDate &date);
    // "<szPrefix>_<code>.qm", the system locale's name standing in for an
    // empty code.
    static QString translationFileName(const QString &szPrefix, const QString &szLanguage);

    // The unattended mode chosen by the first argument after the program
    // path, in any letter case; later arguments never count.
    static AutoMode autoMode(const QStringList &lstArguments);
    // Any argument at all makes the start-up connection ask nothing.
    static bool isUnattended(const QStringList &lstArguments);
    // "--help" or "--version" as the first argument, in any letter case.
    static InfoOption infoOption(const QStringList &lstArguments);
    // What those two options print on standard output.
    static QString usageText(const QString &szProgramName);
    static QString versionText();
    static QStringList argumentList(int argc, char **argv);

    // On a machine without a display an unattended run needs no screen: it
    // uses Qt's offscreen platform unless a platform was chosen explicitly.
    static void chooseHeadlessPlatform(int argc, char **argv);
};

// Opens the start-up connection: with encryption, then without, each with
// the password and then the retry password. Interactively a failure asks
// whether to change the parameters and opens the configuration dialog; an
// unattended start asks nothing. True when a connection is open.
bool connectDatabase(bool unattended);

// Routes Qt's messages into the program's log, dropping the database and
// device categories unless their logging is enabled.
void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &szText);

// The program's own logging category, "lc.device".
Q_DECLARE_LOGGING_CATEGORY(lcDevice)
