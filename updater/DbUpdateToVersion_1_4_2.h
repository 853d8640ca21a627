#pragma once

#include "DbUpdateToVersion.h"

// Takes the database to version "1.4.2".
class DbUpdateToVersion_1_4_2 : public DbUpdateToVersion
{
public:
    DbUpdateToVersion_1_4_2() = default;
    ~DbUpdateToVersion_1_4_2() override;

    bool update() override;
};
