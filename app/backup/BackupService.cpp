#include "BackupService.h"

#include "AppContext.h"
#include "BackupArchive.h"
#include "BackupSidecar.h"
#include "Clock.h"
#include "CnfDataBase.h"
#include "DBManager.h"
#include "DbConnection.h"
#include "GrowingFileHash.h"
#include "PgClientProcess.h"
#include "PgClientPrograms.h"
#include "ProgramLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <future>
#include <iterator>

namespace {

// The operations speak in the main window's name: their texts are the
// window's translations.
const char kWindowContext[] = "KivDataBaseUpdater";

const QString kBackupFolderName = QStringLiteral("DataBaseBackUp");
const QString kBackupFilePattern = QStringLiteral("%1_backup_%2.tar");
const QString kTimeFormat = QStringLiteral("yyyyMMdd_hhmmss");
// pg_dump writes here first; the file takes its final name only after it was
// checked, so a backup file with the final name is always whole.
const QString kPartialSuffix = QStringLiteral(".partial");
const QString kRole = QStringLiteral("marlek");
const QString kLocalHost = QStringLiteral("localhost");
const QString kEmptyTemplate = QStringLiteral("template0");
const QString kTemporaryPrefix = QStringLiteral("kiv_restore_");
const QString kVerifyPrefix = QStringLiteral("kiv_verify_");
const QString kAsideInfix = QStringLiteral("_before_restore_");
// Leftovers younger than this may belong to a run that is still going on.
constexpr int kLeftoverAgeDays = 1;
// The comment a swap puts on the copy it set aside once the restored database
// is in place: only such a copy is dropped later as a leftover. A copy without
// it may be the only one of a clinic's data.
const QString kReplacedMark = QStringLiteral("KivDataBaseUpdater: replaced by a restore; may be dropped.");

const char *const kBackupMissing =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Unable to find the backup program.\nThe database backup was aborted.");
const char *const kBackupNotStarted =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Unable to start the backup program.\nThe database backup was aborted.");
const char *const kBackupFailed =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Error during the backup process.\nThe database backup was aborted.");
const char *const kBackupMismatch = QT_TRANSLATE_NOOP(
    "KivDataBaseUpdater", "The backup program does not fit the database server:\n%1\nThe database backup was aborted.");
const char *const kBackupSuccess = QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Backup successfully executed.");

const char *const kRestoreMissing =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Unable to find the restore program.\nThe database restore was aborted.");
const char *const kRestoreNotStarted =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Unable to start the restore program.\nThe database restore was aborted.");
const char *const kRestoreFailed =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Error during the restore process.\nThe database restore was aborted.");
const char *const kRestoreMismatch = QT_TRANSLATE_NOOP(
    "KivDataBaseUpdater",
    "The restore program does not fit this backup or the database server:\n%1\nThe database restore was aborted.");
const char *const kRestoreSuccess = QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Restore successfully executed.");
const char *const kTerminateFailed =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Restore database: Unable to termiante the database activity.");
const char *const kSessionsUnendable = QT_TRANSLATE_NOOP(
    "KivDataBaseUpdater",
    "These connections to the database cannot be ended by this program:\n%1\nClose them and start the restore "
    "again.\nThe database restore was aborted.");
const char *const kCreateFailed =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Restore database: Unable to create the database.");
const char *const kDamagedBackup = QT_TRANSLATE_NOOP(
    "KivDataBaseUpdater", "The backup file is incomplete or damaged.\nThe database restore was aborted.");
const char *const kSwapKept = QT_TRANSLATE_NOOP("KivDataBaseUpdater",
                                                "The restored data could not take the place of the database %1, which "
                                                "keeps its data as before.\nThe database restore was aborted.");
const char *const kSwapLost =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater",
                      "The database %1 could not be put back under its name: its data is in the database %2, the "
                      "restored data in the database %3.\nNo data was deleted. Call the service engineer.");
const char *const kCleanRefused = QT_TRANSLATE_NOOP(
    "KivDataBaseUpdater",
    "The newest backup does not match its checksum file.\nNo backup file was removed: make a new backup first.");
const char *const kCleanCompleted =
    QT_TRANSLATE_NOOP("KivDataBaseUpdater", "Clean database backup file process completed.");

const char *const kBackupTitle = QT_TRANSLATE_NOOP("DatabaseBackup", "Database backup");
const char *const kRestoreTitle = QT_TRANSLATE_NOOP("DatabaseBackup", "Database restore");

CnfProgram &program()
{
    return AppContext::instance().cnfProgram();
}

QString quoted(const QString &szValue)
{
    // In a command string three double quotes stand for one: a value with
    // quotes of its own stays one argument and keeps them.
    QString szEscaped = szValue;
    szEscaped.replace(QLatin1Char('"'), QStringLiteral("\"\"\""));
    return QStringLiteral("\"%1\"").arg(szEscaped);
}

// How pg_dump and pg_restore reach the server: as the configured user over
// TCP, with the password from the environment, acting as the suite's role.
QStringList connectionArguments(const CnfDataBase &cnf)
{
    return {QStringLiteral("--host"),
            kLocalHost,
            QStringLiteral("--port"),
            QString::number(cnf.portNumber()),
            QStringLiteral("--username"),
            quoted(cnf.userName()),
            QStringLiteral("--role"),
            quoted(kRole),
            QStringLiteral("--no-password")};
}

// The one command string of a client program, logged as it is run: the
// program quoted, the arguments joined with blanks. QProcess splits it at
// blanks outside double quotes and removes the quotes.
QString commandLine(const QString &szProgram, const QStringList &lstArguments)
{
    return QStringLiteral("%1 %2").arg(quoted(szProgram), lstArguments.join(QLatin1Char(' ')));
}

