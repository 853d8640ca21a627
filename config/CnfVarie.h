#pragma once

#include "CnfTable.h"

// Miscellaneous options of this program, group "tools/common" of the native
// store. The backup validity days live in memory only: 30 at every start.
class CnfVarie
{
public:
    CnfVarie() { table().resetToDefaults(*this); }
    virtual ~CnfVarie() = default;

    bool load(QSettings &settings);
    bool save(QSettings &settings) const;

    // Folder of the PostgreSQL client programs.
    QString dbServerPath() const { return m_szDbServerPath; }
    void setDbServerPath(const QString &szPath) { m_szDbServerPath = szPath; }
    int timeoutProcessExecution() const { return m_nTimeoutProcessExecution; }
    void setTimeoutProcessExecution(int nSeconds) { m_nTimeoutProcessExecution = nSeconds; }
    int backupValidityDays() const { return m_nBackupValidityDays; }
    void setBackupValidityDays(int nDays) { m_nBackupValidityDays = nDays; }
    // The update action first backs the database up and does not start when
    // that backup fails.
    bool backupBeforeUpdate() const { return m_bBackupBeforeUpdate; }
    void setBackupBeforeUpdate(bool bBackup) { m_bBackupBeforeUpdate = bBackup; }

    // The cleaning of old backups keeps at least this many of the newest
    // ones, whatever their age (0: no such rule).
    int backupKeepCount() const { return m_nBackupKeepCount; }
    void setBackupKeepCount(int nCount) { m_nBackupKeepCount = nCount; }

    // Default of the database server path on this platform.
    static QString defaultDbServerPath();
    // The Windows rule: "<Program Files>\KIVDB\dbServer\bin" with forward
    // slashes, taking the 32-bit program folder when it is set.
    static QString dbServerPathFromProgramFiles(const QString &szProgramFilesX86, const QString &szProgramFiles);
    // Of the folders "<szRoot>/<version>/bin" holding pg_dump, the one of the
    // highest version; empty when there is none.
    static QString newestPostgresBinFolder(const QString &szRoot);

private:
    static const CnfTable<CnfVarie> &table();

    // Not in the table: its default is looked for only when it is used, and
    // it starts empty.
    QString m_szDbServerPath;
    qint32 m_nTimeoutProcessExecution;
    // Not stored anywhere: every run starts with a month.
    qint32 m_nBackupValidityDays = 30;
    bool m_bBackupBeforeUpdate;
    qint32 m_nBackupKeepCount;
};
