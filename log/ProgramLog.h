#pragma once

#include "LogFileManager.h"

#include <QString>
#include <QStringList>

// The program's one way into its log: every line that the program and its
// update engine write goes through here to the program's log file. A line
// of the database category is written only while database logging is on;
// the general category always is.
class ProgramLog
{
public:
    // Index of the program's log file in its log file manager.
    static constexpr int kLogFileIdx = 1;

    static void info(const QString &szText, LogCategory category = LogCatGeneral);
    static void warning(const QString &szText, LogCategory category = LogCatGeneral);
    // The severity puts "ERROR: " in front: a text that already starts with
    // the server's own "ERROR:" loses it, so that a line never reads
    // "ERROR: ERROR: ...". An empty text is never written as an empty error.
    static void error(const QString &szText, LogCategory category = LogCatGeneral);
    static void write(const QString &szText, LogCategory category, LogSeverity severity);

    // The texts of the error lines written so far (whatever the category
    // filters let through), for the report of a run; the oldest are dropped
    // past a few hundred.
    static QStringList errors();
    static void clearErrors();
};
