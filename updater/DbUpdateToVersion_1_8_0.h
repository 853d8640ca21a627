#pragma once

#include "DbUpdateToVersion.h"

class QWidget;

// Takes the database to version "1.8.0": the pgcrypto extension, then every
// personal-data record saved again so that it is stored encrypted.
class DbUpdateToVersion_1_8_0 : public DbUpdateToVersion
{
public:
    DbUpdateToVersion_1_8_0() = default;
    ~DbUpdateToVersion_1_8_0() override;

    bool update() override;

    // Loads every "PERSONALDATA" record with the encryption switch off and
    // saves it with the switch on, showing the progress in a dialog whose
    // parent is pParent. The table is locked against writers (readers go on)
    // for the rest of the step's transaction before it is read; outside a
    // step the pass runs in a transaction of its own. The switch is restored
    // on every way out. False when the table cannot be locked or read or a
    // record cannot be saved.
    bool encryptPersonalData(QWidget *pParent);
};
