#include "DatabaseBackup.h"

#include "AppContext.h"
#include "Clock.h"
#include "CnfDataBase.h"
#include "DBManager.h"
#include "DbConnection.h"
#include "ProgramLog.h"
#include "Sentence.h"
#include "UIFileDialog.h"
#include "UIMessageBox.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QProcess>
#include <QProgressDialog>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTime>
#include <QTimer>

#include <limits>

namespace {

// The operations speak in the main window's name: their texts are the
// window's translations.
const char kWindowContext[] = "KivDataBaseUpdater";

const QString kBackupFolderName = QStringLiteral("DataBaseBackUp");
const QString kBackupFilePattern = QStringLiteral("%1_backup_%2.tar");
const QString kBackupTimeFormat = QStringLiteral("yyyyMMdd_hhmmss");
// pg_dump writes here first; the file takes its final name only after a
// successful dump, so a backup file with the final name is always whole.
const QString kPartialSuffix = QStringLiteral(".partial");
const QString kRole = QStringLiteral("marlek");
const QString kLocalHost = QStringLiteral("localhost");
const QString kEmptyTemplate = QStringLiteral("template0");
const QString kTemporaryPrefix = QStringLiteral("kiv_restore_");

constexpr int kStartTimeoutMs = 3000;
constexpr int kProgressIntervalMs = 200;
constexpr int kKillWaitMs = 10000;
// Tries of ending the sessions and dropping the configured database before a
// client that reconnects at once wins.
constexpr int kDropTries = 3;

#ifdef Q_OS_WIN
const QString kProgramSuffix = QStringLiteral(".exe");
#else
const QString kProgramSuffix;
#endif

constexpr int kTarBlock = 512;

bool isZeroBlock(const QByteArray &block)
{
    for (char c : block) {
        if (c != 0)
            return false;
    }
    return true;
}

// A numeric field of a tar header: octal text, or base-256 with the high bit
// of the first byte set (pg_dump writes sizes of 8 GiB and more that way).
bool tarNumber(const char *pField, int nLength, qint64 &nValue)
{
    nValue = 0;
    const auto *pBytes = reinterpret_cast<const unsigned char *>(pField);
    if (pBytes[0] & 0x80) {
        nValue = pBytes[0] & 0x7f;
        for (int i = 1; i < nLength; ++i) {
            if (nValue > (std::numeric_limits<qint64>::max() >> 8))
                return false;
            nValue = (nValue << 8) | pBytes[i];
        }
        return true;
    }
    int i = 0;
    while (i < nLength && pField[i] == ' ')
        ++i;
    bool bDigits = false;
    for (; i < nLength && pField[i] >= '0' && pField[i] <= '7'; ++i) {
        nValue = nValue * 8 + (pField[i] - '0');
        bDigits = true;
    }
    return bDigits;
}

bool tarChecksumMatches(const QByteArray &header)
{
    qint64 nStored = 0;
    if (!tarNumber(header.constData() + 148, 8, nStored))
        return false;
    qint64 nSum = 0;
    for (int i = 0; i < kTarBlock; ++i)
        nSum += (i >= 148 && i < 156) ? ' ' : static_cast<unsigned char>(header.at(i));
    return nSum == nStored;
}

QString elapsedText(qint64 nMs)
{
    return QTime(0, 0).addMSecs(nMs).toString(QStringLiteral("hh:mm:ss"));
}

} // namespace

// What a client program's run says when it goes wrong, and the title of its
// progress dialog.
struct DatabaseBackup::ChildTexts
{
    const char *pszNotStarted;
    const char *pszFailed;
    const char *pszExitCode;
    QString szProgressTitle;
};

