#pragma once

#include "BackupArchive.h"
#include "BackupSidecar.h"
#include "DatabaseSession.h"
#include "PgClientProcess.h"
#include "PgClientPrograms.h"
#include "Sentence.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>

// The safety copies of the configured database, without any window, for the
// window's Tools menu and for the command line:
//
// - a backup is written by pg_dump under a temporary name, checked (the tar
//   and the archive's own table of contents, then "pg_restore --list"), given
//   its final name and a checksum file beside it;
// - a restore checks the backup first (checksum file, archive, client program
//   versions), refuses new connections to the configured database and ends
//   its sessions, restores into a new temporary database and only then swaps
//   it in: the configured database is renamed aside, the restored one takes
//   its name, the aside copy is dropped. At no moment is there no database
//   under the configured name unless two renames in a row fail, and then the
//   message names where each copy is;
// - the cleaning removes backups older than the configured days, never the
//   newest one;
// - each of them first removes what a killed run left behind.
//
// Every step writes its lines to the program's log; the outcome carries the
// sentence for the operator, which the caller logs and shows (or, unattended,
// only logs). The PostgreSQL client programs run as child processes; the
// caller follows them through started() and progress().
class BackupService : public QObject
{
    Q_OBJECT

public:
    struct Outcome
    {
        bool bOk = false;
        // The sentence for the operator, success or failure; null when there
        // is nothing to say (no connection: the window says nothing then).
        Sentence message;
        // The backup written, restored or verified.
        QString szFile;
        qint64 nBytes = -1;
        QString szSha256;
        // What a backup restored into a scratch database holds: the version
        // it reports, the rows of each table ("schema.table"), and the
        // entries of its archive.
        QString szDatabaseVersion;
        QList<QPair<QString, qint64>> lstRowCounts;
        int nEntries = 0;
        int nLargeObjects = 0;
        // The scratch database a restore into one left for the caller.
        QString szScratch;
    };

    explicit BackupService(QObject *pParent = nullptr);
    ~BackupService() override;

    // The folder of the backup files below a suite folder, and the one of
    // this program's suite.
    static QString backupFolder(const QString &szSuiteFolder);
    static QString backupFolder();

    // Opens the configured database when no connection is open; false (and
    // an error line) when that fails. databaseChanged() when it opened one.
    bool ensureConnection();

    // Writes a verified backup of the configured database.
    Outcome backup();
    // The sessions other than this program's on the configured database: a
    // restore ends them.
    QList<DatabaseSession> sessionsOnDatabase();
    // Succeeds when this program can end every one of lstSessions; otherwise
    // an error line and the failure that names the others.
    Outcome refuseUnendableSessions(const QList<DatabaseSession> &lstSessions) const;
    // Replaces the configured database by the content of the backup szFile.
    Outcome restore(const QString &szFile);
    // Removes the backups older than the configured backup validity days,
    // each with its checksum file; the newest backup always stays.
    Outcome cleanBackups();

    // Proves that a backup can be restored: its checks, then a restore into
    // a scratch database ("kiv_verify_..."), the version that copy reports
    // and the row count of each of its tables; the scratch database is
    // dropped on every way out. Changes nothing else.
    Outcome verify(const QString &szFile);
    // The checks and the restore of verify() into a new scratch database
    // named with szPrefix, which stays for the caller (szScratch), with the
    // connection left open on it. The caller drops it with dropScratch().
    // pSidecar: a matching check of szFile against its checksum file that the
    // caller made just now; the file is not read a second time for it.
    Outcome
    restoreToScratch(const QString &szFile, const QString &szPrefix, const BackupSidecar::Check *pSidecar = nullptr);
    // Drops a scratch database (ending its sessions) and reconnects to the
    // configured database.
    void dropScratch(const QString &szScratch);
    // The newest backup of the configured database in the backup folder
    // whose checksum file matches it (that check in *pCheck); empty when
    // there is none.
    static QString newestVerifiedBackup(BackupSidecar::Check *pCheck = nullptr);