void setCommand(PgClientProcess &process, const QString &szProgram, const QStringList &lstArguments)
{
    const QString szCommand = commandLine(szProgram, lstArguments);
    ProgramLog::info(szCommand);
    QStringList lstCommand = QProcess::splitCommand(szCommand);
    process.setProgram(lstCommand.takeFirst());
    process.setArguments(lstCommand);
}

void logChoice(const PgClientPrograms::Choice &choice)
{
    ProgramLog::info(QStringLiteral("Client program: %1 (version %2)%3")
                         .arg(QDir::toNativeSeparators(choice.szPath))
                         .arg(choice.nMajor)
                         .arg(choice.bConfigured ? QString()
                                                 : QStringLiteral(", found outside the configured folder, whose "
                                                                  "program is missing or too old")));
}

// A database name with a time stamp at the end; the stamp cuts the name so
// that the whole stays within what the server keeps.
QString stampedName(const QString &szBase, const QString &szSuffix)
{
    QString szName = szBase + szSuffix;
    QString szCut = szBase;
    while (szName.toUtf8().size() > 63 && !szCut.isEmpty()) {
        szCut.chop(1);
        szName = szCut + szSuffix;
    }
    return szName;
}

QDateTime stampOf(const QString &szStamp)
{
    return QDateTime::fromString(szStamp, kTimeFormat);
}

} // namespace

BackupService::BackupService(QObject *pParent) : QObject(pParent) {}

BackupService::~BackupService() = default;

QString BackupService::backupFolder(const QString &szSuiteFolder)
{
    return szSuiteFolder + QLatin1Char('/') + kBackupFolderName;
}

QString BackupService::backupFolder()
{
    return backupFolder(AppContext::instance().suiteFolder());
}

bool BackupService::ensureConnection()
{
    if (DBManager::instance()->isDatabaseOpen())
        return true;
    const CnfDataBase &cnf = program().dataBase();
    if (!DbConnection::open(cnf)) {
        ProgramLog::error(QStringLiteral("Unable to connect to the database %1 on %2:%3: %4")
                              .arg(cnf.initialCatalog(), cnf.dataSource())
                              .arg(cnf.portNumber())
                              .arg(DBManager::instance()->lastError().trimmed()));
        return false;
    }
    emit databaseChanged();
    return true;
}

QStringList &BackupService::searchRoots()
{
    static QStringList s_lstRoots = PgClientPrograms::defaultSearchRoots();
    return s_lstRoots;
}

void BackupService::setClientSearchRoots(const QStringList &lstRoots)
{
    searchRoots() = lstRoots;
}

BackupService::SwapHook &BackupService::swapHook()
{
    static SwapHook s_hook;
    return s_hook;
}

void BackupService::setSwapHook(const SwapHook &hook)
{
    swapHook() = hook;
}

bool BackupService::renameForSwap(SwapStep eStep, const QString &szFrom, const QString &szTo)
{
    if (swapHook())
        swapHook()(eStep, szFrom, szTo);
    return DBManager::instance()->renameDatabase(szFrom, szTo);
}

PgClientPrograms BackupService::clientPrograms()
{
    return PgClientPrograms(program().varie().dbServerPath(), searchRoots());
}

BackupService::Outcome BackupService::refusedProgram(const PgClientPrograms::Choice &choice,
                                                     PgClientPrograms::Program eProgram) const
{
    ProgramLog::error(choice.szReason);
    const bool bDump = eProgram == PgClientPrograms::Program::Dump;
    const QString szConfigured = PgClientPrograms::programPath(program().varie().dbServerPath(), eProgram);
    // Nothing fits: the operator learns whether the configured program is
    // missing, does not run, or is of the wrong version.
    if (!QFileInfo::exists(szConfigured))
        return failure(bDump ? kBackupMissing : kRestoreMissing);
    if (PgClientPrograms::majorVersion(szConfigured) == 0)
        return failure(bDump ? kBackupNotStarted : kRestoreNotStarted);
    return failure(bDump ? kBackupMismatch : kRestoreMismatch, choice.szReason);
}

BackupService::Outcome BackupService::failure(const char *pszSource, const QString &szArg) const
{
    Outcome outcome;
    outcome.message = Sentence(kWindowContext, pszSource);
    if (!szArg.isNull())
        outcome.message = outcome.message.arg(szArg);
    return outcome;
}

int BackupService::serverMajorVersion()
{
    const int nVersion = DBManager::instance()->serverVersionNumber();
    if (nVersion <= 0)
        ProgramLog::error(QStringLiteral("Unable to read the version of the database server: %1")
                              .arg(DBManager::instance()->lastError().trimmed()));
    return nVersion / 10000;
}

bool BackupService::runChild(PgClientProcess &process, const QString &szTitle)
{
    // The password reaches the child through its environment only.
    process.setPassword(program().dataBase().password());
    process.setStallTimeout(program().varie().timeoutProcessExecution() * 1000);
    connect(&process, &PgClientProcess::progress, this, &BackupService::progress);
    emit childStarted(szTitle);
    const PgClientProcess::Result result = process.run();
    emit childFinished();
    return result.isOk();
}

void BackupService::logChildFailure(const PgClientProcess::Result &result, const QString &szExitCodeLine)
{
    // In this order: the exit code, what the child said, what happened to it.
    // A child that did not start said nothing of interest: its output is an
    // information line only.
    switch (result.eOutcome) {
    case PgClientProcess::Outcome::NotStarted:
        ProgramLog::error(result.szDescription);
        if (!result.szErrorOutput.trimmed().isEmpty())
            ProgramLog::info(result.szErrorOutput.trimmed());
        return;
    case PgClientProcess::Outcome::ExitCode:
        ProgramLog::error(szExitCodeLine.arg(result.nExitCode));
        break;
    default:
        break;
    }
    if (!result.szErrorOutput.trimmed().isEmpty())
        ProgramLog::error(result.szErrorOutput.trimmed());
    if (result.eOutcome != PgClientProcess::Outcome::ExitCode)
        ProgramLog::error(result.szDescription);
}

