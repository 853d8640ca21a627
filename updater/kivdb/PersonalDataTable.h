#pragma once

#include "DBTable.h"

// All rows of "PERSONALDATA".
class KIVDBLIB_EXPORT PersonalDataTable : public DBTable
{
public:
    PersonalDataTable();
    ~PersonalDataTable() override;

    bool open();
    qint64 idPersonalData() const;
};
