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

bool CnfVarie::load(QSettings &settings)
{
    // The default needs a look at the file system: only when it is used.
    m_dbServerPath =
        settings.contains(kKeyDbServerPath) ? settings.value(kKeyDbServerPath).toString() : defaultDbServerPath();
    return CnfSection::load(settings);
}

bool CnfVarie::save(QSettings &settings) const
{
    settings.setValue(kKeyDbServerPath, m_dbServerPath);
    return CnfSection::save(settings);
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
