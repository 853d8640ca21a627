#pragma once

#include "DbUpdateToVersion.h"

// Takes the database to version "1.5.0".
class DbUpdateToVersion_1_5_0 : public DbUpdateToVersion
{
public:
    DbUpdateToVersion_1_5_0() = default;
    ~DbUpdateToVersion_1_5_0() override;

    bool update() override;
};