namespace {

const char *const kBackupMissing =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Unable to find the backup program.\nThe database backup was aborted.");
const char *const kBackupNotStarted =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Unable to start the backup program.\nThe database backup was aborted.");
const char *const kBackupFailed =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Error during the backup process.\nThe database backup was aborted.");
const char *const kBackupExitCode = "Backup process exit code = %1";
const char *const kBackupSuccess = QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Backup successfully executed.");

const char *const kRestoreMissing =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Unable to find the restore program.\nThe database restore was aborted.");
const char *const kRestoreNotStarted =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Unable to start the restore program.\nThe database restore was aborted.");
const char *const kRestoreFailed =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Error during the restore process.\nThe database restore was aborted.");
const char *const kRestoreExitCode = "Restore process exit code = %1";
const char *const kRestoreSuccess = QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Restore successfully executed.");

const char *const kAskBackup =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Are you sure you want to backup the database %1 ?");
const char *const kAskRestore =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Are you sure you want to restore the database %1 ?");
const char *const kAskClean =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "This process will clean the database backup.\nContinue ?");
const char *const kSelectCaption = QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Select backup file");
const char *const kSelectFilter = QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Backup files (*.tar);;All Files (*)");
const char *const kTerminateFailed =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Restore database: Unable to termiante the database activity.");
const char *const kDeleteFailed =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Restore database: Unable to delete the database.");
const char *const kCreateFailed =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Restore database: Unable to create the database.");
const char *const kDamagedBackup = QT_TRANSLATE_NOOP(
    "KivDataBaseUpdater", "The backup file is incomplete or damaged.\nThe database restore was aborted.");
const char *const kCleanCompleted =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Clean database backup file process completed.");
const char *const kUpdateNotStarted = QT_TRANSLATE_NOOP(
    "KivDataBaseUpdater", "The backup before the update failed.\nThe database update was not started.");

QString windowText(const char *pszText)
{
    return QCoreApplication::translate(kWindowContext, pszText);
}

} // namespace

DatabaseBackup::DatabaseBackup(QObject *pParent) : QObject(pParent) {}

DatabaseBackup::~DatabaseBackup()
{
    restoreCursor();
}

bool DatabaseBackup::backup(QWidget *pParent)
{
    if (m_bBusy)
        return false;
    m_bQuiet = false;
    return makeBackup(pParent, true, true);
}

bool DatabaseBackup::backupBeforeUpdate(QWidget *pParent, bool bAutoMode)
{
    if (!AppContext::instance().cnfProgram().varie().backupBeforeUpdate())
        return true;
    if (m_bBusy)
        return false;
    m_bQuiet = bAutoMode;
    const auto quietGuard = qScopeGuard([this] { m_bQuiet = false; });
    ProgramLog::info(QStringLiteral("Backup before the database update."));
    if (makeBackup(pParent, false, false))
        return true;
    reportError(pParent, kUpdateNotStarted);
    return false;
}

bool DatabaseBackup::makeBackup(QWidget *pParent, bool bAsk, bool bReportSuccess)
{
    m_bBusy = true;
    const auto guard = qScopeGuard([this] {
        restoreCursor();
        m_bBusy = false;
    });

    if (!ensureConnection())
        return false;
    const CnfDataBase &cnf = AppContext::instance().cnfProgram().dataBase();
    const QString szDatabase = cnf.initialCatalog();
    if (bAsk && !ask(pParent, kAskBackup, szDatabase))
        return false;

    const QString szProgram = clientProgram(QStringLiteral("pg_dump"));
    if (!QFileInfo::exists(szProgram)) {
        reportError(pParent, kBackupMissing);
        return false;
    }

    setWaitCursor();

    const QString szFolder = backupFolder();
    QDir().mkpath(szFolder);
    const QString szFinal =
        szFolder + QLatin1Char('/') + kBackupFilePattern.arg(szDatabase, now().toString(kBackupTimeFormat));
    const QString szPartial = szFinal + kPartialSuffix;
    QFile::remove(szPartial);

    const QStringList lstArguments{QStringLiteral("--host"),
                                   kLocalHost,
                                   QStringLiteral("--port"),
                                   QString::number(cnf.portNumber()),
                                   QStringLiteral("--username"),
                                   quoted(cnf.userName()),
                                   QStringLiteral("--role"),
                                   quoted(kRole),
                                   QStringLiteral("--no-password"),
                                   QStringLiteral("--format"),
                                   QStringLiteral("tar"),
                                   QStringLiteral("--blobs"),
                                   QStringLiteral("--verbose"),
                                   QStringLiteral("--file"),
                                   quoted(szPartial),
                                   quoted(szDatabase)};
    const ChildTexts texts{kBackupNotStarted, kBackupFailed, kBackupExitCode, tr("Database backup")};
    if (!runChild(pParent, texts, szProgram, lstArguments, [&szPartial] { QFile::remove(szPartial); }))
        return false;

    // Only a whole archive gets the name of a backup.
    QString szReason;
    if (!isCompleteTarArchive(szPartial, szReason)) {
        ProgramLog::error(QStringLiteral("The backup file %1 is not complete: %2").arg(szPartial, szReason));
        QFile::remove(szPartial);
        reportError(pParent, kBackupFailed);
        return false;
    }
    QFile::remove(szFinal);
    if (!QFile::rename(szPartial, szFinal)) {
        ProgramLog::error(QStringLiteral("Unable to rename %1 to %2").arg(szPartial, szFinal));
        QFile::remove(szPartial);
        reportError(pParent, kBackupFailed);
        return false;
    }
    m_szLastBackupFile = szFinal;

    restoreCursor();
    UIMessageBox::report(
        pParent, LogSevInformation, Sentence(kWindowContext, kBackupSuccess), bReportSuccess && !m_bQuiet);
    return true;
}

