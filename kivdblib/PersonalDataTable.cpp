#include "PersonalDataTable.h"

#include "PersonalDataStatements.h"

#include <QVariant>

PersonalDataTable::PersonalDataTable() = default;

PersonalDataTable::~PersonalDataTable()
{
    release();
}

bool PersonalDataTable::open()
{
    release();
    m_bPinned = true;
    if (!PersonalDataStatements::instance()->pinOpenTable()) {
        release();
        m_nAffectedRows = 0;
        return false;
    }
    return openQuery(QStringLiteral("SELECT \"ID\" FROM \"PERSONALDATA\" ORDER BY \"ID\""));
}

qint64 PersonalDataTable::idPersonalData() const
{
    return m_query.isValid() ? m_query.value(0).toLongLong() : 0;
}

void PersonalDataTable::release()
{
    if (m_bPinned) {
        PersonalDataStatements::instance()->unpinOpenTable();
        m_bPinned = false;
    }
}
