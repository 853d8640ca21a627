#pragma once

#include "DBRecord.h"

#include <QString>
#include <QVariant>
#include <QVector>

// One row of "PERSONALDATA". With the encryption switch on, save() stores
// the personal text columns encrypted under the data key; load() decrypts
// them. A value that is already encrypted is never encrypted again.
class KIVDBLIB_EXPORT PersonalData : public DBRecord
{
public:
    PersonalData();
    ~PersonalData() override;

    void setIdPersonalData(qint64 nId);
    qint64 idPersonalData() const;

    bool load() override;
    bool save() override;

    // Plain (decrypted) value of a personal text column, by column name.
    QString value(const QString &szColumn) const;
    void setValue(const QString &szColumn, const QString &szValue);

    // Names of the personal text columns that are stored encrypted.
    static QStringList encryptedColumns();

private:
    qint64 m_nId = 0;
    bool m_bLoaded = false;
    QVector<QString> m_values;
};
