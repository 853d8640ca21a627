#pragma once

#include <QString>
#include <QStringList>

// The personal-data encryption as the server did it with pgcrypto before the
// library took it over: SQL that an independent implementation runs on the
// test server, to check values the library writes and to write values the
// way older versions stored them. The key is given as text and hashed by the
// server (digest(key, 'sha256')).
class PgcryptoReference
{
public:
    // Stored form ("$kiv1$" + base64 of AES-256-CBC over nonce || column ||
    // UTF-8 text) of the text expression szValue; szNonce is a 15-byte bytea
    // expression. NULL and values stored encrypted already stay as they are.
    static QString encryptExpression(const QString &szValue, const QString &szKey, const QString &szNonce, int nColumn);
    // Plain text of the stored value expression szStored.
    static QString decryptExpression(const QString &szStored, const QString &szKey);
    // The decrypted first block (nonce and column number) of szStored.
    static QString firstBlockExpression(const QString &szStored, const QString &szKey);
    // One UPDATE that stores every row of "PERSONALDATA" encrypted with one
    // random nonce per row, as the library's saves do; bind: the data key.
    static QString encryptAllRowsSql(const QStringList &lstColumns);
    // szText as an SQL string literal; NULL for a null string.
    static QString literal(const QString &szText);
};
