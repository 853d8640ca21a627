#pragma once

#include "DbUpdateToVersion.h"

// Takes the database to version "1.4.0".
class DbUpdateToVersion_1_4_0 : public DbUpdateToVersion
{
public:
    DbUpdateToVersion_1_4_0() = default;
    ~DbUpdateToVersion_1_4_0() override;

    bool update() override;
};
