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

    // Reads every "PERSONALDATA" record as stored and saves it encrypted,
    // showing the progress in a dialog whose parent is pParent. The saves go
    // out in rounds of many records without waiting for each answer
    // (PersonalDataBatch); between rounds pending events are processed. The
    // table is locked against writers (readers go on) for the rest of the
    // step's transaction before it is read; outside a step the pass runs in a
    // transaction of its own. The encryption switch is restored on every way
    // out. A record removed meanwhile is logged and skipped. False when the
    // table cannot be locked or read, a record cannot be saved (its ID is
    // logged), the data key is missing while there is something to encrypt,
    // or the connection is lost.
    bool encryptPersonalData(QWidget *pParent);
};
