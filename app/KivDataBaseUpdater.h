#pragma once

#include "LogFileManager.h"

#include <QMainWindow>
#include <QString>

#include <memory>

namespace Ui {
class KivDataBaseUpdaterClass;
}
class DatabaseBackup;
class RunReport;
class Sentence;
class UpdateRecorder;
class DbUpdater;
class StatusBarLabelWidget;
class QCloseEvent;
class QProgressDialog;

// The program's main window: the version the database reports beside the one
// this program brings it to, the update with its progress, and the tools.
class KivDataBaseUpdater : public QMainWindow
{
    Q_OBJECT

public:
    explicit KivDataBaseUpdater(QWidget *parent = nullptr);
    ~KivDataBaseUpdater() override;

    void updateDbVersionDisplay();
    void updateConnectionLabels();
    void saveConfiguration();

    // Exit code of an unattended run: 0 when it did its job (or found
    // nothing to do), 1 when it failed. 0 for an interactive run.
    int autoExitCode() const;
    // The report the unattended slots fill (not owned; none by default).
    void setRunReport(RunReport *pReport);

public slots:
    void helpAbout();
    void fileExit();
    void toolsProgramConfiguration();
    void toolsDataBaseBackup();
    void toolsDataBaseRestore();
    void toolsDataBaseCreation();
    void toolsCleanDataBaseBackup();
    void toolsCheckDataBase();
    void toolsRehearseUpdate();
    void toolsForceDataBaseVersion();
    void pushButtonStartUpdateClicked();
    void dbUpdaterUpdateStarted();
    void dbUpdaterUpdateStep(int nStepNumber);
    void dbUpdaterUpdateCompleted(bool bUpdateResult);
    void autoUpdateDataBase();
    void autoCreateDataBase();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The update action; true when the database is at the target version
    // afterwards (updated now or already), false otherwise.
    bool runUpdate();
    void leaveUpdatingState();
    // Before an update: the schema differences at the database's version,
    // as warning lines (the update goes on) and into the report.
    void logDrift();
    // After an unattended run: what the report tells about the update.
    void recordUpdate();
    // The progress dialog of an unattended run: no cancel button, at step 1.
    static void startAutoProgress(QProgressDialog &dialog, const QString &szLabel, int nMaximum);
    // Logs the sentence and, unless in auto mode, shows it.
    void report(LogSeverity severity, const Sentence &sentence);

    std::unique_ptr<Ui::KivDataBaseUpdaterClass> m_ui;
    StatusBarLabelWidget *m_pStatusServer;
    StatusBarLabelWidget *m_pStatusDatabase;
    QString m_strDbVersion;
    QString m_strDbVersionAfterUpdate;
    DbUpdater *m_pDbUpdater;
    bool m_bAutoMode;
    // Backup, restore and cleaning of the Tools menu, and the backup before
    // an update.
    DatabaseBackup *m_pDatabaseBackup;
    // Between updateStarted() and updateCompleted().
    bool m_bUpdating = false;
    bool m_bLastUpdateResult = false;
    int m_nAutoExitCode = 0;
    RunReport *m_pReport = nullptr;
    UpdateRecorder *m_pRecorder;
};
