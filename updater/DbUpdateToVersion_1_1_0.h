#pragma once

#include "DbUpdateToVersion.h"

// Takes the database to version "1.1.0": user levels, the default personal
// data, profile and users, and the first calibration and DICOM changes.
class DbUpdateToVersion_1_1_0 : public DbUpdateToVersion
{
public:
    DbUpdateToVersion_1_1_0() = default;
    ~DbUpdateToVersion_1_1_0() override;

    bool update() override;

    // True when "PROFILES" already holds the default profile (ID 1); false
    // also when the check itself failed.
    bool defaultProfileExists();

private:
    // Runs the check of defaultProfileExists(); false when the check itself
    // failed, bExists tells the answer otherwise.
    bool checkDefaultProfile(bool &bExists);
};