bool DatabaseBackup::restore(QWidget *pParent)
{
    if (m_bBusy)
        return false;
    m_bQuiet = false;
    m_bBusy = true;
    const auto guard = qScopeGuard([this] {
        restoreCursor();
        m_bBusy = false;
    });

    if (!ensureConnection())
        return false;
    const CnfDataBase &cnf = AppContext::instance().cnfProgram().dataBase();
    const QString szDatabase = cnf.initialCatalog();
    if (!ask(pParent, kAskRestore, szDatabase))
        return false;

    const QString szFile =
        UIFileDialog::getOpenFileName(pParent, windowText(kSelectCaption), backupFolder(), windowText(kSelectFilter));
    if (szFile.isEmpty())
        return false;

    const QString szProgram = clientProgram(QStringLiteral("pg_restore"));
    if (!QFileInfo::exists(szProgram)) {
        reportError(pParent, kRestoreMissing);
        return false;
    }

    setWaitCursor();

    // A custom-format archive checks itself; a tar archive cut short would be
    // restored in part and reported as a success.
    QFile archive(szFile);
    const bool bCustomFormat = archive.open(QIODevice::ReadOnly) && archive.read(5) == QByteArrayLiteral("PGDMP");
    archive.close();
    QString szReason;
    int nEntries = 0;
    int nLargeObjects = 0;
    bool bUsable = bCustomFormat || isCompleteTarArchive(szFile, szReason);
    if (bUsable && !countArchiveEntries(szProgram, szFile, nEntries, nLargeObjects)) {
        szReason = QStringLiteral("its table of contents cannot be read");
        bUsable = false;
    }
    if (!bUsable) {
        ProgramLog::error(QStringLiteral("The backup file %1 is not usable: %2").arg(szFile, szReason));
        reportError(pParent, kDamagedBackup);
        return false;
    }

    DBManager *pDbManager = DBManager::instance();
    openMaintenanceDatabase();

    // The backup goes into a new database first: the configured one stays as
    // it is until the restore has succeeded.
    const QString szTemporary = kTemporaryPrefix + now().toString(kBackupTimeFormat) + QLatin1Char('_') +
                                QString::number(QRandomGenerator::global()->generate() & 0xffffff, 16);
    if (!pDbManager->createDatabaseFromTemplate(szTemporary, kEmptyTemplate)) {
        ProgramLog::error(pDbManager->lastError());
        openConfiguredDatabase();
        reportError(pParent, kCreateFailed);
        return false;
    }

    // In one transaction every large object holds a lock until the end; a
    // server whose lock table cannot take them all restores object by object.
    // The temporary database keeps the restore all or nothing either way.
    const bool bSingleTransaction = serverHoldsLocksFor(nEntries, nLargeObjects);
    if (!bSingleTransaction)
        ProgramLog::warning(
            QStringLiteral("The backup holds %1 entries, %2 of them large objects: more locks than the server keeps "
                           "for one transaction (max_locks_per_transaction); restoring without --single-transaction.")
                .arg(nEntries)
                .arg(nLargeObjects));

    QStringList lstArguments{QStringLiteral("--host"),
                             kLocalHost,
                             QStringLiteral("--port"),
                             QString::number(cnf.portNumber()),
                             QStringLiteral("--username"),
                             quoted(cnf.userName()),
                             QStringLiteral("--dbname"),
                             quoted(szTemporary),
                             QStringLiteral("--role"),
                             quoted(kRole),
                             QStringLiteral("--no-password"),
                             QStringLiteral("--verbose"),
                             QStringLiteral("--single-transaction"),
                             QStringLiteral("--exit-on-error"),
                             quoted(szFile)};
    if (!bSingleTransaction)
        lstArguments.removeAll(QStringLiteral("--single-transaction"));
    const ChildTexts texts{kRestoreNotStarted, kRestoreFailed, kRestoreExitCode, tr("Database restore")};
    const auto dropTemporary = [this, &szTemporary] {
        dropTemporaryDatabase(szTemporary);
        openConfiguredDatabase();
    };
    if (!runChild(pParent, texts, szProgram, lstArguments, dropTemporary))
        return false;

    // Replace the configured database by the restored one.
    bool bDeleted = false;
    for (int nTry = 0; nTry < kDropTries && !bDeleted; ++nTry) {
        if (pDbManager->isDatabaseInUse(szDatabase) && !pDbManager->terminateDatabaseActivity(szDatabase)) {
            ProgramLog::error(pDbManager->lastError());
            dropTemporary();
            reportError(pParent, kTerminateFailed);
            return false;
        }
        bDeleted = pDbManager->deleteDatabase(szDatabase);
    }
    if (!bDeleted) {
        ProgramLog::error(pDbManager->lastError());
        dropTemporary();
        reportError(pParent, kDeleteFailed);
        return false;
    }
    if (!pDbManager->renameDatabase(szTemporary, szDatabase)) {
        // The restored data is all there is now: keep it under its name.
        ProgramLog::error(pDbManager->lastError());
        ProgramLog::error(QStringLiteral("The restored database is kept under the name %1.").arg(szTemporary));
        reportError(pParent, kCreateFailed);
        return false;
    }

    openConfiguredDatabase();
    restoreCursor();
    emit databaseChanged();
    reportSuccess(pParent, kRestoreSuccess);
    return true;
}

