#include "CnfVarie.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QVersionNumber>

namespace {

const QString kKeyDbServerPath = QStringLiteral("miscellaneous/dbServerPath");
const QString kKeyTimeoutProcessExecution = QStringLiteral("miscellaneous/timeoutProcessExecution");
const QString kKeyBackupBeforeUpdate = QStringLiteral("miscellaneous/backupBeforeUpdate");

constexpr qint32 kDefaultTimeoutProcessExecution = 30;
constexpr qint32 kDefaultBackupValidityDays = 30;
constexpr bool kDefaultBackupBeforeUpdate = false;

#ifndef Q_OS_WIN
const QString kPgDump = QStringLiteral("pg_dump");
// Where Debian and its derivatives install one folder per PostgreSQL version.
const QString kPostgresLibRoot = QStringLiteral("/usr/lib/postgresql");
#endif

} // namespace

CnfVarie::CnfVarie()
    : m_nTimeoutProcessExecution(kDefaultTimeoutProcessExecution), m_nBackupValidityDays(kDefaultBackupValidityDays),
      m_bBackupBeforeUpdate(kDefaultBackupBeforeUpdate)
{
}

CnfVarie::~CnfVarie() = default;

bool CnfVarie::load(QSettings &settings)
{
    // The default needs a look at the file system: only when it is used.
    m_szDbServerPath =
        settings.contains(kKeyDbServerPath) ? settings.value(kKeyDbServerPath).toString() : defaultDbServerPath();
    m_nTimeoutProcessExecution = settings.value(kKeyTimeoutProcessExecution, kDefaultTimeoutProcessExecution).toInt();
    m_bBackupBeforeUpdate = settings.value(kKeyBackupBeforeUpdate, kDefaultBackupBeforeUpdate).toBool();
    return true;
}

bool CnfVarie::save(QSettings &settings) const
{
    settings.setValue(kKeyDbServerPath, m_szDbServerPath);
    settings.setValue(kKeyTimeoutProcessExecution, m_nTimeoutProcessExecution);
    settings.setValue(kKeyBackupBeforeUpdate, m_bBackupBeforeUpdate);
    return true;
}

QString CnfVarie::dbServerPath() const
{
    return m_szDbServerPath;
}

void CnfVarie::setDbServerPath(const QString &szPath)
{
    m_szDbServerPath = szPath;
}

int CnfVarie::timeoutProcessExecution() const
{
    return m_nTimeoutProcessExecution;
}

void CnfVarie::setTimeoutProcessExecution(int nSeconds)
{
    m_nTimeoutProcessExecution = nSeconds;
}

int CnfVarie::backupValidityDays() const
{
    return m_nBackupValidityDays;
}

void CnfVarie::setBackupValidityDays(int nDays)
{
    m_nBackupValidityDays = nDays;
}

bool CnfVarie::backupBeforeUpdate() const
{
    return m_bBackupBeforeUpdate;
}

void CnfVarie::setBackupBeforeUpdate(bool bBackup)
{
    m_bBackupBeforeUpdate = bBackup;
}

QString CnfVarie::defaultDbServerPath()
{
#ifdef Q_OS_WIN
    return dbServerPathFromProgramFiles(qEnvironmentVariable("ProgramFiles(x86)"),
                                        qEnvironmentVariable("ProgramFiles"));
#else
    const QString szExecutable = QStandardPaths::findExecutable(kPgDump);
    if (!szExecutable.isEmpty())
        return QFileInfo(szExecutable).absolutePath();
    return newestPostgresBinFolder(kPostgresLibRoot);
#endif
}

QString CnfVarie::dbServerPathFromProgramFiles(const QString &szProgramFilesX86, const QString &szProgramFiles)
{
    const QString szProgramFolder = szProgramFilesX86.isEmpty() ? szProgramFiles : szProgramFilesX86;
    // Backslashes are turned on every platform, not only where they are native.
    return QStringLiteral("%1\\KIVDB\\dbServer\\bin").arg(szProgramFolder).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

QString CnfVarie::newestPostgresBinFolder(const QString &szRoot)
{
    QString szBest;
    QVersionNumber bestVersion;
    const QStringList versions = QDir(szRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &szVersion : versions) {
        const QVersionNumber version = QVersionNumber::fromString(szVersion);
        if (version.isNull())
            continue;
        const QString szBin = szRoot + QLatin1Char('/') + szVersion + QStringLiteral("/bin");
#ifdef Q_OS_WIN
        const QString szPgDump = QStringLiteral("pg_dump.exe");
#else
        const QString szPgDump = QStringLiteral("pg_dump");
#endif
        if (!QFileInfo::exists(szBin + QLatin1Char('/') + szPgDump))
            continue;
        if (szBest.isEmpty() || version > bestVersion) {
            szBest = szBin;
            bestVersion = version;
        }
    }
    return szBest;
}
