#pragma once

#include <QtGlobal>

class QSettings;

// Log file options of this program, group "tools/common" of the native store.
class CnfLogFile
{
public:
    CnfLogFile();
    virtual ~CnfLogFile();

    bool load(QSettings &settings);
    bool save(QSettings &settings) const;

    // Size limit of one log file, megabytes.
    int fileDimension() const;
    void setFileDimension(int nMegabytes);
    bool databaseEnabled() const;
    void setDatabaseEnabled(bool bEnabled);
    bool deviceEnabled() const;
    void setDeviceEnabled(bool bEnabled);
    // Age in days after which old log files are removed.
    int validityDays() const;
    void setValidityDays(int nDays);

private:
    qint32 m_nFileDimension;
    bool m_bDatabaseEnabled;
    bool m_bDeviceEnabled;
    qint32 m_nValidityDays;
};
