#pragma once

#include "DBTable.h"

// All rows of "PERSONALDATA", in the order of their IDs, on Qt's default
// connection.
class KIVDBLIB_EXPORT PersonalDataTable : public DBTable
{
public:
    PersonalDataTable();
    ~PersonalDataTable() override;

    // Selects the IDs of all rows; affectedRows() is then their number.
    // While the table is open, PersonalData records take the table's columns
    // as fixed and reuse their prepared statements.
    bool open();
    qint64 idPersonalData() const;

private:
    void release();

    bool m_bPinned = false;
};
