#pragma once

#include "DbUpdateToVersion.h"

// Takes the database to version "1.4.1".
class DbUpdateToVersion_1_4_1 : public DbUpdateToVersion
{
public:
    DbUpdateToVersion_1_4_1() = default;
    ~DbUpdateToVersion_1_4_1() override;

    bool update() override;
};
