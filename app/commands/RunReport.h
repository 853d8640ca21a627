#pragma once

#include "DatabaseSession.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// The result of one run of the program from the command line, in one shape
// whatever the command and however it ended, for the JSON printed by
// "--json" and for the report file Log/KivDataBaseUpdater-last-run.json,
// which software-distribution tools collect instead of reading the log.
// docs/run-report.schema.json describes it; kFormat changes with its shape.
class SchemaDriftResult;

class RunReport
{
public:
    static constexpr int kFormat = 1;
    // The report file's name in the log folder.
    static const QString kFileName;

    struct Step
    {
        QString szVersion;
        qint64 nMilliseconds = 0;
        bool bOk = false;
    };
    struct Difference
    {
        // "missing", "changed" or "extra" (extra objects are not drift).
        QString szKind;
        QString szObject;
        QString szExpected;
        QString szFound;
    };
    struct Backup
    {
        QString szFile;
        qint64 nBytes = -1;
        QString szSha256;
    };

    RunReport();

    void setCommand(const QString &szCommand) { m_szCommand = szCommand; }
    void setServer(const QString &szHost, int nPort);
    void setDatabase(const QString &szDatabase) { m_szDatabase = szDatabase; }
    void setServerVersion(const QString &szVersion) { m_szServerVersion = szVersion; }
    void setTls(bool bTls) { m_nTls = bTls ? 1 : 0; }
    void setVersionBefore(const QString &szVersion) { m_szVersionBefore = szVersion; }
    void setVersionAfter(const QString &szVersion) { m_szVersionAfter = szVersion; }
    void setPendingSteps(const QStringList &lstVersions) { m_lstPending = lstVersions; }
    void addStep(const Step &step) { m_lstSteps << step; }
    void setBackup(const Backup &backup) { m_backup = backup; }
    void setNewestBackup(const QString &szFile, const QDateTime &modified, qint64 nBytes, const QString &szChecksum);
    void setDrift(const QList<Difference> &lstDifferences) { m_lstDrift = lstDifferences; }
    // The differences of a drift check: missing, changed, then extra.
    static QList<Difference> differencesOf(const SchemaDriftResult &drift);
    void setLockHolder(const DatabaseSession &holder);
    void setSessions(const QList<DatabaseSession> &lstSessions) { m_lstSessions = lstSessions; }
    void setLogFile(const QString &szPath) { m_szLogFile = szPath; }
    // Facts of one command (the counts a verification found, ...).
    void setDetails(const QJsonObject &details) { m_details = details; }
    // One error, its lines joined into one; an empty text is no error.
    void addError(const QString &szText);

    // Ends the run: its end time, exit code and success.
    void finish(int nExitCode, bool bSuccess);

    bool success() const { return m_bSuccess; }
    int exitCode() const { return m_nExitCode; }
    QStringList errors() const { return m_lstErrors; }
    const QList<Difference> &drift() const { return m_lstDrift; }
    const QList<Step> &steps() const { return m_lstSteps; }

    QJsonObject toJson() const;
    // One line of JSON text and a line break.
    QByteArray toJsonText() const;
    // Writes the report whole or not at all: a temporary file in the same
    // folder, renamed over the old report once complete. A reader sees the
    // old report or the new one, never a part. Temporary files that killed
    // runs left beside it (older than a minute) are removed first.
    bool writeFile(const QString &szPath, QString *pszError = nullptr) const;

private:
    QString m_szCommand;
    QString m_szServer;
    QString m_szDatabase;
    QString m_szServerVersion;
    int m_nTls = -1;
    QString m_szVersionBefore;
    QString m_szVersionAfter;
    QStringList m_lstPending;
    QList<Step> m_lstSteps;
    Backup m_backup;
    QJsonObject m_newestBackup;
    QList<Difference> m_lstDrift;
    bool m_bLockHolder = false;
    DatabaseSession m_lockHolder;
    QList<DatabaseSession> m_lstSessions;
    QStringList m_lstErrors;
    QString m_szLogFile;
    QJsonObject m_details;
    QDateTime m_startedAt;
    QDateTime m_endedAt;
    int m_nExitCode = 1;
    bool m_bSuccess = false;
};
