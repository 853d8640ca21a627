#include "PgClientPrograms.h"

#include "PgClientProcess.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

// "--version" answers at once; this is only a guard against a hanging file.
constexpr int kVersionStallTimeoutMs = 10000;

#ifdef Q_OS_WIN
const QString kProgramSuffix = QStringLiteral(".exe");
#else
const QString kProgramSuffix;
#endif

struct Candidate
{
    QString szPath;
    int nMajor = 0;
};

QString sameFile(const QString &szPath)
{
    const QString szCanonical = QFileInfo(szPath).canonicalFilePath();
    return szCanonical.isEmpty() ? QDir::cleanPath(szPath) : szCanonical;
}

} // namespace

PgClientPrograms::PgClientPrograms(const QString &szConfiguredFolder, const QStringList &lstSearchRoots)
    : m_szConfiguredFolder(szConfiguredFolder), m_lstSearchRoots(lstSearchRoots)
{
}

PgClientPrograms::Choice
PgClientPrograms::choose(Program eProgram, int nServerMajor, const QVersionNumber &archiveFormat) const
{
    const QString szName = programName(eProgram);
    const auto fits = [&](int nMajor) {
        return nMajor >= nServerMajor && (archiveFormat.isNull() || readsArchiveFormat(nMajor, archiveFormat));
    };

    // The configured folder first.
    Choice choice;
    const QString szConfigured = programPath(m_szConfiguredFolder, eProgram);
    const QString szFolder = QDir::toNativeSeparators(m_szConfiguredFolder);
    QString szConfiguredProblem;
    if (!QFileInfo::exists(szConfigured)) {
        szConfiguredProblem = QStringLiteral("There is no %1 in %2").arg(szName, szFolder);
    } else {
        QString szError;
        const int nMajor = majorVersion(szConfigured, &szError);
        if (nMajor == 0) {
            szConfiguredProblem =
                QStringLiteral("%1 in %2 does not tell its version (%3)").arg(szName, szFolder, szError);
        } else if (fits(nMajor)) {
            choice.bOk = true;
            choice.szPath = szConfigured;
            choice.nMajor = nMajor;
            choice.bConfigured = true;
            return choice;
        } else if (nMajor < nServerMajor) {
            const QString szVerb =
                eProgram == Program::Dump ? QStringLiteral("back up") : QStringLiteral("restore into");
            szConfiguredProblem =
                QStringLiteral("%1 %2 in %3 cannot %4 a server of version %5")
                    .arg(szName, QString::number(nMajor), szFolder, szVerb, QString::number(nServerMajor));
        } else {
            szConfiguredProblem = QStringLiteral("%1 %2 in %3 cannot read the archive format %4")
                                      .arg(szName, QString::number(nMajor), szFolder, archiveFormat.toString());
        }
    }

    // Then the newest installation that fits.
    const QString szConfiguredFile = sameFile(szConfigured);
    Candidate best;
    for (const QString &szRoot : m_lstSearchRoots) {
        const QDir root(szRoot);
        const QStringList lstFolders = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString &szInstallation : lstFolders) {
            const QString szPath = programPath(root.filePath(szInstallation + QStringLiteral("/bin")), eProgram);
            if (!QFileInfo::exists(szPath) || sameFile(szPath) == szConfiguredFile)
                continue;
            const int nMajor = majorVersion(szPath);
            if (nMajor > best.nMajor && fits(nMajor))
                best = Candidate{szPath, nMajor};
        }
    }
    if (best.nMajor > 0) {
        choice.bOk = true;
        choice.szPath = best.szPath;
        choice.nMajor = best.nMajor;
        return choice;
    }

    const QString szWanted =
        archiveFormat.isNull()
            ? QStringLiteral("no %1 of version %2 or newer was found.").arg(szName, QString::number(nServerMajor))
            : QStringLiteral("no %1 of version %2 or newer that reads the archive format %3 was found.")
                  .arg(szName, QString::number(nServerMajor), archiveFormat.toString());
    choice.szReason = szConfiguredProblem + QStringLiteral("; ") + szWanted;
    return choice;
}

QStringList PgClientPrograms::defaultSearchRoots()
{
#ifdef Q_OS_WIN
    const QString szProgramFiles =
        QDir::fromNativeSeparators(qEnvironmentVariable("ProgramFiles", QStringLiteral("C:/Program Files")));
    return {szProgramFiles + QStringLiteral("/PostgreSQL")};
#else
    return {QStringLiteral("/usr/lib/postgresql")};
#endif
}

QString PgClientPrograms::programName(Program eProgram)
{
    return eProgram == Program::Dump ? QStringLiteral("pg_dump") : QStringLiteral("pg_restore");
}

QString PgClientPrograms::programPath(const QString &szFolder, Program eProgram)
{
    return szFolder + QLatin1Char('/') + programName(eProgram) + kProgramSuffix;
}

int PgClientPrograms::parseMajorVersion(const QString &szVersionOutput)
{
    // "pg_dump (PostgreSQL) 16.2 (Debian 16.2-1.pgdg120+2)"; other builds may
    // name themselves otherwise in the parentheses, or leave them out.
    static const QRegularExpression postgres(QStringLiteral("\\(PostgreSQL\\)\\s+(\\d+)"));
    static const QRegularExpression other(QStringLiteral("^\\s*pg_\\w+(?:\\.exe)?\\s+(?:\\([^)]*\\)\\s+)?(\\d+)"),
                                          QRegularExpression::MultilineOption |
                                              QRegularExpression::CaseInsensitiveOption);
    QRegularExpressionMatch match = postgres.match(szVersionOutput);
    if (!match.hasMatch())
        match = other.match(szVersionOutput);
    if (!match.hasMatch())
        return 0;
    bool bOk = false;
    const int nMajor = match.captured(1).toInt(&bOk);
    return bOk ? nMajor : 0;
}

int PgClientPrograms::majorVersion(const QString &szProgram, QString *pszError)
{
    PgClientProcess process;
    process.setProgram(szProgram);
    process.setArguments({QStringLiteral("--version")});
    process.setStallTimeout(kVersionStallTimeoutMs);
    const PgClientProcess::Result result = process.run();
    const QString szOutput = QString::fromLocal8Bit(result.standardOutput);
    const int nMajor = result.isOk() ? parseMajorVersion(szOutput) : 0;
    if (nMajor == 0 && pszError) {
        *pszError = result.isOk() ? QStringLiteral("it answered \"%1\"").arg(szOutput.trimmed()) : result.szDescription;
    }
    return nMajor;
}

QVersionNumber PgClientPrograms::newestArchiveFormat(int nMajor)
{
    if (nMajor >= 17)
        return QVersionNumber(1, 16);
    if (nMajor == 16)
        return QVersionNumber(1, 15);
    if (nMajor >= 12)
        return QVersionNumber(1, 14);
    // The last minor releases of 10 and 11.
    if (nMajor >= 10)
        return QVersionNumber(1, 13);
    return QVersionNumber();
}

bool PgClientPrograms::readsArchiveFormat(int nMajor, const QVersionNumber &format)
{
    const QVersionNumber newest = newestArchiveFormat(nMajor);
    // The revision does not count, as in pg_restore's own check.
    return !newest.isNull() && !format.isNull() &&
           QVersionNumber(format.majorVersion(), format.minorVersion()) <= newest;
}
