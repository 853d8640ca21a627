#pragma once

#include "DbUpdateToVersion.h"

// Takes the database to version "1.7.0".
class DbUpdateToVersion_1_7_0 : public DbUpdateToVersion
{
public:
    DbUpdateToVersion_1_7_0() = default;
    ~DbUpdateToVersion_1_7_0() override;

    bool update() override;
};
