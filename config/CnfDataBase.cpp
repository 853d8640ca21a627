#include "CnfDataBase.h"

#include "Vesper.h"

namespace {

QString credential(eCreType type)
{
    Vesper vesper;
    return vesper.getCredentials(type);
}

} // namespace

const CnfTable<CnfDataBase> &CnfDataBase::table()
{
    // In the order of a save, which writes the port before the time-out.
    static const CnfTable<CnfDataBase> s_table{
        {"dbInfo/dataSource", &CnfDataBase::m_szDataSource, QStringLiteral("127.0.0.1")},
        {"dbInfo/initialCatalog", &CnfDataBase::m_szInitialCatalog, QStringLiteral("pelq")},
        // The suite's server listens on its own port, not on PostgreSQL's 5432.
        {"dbInfo/portNumber", &CnfDataBase::m_nPortNumber, 6543},
        {"dbInfo/connectionTimeout", &CnfDataBase::m_nConnectionTimeout, 120},
    };
    return s_table;
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
