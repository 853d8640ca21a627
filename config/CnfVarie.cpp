#include "CnfVarie.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QVersionNumber>

namespace {

const QString kKeyDbServerPath = QStringLiteral("miscellaneous/dbServerPath");

#ifndef Q_OS_WIN
const QString kPgDump = QStringLiteral("pg_dump");
// Where Debian and its derivatives install one folder per PostgreSQL version.
const QString kPostgresLibRoot = QStringLiteral("/usr/lib/postgresql");
#endif

} // namespace

const CnfTable<CnfVarie> &CnfVarie::table()
{
    static const CnfTable<CnfVarie> s_table{
        {"miscellaneous/timeoutProcessExecution", &CnfVarie::m_nTimeoutProcessExecution, 30},
        {"miscellaneous/backupBeforeUpdate", &CnfVarie::m_bBackupBeforeUpdate, false},
        // Set by a service engineer in the store; no dialog writes it, and a
        // save leaves the stored value as it is.
        {"miscellaneous/backupKeepCount", &CnfVarie::m_nBackupKeepCount, 0, CnfTable<CnfVarie>::LoadOnly},
    };
    return s_table;
}

bool CnfVarie::load(QSettings &settings)
{
    // The default needs a look at the file system: only when it is used.
    m_szDbServerPath =
        settings.contains(kKeyDbServerPath) ? settings.value(kKeyDbServerPath).toString() : defaultDbServerPath();
    return table().load(settings, *this);
}

bool CnfVarie::save(QSettings &settings) const
{
    settings.setValue(kKeyDbServerPath, m_szDbServerPath);
    return table().save(settings, *this);
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
