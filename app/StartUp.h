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

    // "Kiv DataBase Updater 1.13.0.568", what --version prints.
    static QString versionText();
    static QStringList argumentList(int argc, char **argv);

    // On a machine without a display an unattended run needs no screen: it
    // uses Qt's offscreen platform unless a platform was chosen explicitly.
    static void chooseHeadlessPlatform(int argc, char **argv);
    // A window can be shown: on Linux a display or a Qt platform is named in
    // the environment.
    static bool hasDisplay();
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
