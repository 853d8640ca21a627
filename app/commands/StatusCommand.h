#pragma once

#include <QString>
#include <QStringList>

class RunReport;

// "-Status": where the configured database stands, read without changing
// anything (no statement that writes, no update lock taken, no step run, no
// log line): the server and its version, TLS, the version the database
// reports and the target, the pending steps, who holds the update lock now,
// the sessions on the database, the newest backup with its age and checksum,
// and the schema drift at the reported version.
class StatusCommand
{
public:
    // Fills the report and the lines of the human-readable text; the exit
    // code: 0 up to date and no drift, 2 steps pending, 3 another updater
    // holds the update lock, 4 drift found, 1 the status could not be read
    // (the report's errors say why). A held lock wins over pending steps,
    // pending steps over drift.
    static int run(RunReport &report, QStringList &lstText);
};