BackupService::Outcome BackupService::backup()
{
    removeLeftovers();
    if (!ensureConnection())
        return Outcome();
    const CnfDataBase &cnf = program().dataBase();
    const QString szDatabase = cnf.initialCatalog();
    const int nServerMajor = serverMajorVersion();
    if (nServerMajor <= 0)
        return failure(kBackupFailed);

    const PgClientPrograms programs = clientPrograms();
    const PgClientPrograms::Choice dump = programs.choose(PgClientPrograms::Program::Dump, nServerMajor);
    if (!dump.bOk)
        return refusedProgram(dump, PgClientPrograms::Program::Dump);
    logChoice(dump);

    const QString szFolder = backupFolder();
    QDir().mkpath(szFolder);
    const QString szFinal =
        szFolder + QLatin1Char('/') + kBackupFilePattern.arg(szDatabase, Clock::now().toString(kTimeFormat));
    const QString szPartial = szFinal + kPartialSuffix;
    QFile::remove(szPartial);
    // Whatever goes wrong from here, no partial file stays.
    auto removePartial = qScopeGuard([&szPartial] { QFile::remove(szPartial); });

    PgClientProcess process;
    setCommand(process,
               dump.szPath,
               connectionArguments(cnf) + QStringList{QStringLiteral("--format"),
                                                      QStringLiteral("tar"),
                                                      QStringLiteral("--blobs"),
                                                      QStringLiteral("--verbose"),
                                                      QStringLiteral("--file"),
                                                      quoted(szPartial),
                                                      quoted(szDatabase)});
    process.setWatchedFile(szPartial);
    // pg_dump writes its tar archive from the start to the end, as it would
    // into a pipe: the checksum follows it while it grows. Declared after the
    // guard that removes the file, so that it stops reading first.
    GrowingFileHash hashing(szPartial);
    hashing.start();
    if (!runChild(process, QCoreApplication::translate("DatabaseBackup", kBackupTitle))) {
        const PgClientProcess::Result result = process.result();
        logChildFailure(result, QStringLiteral("Backup process exit code = %1"));
        return failure(result.eOutcome == PgClientProcess::Outcome::NotStarted ? kBackupNotStarted : kBackupFailed);
    }

    // The rest of the checksum is computed while the archive is checked.
    hashing.writerEnded();

    // Only a whole archive that pg_restore can read gets the name of a backup.
    BackupArchive archive;
    if (!archive.readFile(szPartial)) {
        ProgramLog::error(QStringLiteral("The backup file %1 is not complete: %2").arg(szPartial, archive.reason()));
        return failure(kBackupFailed);
    }
    const PgClientPrograms::Choice restore =
        programs.choose(PgClientPrograms::Program::Restore, nServerMajor, archive.formatVersion());
    if (!restore.bOk) {
        ProgramLog::error(QStringLiteral("The backup cannot be checked: %1").arg(restore.szReason));
        return failure(kBackupFailed);
    }
    if (!listArchive(restore.szPath, szPartial))
        return failure(kBackupFailed);

    // The file is closed by the other thread before it is renamed (Windows
    // renames no open file).
    QString szHash;
    QString szError;
    const bool bHashed = hashing.result(szHash, szError);
    QFile::remove(szFinal);
    if (!QFile::rename(szPartial, szFinal)) {
        ProgramLog::error(QStringLiteral("Unable to rename %1 to %2").arg(szPartial, szFinal));
        return failure(kBackupFailed);
    }
    removePartial.dismiss();

    Outcome outcome;
    outcome.szSha256 = szHash;
    if (!bHashed || !BackupSidecar::writeWithChecksum(szFinal, szHash, szError)) {
        // A backup that cannot be verified later is no backup to rely on.
        ProgramLog::error(QStringLiteral("Unable to write the checksum file of %1: %2").arg(szFinal, szError));
        QFile::remove(szFinal);
        return failure(kBackupFailed);
    }
    outcome.bOk = true;
    outcome.szFile = szFinal;
    outcome.nBytes = QFileInfo(szFinal).size();
    outcome.message = Sentence(kWindowContext, kBackupSuccess);
    ProgramLog::info(QStringLiteral("Backup file %1: %2 bytes, SHA-256 %3")
                         .arg(QDir::toNativeSeparators(szFinal))
                         .arg(outcome.nBytes)
                         .arg(outcome.szSha256));
    return outcome;
}

bool BackupService::listArchive(const QString &szRestoreProgram, const QString &szFile)
{
    PgClientProcess process;
    setCommand(process, szRestoreProgram, {QStringLiteral("--list"), quoted(szFile)});
    const PgClientProcess::Result result = process.run();
    if (!result.isOk()) {
        ProgramLog::error(QStringLiteral("pg_restore cannot read the table of contents of %1: %2 %3")
                              .arg(szFile, result.szDescription, result.szErrorOutput.trimmed()));
        return false;
    }
    // One line per entry: "id; tableoid oid TYPE ...", comments start with ';'.
    int nEntries = 0;
    int nLargeObjects = 0;
    for (const QByteArray &line : result.standardOutput.split('\n')) {
        if (line.trimmed().isEmpty() || line.startsWith(';'))
            continue;
        ++nEntries;
        const QList<QByteArray> lstWords = line.split(' ');
        if (lstWords.size() > 3 && lstWords.at(3) == "BLOB")
            ++nLargeObjects;
    }
    ProgramLog::info(QStringLiteral("pg_restore reads the backup: %1 entries, %2 of them large objects.")
                         .arg(nEntries)
                         .arg(nLargeObjects));
    return true;
}

QList<DatabaseSession> BackupService::sessionsOnDatabase()
{
    if (!ensureConnection())
        return {};
    return DBManager::instance()->databaseSessions(program().dataBase().initialCatalog());
}

