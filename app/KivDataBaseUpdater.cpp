#include "KivDataBaseUpdater.h"

#include "ui_KivDataBaseUpdater.h"

#include "AppContext.h"
#include "DBManager.h"
#include "DatabaseBackup.h"
#include "DbConnection.h"
#include "DbCreator.h"
#include "DbUpdater.h"
#include "KivResources.h"
#include "LogFileManager.h"
#include "ProgramLog.h"
#include "RunReport.h"
#include "SchemaDrift.h"
#include "Sentence.h"
#include "StatusBarLabelWidget.h"
#include "UICheckDatabase.h"
#include "UICnfProgram.h"
#include "UICreateDb.h"
#include "UIForceDbVersion.h"
#include "UIMessageBox.h"
#include "UpdateRecorder.h"
#include "VersionCompare.h"

#include <QApplication>
#include <QCloseEvent>
#include <QProgressDialog>

namespace {

// The window's sentences: written to the log in English, shown translated.
const char *const kUpToDate = QT_TRANSLATE_NOOP("KivDataBaseUpdater", "The database is up to date.");
const char *const kDatabaseNewer =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater",
                      "This program can't update di current database.\nUse a newer version of the program and retry.");
const char *const kUpdateError = QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Error during database update.");
const char *const kUpdateSuccess = QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Database update performed with success.");
const char *const kCloseQuestion =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "The datasase was not updated.\nAre you sure you want to exit ?");

Sentence windowSentence(const char *pszSource)
{
    return Sentence("KivDataBaseUpdater", pszSource);
}

} // namespace

KivDataBaseUpdater::KivDataBaseUpdater(QWidget *parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::KivDataBaseUpdaterClass>()), m_pStatusServer(nullptr),
      m_pStatusDatabase(nullptr), m_pDbUpdater(new DbUpdater(this)), m_bAutoMode(false),
      m_pDatabaseBackup(new DatabaseBackup(this)), m_pRecorder(new UpdateRecorder(m_pDbUpdater, this))
{
    m_strDbVersion.clear();
    m_strDbVersionAfterUpdate.clear();
    // The form's pictures come from the compiled-in resources.
    initKivResources();
    m_ui->setupUi(this);

    m_ui->progressBarUpdate->hide();

    m_ui->actionExit->setStatusTip(tr("Close the program"));
    connect(m_ui->actionExit, &QAction::triggered, this, &KivDataBaseUpdater::fileExit);
    m_ui->actionProgramConfiguration->setStatusTip(tr("Program Configuration"));
    connect(
        m_ui->actionProgramConfiguration, &QAction::triggered, this, &KivDataBaseUpdater::toolsProgramConfiguration);
    m_ui->actionDataBaseBackup->setStatusTip(tr("Backup database"));
    connect(m_ui->actionDataBaseBackup, &QAction::triggered, this, &KivDataBaseUpdater::toolsDataBaseBackup);
    m_ui->actionDataBaseRestore->setStatusTip(tr("Restore database"));
    connect(m_ui->actionDataBaseRestore, &QAction::triggered, this, &KivDataBaseUpdater::toolsDataBaseRestore);
    m_ui->actionDataBaseCreation->setStatusTip(tr("Create a new database"));
    connect(m_ui->actionDataBaseCreation, &QAction::triggered, this, &KivDataBaseUpdater::toolsDataBaseCreation);
    m_ui->actionCleanDataBaseBackup->setStatusTip(tr("Clean database backup"));
    connect(m_ui->actionCleanDataBaseBackup, &QAction::triggered, this, &KivDataBaseUpdater::toolsCleanDataBaseBackup);
    m_ui->actionCheckDataBase->setStatusTip(tr("Compare the database schema with the schema of its version"));
    connect(m_ui->actionCheckDataBase, &QAction::triggered, this, &KivDataBaseUpdater::toolsCheckDataBase);
    m_ui->actionRehearseUpdate->setStatusTip(tr("Run the update on a copy of the database and time each step"));
    connect(m_ui->actionRehearseUpdate, &QAction::triggered, this, &KivDataBaseUpdater::toolsRehearseUpdate);
    m_ui->actionAbout->setStatusTip(tr("Show the about window"));
    connect(m_ui->actionAbout, &QAction::triggered, this, &KivDataBaseUpdater::helpAbout);

    // Forcing the version is for service engineers: no menu or tool bar
    // offers it, only this key combination, and the dialog asks before it
    // touches anything.
    m_ui->actionForceDataBaseVersion->setShortcut(QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::ALT + Qt::Key_V));
    m_ui->actionForceDataBaseVersion->setShortcutContext(Qt::WindowShortcut);
    addAction(m_ui->actionForceDataBaseVersion);
    connect(
        m_ui->actionForceDataBaseVersion, &QAction::triggered, this, &KivDataBaseUpdater::toolsForceDataBaseVersion);

    // The window has a fixed size: no grip to pull at.
    m_ui->statusBar->setSizeGripEnabled(false);
    m_pStatusServer = new StatusBarLabelWidget(this);
    m_pStatusServer->setPixmap(QPixmap(QStringLiteral(":/images/server_16.png")));
    m_ui->statusBar->addPermanentWidget(m_pStatusServer, 0);
    m_pStatusDatabase = new StatusBarLabelWidget(this);
    m_pStatusDatabase->setPixmap(QPixmap(QStringLiteral(":/images/data_blue_16.png")));
    m_ui->statusBar->addPermanentWidget(m_pStatusDatabase, 0);

    connect(m_pDatabaseBackup, &DatabaseBackup::databaseChanged, this, &KivDataBaseUpdater::updateDbVersionDisplay);
    connect(
        m_ui->pushButtonStartUpdate, &QPushButton::clicked, this, &KivDataBaseUpdater::pushButtonStartUpdateClicked);
    connect(m_pDbUpdater,
            &DbUpdater::updateStarted,
            this,
            &KivDataBaseUpdater::dbUpdaterUpdateStarted,
            Qt::DirectConnection);
    connect(m_pDbUpdater, &DbUpdater::updateStep, this, &KivDataBaseUpdater::dbUpdaterUpdateStep, Qt::DirectConnection);
    connect(m_pDbUpdater,
            &DbUpdater::updateCompleted,
            this,
            &KivDataBaseUpdater::dbUpdaterUpdateCompleted,
            Qt::DirectConnection);
}

