#pragma once

#include "kivdblib_global.h"

// Default parameters of the suite kept in the database.
class KIVDBLIB_EXPORT DBParamsManager
{
public:
    DBParamsManager();
    virtual ~DBParamsManager();

    // Makes sure the default parameters are stored in the database; false when
    // they could not be saved.
    bool checkCnfParam();
};