QString BackupService::sessionsText(const QList<DatabaseSession> &lstSessions)
{
    QStringList lstLines;
    for (const DatabaseSession &session : lstSessions)
        lstLines << session.text();
    return lstLines.join(QLatin1Char('\n'));
}

BackupService::Outcome BackupService::refuseUnendableSessions(const QList<DatabaseSession> &lstSessions) const
{
    QList<DatabaseSession> lstUnendable;
    std::copy_if(lstSessions.cbegin(),
                 lstSessions.cend(),
                 std::back_inserter(lstUnendable),
                 [](const DatabaseSession &session) { return !session.bCanEnd; });
    if (lstUnendable.isEmpty()) {
        Outcome outcome;
        outcome.bOk = true;
        return outcome;
    }
    const QString szText = sessionsText(lstUnendable);
    ProgramLog::error(QStringLiteral("The database user of this program cannot end these sessions on the database "
                                     "%1, the restore does not start: %2")
                          .arg(program().dataBase().initialCatalog(),
                               QString(szText).replace(QLatin1Char('\n'), QStringLiteral("; "))));
    return failure(kSessionsUnendable, szText);
}

BackupService::Outcome BackupService::restore(const QString &szFile)
{
    // Everything about the backup is checked before the database is touched;
    // meanwhile the new database that the backup goes into is made (the
    // configured one stays as it is until the restore has succeeded).
    const QString szTemporary = kTemporaryPrefix + Clock::now().toString(kTimeFormat) + QLatin1Char('_') +
                                QString::number(QRandomGenerator::global()->generate() & 0xffffff, 16);
    Checked checked;
    if (!prepareRestore(szFile, checked, nullptr, szTemporary))
        return checked.failure;
    const CnfDataBase &cnf = program().dataBase();
    const QString szDatabase = cnf.initialCatalog();
    DBManager *pDbManager = DBManager::instance();
    const BackupSidecar::Check &sidecar = checked.sidecar;

    // From here on nobody writes into the database that is about to be
    // replaced: new connections are refused and the sessions ended. The
    // connections come back on every way out.
    if (!DbConnection::openMaintenance(cnf)) {
        ProgramLog::error(
            QStringLiteral("Unable to connect to the maintenance database: %1").arg(pDbManager->lastError().trimmed()));
        DbConnection::open(cnf);
        dropDatabase(szTemporary);
        return failure(kRestoreFailed);
    }
    QString szRefusing;
    const auto giveBack = [&szRefusing, pDbManager] {
        if (!szRefusing.isEmpty() && !pDbManager->setDatabaseAllowConnections(szRefusing, true))
            ProgramLog::error(QStringLiteral("Unable to allow connections to the database %1 again: %2")
                                  .arg(szRefusing, pDbManager->lastError().trimmed()));
        szRefusing.clear();
    };
    const auto giveBackOnReturn = qScopeGuard(giveBack);
    const auto reconnect = [&cnf, this] {
        if (DbConnection::open(cnf))
            emit databaseChanged();
    };
    // Every way out before the swap: the database as it was, open to all,
    // without the new one, and the program on it again.
    const auto abandon = [&](const Outcome &outcome) {
        giveBack();
        dropDatabase(szTemporary);
        reconnect();
        return outcome;
    };
    if (!pDbManager->setDatabaseAllowConnections(szDatabase, false)) {
        ProgramLog::error(QStringLiteral("Unable to refuse new connections to the database %1: %2")
                              .arg(szDatabase, pDbManager->lastError().trimmed()));
        return abandon(failure(kTerminateFailed));
    }
    szRefusing = szDatabase;
    // Sessions this program cannot end stop the restore before any session
    // is ended: ending the others first would disconnect them for nothing.
    const QList<DatabaseSession> lstSessions = pDbManager->databaseSessions(szDatabase);
    const Outcome endable = refuseUnendableSessions(lstSessions);
    if (!endable.bOk)
        return abandon(endable);
    if (!lstSessions.isEmpty())
        ProgramLog::info(
            QStringLiteral("Ending the sessions on the database %1: %2")
                .arg(szDatabase, sessionsText(lstSessions).replace(QLatin1Char('\n'), QStringLiteral("; "))));
    if (!lstSessions.isEmpty() && !pDbManager->terminateDatabaseActivity(szDatabase)) {
        ProgramLog::error(QStringLiteral("Unable to end the sessions on the database %1: %2. Still connected: %3")
                              .arg(szDatabase,
                                   pDbManager->lastError().trimmed(),
                                   sessionsText(pDbManager->databaseSessions(szDatabase))
                                       .replace(QLatin1Char('\n'), QStringLiteral("; "))));
        return abandon(failure(kTerminateFailed));
    }

    const Outcome restored = runRestore(checked, szFile, szTemporary);
    if (!restored.bOk)
        return abandon(restored);

    QString szAside;
    const Swap swap = swapInRestored(szDatabase, szTemporary, szAside);
    if (swap == Swap::Kept)
        return abandon(failure(kSwapKept, szDatabase));
    // The configured name now stands for another database, or for none.
    szRefusing.clear();
    if (swap == Swap::Lost) {
        // Both copies stay, open to connections: the service engineer looks
        // at them and puts one back. The program does not stay on the
        // maintenance database, where an update would run its scripts.
        for (const QString &szCopy : {szAside, szTemporary}) {
            if (!pDbManager->setDatabaseAllowConnections(szCopy, true))
                ProgramLog::error(QStringLiteral("Unable to allow connections to the database %1 again: %2")
                                      .arg(szCopy, pDbManager->lastError().trimmed()));
        }
        pDbManager->closeDatabase();
        emit databaseChanged();
        Outcome outcome = failure(kSwapLost);
        outcome.message = outcome.message.arg(szDatabase).arg(szAside).arg(szTemporary);
        ProgramLog::error(outcome.message.english());
        return outcome;
    }
    if (!pDbManager->setDatabaseAllowConnections(szDatabase, true))
        ProgramLog::error(QStringLiteral("Unable to allow connections to the restored database %1: %2")
                              .arg(szDatabase, pDbManager->lastError().trimmed()));
    if (!pDbManager->setDatabaseComment(szAside, kReplacedMark) || !pDbManager->deleteDatabase(szAside))
        ProgramLog::warning(QStringLiteral("Unable to drop the database %1, the data before the restore: %2. It is "
                                           "dropped when nobody is connected to it any more, a day from now.")
                                .arg(szAside, pDbManager->lastError().trimmed()));
    reconnect();

    Outcome outcome;
    outcome.bOk = true;
    outcome.szFile = szFile;
    outcome.nBytes = QFileInfo(szFile).size();
    outcome.szSha256 = sidecar.szActual;
    outcome.message = Sentence(kWindowContext, kRestoreSuccess);
    return outcome;
}

