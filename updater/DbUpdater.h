#pragma once

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

    explicit DbUpdater(QObject *parent = nullptr);
    ~DbUpdater() override;

    // The version text the database reports; set before each run.
    void setCurrentVersion(QString strVersion);
    int versionCount() const;

    // Runs the steps after the current version. False when the version is
    // unknown, another run holds the database, or the default parameters
    // could not be saved; whether the steps succeeded is told by
    // updateCompleted().
    bool updateDatabase();

signals:
    void updateStarted();
    void updateStep(int nNumStep);
    void updateCompleted(bool bUpdateResult);

private:
    bool lockDatabase();
    void unlockDatabase();

    QString m_strCurrentVersion;
    QStringList m_lstVersions;
    QList<DbUpdateToVersion *> m_lstUpdateSteps;
};
