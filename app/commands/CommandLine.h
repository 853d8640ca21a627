#pragma once

#include <QString>
#include <QStringList>

// What the program is asked to do by its command line. Only the first
// argument after the program path chooses, in any letter case; what may
// follow it depends on the command:
//
//   (nothing)                  the window
//   -AutoUpdate [--json]       update the configured database, then end
//   -AutoCreate [--json]       create "pelq" on 127.0.0.1:6543 and update it
//   -Status [--json]           where the database stands (read-only)
//   -Backup [--json]           a verified backup
//   -Verify FILE [--json]      prove that a backup can be restored
//   -Restore FILE [--json] --yes
//                              replace the database by a backup
//   -CleanBackups [--json]     remove old backups (retention rules)
//   -Rehearse [--fresh] [--json]
//                              the pending update on a copy of the database
//   --help, --version          print and end
//
// Each option is also accepted with two dashes ("--AutoUpdate"). An unknown
// first argument is a usage error (the program must not open its window on
// a typo); arguments after a known command that mean nothing to it are
// ignored and named in one warning.
class CommandLine
{
public:
    enum class Command
    {
        Window,
        AutoUpdate,
        AutoCreate,
        Status,
        Backup,
        Verify,
        Restore,
        CleanBackups,
        Rehearse,
        Help,
        Version,
        UsageError
    };

    static CommandLine parse(const QStringList &lstArguments);

    Command command() const { return m_command; }
    // "--json": exactly one JSON object on standard output.
    bool json() const { return m_bJson; }
    // The backup file of -Verify and -Restore.
    QString file() const { return m_szFile; }
    // "--yes" as the last argument of -Restore.
    bool confirmed() const { return m_bConfirmed; }
    // "--fresh" for -Rehearse: a new backup instead of the newest verified one.
    bool fresh() const { return m_bFresh; }
    // Arguments that mean nothing to the command, ignored.
    QStringList ignored() const { return m_lstIgnored; }
    // For a usage error: one line naming what is wrong.
    QString error() const { return m_szError; }

    // The command runs without the window, and without a display.
    bool isHeadless() const;
    // A command run by a script or a scheduler: it asks nothing, and ends
    // with an exit code of the table below.
    bool isUnattended() const;
    // The name of the command in reports: "autoUpdate", "status", ...
    QString name() const;

    // The usage text of --help, with the exit codes.
    static QString usageText(const QString &szProgramName);

    // Exit codes of the commands run without a window.
    enum ExitCode
    {
        ExitOk = 0,
        ExitFailed = 1,
        ExitStepsPending = 2,
        ExitLockHeld = 3,
        ExitDriftFound = 4,
        ExitUsage = 64,
        // Another copy of the program runs (-1, seen as 255).
        ExitAlreadyRunning = -1
    };

private:
    Command m_command = Command::Window;
    bool m_bJson = false;
    QString m_szFile;
    bool m_bConfirmed = false;
    bool m_bFresh = false;
    QStringList m_lstIgnored;
    QString m_szError;
};
