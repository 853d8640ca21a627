#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The program's log file (index 1) in a temporary folder, read back by the
// tests: entries are the texts after the time stamp, severity prefix included.
class UpdaterTestLog
{
public:
    UpdaterTestLog();
    ~UpdaterTestLog();

    bool open(bool bDatabaseLogging);
    void setDatabaseLogging(bool bEnabled);
    void close();

    // Forgets what was logged so far: entries() returns later ones only.
    void mark();
    QStringList entries() const;
    int count(const QString &szEntry) const;

private:
    QTemporaryDir m_dir;
    QString m_szPath;
    qint64 m_nMark = 0;
};
