#include "KivDataBaseUpdater.h"

#include "AppContext.h"
#include "DBManager.h"
#include "DatabaseBackup.h"
#include "DbCreator.h"
#include "DbUpdater.h"
#include "KivResources.h"
#include "LogFileManager.h"
#include "StatusBarLabelWidget.h"
#include "UICheckDatabase.h"
#include "UICnfProgram.h"
#include "UICreateDb.h"
#include "UIForceDbVersion.h"
#include "UIMessageBox.h"
#include "VersionCompare.h"

#include <QApplication>
#include <QCloseEvent>
#include <QProgressDialog>

namespace {

const QString kTargetVersion = QStringLiteral("1.9.0");

// The window's sentences: written to the log in English, shown translated.
const char *const kUpToDate = QT_TRANSLATE_NOOP("KivDataBaseUpdater", "The database is up to date.");
const char *const kDatabaseNewer =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater",
                      "This program can't update di current database.\nUse a newer version of the program and retry.");
const char *const kUpdateError = QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Error during database update.");
const char *const kUpdateSuccess = QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Database update performed with success.");
const char *const kCloseQuestion =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "The datasase was not updated.\nAre you sure you want to exit ?");

QString english(const char *pszText)
{
    return QString::fromLatin1(pszText);
}

} // namespace

KivDataBaseUpdater::KivDataBaseUpdater(QWidget *parent)
    : QMainWindow(parent), m_pStatusServer(nullptr), m_pStatusDatabase(nullptr), m_pDbUpdater(new DbUpdater(this)),
      m_bAutoMode(false), m_pDatabaseBackup(new DatabaseBackup(this))
{
    m_strDbVersion.clear();
    m_strDbVersionAfterUpdate.clear();
    // The form's pictures come from the compiled-in resources.
    initKivResources();
    ui.setupUi(this);

    ui.progressBarUpdate->hide();

    ui.actionExit->setStatusTip(tr("Close the program"));
    connect(ui.actionExit, &QAction::triggered, this, &KivDataBaseUpdater::fileExit);
    ui.actionProgramConfiguration->setStatusTip(tr("Program Configuration"));
    connect(ui.actionProgramConfiguration, &QAction::triggered, this, &KivDataBaseUpdater::toolsProgramConfiguration);
    ui.actionDataBaseBackup->setStatusTip(tr("Backup database"));
    connect(ui.actionDataBaseBackup, &QAction::triggered, this, &KivDataBaseUpdater::toolsDataBaseBackup);
    ui.actionDataBaseRestore->setStatusTip(tr("Restore database"));
    connect(ui.actionDataBaseRestore, &QAction::triggered, this, &KivDataBaseUpdater::toolsDataBaseRestore);
    ui.actionDataBaseCreation->setStatusTip(tr("Create a new database"));
    connect(ui.actionDataBaseCreation, &QAction::triggered, this, &KivDataBaseUpdater::toolsDataBaseCreation);
    ui.actionCleanDataBaseBackup->setStatusTip(tr("Clean database backup"));
    connect(ui.actionCleanDataBaseBackup, &QAction::triggered, this, &KivDataBaseUpdater::toolsCleanDataBaseBackup);
    ui.actionCheckDataBase->setStatusTip(tr("Compare the database schema with the schema of its version"));
    connect(ui.actionCheckDataBase, &QAction::triggered, this, &KivDataBaseUpdater::toolsCheckDataBase);
    ui.actionAbout->setStatusTip(tr("Show the about window"));
    connect(ui.actionAbout, &QAction::triggered, this, &KivDataBaseUpdater::helpAbout);

    // Forcing the version is for service engineers: no menu or tool bar
    // offers it, only this key combination, and the dialog asks before it
    // touches anything.
    ui.actionForceDataBaseVersion->setShortcut(QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::ALT + Qt::Key_V));
    ui.actionForceDataBaseVersion->setShortcutContext(Qt::WindowShortcut);
    addAction(ui.actionForceDataBaseVersion);
    connect(ui.actionForceDataBaseVersion, &QAction::triggered, this, &KivDataBaseUpdater::toolsForceDataBaseVersion);

    // The window has a fixed size: no grip to pull at.
    ui.statusBar->setSizeGripEnabled(false);
    m_pStatusServer = new StatusBarLabelWidget(this);
    m_pStatusServer->setPixmap(QPixmap(QStringLiteral(":/images/server_16.png")));
    ui.statusBar->addPermanentWidget(m_pStatusServer, 0);
    m_pStatusDatabase = new StatusBarLabelWidget(this);
    m_pStatusDatabase->setPixmap(QPixmap(QStringLiteral(":/images/data_blue_16.png")));
    ui.statusBar->addPermanentWidget(m_pStatusDatabase, 0);

    connect(m_pDatabaseBackup, &DatabaseBackup::databaseChanged, this, &KivDataBaseUpdater::updateDbVersionDisplay);
    connect(ui.pushButtonStartUpdate, &QPushButton::clicked, this, &KivDataBaseUpdater::pushButtonStartUpdateClicked);
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
    ui.labelCurrentDbVersionText->setText(m_strDbVersion);
    logLine(QStringLiteral("Database version = %1").arg(m_strDbVersion), LogSevInformation);

    m_strDbVersionAfterUpdate = kTargetVersion;
    ui.labelUpdateDbVersionText->setText(m_strDbVersionAfterUpdate);
    logLine(QStringLiteral("Database version after update = %1").arg(m_strDbVersionAfterUpdate), LogSevInformation);

    // Older or newer by the numbers of the versions: "1.10.0" is newer than
    // "1.9.0".
    const bool bDarkStyle = AppContext::instance().cnfCommon().kivUI().enableStyleSheet();
    const QString szNeutral =
        bDarkStyle ? QStringLiteral("color: white; font: bold 12px") : QStringLiteral("color: black; font: bold 12px");
    const QString szRed = QStringLiteral("color: red; font: bold 12px");
    const int nOrder = compareVersions(m_strDbVersion, m_strDbVersionAfterUpdate);
    ui.labelCurrentDbVersionText->setStyleSheet(nOrder < 0 ? szRed : szNeutral);
    ui.labelUpdateDbVersionText->setStyleSheet(nOrder > 0 ? szRed : szNeutral);
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
        logLine(QStringLiteral("Unable to save the configuration."), LogSevError);
}

