#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// One version step of the database schema. A step runs, in order, the embedded
// SQL scripts that take the database from the previous version to its own; the
// last script of every step replaces "kivVersion"(), so the new version is
// recorded only after everything else of the step succeeded.
class DbUpdateToVersion
{
public:
    DbUpdateToVersion() = default;
    virtual ~DbUpdateToVersion();

    // Performs the step; true when every script and any extra work succeeded.
    virtual bool update() = 0;

    // Runs update() inside one transaction of the update's session (the
    // default connection, DbUpdateSession) and commits it only when the whole
    // step succeeded; at the first failure the step is rolled back, so the
    // database keeps the previous version and none of the step's changes. A
    // session lost on the way fails the step at once: the server discards its
    // open transaction, and no statement runs on another session.
    bool updateInTransaction();

    // Runs the scripts (resource or file paths) in list order, each file as
    // one SQL text; stops at the first failure. An empty list succeeds.
    bool executeScripts(QStringList lstScripts);
    // Executes one SQL text, possibly several statements, on the update's
    // session; false when any of its statements failed or the session is
    // gone. Never opens a connection.
    bool executeQuery(QString strQuery);

protected:
    // ":/SqlScript/<szFolder>/<szFile>"
    static QString scriptPath(const QString &szFolder, const QString &szFile);
    // Runs work inside one transaction of the update's session, as
    // updateInTransaction() runs update().
    bool runInTransaction(const std::function<bool()> &work);
};