KivDataBaseUpdater::~KivDataBaseUpdater() = default;

void KivDataBaseUpdater::updateDbVersionDisplay()
{
    m_strDbVersion = DBManager::instance()->kivDatabaseVersion();
    m_ui->labelCurrentDbVersionText->setText(m_strDbVersion);
    ProgramLog::info(QStringLiteral("Database version = %1").arg(m_strDbVersion));

    m_strDbVersionAfterUpdate = DbUpdater::targetVersion();
    m_ui->labelUpdateDbVersionText->setText(m_strDbVersionAfterUpdate);
    ProgramLog::info(QStringLiteral("Database version after update = %1").arg(m_strDbVersionAfterUpdate));

    // Older or newer by the numbers of the versions: "1.10.0" is newer than
    // "1.9.0".
    const bool bDarkStyle = AppContext::instance().cnfCommon().kivUI().enableStyleSheet();
    const QString szNeutral =
        bDarkStyle ? QStringLiteral("color: white; font: bold 12px") : QStringLiteral("color: black; font: bold 12px");
    const QString szRed = QStringLiteral("color: red; font: bold 12px");
    const int nOrder = compareVersions(m_strDbVersion, m_strDbVersionAfterUpdate);
    m_ui->labelCurrentDbVersionText->setStyleSheet(nOrder < 0 ? szRed : szNeutral);
    m_ui->labelUpdateDbVersionText->setStyleSheet(nOrder > 0 ? szRed : szNeutral);
}

void KivDataBaseUpdater::updateConnectionLabels()
{
    const CnfDataBase &cnf = AppContext::instance().cnfProgram().dataBase();
    m_pStatusServer->setText(cnf.dataSource());
    m_pStatusDatabase->setText(cnf.initialCatalog());
}

void KivDataBaseUpdater::saveConfiguration()
{
    // The warning before this line names the store; the update goes on with
    // the configuration in memory.
    if (!AppContext::instance().saveConfiguration())
        ProgramLog::error(QStringLiteral("Unable to save the configuration."));
}

int KivDataBaseUpdater::autoExitCode() const
{
    return m_nAutoExitCode;
}

void KivDataBaseUpdater::setRunReport(RunReport *pReport)
{
    m_pReport = pReport;
}

void KivDataBaseUpdater::helpAbout()
{
    QString szVersion = DBManager::instance()->postgresqlVersion();
    if (szVersion.isEmpty())
        szVersion = tr("Postgresql not installed.");
    const QString szText = QStringLiteral("<html><head/><body><p><span style=\" font-size:10pt; font-weight:600;\">") +
                           QStringLiteral("Telvor Imaging Suite Database Updater v%1<br><br>") + QStringLiteral("%2") +
                           QStringLiteral("<span style=\" font-size:10pt; font-weight:400;\">") +
                           QStringLiteral("</span></p></body></html>");
    UIMessageBox::about(this, szText.arg(QCoreApplication::applicationVersion(), szVersion.toHtmlEscaped()));
}

void KivDataBaseUpdater::fileExit()
{
    close();
}

