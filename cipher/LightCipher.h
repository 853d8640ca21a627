#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// Small keyed scrambler for text: optional compression, a random byte and a
// check value, XOR-chained with the eight bytes of a 64-bit key.
//
// Cipher bytes: [3][flags][chained body]; the body before chaining is the
// random byte, the check value (CRC-16 big-endian for flag 0x02, SHA-1 digest
// for flag 0x04) and the payload, which is qCompress's form of the plain bytes
// when flag 0x01 is set. The text operations carry the bytes as base64.
class LightCipher
{
public:
    // Largest plain text, in bytes, that decryption gives back; a cipher text
    // that would give more decrypts to an empty result, before anything past
    // the limit is inflated. The cipher carries log entries, one message each:
    // the largest the modules write are SQL texts of a few hundred KB, and the
    // log files rotate at 1 to 9 MB. 16 MiB keeps every entry that fits the
    // largest log file readable while a forged entry, which zlib lets inflate
    // about a thousand times over, costs at most 16 MiB (32 MiB as a QString).
    static constexpr int kMaxPlainSize = 16 * 1024 * 1024;

    LightCipher();
    explicit LightCipher(quint64 key);

    QString EncryptText(const QString &plainText);
    QString DecryptText(const QString &cipherText);
    QByteArray EncryptBytes(const QByteArray &plain);
    // The plain bytes, or empty on failure or past kMaxPlainSize.
    QByteArray DecryptBytes(const QByteArray &cipher);

private:
    quint64 key;
    QVector<quint8> keyBytes; // least significant byte first; empty without a key
    int compressionPolicy;    // 0: compress when strictly shorter
    int integrityCheck;       // 1: CRC-16
};
