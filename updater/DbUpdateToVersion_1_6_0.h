#pragma once

#include "DbUpdateToVersion.h"

// Takes the database to version "1.6.0".
class DbUpdateToVersion_1_6_0 : public DbUpdateToVersion
{
public:
    DbUpdateToVersion_1_6_0() = default;
    ~DbUpdateToVersion_1_6_0() override;

    bool update() override;
};
