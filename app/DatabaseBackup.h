#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QProgressDialog;
class QWidget;

// The safety copies of the configured database: a backup with pg_dump, a
// restore with pg_restore and the removal of old backup files. The main
// window's Tools slots call one operation each; every message box has the
// given window as parent. The client programs run as child processes under a
// modal progress dialog, so that the window keeps painting meanwhile.
//
// A backup is written under a temporary name and takes its final name only
// after pg_dump succeeded. A restore goes into a new temporary database; only
// when pg_restore succeeded is the configured database replaced by it.
class DatabaseBackup : public QObject
{
    Q_OBJECT

public:
    explicit DatabaseBackup(QObject *pParent = nullptr);
    ~DatabaseBackup() override;

    // Tools > Database Backup: asks, then writes a new backup file.
    bool backup(QWidget *pParent);
    // Tools > Database Restore: asks, lets the operator pick a backup file and
    // replaces the configured database by its content.
    bool restore(QWidget *pParent);
    // Tools > Clean Database Backup: removes the backup files older than the
    // configured number of days.
    bool cleanBackups(QWidget *pParent);
    // For the update action: when the option "back up before update" is on,
    // makes a backup without asking; false when that backup failed and the
    // update must not start. With bAutoMode no message box appears.
    bool backupBeforeUpdate(QWidget *pParent, bool bAutoMode);

    // The file written by the last successful backup of this object.
    QString lastBackupFile() const;

    // Folder of the backup files: the suite folder + "/DataBaseBackUp".
    static QString backupFolder();

signals:
    // The default connection was opened anew or the database replaced: the
    // window refreshes its version display.
    void databaseChanged();

protected:
    // Keeps the progress dialog open while a child runs (no Escape, no close).
    bool eventFilter(QObject *pWatched, QEvent *pEvent) override;

private:
    struct ChildTexts;

    bool makeBackup(QWidget *pParent, bool bAsk, bool bReportSuccess);
    bool ensureConnection();
    bool openConfiguredDatabase();
    bool openMaintenanceDatabase();
    // Runs the client program with the password in its environment only and
    // reports a failure (start, time-out, crash, exit code); on failure
    // cleanUp runs once the child is gone, before the message box.
    bool runChild(QWidget *pParent,
                  const ChildTexts &texts,
                  const QString &szProgram,
                  const QStringList &lstArguments,
                  const std::function<void()> &cleanUp);
    // Counts the archive's entries with "pg_restore --list"; false when the
    // archive's table of contents cannot be read.
    bool countArchiveEntries(const QString &szProgram, const QString &szFile, int &nEntries, int &nLargeObjects);
    // Whether the server's lock table can hold the locks of restoring that
    // many objects in one transaction.
    bool serverHoldsLocksFor(int nEntries, int nLargeObjects);
    // Ends the sessions on a temporary database and drops it.
    void dropTemporaryDatabase(const QString &szName);
    void updateProgress();

    void setWaitCursor();
    void restoreCursor();
    // Restores the cursor, logs the English text as an error and shows its
    // translation in a warning box.
    void reportError(QWidget *pParent, const char *pszText, const QString &szArg = QString());
    // Logs the English text and, unless quiet, shows its translation.
    void reportSuccess(QWidget *pParent, const char *pszText);
    bool ask(QWidget *pParent, const char *pszText, const QString &szArg = QString());
    QDateTime now() const;

    static QString clientProgram(const QString &szBaseName);
    static QString quoted(const QString &szValue);
    static QString commandLine(const QString &szProgram, const QStringList &lstArguments);
    // True when the file is a tar archive that ends with its end-of-archive
    // blocks and holds every member it announces (pg_restore takes a cut
    // archive without complaint).
    static bool isCompleteTarArchive(const QString &szPath, QString &szReason);

    QString m_szLastBackupFile;
    bool m_bBusy = false;
    bool m_bQuiet = false;
    bool m_bWaitCursor = false;
    // The child running now and what the progress dialog shows of it.
    QProgressDialog *m_pProgress = nullptr;
    QString m_szProgressTitle;
    QString m_szLastOutputLine;
    QElapsedTimer m_runTimer;
};