BackupService::Outcome BackupService::verify(const QString &szFile)
{
    Outcome outcome = restoreToScratch(szFile, kVerifyPrefix);
    if (!outcome.szScratch.isEmpty())
        dropScratch(outcome.szScratch);
    outcome.szScratch.clear();
    // Said on the command line only: no translation. The log has the cause of
    // a failure.
    if (!outcome.bOk && !outcome.message.isNull())
        outcome.message = Sentence("BackupService", "The backup %1 cannot be restored: %2")
                              .arg(szFile)
                              .arg(outcome.message.english().replace(QLatin1Char('\n'), QLatin1Char(' ')));
    if (outcome.bOk) {
        outcome.message =
            Sentence("BackupService", "The backup %1 can be restored: it holds version %2.")
                .arg(szFile)
                .arg(outcome.szDatabaseVersion.isEmpty() ? QStringLiteral("(none)") : outcome.szDatabaseVersion);
    }
    return outcome;
}

BackupService::Outcome
BackupService::restoreToScratch(const QString &szFile, const QString &szPrefix, const BackupSidecar::Check *pSidecar)
{
    const QString szScratch = szPrefix + Clock::now().toString(kTimeFormat) + QLatin1Char('_') +
                              QString::number(QRandomGenerator::global()->generate() & 0xffffff, 16);
    Checked checked;
    if (!prepareRestore(szFile, checked, pSidecar, szScratch))
        return checked.failure;
    const CnfDataBase &cnf = program().dataBase();
    DBManager *pDbManager = DBManager::instance();

    if (!DbConnection::openMaintenance(cnf)) {
        ProgramLog::error(
            QStringLiteral("Unable to connect to the maintenance database: %1").arg(pDbManager->lastError().trimmed()));
        DbConnection::open(cnf);
        dropDatabase(szScratch);
        return failure(kRestoreFailed);
    }
    ProgramLog::info(QStringLiteral("Restoring %1 into the scratch database %2.").arg(szFile, szScratch));
    Outcome outcome = runRestore(checked, szFile, szScratch);
    outcome.szScratch = szScratch;
    if (!outcome.bOk)
        return outcome;
    if (!DbConnection::open(cnf, szScratch) || !countRows(outcome.lstRowCounts)) {
        ProgramLog::error(QStringLiteral("Unable to read the restored scratch database %1: %2")
                              .arg(szScratch, pDbManager->lastError().trimmed()));
        Outcome failed = failure(kRestoreFailed);
        failed.szScratch = szScratch;
        return failed;
    }
    outcome.szDatabaseVersion = pDbManager->kivDatabaseVersion();
    outcome.szFile = szFile;
    outcome.nBytes = QFileInfo(szFile).size();
    outcome.szSha256 = checked.sidecar.szActual;
    outcome.nEntries = checked.archive.entryCount();
    outcome.nLargeObjects = checked.archive.largeObjectCount();
    ProgramLog::info(QStringLiteral("The scratch database %1 reports version %2 and holds %3 tables.")
                         .arg(szScratch, outcome.szDatabaseVersion)
                         .arg(outcome.lstRowCounts.size()));
    return outcome;
}

void BackupService::dropScratch(const QString &szScratch)
{
    const CnfDataBase &cnf = program().dataBase();
    if (DbConnection::openMaintenance(cnf))
        dropDatabase(szScratch);
    else
        ProgramLog::error(QStringLiteral("Unable to drop the scratch database %1: %2")
                              .arg(szScratch, DBManager::instance()->lastError().trimmed()));
    if (DbConnection::open(cnf))
        emit databaseChanged();
}

bool BackupService::countRows(QList<QPair<QString, qint64>> &lstCounts)
{
    lstCounts.clear();
    QSqlDatabase db = QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
    QSqlQuery tables(db);
    if (!tables.exec(QStringLiteral("SELECT quote_ident(n.nspname) || '.' || quote_ident(c.relname) "
                                    "FROM pg_class AS c JOIN pg_namespace AS n ON n.oid = c.relnamespace "
                                    "WHERE c.relkind IN ('r', 'p') AND n.nspname <> 'information_schema' "
                                    "AND n.nspname NOT LIKE 'pg\\_%' ORDER BY 1")))
        return false;
    QStringList lstParts;
    QStringList lstNames;
    while (tables.next()) {
        const QString szName = tables.value(0).toString();
        lstNames << szName;
        lstParts << QStringLiteral("SELECT %1, count(*) FROM %2").arg(lstNames.size() - 1).arg(szName);
    }
    // The large objects are no table of the schema but data of the backup.
    lstNames << QStringLiteral("(large objects)");
    lstParts << QStringLiteral("SELECT %1, count(*) FROM pg_largeobject_metadata").arg(lstNames.size() - 1);
    QSqlQuery counts(db);
    if (!counts.exec(lstParts.join(QStringLiteral(" UNION ALL ")) + QStringLiteral(" ORDER BY 1")))
        return false;
    while (counts.next())
        lstCounts.append({lstNames.value(counts.value(0).toInt()), counts.value(1).toLongLong()});
    return true;
}

