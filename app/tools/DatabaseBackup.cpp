#include "DatabaseBackup.h"

#include "AppContext.h"
#include "BackupService.h"
#include "ProgramLog.h"
#include "Rehearsal.h"
#include "Sentence.h"
#include "UIFileDialog.h"
#include "UIMessageBox.h"
#include "UIRehearsal.h"

#include <QApplication>
#include <QKeyEvent>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QTime>

namespace {

// The operations speak in the main window's name: their texts are the
// window's translations.
const char kWindowContext[] = "KivDataBaseUpdater";

const char *const kAskBackup =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Are you sure you want to backup the database %1 ?");
const char *const kAskRestore =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Are you sure you want to restore the database %1 ?");
const char *const kSessionsEnded =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "These connections to the database will be ended:\n%1");
const char *const kAskClean =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "This process will clean the database backup.\nContinue ?");
const char *const kSelectCaption = QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Select backup file");
const char *const kSelectFilter = QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Backup files (*.tar);;All Files (*)");
const char *const kAskRehearse = QT_TRANSLATE_NOOP(
    "KivDataBaseUpdater",
    "The update will be rehearsed on a copy of the database %1, made from the newest verified backup.\nThe database "
    "itself is not changed. This takes about as long as a restore and the update.\nContinue ?");
const char *const kUpdateNotStarted = QT_TRANSLATE_NOOP(
    "KivDataBaseUpdater", "The backup before the update failed.\nThe database update was not started.");

// How often the progress dialog follows the child's output at most.
constexpr qint64 kProgressRepaintMs = 100;

QString windowText(const char *pszText)
{
    return QCoreApplication::translate(kWindowContext, pszText);
}

QString elapsedText(qint64 nMs)
{
    return QTime(0, 0).addMSecs(nMs).toString(QStringLiteral("hh:mm:ss"));
}

} // namespace

DatabaseBackup::DatabaseBackup(QObject *pParent) : QObject(pParent), m_pService(new BackupService(this))
{
    connect(m_pService, &BackupService::databaseChanged, this, &DatabaseBackup::databaseChanged);
    connect(m_pService, &BackupService::progress, this, &DatabaseBackup::updateProgress);
    connect(m_pService, &BackupService::childFinished, this, &DatabaseBackup::hideProgress);
}

DatabaseBackup::~DatabaseBackup()
{
    restoreCursor();
}

template <typename Work> auto DatabaseBackup::withProgress(QWidget *pParent, Work work)
{
    setWaitCursor();
    const auto progressConnection =
        connect(m_pService, &BackupService::childStarted, this, [this, pParent](const QString &szTitle) {
            showProgress(pParent, szTitle);
        });
    const auto result = work();
    disconnect(progressConnection);
    hideProgress();
    restoreCursor();
    return result;
}

template <typename Operation> bool DatabaseBackup::exclusive(bool bQuiet, Operation operation)
{
    // Each operation blocks the window; a second one never starts meanwhile.
    if (m_bBusy)
        return false;
    m_bBusy = true;
    m_bQuiet = bQuiet;
    const auto guard = qScopeGuard([this] {
        restoreCursor();
        m_bBusy = false;
        m_bQuiet = false;
    });
    return operation();
}

bool DatabaseBackup::report(QWidget *pParent, const BackupService::Outcome &outcome, bool bShowSuccess)
{
    if (!outcome.message.isNull())
        UIMessageBox::report(pParent,
                             outcome.bOk ? LogSevInformation : LogSevError,
                             outcome.message,
                             !m_bQuiet && (!outcome.bOk || bShowSuccess));
    return outcome.bOk;
}

bool DatabaseBackup::backup(QWidget *pParent)
{
    return exclusive(false, [this, pParent] { return makeBackup(pParent, true); });
}

bool DatabaseBackup::backupBeforeUpdate(QWidget *pParent, bool bAutoMode)
{
    if (!AppContext::instance().cnfProgram().varie().backupBeforeUpdate())
        return true;
    return exclusive(bAutoMode, [this, pParent] {
        ProgramLog::info(QStringLiteral("Backup before the database update."));
        if (makeBackup(pParent, false))
            return true;
        UIMessageBox::report(pParent, LogSevError, Sentence(kWindowContext, kUpdateNotStarted), !m_bQuiet);
        return false;
    });
}

bool DatabaseBackup::makeBackup(QWidget *pParent, bool bAsk)
{
    if (!m_pService->ensureConnection())
        return false;
    const QString szDatabase = AppContext::instance().cnfProgram().dataBase().initialCatalog();
    if (bAsk && !ask(pParent, windowText(kAskBackup).arg(szDatabase)))
        return false;

    const BackupService::Outcome outcome = withProgress(pParent, [this] { return m_pService->backup(); });
    if (outcome.bOk)
        m_lastBackup = {outcome.szFile, outcome.nBytes, outcome.szSha256};
    // Before an update only a failure is worth a box.
    return report(pParent, outcome, bAsk);
}

