#pragma once

#include "kivdblib_global.h"

// One record of a table, read by its ID and written back.
class KIVDBLIB_EXPORT DBRecord
{
public:
    DBRecord();
    virtual ~DBRecord();

    virtual bool load() = 0;
    // Writes the record back; false when the statement failed.
    virtual bool save() = 0;
};
