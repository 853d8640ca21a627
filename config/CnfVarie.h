#pragma once

#include <QString>

class QSettings;

// Miscellaneous options of this program, group "tools/common" of the native
// store. The backup validity days live in memory only: 30 at every start.
class CnfVarie
{
public:
    CnfVarie();
    virtual ~CnfVarie();

    bool load(QSettings &settings);
    bool save(QSettings &settings) const;

    // Folder of the PostgreSQL client programs.
    QString dbServerPath() const;
    void setDbServerPath(const QString &szPath);
    int timeoutProcessExecution() const;
    void setTimeoutProcessExecution(int nSeconds);
    int backupValidityDays() const;
    void setBackupValidityDays(int nDays);
    // The update action first backs the database up and does not start when
    // that backup fails.
    bool backupBeforeUpdate() const;
    void setBackupBeforeUpdate(bool bBackup);

    // Default of the database server path on this platform.
    static QString defaultDbServerPath();
    // The Windows rule: "<Program Files>\KIVDB\dbServer\bin" with forward
    // slashes, taking the 32-bit program folder when it is set.
    static QString dbServerPathFromProgramFiles(const QString &szProgramFilesX86, const QString &szProgramFiles);
    // Of the folders "<szRoot>/<version>/bin" holding pg_dump, the one of the
    // highest version; empty when there is none.
    static QString newestPostgresBinFolder(const QString &szRoot);

private:
    QString m_szDbServerPath;
    qint32 m_nTimeoutProcessExecution;
    qint32 m_nBackupValidityDays;
    bool m_bBackupBeforeUpdate;
};
