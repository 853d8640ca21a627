#include "CnfDataBase.h"

#include "Vesper.h"

#include <QSettings>

namespace {

const QString kKeyDataSource = QStringLiteral("dbInfo/dataSource");
const QString kKeyInitialCatalog = QStringLiteral("dbInfo/initialCatalog");
const QString kKeyConnectionTimeout = QStringLiteral("dbInfo/connectionTimeout");
const QString kKeyPortNumber = QStringLiteral("dbInfo/portNumber");

const QString kDefaultDataSource = QStringLiteral("127.0.0.1");
const QString kDefaultInitialCatalog = QStringLiteral("pelq");
constexpr qint32 kDefaultConnectionTimeout = 120;
// The suite's server listens on its own port, not on PostgreSQL's 5432.
constexpr qint32 kDefaultPortNumber = 6543;

QString credential(eCreType type)
{
    Vesper vesper;
    return vesper.getCredentials(type);
}

} // namespace

CnfDataBase::CnfDataBase()
{
    resetToDefaults();
}

CnfDataBase::~CnfDataBase() = default;

bool CnfDataBase::load(QSettings &settings)
{
    m_szDataSource = settings.value(kKeyDataSource, kDefaultDataSource).toString();
    m_szInitialCatalog = settings.value(kKeyInitialCatalog, kDefaultInitialCatalog).toString();
    m_nConnectionTimeout = settings.value(kKeyConnectionTimeout, kDefaultConnectionTimeout).toInt();
    m_nPortNumber = settings.value(kKeyPortNumber, kDefaultPortNumber).toInt();
    return true;
}

bool CnfDataBase::save(QSettings &settings) const
{
    settings.setValue(kKeyDataSource, m_szDataSource);
    settings.setValue(kKeyInitialCatalog, m_szInitialCatalog);
    settings.setValue(kKeyPortNumber, m_nPortNumber);
    settings.setValue(kKeyConnectionTimeout, m_nConnectionTimeout);
    return true;
}

void CnfDataBase::resetToDefaults()
{
    m_szDataSource = kDefaultDataSource;
    m_szInitialCatalog = kDefaultInitialCatalog;
    m_nPortNumber = kDefaultPortNumber;
    m_nConnectionTimeout = kDefaultConnectionTimeout;
}

QString CnfDataBase::dataSource() const
{
    return m_szDataSource;
}

void CnfDataBase::setDataSource(const QString &szDataSource)
{
    m_szDataSource = szDataSource;
}

QString CnfDataBase::initialCatalog() const
{
    return m_szInitialCatalog;
}

void CnfDataBase::setInitialCatalog(const QString &szInitialCatalog)
{
    m_szInitialCatalog = szInitialCatalog;
}

int CnfDataBase::connectionTimeout() const
{
    return m_nConnectionTimeout;
}

void CnfDataBase::setConnectionTimeout(int nSeconds)
{
    m_nConnectionTimeout = nSeconds;
}

int CnfDataBase::portNumber() const
{
    return m_nPortNumber;
}

void CnfDataBase::setPortNumber(int nPort)
{
    m_nPortNumber = nPort;
}

QString CnfDataBase::userName() const
{
    return credential(CreDbUser);
}

QString CnfDataBase::password() const
{
    return credential(CreDbPassword);
}

QString CnfDataBase::retryPassword() const
{
    return credential(CreDbPassword);
}