int KivDataBaseUpdater::autoExitCode() const
{
    return m_nAutoExitCode;
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
    logLine(QStringLiteral("Open program configuration dialog"), LogSevInformation);
    UICnfProgram dialog(&AppContext::instance().cnfProgram(), this);
    if (dialog.exec() != QDialog::Accepted || DBManager::instance()->isDatabaseOpen())
        return;
    if (openConfiguredDatabase(false))
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
    logLine(QStringLiteral("Check database: %1").arg(dialog.result().summary()), LogSevInformation);
    dialog.exec();
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
            logLine(QStringLiteral("Unable to update the database: no connection to the database %1 on %2:%3. %4")
                        .arg(cnf.initialCatalog(), cnf.dataSource())
                        .arg(cnf.portNumber())
                        .arg(DBManager::instance()->lastError().trimmed()),
                    LogSevError);
            return false;
        }
        if (!openConfiguredDatabase(false) && !openConfiguredDatabase(true))
            return false;
        updateDbVersionDisplay();
    }

    saveConfiguration();

    const int nOrder = compareVersions(m_strDbVersion, m_strDbVersionAfterUpdate);
    if (nOrder == 0) {
        logLine(english(kUpToDate), LogSevInformation);
        information(tr(kUpToDate));
        return true;
    }
    if (nOrder > 0) {
        logLine(english(kDatabaseNewer), LogSevWarning);
        warning(tr(kDatabaseNewer));
        return false;
    }

    // With "back up before update" on, no update starts without a backup.
    if (!m_pDatabaseBackup->backupBeforeUpdate(this, m_bAutoMode))
        return false;

    m_bLastUpdateResult = false;
    m_pDbUpdater->setCurrentVersion(m_strDbVersion);
    if (!m_pDbUpdater->updateDatabase()) {
        // The driver may have started (and so put the window into its busy
        // state) without completing: leave that state here.
        leaveUpdatingState();
        logLine(english(kUpdateError), LogSevError);
        warning(tr(kUpdateError));
        return false;
    }
    return m_bLastUpdateResult;
}

