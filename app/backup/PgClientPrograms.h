#pragma once

#include <QString>
#include <QStringList>
#include <QVersionNumber>

// Finds the PostgreSQL client programs fit for a server: pg_dump refuses to
// dump a server newer than itself, and pg_restore reads only the archive
// formats of its own version and older.
//
// The configured folder comes first; when its program is missing or too old,
// the newest installation below the search roots that is new enough is taken
// (an installation is "<root>/<folder>/bin", as on Debian
// "/usr/lib/postgresql/<major>/bin" and on Windows
// "C:/Program Files/PostgreSQL/<major>/bin"). A program's version is what
// "<program> --version" says, not the name of its folder.
class PgClientPrograms
{
public:
    enum class Program
    {
        Dump,
        Restore
    };

    struct Choice
    {
        bool bOk = false;
        // The program to run and its major version.
        QString szPath;
        int nMajor = 0;
        // It is the one of the configured folder.
        bool bConfigured = false;
        // When refused: one English sentence naming the versions.
        QString szReason;
    };

    explicit PgClientPrograms(const QString &szConfiguredFolder,
                              const QStringList &lstSearchRoots = defaultSearchRoots());

    // The program for a server of major version nServerMajor. For the restore
    // of an archive, archiveFormat (when given) must be a format it reads.
    Choice choose(Program eProgram, int nServerMajor, const QVersionNumber &archiveFormat = QVersionNumber()) const;

    // Where installations are looked for on this system.
    static QStringList defaultSearchRoots();
    // "pg_dump", "pg_restore".
    static QString programName(Program eProgram);
    // The program in a folder, with ".exe" on Windows.
    static QString programPath(const QString &szFolder, Program eProgram);

    // The major version in the output of "--version" ("pg_dump (PostgreSQL)
    // 15.18" gives 15, "... 17beta1" gives 17); 0 when there is none.
    static int parseMajorVersion(const QString &szVersionOutput);
    // Runs "<program> --version"; 0 (and the reason) when it cannot be run or
    // does not say its version.
    static int majorVersion(const QString &szProgram, QString *pszError = nullptr);

    // The newest archive format the pg_restore of a major version reads; a
    // major newer than those known reads every known format. Null for majors
    // older than 10.
    static QVersionNumber newestArchiveFormat(int nMajor);
    static bool readsArchiveFormat(int nMajor, const QVersionNumber &format);

private:
    QString m_szConfiguredFolder;
    QStringList m_lstSearchRoots;
};