void KivDataBaseUpdater::toolsProgramConfiguration()
{
    ProgramLog::info(QStringLiteral("Open program configuration dialog"));
    UICnfProgram dialog(&AppContext::instance().cnfProgram(), this);
    if (dialog.exec() != QDialog::Accepted || DBManager::instance()->isDatabaseOpen())
        return;
    if (DbConnection::open(AppContext::instance().cnfProgram().dataBase()))
        updateDbVersionDisplay();
}

void KivDataBaseUpdater::toolsDataBaseBackup()
{
    m_pDatabaseBackup->backup(this);
}

void KivDataBaseUpdater::toolsDataBaseRestore()
{
    m_pDatabaseBackup->restore(this);
}

void KivDataBaseUpdater::toolsDataBaseCreation()
{
    UICreateDb dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    updateDbVersionDisplay();
    updateConnectionLabels();
}

void KivDataBaseUpdater::toolsCleanDataBaseBackup()
{
    m_pDatabaseBackup->cleanBackups(this);
}

void KivDataBaseUpdater::toolsCheckDataBase()
{
    UICheckDatabase dialog(this);
    ProgramLog::info(QStringLiteral("Check database: %1").arg(dialog.result().summary()));
    dialog.exec();
}

void KivDataBaseUpdater::toolsRehearseUpdate()
{
    ProgramLog::info(QStringLiteral("Rehearse the update on a copy of the database"));
    m_pDatabaseBackup->rehearse(this);
}

void KivDataBaseUpdater::toolsForceDataBaseVersion()
{
    UIForceDbVersion dialog(this);
    if (dialog.exec() == QDialog::Accepted)
        updateDbVersionDisplay();
}

void KivDataBaseUpdater::pushButtonStartUpdateClicked()
{
    runUpdate();
}

bool KivDataBaseUpdater::runUpdate()
{
    if (!DBManager::instance()->isDatabaseOpen()) {
        if (m_bAutoMode) {
            const CnfDataBase &cnf = AppContext::instance().cnfProgram().dataBase();
            ProgramLog::error(
                QStringLiteral("Unable to update the database: no connection to the database %1 on %2:%3. %4")
                    .arg(cnf.initialCatalog(), cnf.dataSource())
                    .arg(cnf.portNumber())
                    .arg(DBManager::instance()->lastError().trimmed()));
            return false;
        }
        const CnfDataBase &cnf = AppContext::instance().cnfProgram().dataBase();
        if (!DbConnection::open(cnf) && !DbConnection::open(cnf, DbConnection::Password::Retry))
            return false;
        updateDbVersionDisplay();
    }

    saveConfiguration();

    if (m_pReport) {
        m_pReport->setVersionBefore(m_strDbVersion);
        const QStringList lstVersions = DbUpdater::knownVersions();
        const int nIndex = lstVersions.indexOf(m_strDbVersion);
        m_pReport->setPendingSteps(nIndex < 0 ? QStringList() : lstVersions.mid(nIndex + 1));
    }

    const int nOrder = compareVersions(m_strDbVersion, m_strDbVersionAfterUpdate);
    if (nOrder == 0) {
        report(LogSevInformation, windowSentence(kUpToDate));
        return true;
    }
    if (nOrder > 0) {
        report(LogSevWarning, windowSentence(kDatabaseNewer));
        // An unattended run that ends with a failure says why on an error line.
        if (m_bAutoMode)
            ProgramLog::error(QStringLiteral("The database reports version %1, newer than %2: it was not updated.")
                                  .arg(m_strDbVersion, m_strDbVersionAfterUpdate));
        return false;
    }

    logDrift();
    // With "back up before update" on, no update starts without a backup.
    const bool bBackedUp = m_pDatabaseBackup->backupBeforeUpdate(this, m_bAutoMode);
    if (m_pReport && !m_pDatabaseBackup->lastBackupFile().isEmpty())
        m_pReport->setBackup(m_pDatabaseBackup->lastBackup());
    if (!bBackedUp)
        return false;

    m_bLastUpdateResult = false;
    m_pDbUpdater->setCurrentVersion(m_strDbVersion);
    if (!m_pDbUpdater->updateDatabase()) {
        // The driver may have started (and so put the window into its busy
        // state) without completing: leave that state here.
        leaveUpdatingState();
        report(LogSevError, windowSentence(kUpdateError));
        return false;
    }
    return m_bLastUpdateResult;
}

void KivDataBaseUpdater::logDrift()
{
    const SchemaDriftResult drift = SchemaDrift::check(m_strDbVersion);
    if (!drift.isCompared()) {
        ProgramLog::warning(
            QStringLiteral("The schema could not be checked before the update: %1").arg(drift.errorText()));
        return;
    }
    for (const SchemaDifference &difference : drift.missing() + drift.changed())
        ProgramLog::warning(QStringLiteral("Schema: %1").arg(difference.text()));
    for (const SchemaDifference &difference : drift.extra())
        ProgramLog::info(QStringLiteral("Schema: %1").arg(difference.text()));
    if (m_pReport)
        m_pReport->setDrift(RunReport::differencesOf(drift));
}

