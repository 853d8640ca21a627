#include "DbUpdateToVersion_1_0_0.h"

DbUpdateToVersion_1_0_0::~DbUpdateToVersion_1_0_0() = default;

bool DbUpdateToVersion_1_0_0::update()
{
    // A database made from the initial schema already reports this version.
    return true;
}
