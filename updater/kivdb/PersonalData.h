#pragma once

#include "DBRecord.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

// One row of "PERSONALDATA", on Qt's default connection. With the encryption
// switch on (DBManager), save() stores the personal text columns encrypted
// under the data key and load() decrypts them; with it off, load() reads and
// save() writes the values as they are stored. Encryption and decryption
// happen in this library: the server sees neither the data key nor a plain
// value written with the switch on. A value that is already encrypted is
// never encrypted again, so re-saving is harmless. NULL stays NULL (a null
// QString). "NationalNumber" is used only when the table has it.
class KIVDBLIB_EXPORT PersonalData : public DBRecord
{
public:
    PersonalData();
    ~PersonalData() override;

    void setIdPersonalData(qint64 nId);
    qint64 idPersonalData() const;

    // Reads the row with the ID; false when there is none or it could not be
    // read (also, with the switch on: a value that does not decrypt, for want
    // of the data key or under another one).
    bool load() override;
    // Writes the values that were loaded or set to the row with the ID; false
    // when the statement failed, the row does not exist, there is nothing to
    // write, or encryption is on without a data key.
    bool save() override;

    // Plain (decrypted) value of a personal text column, by column name.
    QString value(const QString &szColumn) const;
    void setValue(const QString &szColumn, const QString &szValue);

    // Names of the personal text columns that are stored encrypted.
    static QStringList encryptedColumns();

private:
    friend class PersonalDataBatch;

    void clearValues();
    bool finishLoad();

    qint64 m_nId = 0;
    bool m_bLoaded = false;
    QVector<QString> m_values;
    // Per column: a value was loaded or set and is written by save().
    QVector<bool> m_known;
};
