#pragma once

#include "CnfTable.h"

// Log file options of this program, group "tools/common" of the native store.
class CnfLogFile
{
public:
    CnfLogFile() { table().resetToDefaults(*this); }
    virtual ~CnfLogFile() = default;

    bool load(QSettings &settings) { return table().load(settings, *this); }
    bool save(QSettings &settings) const { return table().save(settings, *this); }

    // Size limit of one log file, megabytes.
    int fileDimension() const { return m_nFileDimension; }
    void setFileDimension(int nMegabytes) { m_nFileDimension = nMegabytes; }
    bool databaseEnabled() const { return m_bDatabaseEnabled; }
    void setDatabaseEnabled(bool bEnabled) { m_bDatabaseEnabled = bEnabled; }
    bool deviceEnabled() const { return m_bDeviceEnabled; }
    void setDeviceEnabled(bool bEnabled) { m_bDeviceEnabled = bEnabled; }
    // Age in days after which old log files are removed.
    int validityDays() const { return m_nValidityDays; }
    void setValidityDays(int nDays) { m_nValidityDays = nDays; }

private:
    static const CnfTable<CnfLogFile> &table();

    qint32 m_nFileDimension;
    bool m_bDatabaseEnabled;
    bool m_bDeviceEnabled;
    qint32 m_nValidityDays;
};
