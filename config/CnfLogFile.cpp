#include "CnfLogFile.h"

#include <QSettings>

namespace {

const QString kKeyFileDimension = QStringLiteral("logFile/fileDimension");
const QString kKeyDatabaseEnabled = QStringLiteral("logFile/databaseEnabled");
const QString kKeyDeviceEnabled = QStringLiteral("logFile/deviceEnabled");
const QString kKeyValidityDays = QStringLiteral("logFile/validityDays");

constexpr qint32 kDefaultFileDimension = 1;
constexpr bool kDefaultDatabaseEnabled = false;
constexpr bool kDefaultDeviceEnabled = false;
constexpr qint32 kDefaultValidityDays = 31;

} // namespace

CnfLogFile::CnfLogFile()
    : m_nFileDimension(kDefaultFileDimension), m_bDatabaseEnabled(kDefaultDatabaseEnabled),
      m_bDeviceEnabled(kDefaultDeviceEnabled), m_nValidityDays(kDefaultValidityDays)
{
}

CnfLogFile::~CnfLogFile() = default;

bool CnfLogFile::load(QSettings &settings)
{
    m_nFileDimension = settings.value(kKeyFileDimension, kDefaultFileDimension).toInt();
    m_bDatabaseEnabled = settings.value(kKeyDatabaseEnabled, kDefaultDatabaseEnabled).toBool();
    m_bDeviceEnabled = settings.value(kKeyDeviceEnabled, kDefaultDeviceEnabled).toBool();
    m_nValidityDays = settings.value(kKeyValidityDays, kDefaultValidityDays).toInt();
    return true;
}

bool CnfLogFile::save(QSettings &settings) const
{
    settings.setValue(kKeyFileDimension, m_nFileDimension);
    settings.setValue(kKeyDatabaseEnabled, m_bDatabaseEnabled);
    settings.setValue(kKeyDeviceEnabled, m_bDeviceEnabled);
    settings.setValue(kKeyValidityDays, m_nValidityDays);
    return true;
}

int CnfLogFile::fileDimension() const
{
    return m_nFileDimension;
}

void CnfLogFile::setFileDimension(int nMegabytes)
{
    m_nFileDimension = nMegabytes;
}

bool CnfLogFile::databaseEnabled() const
{
    return m_bDatabaseEnabled;
}

void CnfLogFile::setDatabaseEnabled(bool bEnabled)
{
    m_bDatabaseEnabled = bEnabled;
}

bool CnfLogFile::deviceEnabled() const
{
    return m_bDeviceEnabled;
}

void CnfLogFile::setDeviceEnabled(bool bEnabled)
{
    m_bDeviceEnabled = bEnabled;
}

int CnfLogFile::validityDays() const
{
    return m_nValidityDays;
}

void CnfLogFile::setValidityDays(int nDays)
{
    m_nValidityDays = nDays;
}
