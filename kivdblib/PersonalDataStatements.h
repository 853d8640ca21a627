#pragma once

#include "kivdblib_global.h"

#include <QSet>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>

class QSqlDriver;
struct pg_conn;

// The SQL of PersonalData, PersonalDataTable and PersonalDataBatch, on Qt's
// default connection.
//
// Knows which personal text columns "PERSONALDATA" has ("NationalNumber"
// came later) and keeps the prepared statements for reading and writing a
// record, so that a pass over many records sends one statement per read and
// one per write. While a PersonalDataTable is open the column list is taken
// as fixed; otherwise it is read again before each use, so that a changed
// table is never written with an old statement. A save of a whole record and
// the saves of a batch are prepared and run through libpq's extended query
// protocol (directStatement()); the rest goes through Qt.
//
// No statement here encrypts or decrypts: values travel as they are stored,
// encrypted by PersonalDataCipher on this side.
class PersonalDataStatements
{
public:
    enum Kind
    {
        LoadStored,
        SaveStored,
        SaveBatch,
        TableRows,
        KindCount
    };

    static PersonalDataStatements *instance();

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
    // when it cannot be prepared. Bind order: LoadStored: ID; SaveStored:
    // values, ID; SaveBatch: an int8 array of IDs, then one text array per
    // column, of equal length.
    QSqlQuery *statement(Kind eKind);
    // Text of a statement of that kind for the given columns; TableRows is the
    // ID and the stored columns of all rows, in the order of the IDs.
    static QString sqlText(Kind eKind, const QStringList &lstColumns);

    // Outcome of runDirect().
    enum DirectResult
    {
        DirectDone,
        DirectFailed,
        DirectUnavailable
    };
    // libpq's connection under the default connection when statements can
    // be run on it directly: open, idle or in a transaction (not busy with a
    // result that Qt reads) and talking UTF-8, which Qt's driver asks for;
    // nullptr otherwise. The statements prepared through libpq are forgotten
    // when the connection is another one than before.
    pg_conn *directConnection();
    // libpq's connection under the default connection as it is, without any
    // check; nullptr when there is none.
    pg_conn *nativeHandle() const;
    // Prepares the statement of that kind for all present columns on the
    // connection of directConnection() once; its name, or empty (and
    // lastError()) when it cannot be prepared.
    QByteArray directStatement(pg_conn *pConnection, Kind eKind);
    // Runs the statement of that kind for all present columns (SaveStored)
    // through libpq on the default connection, prepared once
    // per connection and executed with the extended query protocol: the values
    // (in bind order, UTF-8, a null array for NULL) travel as parameters
    // instead of as SQL text that the server must parse again for every
    // record. nRows is the number of rows written. Unavailable when the
    // connection is not libpq's or is still busy with a result that Qt reads;
    // the caller then uses statement().
    DirectResult runDirect(Kind eKind, const QVector<QByteArray> &params, int &nRows);

    QString lastError() const;

private:
    PersonalDataStatements() = default;
    bool readColumns();
    void dropStatements();
    // Releases the statements prepared through libpq on the connection that
    // is still open (best effort) and forgets them.
    void dropDirectStatements();

    QSqlDriver *m_pDriver = nullptr;
    bool m_bColumnsKnown = false;
    int m_nOpenTables = 0;
    QVector<int> m_presentColumns;
    bool m_bOffered = false;
    qint64 m_nOfferedId = 0;
    QVector<QString> m_offeredValues;
    QSet<qint64> m_savedSinceOpen;
    std::array<std::unique_ptr<QSqlQuery>, KindCount> m_statements;
    // Statements prepared through libpq: on which connection (its handle and
    // server process, so that a new connection at the same address is told
    // apart), under which generation of names, and which kinds.
    pg_conn *m_pDirectConnection = nullptr;
    int m_nDirectBackend = 0;
    int m_nDirectGeneration = 0;
    std::array<bool, KindCount> m_directPrepared{};
    QString m_szLastError;
};