bool DatabaseBackup::cleanBackups(QWidget *pParent)
{
    if (m_bBusy)
        return false;
    m_bQuiet = false;
    m_bBusy = true;
    const auto guard = qScopeGuard([this] {
        restoreCursor();
        m_bBusy = false;
    });

    if (!ask(pParent, kAskClean))
        return false;
    setWaitCursor();
    ProgramLog::info(QStringLiteral("Clean database backup process started."));

    const QString szFolder = backupFolder();
    QDir dir(szFolder);
    // Name filters of QDir ignore the letter case: "x.TAR" is listed too.
    const QStringList lstNames = dir.entryList(
        QStringList{QStringLiteral("*.tar")}, QDir::Files | QDir::NoSymLinks, QDir::Name | QDir::IgnoreCase);
    const int nDays = AppContext::instance().cnfProgram().varie().backupValidityDays();
    const QDateTime limit(now().date().addDays(-nDays), QTime(0, 0));
    for (const QString &szName : lstNames) {
        const QString szPath = QStringLiteral("%1/%2").arg(szFolder, szName);
        if (QFileInfo(szPath).lastModified() < limit) {
            ProgramLog::info(QStringLiteral("Removing file %1").arg(szPath));
            QFile::remove(szPath);
        }
    }

    restoreCursor();
    reportSuccess(pParent, kCleanCompleted);
    return true;
}

QString DatabaseBackup::lastBackupFile() const
{
    return m_szLastBackupFile;
}