bool KivDataBaseUpdater::openConfiguredDatabase(bool bWithRetryPassword)
{
    const CnfDataBase &cnf = AppContext::instance().cnfProgram().dataBase();
    return DBManager::instance()->openDatabase(cnf.dataSource(),
                                               cnf.portNumber(),
                                               cnf.initialCatalog(),
                                               cnf.userName(),
                                               bWithRetryPassword ? cnf.retryPassword() : cnf.password(),
                                               cnf.connectionTimeout());
}

void KivDataBaseUpdater::dbUpdaterUpdateStarted()
{
    m_bUpdating = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();
    ui.pushButtonStartUpdate->setEnabled(false);
    ui.progressBarUpdate->show();
    ui.progressBarUpdate->setRange(1, m_pDbUpdater->versionCount());
}

void KivDataBaseUpdater::dbUpdaterUpdateStep(int nStepNumber)
{
    ui.progressBarUpdate->setValue(nStepNumber);
}

void KivDataBaseUpdater::dbUpdaterUpdateCompleted(bool bUpdateResult)
{
    leaveUpdatingState();
    m_bLastUpdateResult = bUpdateResult;
    if (bUpdateResult) {
        updateDbVersionDisplay();
        logLine(english(kUpdateSuccess), LogSevInformation);
        information(tr(kUpdateSuccess));
    } else {
        logLine(english(kUpdateError), LogSevError);
        warning(tr(kUpdateError));
    }
}

void KivDataBaseUpdater::leaveUpdatingState()
{
    if (!m_bUpdating)
        return;
    m_bUpdating = false;
    ui.pushButtonStartUpdate->setEnabled(true);
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
        logLine(QStringLiteral("Unable to save the configuration."), LogSevError);

    const CnfDataBase &cnf = program.dataBase();
    QString szReason;
    bool bResult = createNewDatabase(cnf.dataSource(), cnf.initialCatalog(), cnf.portNumber(), &szReason);
    dialog.setValue(2);
    if (bResult) {
        updateDbVersionDisplay();
        dialog.setValue(3);
        bResult = runUpdate();
    } else {
        logLine(QStringLiteral("Unable to create the database %1 on %2:%3. %4")
                    .arg(cnf.initialCatalog(), cnf.dataSource())
                    .arg(cnf.portNumber())
                    .arg(szReason),
                LogSevError);
    }

    dialog.setValue(4);
    m_nAutoExitCode = bResult ? 0 : 1;
    close();
}

void KivDataBaseUpdater::closeEvent(QCloseEvent *event)
{
    if (!m_bAutoMode && m_strDbVersion != m_strDbVersionAfterUpdate &&
        UIMessageBox::question(this, tr(kCloseQuestion)) == QMessageBox::No) {
        event->ignore();
        return;
    }
    logLine(QStringLiteral("*** Close Program ***\n"), LogSevInformation);
    LogFileManager::Release();
    qInstallMessageHandler(nullptr);
    event->accept();
}

void KivDataBaseUpdater::logLine(const QString &szText, int nSeverity)
{
    LogFileManager::Instance()->Log(1, szText, LogCatGeneral, nSeverity);
}

void KivDataBaseUpdater::information(const QString &szText)
{
    if (!m_bAutoMode)
        UIMessageBox::information(this, szText);
}

void KivDataBaseUpdater::warning(const QString &szText)
{
    if (!m_bAutoMode)
        UIMessageBox::warning(this, szText);
}