bool DatabaseBackup::restore(QWidget *pParent)
{
    return exclusive(false, [this, pParent] {
        if (!m_pService->ensureConnection())
            return false;
        const QString szDatabase = AppContext::instance().cnfProgram().dataBase().initialCatalog();
        // The operator learns who is connected before the restore ends them.
        QString szQuestion = windowText(kAskRestore).arg(szDatabase);
        const QList<DatabaseSession> lstSessions = m_pService->sessionsOnDatabase();
        // Nothing to ask when the restore could not end them all.
        if (!report(pParent, m_pService->refuseUnendableSessions(lstSessions), false))
            return false;
        if (!lstSessions.isEmpty())
            szQuestion +=
                QStringLiteral("\n\n") + windowText(kSessionsEnded).arg(BackupService::sessionsText(lstSessions));
        if (!ask(pParent, szQuestion))
            return false;

        const QString szFile = UIFileDialog::getOpenFileName(
            pParent, windowText(kSelectCaption), backupFolder(), windowText(kSelectFilter));
        if (szFile.isEmpty())
            return false;
        return report(pParent, withProgress(pParent, [this, &szFile] { return m_pService->restore(szFile); }), true);
    });
}

bool DatabaseBackup::cleanBackups(QWidget *pParent)
{
    return exclusive(false, [this, pParent] {
        if (!ask(pParent, windowText(kAskClean)))
            return false;
        return report(pParent, withProgress(pParent, [this] { return m_pService->cleanBackups(); }), true);
    });
}

bool DatabaseBackup::rehearse(QWidget *pParent)
{
    return exclusive(false, [this, pParent] {
        if (!m_pService->ensureConnection())
            return false;
        const QString szDatabase = AppContext::instance().cnfProgram().dataBase().initialCatalog();
        if (!ask(pParent, windowText(kAskRehearse).arg(szDatabase)))
            return false;
        Rehearsal rehearsal(m_pService);
        const Rehearsal::Result result = withProgress(pParent, [&rehearsal] { return rehearsal.run(false); });
        UIRehearsal dialog(result, pParent);
        dialog.exec();
        return result.bOk;
    });
}

QString DatabaseBackup::lastBackupFile() const
{
    return m_lastBackup.szFile;
}

RunReport::Backup DatabaseBackup::lastBackup() const
{
    return m_lastBackup;
}

QString DatabaseBackup::backupFolder()
{
    return BackupService::backupFolder();
}

bool DatabaseBackup::eventFilter(QObject *pWatched, QEvent *pEvent)
{
    if (pWatched == m_pProgress) {
        if (pEvent->type() == QEvent::Close) {
            pEvent->ignore();
            return true;
        }
        if (pEvent->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(pEvent)->key() == Qt::Key_Escape)
            return true;
    }
    return QObject::eventFilter(pWatched, pEvent);
}

bool DatabaseBackup::ask(QWidget *pParent, const QString &szText)
{
    return UIMessageBox::question(pParent, szText) == QMessageBox::Yes;
}

void DatabaseBackup::showProgress(QWidget *pParent, const QString &szTitle)
{
    hideProgress();
    m_szProgressTitle = szTitle;
    auto *pDialog = new QProgressDialog(pParent);
    pDialog->setAttribute(Qt::WA_DeleteOnClose, false);
    pDialog->setWindowTitle(QCoreApplication::applicationName());
    pDialog->setCancelButton(nullptr);
    pDialog->setRange(0, 0);
    pDialog->setMinimumDuration(0);
    pDialog->setAutoClose(false);
    pDialog->setAutoReset(false);
    pDialog->setWindowModality(Qt::ApplicationModal);
    pDialog->setMinimumWidth(420);
    // The dialog's own cancellation (Escape, closing) must not end anything.
    disconnect(pDialog, &QProgressDialog::canceled, pDialog, &QProgressDialog::cancel);
    pDialog->installEventFilter(this);
    m_pProgress = pDialog;
    m_progressShown.invalidate();
    updateProgress(QString(), 0);
    pDialog->show();
    QCoreApplication::processEvents();
}

void DatabaseBackup::updateProgress(const QString &szCurrentObject, qint64 nElapsedMs)
{
    if (!m_pProgress)
        return;
    // pg_restore names every large object on a line of its own, thousands a
    // second: the dialog follows at most every so often. The child's current
    // object comes again with the elapsed time every second.
    if (m_progressShown.isValid() && m_progressShown.elapsed() < kProgressRepaintMs)
        return;
    m_progressShown.start();
    m_pProgress->setLabelText(
        tr("%1\nElapsed time: %2\n%3").arg(m_szProgressTitle, elapsedText(nElapsedMs), szCurrentObject));
    // The child runs while the window waits for it: keep painting.
    QCoreApplication::processEvents();
}

void DatabaseBackup::hideProgress()
{
    if (!m_pProgress)
        return;
    m_pProgress->removeEventFilter(this);
    m_pProgress->hide();
    delete m_pProgress;
    m_pProgress = nullptr;
}

void DatabaseBackup::setWaitCursor()
{
    if (!m_bWaitCursor) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_bWaitCursor = true;
    }
    QCoreApplication::processEvents();
}

void DatabaseBackup::restoreCursor()
{
    if (m_bWaitCursor) {
        QApplication::restoreOverrideCursor();
        m_bWaitCursor = false;
    }
}