QString BackupService::newestVerifiedBackup(BackupSidecar::Check *pCheck)
{
    // The folder may hold backups of other databases of the server too.
    const QString szDatabase = program().dataBase().initialCatalog();
    const QFileInfoList lstFiles =
        QDir(backupFolder())
            .entryInfoList(QStringList{kBackupFilePattern.arg(szDatabase, QStringLiteral("*"))},
                           QDir::Files | QDir::NoSymLinks,
                           QDir::Time);
    for (const QFileInfo &info : lstFiles) {
        const BackupSidecar::Check check = BackupSidecar::verify(info.filePath());
        if (check.matches()) {
            if (pCheck)
                *pCheck = check;
            return info.filePath();
        }
    }
    return QString();
}

bool BackupService::prepareRestore(const QString &szFile,
                                   Checked &checked,
                                   const BackupSidecar::Check *pSidecar,
                                   const QString &szTarget)
{
    removeLeftovers();
    if (!ensureConnection())
        return false;
    const int nServerMajor = serverMajorVersion();
    if (nServerMajor <= 0) {
        checked.failure = failure(kRestoreFailed);
        return false;
    }
    // A new database takes the server a while to make (a copy of template0):
    // made on a connection of its own while the backup is checked.
    const CnfDataBase &cnf = program().dataBase();
    DBManager *pDbManager = DBManager::instance();
    std::future<QString> creation =
        std::async(std::launch::async,
                   [pDbManager,
                    szTarget,
                    szHost = cnf.dataSource(),
                    nPort = cnf.portNumber(),
                    szUser = cnf.userName(),
                    szPassword = cnf.password(),
                    nTimeout = CnfDataBase().connectionTimeout()] {
                       QString szError;
                       if (pDbManager->createDatabaseApart(szHost,
                                                           nPort,
                                                           DbConnection::kMaintenanceDatabase,
                                                           szUser,
                                                           szPassword,
                                                           nTimeout,
                                                           szTarget,
                                                           kEmptyTemplate,
                                                           &szError))
                           return QString();
                       return szError.isEmpty() ? QStringLiteral("The database could not be made.") : szError;
                   });
    const bool bChecked = checkBackupFile(szFile, nServerMajor, checked, pSidecar);
    const QString szCreateError = creation.get();
    if (!szCreateError.isEmpty()) {
        ProgramLog::error(QStringLiteral("Unable to make the database %1: %2").arg(szTarget, szCreateError));
        if (bChecked)
            checked.failure = failure(kCreateFailed);
        return false;
    }
    if (!bChecked)
        dropDatabase(szTarget);
    return bChecked;
}

bool BackupService::checkBackupFile(const QString &szFile,
                                    int nServerMajor,
                                    Checked &checked,
                                    const BackupSidecar::Check *pSidecar)
{
    // The checksum takes longest: unless the caller has just checked it, it
    // is computed on another thread while the archive is read and pg_restore
    // chosen, and judged first.
    const bool bChecked = pSidecar && pSidecar->matches();
    std::future<BackupSidecar::Check> sidecarCheck;
    if (!bChecked)
        sidecarCheck = std::async(std::launch::async, [szFile] { return BackupSidecar::verify(szFile); });
    const bool bArchiveRead = checked.archive.readFile(szFile);
    if (bArchiveRead)
        checked.restore =
            clientPrograms().choose(PgClientPrograms::Program::Restore, nServerMajor, checked.archive.formatVersion());
    checked.sidecar = bChecked ? *pSidecar : sidecarCheck.get();
    switch (checked.sidecar.eState) {
    case BackupSidecar::State::Absent:
        ProgramLog::info(QStringLiteral("The backup file %1 has no checksum file beside it.").arg(szFile));
        break;
    case BackupSidecar::State::Matches:
        ProgramLog::info(QStringLiteral("The backup file %1 matches its checksum file.").arg(szFile));
        break;
    default:
        ProgramLog::error(QStringLiteral("The backup file %1 is not usable: %2").arg(szFile, checked.sidecar.szReason));
        checked.failure = failure(kDamagedBackup);
        return false;
    }
    if (!bArchiveRead) {
        ProgramLog::error(QStringLiteral("The backup file %1 is not usable: %2").arg(szFile, checked.archive.reason()));
        // A backup of a newer pg_dump is no damaged one: the operator needs
        // newer programs, not another backup.
        const QVersionNumber format = checked.archive.formatVersion();
        if (!format.isNull() &&
            QVersionNumber(format.majorVersion(), format.minorVersion()) > BackupArchive::newestKnownFormat()) {
            checked.failure = failure(kRestoreMismatch,
                                      QStringLiteral("The backup is in the archive format %1, newer than this "
                                                     "program reads (%2).")
                                          .arg(format.toString(), BackupArchive::newestKnownFormat().toString()));
            return false;
        }
        checked.failure = failure(kDamagedBackup);
        return false;
    }
    if (!checked.restore.bOk) {
        checked.failure = refusedProgram(checked.restore, PgClientPrograms::Program::Restore);
        return false;
    }
    logChoice(checked.restore);
    if (!listArchive(checked.restore.szPath, szFile)) {
        checked.failure = failure(kDamagedBackup);
        return false;
    }
    return true;
}