void KivDataBaseUpdater::recordUpdate()
{
    if (!m_pReport)
        return;
    const CnfDataBase &cnf = AppContext::instance().cnfProgram().dataBase();
    m_pReport->setServer(cnf.dataSource(), cnf.portNumber());
    m_pReport->setDatabase(cnf.initialCatalog());
    for (const RunReport::Step &step : m_pRecorder->steps())
        m_pReport->addStep(step);
    if (DBManager::instance()->isDatabaseOpen()) {
        m_pReport->setTls(DBManager::instance()->encryptionEnabled());
        const QString szVersion = DBManager::instance()->kivDatabaseVersion();
        m_pReport->setVersionAfter(szVersion.isEmpty() ? QString() : szVersion);
    }
}

void KivDataBaseUpdater::dbUpdaterUpdateStarted()
{
    m_bUpdating = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();
    m_ui->pushButtonStartUpdate->setEnabled(false);
    m_ui->progressBarUpdate->show();
    m_ui->progressBarUpdate->setRange(1, m_pDbUpdater->versionCount());
}

void KivDataBaseUpdater::dbUpdaterUpdateStep(int nStepNumber)
{
    m_ui->progressBarUpdate->setValue(nStepNumber);
}

void KivDataBaseUpdater::dbUpdaterUpdateCompleted(bool bUpdateResult)
{
    leaveUpdatingState();
    m_bLastUpdateResult = bUpdateResult;
    if (bUpdateResult) {
        updateDbVersionDisplay();
        report(LogSevInformation, windowSentence(kUpdateSuccess));
    } else {
        report(LogSevError, windowSentence(kUpdateError));
    }
}

void KivDataBaseUpdater::leaveUpdatingState()
{
    if (!m_bUpdating)
        return;
    m_bUpdating = false;
    m_ui->pushButtonStartUpdate->setEnabled(true);
    QApplication::restoreOverrideCursor();
}

void KivDataBaseUpdater::startAutoProgress(QProgressDialog &dialog, const QString &szLabel, int nMaximum)
{
    dialog.setCancelButton(nullptr);
    dialog.setLabelText(szLabel);
    dialog.setMinimumDuration(0);
    dialog.setRange(0, nMaximum);
    dialog.setValue(0);
    dialog.setValue(1);
}

void KivDataBaseUpdater::autoUpdateDataBase()
{
    m_bAutoMode = true;
    QProgressDialog dialog(this);
    startAutoProgress(dialog, tr("Database update"), 2);

    const bool bResult = runUpdate();
    recordUpdate();

    dialog.setValue(2);
    m_nAutoExitCode = bResult ? 0 : 1;
    close();
}

void KivDataBaseUpdater::autoCreateDataBase()
{
    m_bAutoMode = true;
    QProgressDialog dialog(this);
    startAutoProgress(dialog, tr("Database creation and update"), 4);

    CnfProgram &program = AppContext::instance().cnfProgram();
    program.dataBase().resetToDefaults();
    if (!program.save())
        ProgramLog::error(QStringLiteral("Unable to save the configuration."));

    const CnfDataBase &cnf = program.dataBase();
    QString szReason;
    bool bResult = createNewDatabase(cnf.dataSource(), cnf.initialCatalog(), cnf.portNumber(), &szReason);
    dialog.setValue(2);
    if (bResult) {
        updateDbVersionDisplay();
        dialog.setValue(3);
        bResult = runUpdate();
    } else {
        ProgramLog::error(QStringLiteral("Unable to create the database %1 on %2:%3. %4")
                              .arg(cnf.initialCatalog(), cnf.dataSource())
                              .arg(cnf.portNumber())
                              .arg(szReason));
    }

    recordUpdate();
    dialog.setValue(4);
    m_nAutoExitCode = bResult ? 0 : 1;
    close();
}

void KivDataBaseUpdater::closeEvent(QCloseEvent *event)
{
    // Only a database behind the program (or one whose version is unknown) is
    // "not updated"; versions compare by their numbers.
    const bool bNotUpdated = m_strDbVersion.isEmpty() || compareVersions(m_strDbVersion, m_strDbVersionAfterUpdate) < 0;
    if (!m_bAutoMode && bNotUpdated && UIMessageBox::question(this, tr(kCloseQuestion)) == QMessageBox::No) {
        event->ignore();
        return;
    }
    ProgramLog::info(QStringLiteral("*** Close Program ***\n"));
    LogFileManager::Release();
    qInstallMessageHandler(nullptr);
    event->accept();
}

void KivDataBaseUpdater::report(LogSeverity severity, const Sentence &sentence)
{
    UIMessageBox::report(this, severity, sentence, !m_bAutoMode);
}
