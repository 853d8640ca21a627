#include "PersonalDataTable.h"

#include "PersonalData.h"
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
    // The stored values come along, so that reading the records of the rows
    // one after the other needs no statement of its own per row.
    PersonalDataStatements *pStatements = PersonalDataStatements::instance();
    return openQuery(
        PersonalDataStatements::sqlText(PersonalDataStatements::TableRows, pStatements->presentColumnNames()));
}

bool PersonalDataTable::load()
{
    PersonalDataStatements *pStatements = PersonalDataStatements::instance();
    pStatements->withdrawOffer();
    if (!DBTable::load())
        return false;
    if (m_bPinned) {
        const QVector<int> &present = pStatements->presentColumns();
        QVector<QString> values(PersonalData::encryptedColumns().size());
        for (int i = 0; i < present.size(); ++i)
            values[present.at(i)] = m_query.value(i + 1).toString();
        pStatements->offerRow(idPersonalData(), values);
    }
    return true;
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
