#pragma once

#include "DatabaseSession.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class DbUpdateToVersion;

// Takes the database from the version it reports to the newest known one,
// one version step after the other, and reports the progress by signals.
class DbUpdater : public QObject
{
    Q_OBJECT

public:
    // Key of the session-level PostgreSQL advisory lock held for a whole
    // run, so that two workstations never update one database at once.
    static constexpr qint64 kUpdateLockKey = 0x4B49565550444154; // "KIVUPDAT"
    // How long a statement of a run waits for a lock that another session
    // holds before the step fails.
    static constexpr int kDefaultLockTimeoutMs = 60000;

    // The versions the program knows, oldest first; the last is the version
    // the program brings a database to.
    static QStringList knownVersions();
    static QString targetVersion();

    explicit DbUpdater(QObject *parent = nullptr);
    ~DbUpdater() override;

    // The version text the database reports; set before each run.
    void setCurrentVersion(QString strVersion);
    int versionCount() const;

    // The session that holds the update lock of the database behind the
    // default connection now, without asking for the lock. False when nobody
    // holds it, or (with *pszError) when that could not be read.
    static bool updateLockHolder(DatabaseSession &holder, QString *pszError = nullptr);

    // Lock wait limit of the run's statements, in milliseconds (0: none).
    void setLockTimeout(int nMilliseconds);

    // Runs the steps after the version that the database reports once the run
    // holds the update lock; when that differs from the current version, one
    // log line says so. False when either version is unknown, another run
    // holds the database, the connection was lost, or the default parameters
    // could not be saved; whether the steps succeeded is told by
    // updateCompleted().
    bool updateDatabase();

    // The 1-based place in the version list of the step that failed in the
    // last run (its updateStep() value); 0 when none failed.
    int failedStep() const { return m_nFailedStep; }

signals:
    void updateStarted();
    void updateStep(int nNumStep);
    void updateCompleted(bool bUpdateResult);

private:
    bool lockDatabase();
    void unlockDatabase();
    // Index of the version that the database reports under the update lock;
    // -1 (logged) when it cannot be read or is unknown.
    int lockedVersionIndex(int nCallerIndex);

    QString m_strCurrentVersion;
    QStringList m_lstVersions;
    QList<DbUpdateToVersion *> m_lstUpdateSteps;
    int m_nLockTimeoutMs = kDefaultLockTimeoutMs;
    int m_nFailedStep = 0;
};