BackupService::Outcome BackupService::runRestore(const Checked &checked, const QString &szFile, const QString &szTarget)
{
    // In one transaction every large object holds a lock until the end; a
    // server whose lock table cannot take them all restores object by object.
    // The target database is new and is dropped on failure: the restore stays
    // all or nothing either way.
    const bool bSingleTransaction =
        serverHoldsLocksFor(checked.archive.entryCount(), checked.archive.largeObjectCount());
    QStringList lstArguments = connectionArguments(program().dataBase());
    lstArguments << QStringLiteral("--dbname") << quoted(szTarget) << QStringLiteral("--verbose");
    if (bSingleTransaction)
        lstArguments << QStringLiteral("--single-transaction");
    lstArguments << QStringLiteral("--exit-on-error") << quoted(szFile);
    PgClientProcess process;
    setCommand(process, checked.restore.szPath, lstArguments);
    if (runChild(process, QCoreApplication::translate("DatabaseBackup", kRestoreTitle))) {
        Outcome outcome;
        outcome.bOk = true;
        return outcome;
    }
    const PgClientProcess::Result result = process.result();
    logChildFailure(result, QStringLiteral("Restore process exit code = %1"));
    return failure(result.eOutcome == PgClientProcess::Outcome::NotStarted ? kRestoreNotStarted : kRestoreFailed);
}

BackupService::Swap
BackupService::swapInRestored(const QString &szDatabase, const QString &szTemporary, QString &szAside)
{
    DBManager *pDbManager = DBManager::instance();
    // Nobody may be connected to either database for the renames.
    if (!pDbManager->setDatabaseAllowConnections(szTemporary, false) ||
        (pDbManager->isDatabaseInUse(szTemporary) && !pDbManager->terminateDatabaseActivity(szTemporary)) ||
        (pDbManager->isDatabaseInUse(szDatabase) && !pDbManager->terminateDatabaseActivity(szDatabase))) {
        ProgramLog::error(QStringLiteral("Unable to end the sessions on the databases %1 and %2: %3")
                              .arg(szDatabase, szTemporary, pDbManager->lastError().trimmed()));
        return Swap::Kept;
    }

    szAside = stampedName(szDatabase, kAsideInfix + Clock::now().toString(kTimeFormat));
    if (!renameForSwap(SwapStep::SetAside, szDatabase, szAside)) {
        ProgramLog::error(QStringLiteral("Unable to rename the database %1 to %2: %3")
                              .arg(szDatabase, szAside, pDbManager->lastError().trimmed()));
        return Swap::Kept;
    }
    ProgramLog::info(QStringLiteral("The database %1 was renamed to %2.").arg(szDatabase, szAside));
    if (renameForSwap(SwapStep::PutRestored, szTemporary, szDatabase)) {
        ProgramLog::info(QStringLiteral("The restored database %1 was renamed to %2.").arg(szTemporary, szDatabase));
        return Swap::Done;
    }
    ProgramLog::error(QStringLiteral("Unable to rename the restored database %1 to %2: %3")
                          .arg(szTemporary, szDatabase, pDbManager->lastError().trimmed()));
    if (renameForSwap(SwapStep::PutBack, szAside, szDatabase)) {
        ProgramLog::info(QStringLiteral("The database %1 has its old name %2 again.").arg(szAside, szDatabase));
        return Swap::Kept;
    }
    ProgramLog::error(QStringLiteral("Unable to rename the database %1 back to %2: %3")
                          .arg(szAside, szDatabase, pDbManager->lastError().trimmed()));
    return Swap::Lost;
}

bool BackupService::serverHoldsLocksFor(int nEntries, int nLargeObjects)
{
    // The shared lock table has room for max_locks_per_transaction objects per
    // connection and prepared transaction. Each large object keeps one lock,
    // other entries a few (table, its TOAST table and index). Half the table
    // stays for the server's other sessions.
    QSqlQuery query(QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false));
    if (!query.exec(QStringLiteral("SELECT current_setting('max_locks_per_transaction')::bigint * "
                                   "(current_setting('max_connections')::bigint + "
                                   "current_setting('max_prepared_transactions')::bigint)")) ||
        !query.next()) {
        ProgramLog::warning(QStringLiteral("Unable to read the size of the server's lock table (%1): restoring in "
                                           "one transaction.")
                                .arg(query.lastError().text().trimmed()));
        return true;
    }
    const qint64 nCapacity = query.value(0).toLongLong();
    const qint64 nNeeded = qint64(nLargeObjects) + 3 * qint64(nEntries - nLargeObjects);
    if (nNeeded <= nCapacity / 2)
        return true;
    ProgramLog::warning(
        QStringLiteral("The backup holds %1 entries, %2 of them large objects: more locks than the server keeps "
                       "for one transaction (max_locks_per_transaction); restoring without --single-transaction.")
            .arg(nEntries)
            .arg(nLargeObjects));
    return false;
}

void BackupService::dropDatabase(const QString &szName)
{
    // A killed client's server session may still be at work on it.
    DBManager *pDbManager = DBManager::instance();
    if ((pDbManager->isDatabaseInUse(szName) && !pDbManager->terminateDatabaseActivity(szName)) ||
        !pDbManager->deleteDatabase(szName))
        ProgramLog::error(
            QStringLiteral("Unable to drop the temporary database %1: %2").arg(szName, pDbManager->lastError()));
}