QString DatabaseBackup::backupFolder()
{
    return AppContext::instance().suiteFolder() + QLatin1Char('/') + kBackupFolderName;
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

bool DatabaseBackup::ensureConnection()
{
    if (DBManager::instance()->isDatabaseOpen())
        return true;
    if (!openConfiguredDatabase())
        return false;
    emit databaseChanged();
    return true;
}

bool DatabaseBackup::openConfiguredDatabase()
{
    return DbConnection::open(AppContext::instance().cnfProgram().dataBase());
}

bool DatabaseBackup::openMaintenanceDatabase()
{
    return DbConnection::openMaintenance(AppContext::instance().cnfProgram().dataBase());
}

bool DatabaseBackup::runChild(QWidget *pParent,
                              const ChildTexts &texts,
                              const QString &szProgram,
                              const QStringList &lstArguments,
                              const std::function<void()> &cleanUp)
{
    const QString szCommand = commandLine(szProgram, lstArguments);
    ProgramLog::info(szCommand);

    // The password reaches the child through its environment only.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PGPASSWORD"), AppContext::instance().cnfProgram().dataBase().password());
    QProcess process;
    process.setProcessEnvironment(environment);
    // The one command string, split as a shell would not: at blanks outside
    // double quotes, the quotes removed.
    QStringList lstCommand = QProcess::splitCommand(szCommand);
    const QString szExecutable = lstCommand.takeFirst();
    process.start(szExecutable, lstCommand, QIODevice::ReadWrite);

    if (!process.waitForStarted(kStartTimeoutMs)) {
        restoreCursor();
        process.kill();
        process.waitForFinished(kKillWaitMs);
        cleanUp();
        qDebug().noquote() << QString::fromLocal8Bit(process.readAllStandardError());
        reportError(pParent, texts.pszNotStarted);
        return false;
    }
    process.closeWriteChannel();

    const int nRunTimeoutMs = AppContext::instance().cnfProgram().varie().timeoutProcessExecution() * 1000;
    QByteArray errorOutput;
    QByteArray pendingLine;
    m_szLastOutputLine.clear();
    m_szProgressTitle = texts.szProgressTitle;
    m_runTimer.start();

    QProgressDialog dialog(pParent);
    dialog.setWindowTitle(QCoreApplication::applicationName());
    dialog.setCancelButton(nullptr);
    dialog.setRange(0, 0);
    dialog.setMinimumDuration(0);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumWidth(420);
    // The dialog's own cancellation (Escape, closing) must not end anything.
    disconnect(&dialog, &QProgressDialog::canceled, &dialog, &QProgressDialog::cancel);
    dialog.installEventFilter(this);
    m_pProgress = &dialog;
    const auto progressGuard = qScopeGuard([this] { m_pProgress = nullptr; });

    QEventLoop loop;
    bool bTimedOut = false;
    connect(&process, &QProcess::readyReadStandardError, &loop, [&] {
        const QByteArray chunk = process.readAllStandardError();
        errorOutput += chunk;
        // The verbose output names the object in work: show its last line.
        pendingLine += chunk;
        const int nEnd = pendingLine.lastIndexOf('\n');
        if (nEnd >= 0) {
            const int nStart = pendingLine.lastIndexOf('\n', nEnd - 1) + 1;
            const QString szLine = QString::fromLocal8Bit(pendingLine.mid(nStart, nEnd - nStart)).trimmed();
            if (!szLine.isEmpty())
                m_szLastOutputLine = szLine;
            pendingLine.remove(0, nEnd + 1);
        }
    });
    // Nothing is expected there; reading keeps a talkative child from blocking.
    connect(&process, &QProcess::readyReadStandardOutput, &loop, [&] { process.readAllStandardOutput(); });
    connect(&process,
            QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished),
            &loop,
            &QEventLoop::quit,
            Qt::QueuedConnection);
    QTimer ticker;
    ticker.setInterval(kProgressIntervalMs);
    connect(&ticker, &QTimer::timeout, &loop, [&] {
        updateProgress();
        if (process.state() == QProcess::NotRunning) {
            loop.quit();
        } else if (m_runTimer.elapsed() >= nRunTimeoutMs) {
            bTimedOut = true;
            loop.quit();
        }
    });
    updateProgress();
    dialog.show();
    ticker.start();
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    ticker.stop();
    dialog.hide();

    if (bTimedOut && process.state() != QProcess::NotRunning) {
        // Gone before anything is removed: it must not write on.
        process.kill();
        process.waitForFinished(kKillWaitMs);
        restoreCursor();
        cleanUp();
        qDebug().noquote() << QString::fromLocal8Bit(errorOutput + process.readAllStandardError());
        reportError(pParent, texts.pszFailed);
        return false;
    }
    errorOutput += process.readAllStandardError();

    bool bFailed = process.exitStatus() != QProcess::NormalExit;
    if (!bFailed && process.exitCode() != 0) {
        bFailed = true;
        ProgramLog::error(QString::fromLatin1(texts.pszExitCode).arg(process.exitCode()));
    }
    restoreCursor();
    if (bFailed) {
        cleanUp();
        ProgramLog::error(QString::fromLocal8Bit(errorOutput));
        reportError(pParent, texts.pszFailed);
        return false;
    }
    return true;
}