    // Removes what runs killed on the way left behind, when it is older than
    // a day: unfinished backup files, and on the server temporary restore
    // databases and copies set aside by a swap whose database is in place
    // again, when nobody is connected to them. Databases only while a
    // connection is open. One log line per removal.
    void removeLeftovers();

    // A restore refuses connections to the configured database while it
    // runs. When a run was killed meanwhile, the database stays refusing
    // them: the next start gives them back (one warning line), unless a
    // restore is running now. Opens the maintenance database for this; true
    // when connections were given back.
    static bool giveConnectionsBack();

    // Where installations of the client programs are looked for when the
    // configured folder has none that fits (PgClientPrograms); tests give
    // their own.
    static void setClientSearchRoots(const QStringList &lstRoots);

    // Texts for the question before a restore and for the log.
    static QString sessionsText(const QList<DatabaseSession> &lstSessions);

    // The renames of a restore's swap, in their order: the configured
    // database set aside, the restored one put under its name, and, when that
    // failed, the set-aside one put back.
    enum class SwapStep
    {
        SetAside,
        PutRestored,
        PutBack
    };
    using SwapHook = std::function<void(SwapStep eStep, const QString &szFrom, const QString &szTo)>;
    // Test seam, like UIMessageBox's scripted answers: called just before
    // each rename of the swap, so that a test can make that rename fail (by
    // taking the name it renames to). Empty in the program; an empty hook
    // removes the one set.
    static void setSwapHook(const SwapHook &hook);

signals:
    // A client program starts: szTitle names the operation ("Database
    // backup", "Database restore", translated).
    void childStarted(const QString &szTitle);
    // What the child works on now and how long it has run.
    void progress(const QString &szCurrentObject, qint64 nElapsedMs);
    void childFinished();
    // The default connection was opened anew or the configured database
    // replaced.
    void databaseChanged();

private:
    enum class Swap
    {
        Done,
        // The configured database keeps its old data.
        Kept,
        // Neither copy is under the configured name.
        Lost
    };

    // What the checks before a restore found out about a backup file.
    struct Checked
    {
        BackupSidecar::Check sidecar;
        BackupArchive archive;
        PgClientPrograms::Choice restore;
        Outcome failure;
    };

    Outcome failure(const char *pszSource, const QString &szArg = QString()) const;
    static QStringList &searchRoots();
    static SwapHook &swapHook();
    // The rename of one step of the swap, after the test seam was called.
    static bool renameForSwap(SwapStep eStep, const QString &szFrom, const QString &szTo);
    static PgClientPrograms clientPrograms();
    // The failure of a choice of client program that found none.
    Outcome refusedProgram(const PgClientPrograms::Choice &choice, PgClientPrograms::Program eProgram) const;
    // The leftovers removed, a connection, and checkBackupFile(), while the
    // new, empty database szTarget is made for the restore; false (and
    // checked.failure) when something is missing, and then szTarget is gone.
    bool prepareRestore(const QString &szFile,
                        Checked &checked,
                        const BackupSidecar::Check *pSidecar,
                        const QString &szTarget);
    // Checksum file (unless pSidecar is a matching check of it), archive, a
    // pg_restore that reads it and fits the server, and its "--list": false
    // (and checked.failure) at the first that fails.
    bool checkBackupFile(const QString &szFile,
                         int nServerMajor,
                         Checked &checked,
                         const BackupSidecar::Check *pSidecar = nullptr);
    // pg_restore of the checked file into the (new, empty) database szTarget.
    Outcome runRestore(const Checked &checked, const QString &szFile, const QString &szTarget);
    // The row count of every table of the database behind the connection.
    static bool countRows(QList<QPair<QString, qint64>> &lstCounts);
    int serverMajorVersion();
    bool runChild(PgClientProcess &process, const QString &szTitle);
    static void logChildFailure(const PgClientProcess::Result &result, const QString &szExitCodeLine);
    // "pg_restore --list" reads the archive; its entry and large-object
    // counts are logged.
    bool listArchive(const QString &szRestoreProgram, const QString &szFile);
    bool serverHoldsLocksFor(int nEntries, int nLargeObjects);
    Swap swapInRestored(const QString &szDatabase, const QString &szTemporary, QString &szAside);
    void dropDatabase(const QString &szName);
};
