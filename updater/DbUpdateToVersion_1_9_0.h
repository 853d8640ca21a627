#pragma once

#include "DbUpdateToVersion.h"

// Takes the database to version "1.9.0".
class DbUpdateToVersion_1_9_0 : public DbUpdateToVersion
{
public:
    DbUpdateToVersion_1_9_0() = default;
    ~DbUpdateToVersion_1_9_0() override;

    bool update() override;
};