bool DatabaseBackup::countArchiveEntries(const QString &szProgram,
                                         const QString &szFile,
                                         int &nEntries,
                                         int &nLargeObjects)
{
    nEntries = 0;
    nLargeObjects = 0;
    const QStringList lstArguments{QStringLiteral("--list"), quoted(szFile)};
    const QString szCommand = commandLine(szProgram, lstArguments);
    ProgramLog::info(szCommand);
    QStringList lstCommand = QProcess::splitCommand(szCommand);
    const QString szExecutable = lstCommand.takeFirst();
    QProcess process;
    process.start(szExecutable, lstCommand, QIODevice::ReadOnly);
    const int nRunTimeoutMs = AppContext::instance().cnfProgram().varie().timeoutProcessExecution() * 1000;
    QByteArray listing;
    QElapsedTimer timer;
    timer.start();
    if (process.waitForStarted(kStartTimeoutMs)) {
        // The table of contents of a large archive is long: read as it comes.
        while (process.state() != QProcess::NotRunning && timer.elapsed() < nRunTimeoutMs) {
            process.waitForFinished(100);
            listing += process.readAllStandardOutput();
        }
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(kKillWaitMs);
    }
    listing += process.readAllStandardOutput();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ProgramLog::error(QString::fromLocal8Bit(process.readAllStandardError()));
        return false;
    }
    // One line per entry: "id; tableoid oid TYPE ...", comments start with ';'.
    const QList<QByteArray> lstLines = listing.split('\n');
    for (const QByteArray &line : lstLines) {
        if (line.isEmpty() || line.startsWith(';'))
            continue;
        ++nEntries;
        const QList<QByteArray> lstWords = line.split(' ');
        if (lstWords.size() > 3 && lstWords.at(3) == "BLOB")
            ++nLargeObjects;
    }
    return true;
}

bool DatabaseBackup::serverHoldsLocksFor(int nEntries, int nLargeObjects)
{
    // The shared lock table has room for max_locks_per_transaction objects per
    // connection and prepared transaction. Each large object keeps one lock,
    // other entries a few (table, its TOAST table and index). Half the table
    // stays for the server's other sessions.
    QSqlQuery query(QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false));
    if (!query.exec(QStringLiteral("SELECT current_setting('max_locks_per_transaction')::bigint * "
                                   "(current_setting('max_connections')::bigint + "
                                   "current_setting('max_prepared_transactions')::bigint)")) ||
        !query.next())
        return false;
    const qint64 nCapacity = query.value(0).toLongLong();
    const qint64 nNeeded = qint64(nLargeObjects) + 3 * qint64(nEntries - nLargeObjects);
    return nNeeded <= nCapacity / 2;
}

void DatabaseBackup::dropTemporaryDatabase(const QString &szName)
{
    // A killed client's server session may still be at work on it.
    DBManager *pDbManager = DBManager::instance();
    if (!openMaintenanceDatabase() ||
        (pDbManager->isDatabaseInUse(szName) && !pDbManager->terminateDatabaseActivity(szName)) ||
        !pDbManager->deleteDatabase(szName))
        ProgramLog::error(
            QStringLiteral("Unable to drop the temporary database %1: %2").arg(szName, pDbManager->lastError()));
}