BackupService::Outcome BackupService::cleanBackups()
{
    ProgramLog::info(QStringLiteral("Clean database backup process started."));
    removeLeftovers();

    const QString szFolder = backupFolder();
    // Name filters of QDir ignore the letter case: "x.TAR" is listed too.
    QFileInfoList lstFiles = QDir(szFolder).entryInfoList(
        QStringList{QStringLiteral("*.tar")}, QDir::Files | QDir::NoSymLinks, QDir::Name | QDir::IgnoreCase);
    // Newest first; the order of the names among files of one time.
    std::stable_sort(lstFiles.begin(), lstFiles.end(), [](const QFileInfo &left, const QFileInfo &right) {
        return left.lastModified() > right.lastModified();
    });
    // The backups of each database apart ("<database>_backup_<stamp>.tar";
    // other names together): the newest of each may be its only good one,
    // and the newest N of each stay when asked.
    static const QRegularExpression reBackupName(QStringLiteral("^(.*)_backup_\\d{8}_\\d{6}\\.tar$"),
                                                 QRegularExpression::CaseInsensitiveOption);
    QMap<QString, QFileInfoList> mapGroups;
    for (const QFileInfo &info : qAsConst(lstFiles))
        mapGroups[reBackupName.match(info.fileName()).captured(1)] << info;

    const int nKeep = qMax(1, program().varie().backupKeepCount());
    const int nDays = program().varie().backupValidityDays();
    const QDateTime limit(Clock::today().addDays(-nDays), QTime(0, 0));
    // The newest of each stays whatever its age; when one of them does not
    // check against its checksum file, nothing goes at all.
    bool bRefused = false;
    for (const QFileInfoList &lstGroup : qAsConst(mapGroups)) {
        const BackupSidecar::Check newest = BackupSidecar::verify(lstGroup.first().filePath());
        if (!newest.matches()) {
            ProgramLog::error(QStringLiteral("The newest backup %1 is not verified (%2): no backup file is removed.")
                                  .arg(QDir::toNativeSeparators(lstGroup.first().filePath()), newest.szReason));
            bRefused = true;
        }
    }
    if (bRefused)
        return failure(kCleanRefused);
    for (const QFileInfoList &lstGroup : qAsConst(mapGroups)) {
        for (int i = nKeep; i < lstGroup.size(); ++i) {
            const QFileInfo &info = lstGroup.at(i);
            if (info.lastModified() >= limit)
                continue;
            const QString szPath = QStringLiteral("%1/%2").arg(szFolder, info.fileName());
            ProgramLog::info(QStringLiteral("Removing file %1").arg(szPath));
            QFile::remove(szPath);
            const QString szSidecar = BackupSidecar::sidecarPath(szPath);
            if (QFileInfo::exists(szSidecar)) {
                ProgramLog::info(QStringLiteral("Removing file %1").arg(szSidecar));
                QFile::remove(szSidecar);
            }
        }
    }

    Outcome outcome;
    outcome.bOk = true;
    outcome.message = Sentence(kWindowContext, kCleanCompleted);
    return outcome;
}

void BackupService::removeLeftovers()
{
    const QDateTime limit = Clock::now().addDays(-kLeftoverAgeDays);

    const QString szFolder = backupFolder();
    const QFileInfoList lstPartial = QDir(szFolder).entryInfoList(
        QStringList{QStringLiteral("*") + kPartialSuffix}, QDir::Files | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo &info : lstPartial) {
        if (info.lastModified() >= limit)
            continue;
        ProgramLog::info(QStringLiteral("Removing the unfinished backup file %1").arg(info.filePath()));
        QFile::remove(info.filePath());
    }

    DBManager *pDbManager = DBManager::instance();
    if (!pDbManager->isDatabaseOpen())
        return;
    const QStringList lstNames = pDbManager->databaseNames();
    static const QRegularExpression reTemporary(QStringLiteral("^kiv_(?:restore|verify|rehearse)_(\\d{8}_\\d{6})_"));
    static const QRegularExpression reAside(QStringLiteral("^.*") + kAsideInfix + QStringLiteral("(\\d{8}_\\d{6})$"));

    // A copy set aside without the mark of a finished swap may hold the only
    // data of a clinic: it stays, and so do the temporary databases (one of
    // them may hold the restored data).
    bool bUnfinishedSwap = false;
    QStringList lstOld;
    for (const QString &szName : lstNames) {
        const QRegularExpressionMatch aside = reAside.match(szName);
        if (aside.hasMatch()) {
            if (pDbManager->databaseComment(szName) != kReplacedMark) {
                bUnfinishedSwap = true;
                ProgramLog::warning(QStringLiteral("The database %1 holds the data that a restore set aside and did "
                                                   "not replace: it stays until the service engineer drops it or "
                                                   "renames it back.")
                                        .arg(szName));
            } else if (stampOf(aside.captured(1)) < limit) {
                lstOld << szName;
            }
            continue;
        }
        const QRegularExpressionMatch temporary = reTemporary.match(szName);
        if (temporary.hasMatch() && stampOf(temporary.captured(1)) < limit)
            lstOld << szName;
    }
    for (const QString &szName : qAsConst(lstOld)) {
        if (bUnfinishedSwap && reTemporary.match(szName).hasMatch())
            continue;
        bool bOk = false;
        if (!pDbManager->databaseSessions(szName, &bOk).isEmpty() || !bOk)
            continue;
        if (pDbManager->deleteDatabase(szName))
            ProgramLog::info(
                QStringLiteral("Dropped the database %1, left by a restore that did not end.").arg(szName));
        else
            ProgramLog::warning(QStringLiteral("Unable to drop the database %1, left by a restore that did not end: %2")
                                    .arg(szName, pDbManager->lastError().trimmed()));
    }
}

bool BackupService::giveConnectionsBack()
{
    const CnfDataBase &cnf = program().dataBase();
    DBManager *pDbManager = DBManager::instance();
    if (!DbConnection::openMaintenance(cnf))
        return false;
    const auto close = qScopeGuard([pDbManager] { pDbManager->closeDatabase(); });
    if (pDbManager->databaseAllowsConnections(cnf.initialCatalog()) != 0)
        return false;
    // A restore at work has its pg_restore connected to a temporary database.
    static const QRegularExpression reTemporary(QStringLiteral("^kiv_restore_"));
    for (const QString &szName : pDbManager->databaseNames()) {
        if (reTemporary.match(szName).hasMatch() && pDbManager->isDatabaseInUse(szName))
            return false;
    }
    if (!pDbManager->setDatabaseAllowConnections(cnf.initialCatalog(), true)) {
        ProgramLog::error(QStringLiteral("The database %1 refuses connections, and they cannot be allowed again: %2")
                              .arg(cnf.initialCatalog(), pDbManager->lastError().trimmed()));
        return false;
    }
    ProgramLog::warning(QStringLiteral("The database %1 refused connections, left so by a restore that did not end: "
                                       "connections are allowed again.")
                            .arg(cnf.initialCatalog()));
    return true;
}
