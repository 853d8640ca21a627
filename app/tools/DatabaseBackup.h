#pragma once

#include "BackupService.h"
#include "RunReport.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QProgressDialog;
class QWidget;

// The window's side of the safety copies: the Tools slots of the main window
// call one operation each. It asks the operator, shows the progress of the
// client programs in a modal dialog (the window keeps painting meanwhile),
// and reports the outcome in a message box whose parent is the given window;
// the work itself is BackupService's.
class DatabaseBackup : public QObject
{
    Q_OBJECT

public:
    explicit DatabaseBackup(QObject *pParent = nullptr);
    ~DatabaseBackup() override;

    // Tools > Database Backup: asks, then writes a new backup file.
    bool backup(QWidget *pParent);
    // Tools > Database Restore: asks (naming the sessions that the restore
    // ends), lets the operator pick a backup file and replaces the configured
    // database by its content.
    bool restore(QWidget *pParent);
    // Tools > Clean Database Backup: removes the backup files older than the
    // configured number of days.
    bool cleanBackups(QWidget *pParent);
    // Tools > Rehearse update: asks, then runs the pending update on a copy
    // of the database made from the newest verified backup and shows each
    // step's duration and result.
    bool rehearse(QWidget *pParent);
    // For the update action: when the option "back up before update" is on,
    // makes a backup without asking; false when that backup failed and the
    // update must not start. With bAutoMode no message box appears.
    bool backupBeforeUpdate(QWidget *pParent, bool bAutoMode);

    // The file written by the last successful backup of this object.
    QString lastBackupFile() const;
    // That backup: file, size and checksum.
    RunReport::Backup lastBackup() const;

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
    // Runs one operation while no other runs; bQuiet: no box appears.
    template <typename Operation> bool exclusive(bool bQuiet, Operation operation);
    bool makeBackup(QWidget *pParent, bool bAsk);
    // Logs the outcome's sentence and, unless quiet, shows it (a success only
    // with bShowSuccess); its success.
    bool report(QWidget *pParent, const BackupService::Outcome &outcome, bool bShowSuccess);
    bool ask(QWidget *pParent, const QString &szText);
    // Shows the progress of the client programs the service runs meanwhile.
    template <typename Work> auto withProgress(QWidget *pParent, Work work);
    void showProgress(QWidget *pParent, const QString &szTitle);
    void updateProgress(const QString &szCurrentObject, qint64 nElapsedMs);
    void hideProgress();
    void setWaitCursor();
    void restoreCursor();

    BackupService *m_pService;
    RunReport::Backup m_lastBackup;
    bool m_bBusy = false;
    bool m_bQuiet = false;
    bool m_bWaitCursor = false;
    // The dialog of the child running now.
    QProgressDialog *m_pProgress = nullptr;
    QString m_szProgressTitle;
    // Since the dialog last followed the child.
    QElapsedTimer m_progressShown;
};
