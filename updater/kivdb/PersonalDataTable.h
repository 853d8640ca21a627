#pragma once

#include "DBTable.h"

// All rows of "PERSONALDATA", in the order of their IDs, on Qt's default
// connection.
class KIVDBLIB_EXPORT PersonalDataTable : public DBTable
{
public:
    PersonalDataTable();
    ~PersonalDataTable() override;

    // Selects all rows; affectedRows() is then their number. While the table
    // is open, PersonalData records take the table's columns as fixed and
    // reuse their prepared statements, and a record of the row the table
    // stands on reads, with encryption off, the values the table fetched
    // (unless it was saved through PersonalData since the table was opened).
    bool open();
    bool load() override;
    qint64 idPersonalData() const;

private:
    void release();

    bool m_bPinned = false;
};
