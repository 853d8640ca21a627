#pragma once

#include <QSet>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>

class QSqlDriver;

// The SQL of PersonalData and PersonalDataTable, on Qt's default connection.
//
// Knows which personal text columns "PERSONALDATA" has ("NationalNumber"
// came later) and keeps the prepared statements for reading and writing a
// record, so that a pass over many records sends one statement per read and
// one per write. While a PersonalDataTable is open the column list is taken
// as fixed; otherwise it is read again before each use, so that a changed
// table is never written with an old statement.
//
// Encrypted form of a value: the prefix "$kiv1$" followed by the base64 text
// of pgcrypto's raw AES-256-CBC encryption (PKCS#7 padding, zero IV) of 16
// random bytes followed by the UTF-8 text. The random first block makes the
// ciphertext of equal texts differ exactly as a random IV would (it becomes
// the chaining value of the text's blocks) and is dropped on decryption. The
// AES key is the SHA-256 hash of the data key. The raw functions are used
// because the data key already is a random secret: pgcrypto's PGP functions
// would derive a key from it on every call (iterated S2K), which costs far
// more than the encryption itself.
class PersonalDataStatements
{
public:
    enum Kind { LoadStored, LoadDecrypted, SaveStored, SaveEncrypted, TableRows, KindCount };

    static PersonalDataStatements *instance();

    static const QString &encryptedPrefix();
    static bool isEncrypted(const QString &szValue);
    // Hex text of the AES key derived from the data key.
    static QString keyHex(const QString &szDataKey);

    // Reads the column list now unless a table holds it fixed; false when
    // there is no connection or no "PERSONALDATA" table.
    bool ensure();
    // A PersonalDataTable opened (reads the column list) or closed.
    bool pinOpenTable();
    void unpinOpenTable();
    // Forgets columns and statements (connection closed or replaced).
    void reset();

    // Row snapshot of an open PersonalDataTable: the table offers the stored
    // values of the row it moved to; PersonalData::load() with encryption off
    // takes them instead of reading the row again, once, and only when the
    // row was not saved through PersonalData since the table was opened.
    void offerRow(qint64 nId, const QVector<QString> &values);
    bool takeOfferedRow(qint64 nId, QVector<QString> &values);
    void withdrawOffer();
    void noteSaved(qint64 nId);

    // Indexes into PersonalData::encryptedColumns() of the columns present.
    const QVector<int> &presentColumns() const;
    QStringList presentColumnNames() const;

    // The prepared statement of that kind for all present columns; nullptr
    // when it cannot be prepared. Bind order: LoadStored: ID; LoadDecrypted:
    // key, ID; SaveStored: values, ID; SaveEncrypted: key, values, ID.
    QSqlQuery *statement(Kind eKind);
    // Text of a statement of that kind for the given columns; TableRows is the
    // ID and the stored columns of all rows, in the order of the IDs.
    static QString sqlText(Kind eKind, const QStringList &lstColumns);

    QString lastError() const;

private:
    PersonalDataStatements() = default;
    bool readColumns();
    void dropStatements();

    QSqlDriver *m_pDriver = nullptr;
    bool m_bColumnsKnown = false;
    int m_nOpenTables = 0;
    QVector<int> m_presentColumns;
    bool m_bOffered = false;
    qint64 m_nOfferedId = 0;
    QVector<QString> m_offeredValues;
    QSet<qint64> m_savedSinceOpen;
    std::array<std::unique_ptr<QSqlQuery>, KindCount> m_statements;
    QString m_szLastError;
};