void DatabaseBackup::updateProgress()
{
    if (!m_pProgress)
        return;
    m_pProgress->setLabelText(
        tr("%1\nElapsed time: %2\n%3").arg(m_szProgressTitle, elapsedText(m_runTimer.elapsed()), m_szLastOutputLine));
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

void DatabaseBackup::reportError(QWidget *pParent, const char *pszText, const QString &szArg)
{
    restoreCursor();
    Sentence sentence(kWindowContext, pszText);
    if (!szArg.isNull())
        sentence = sentence.arg(szArg);
    UIMessageBox::report(pParent, LogSevError, sentence, !m_bQuiet);
}

void DatabaseBackup::reportSuccess(QWidget *pParent, const char *pszText)
{
    UIMessageBox::report(pParent, LogSevInformation, Sentence(kWindowContext, pszText), !m_bQuiet);
}

bool DatabaseBackup::ask(QWidget *pParent, const char *pszText, const QString &szArg)
{
    QString szShown = windowText(pszText);
    if (!szArg.isNull())
        szShown = szShown.arg(szArg);
    return UIMessageBox::question(pParent, szShown) == QMessageBox::Yes;
}

QDateTime DatabaseBackup::now() const
{
    return Clock::now();
}

QString DatabaseBackup::clientProgram(const QString &szBaseName)
{
    return QStringLiteral("%1/%2%3").arg(
        AppContext::instance().cnfProgram().varie().dbServerPath(), szBaseName, kProgramSuffix);
}

QString DatabaseBackup::quoted(const QString &szValue)
{
    // In a command string three double quotes stand for one: a value with
    // quotes of its own stays one argument and keeps them.
    QString szEscaped = szValue;
    szEscaped.replace(QLatin1Char('"'), QStringLiteral("\"\"\""));
    return QStringLiteral("\"%1\"").arg(szEscaped);
}

QString DatabaseBackup::commandLine(const QString &szProgram, const QStringList &lstArguments)
{
    return QStringLiteral("%1 %2").arg(quoted(szProgram), lstArguments.join(QLatin1Char(' ')));
}

bool DatabaseBackup::isCompleteTarArchive(const QString &szPath, QString &szReason)
{
    QFile file(szPath);
    if (!file.open(QIODevice::ReadOnly)) {
        szReason = file.errorString();
        return false;
    }
    const qint64 nSize = file.size();
    qint64 nOffset = 0;
    int nMembers = 0;
    while (true) {
        if (nOffset + kTarBlock > nSize || !file.seek(nOffset)) {
            szReason = QStringLiteral("the archive ends without its end-of-archive blocks");
            return false;
        }
        const QByteArray header = file.read(kTarBlock);
        if (header.size() != kTarBlock) {
            szReason = QStringLiteral("unreadable at %1").arg(nOffset);
            return false;
        }
        if (isZeroBlock(header)) {
            // The end: a second block of zeros follows.
            const QByteArray next = file.read(kTarBlock);
            if (next.size() != kTarBlock || !isZeroBlock(next)) {
                szReason = QStringLiteral("the end-of-archive blocks are incomplete");
                return false;
            }
            if (nMembers == 0) {
                szReason = QStringLiteral("the archive is empty");
                return false;
            }
            return true;
        }
        qint64 nMemberSize = 0;
        if (!tarChecksumMatches(header) || !tarNumber(header.constData() + 124, 12, nMemberSize) || nMemberSize < 0) {
            szReason = QStringLiteral("damaged member header at %1").arg(nOffset);
            return false;
        }
        const qint64 nPadded = (nMemberSize + kTarBlock - 1) / kTarBlock * kTarBlock;
        if (nPadded > nSize - nOffset - kTarBlock) {
            szReason = QStringLiteral("the member at %1 is cut short").arg(nOffset);
            return false;
        }
        nOffset += kTarBlock + nPadded;
        ++nMembers;
    }
}
