#pragma once

#include <QStringList>

class CommandLine;
class RunReport;

// The backup commands of the command line (-Backup, -Verify, -Restore,
// -CleanBackups) and -Rehearse: the same work as the window's, without a
// window and without a question (a restore needs "--yes"). Progress goes to
// standard error when that is a terminal.
class CommandRunner
{
public:
    // Runs the command, fills the report and the lines for standard output;
    // returns the exit code (0 done, 1 failed, 64 -Restore without "--yes").
    static int run(const CommandLine &commandLine, RunReport &report, QStringList &lstText);
};
