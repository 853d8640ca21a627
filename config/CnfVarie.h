#pragma once

#include "CnfSection.h"

// Miscellaneous options of this program, group "tools/common" of the native
// store. The backup validity days live in memory only: 30 at every start.
//
// The cleaning of old backups keeps at least the newest backupKeepCount
// backups, whatever their age (0: no such rule). A service engineer sets it
// in the store; no dialog writes it, and a save leaves the stored value as
// it is.
#define KIV_CNF_VARIE_KEYS(X)                                                                                          \
    X(int, timeoutProcessExecution, "miscellaneous/timeoutProcessExecution", 30)                                       \
    X(bool, backupBeforeUpdate, "miscellaneous/backupBeforeUpdate", false)                                             \
    X(int, backupKeepCount, "miscellaneous/backupKeepCount", 0, CnfStorage::LoadOnly)

class CnfVarie : public CnfSection<CnfVarie>
{
    KIV_CNF_KEYS(CnfVarie, KIV_CNF_VARIE_KEYS)

public:
    CnfVarie() { resetToDefaults(); }

    bool load(QSettings &settings);
    bool save(QSettings &settings) const;

    // Folder of the PostgreSQL client programs.
    QString dbServerPath() const { return m_dbServerPath; }
    void setDbServerPath(const QString &szPath) { m_dbServerPath = szPath; }
    void setTimeoutProcessExecution(int nSeconds) { m_timeoutProcessExecution = nSeconds; }
    int backupValidityDays() const { return m_backupValidityDays; }
    void setBackupValidityDays(int nDays) { m_backupValidityDays = nDays; }
    // The update action first backs the database up and does not start when
    // that backup fails.
    void setBackupBeforeUpdate(bool bBackup) { m_backupBeforeUpdate = bBackup; }
    void setBackupKeepCount(int nCount) { m_backupKeepCount = nCount; }

    // Default of the database server path on this platform.
    static QString defaultDbServerPath();
    // The Windows rule: "<Program Files>\KIVDB\dbServer\bin" with forward
    // slashes, taking the 32-bit program folder when it is set.
    static QString dbServerPathFromProgramFiles(const QString &szProgramFilesX86, const QString &szProgramFiles);
    // Of the folders "<szRoot>/<version>/bin" holding pg_dump, the one of the
    // highest version; empty when there is none.
    static QString newestPostgresBinFolder(const QString &szRoot);

private:
    // Not in the table: its default is looked for only when it is used, and
    // it starts empty.
    QString m_dbServerPath;
    // Not stored anywhere: every run starts with a month.
    qint32 m_backupValidityDays = 30;
};

#undef KIV_CNF_VARIE_KEYS
