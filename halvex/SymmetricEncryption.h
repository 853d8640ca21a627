#pragma once

#include "IEncryption.h"
#include "halvexlib_global.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QTime>

// AES-256-CBC encryption of typed values with one fixed key and IV.
//
// A value is written into a byte array with a default QDataStream (big-endian,
// double precision for floating point) and those bytes are encrypted with
// PKCS#7 padding. Nothing else is stored: no IV, header or tag, so the cipher
// text is always 16 * (plain length / 16 + 1) bytes long. The same value gives
// the same bytes every time.
//
// Failures of the crypto library are written on Qt's debug channel only and
// leave an empty result; a value that cannot be decrypted comes back as what
// QDataStream gives for a failed read (zero, false, an empty string).
//
// Every operation creates its own cipher context and changes no member, so one
// object may encrypt and decrypt on several threads at once; cleanUp() and the
// destructor must not run concurrently with them.
class HALVEXLIB_EXPORT SymmetricEncryption : public IEncryption
{
public:
    // Copies the key and the IV. AES-256-CBC reads 32 key and 16 IV bytes:
    // shorter (or missing) buffers are copied as far as they go and padded
    // with zero bytes, so the object never reads past what it was given.
    SymmetricEncryption(const unsigned char *pKey, int nKeyLength, const unsigned char *pIv, int nIvLength);
    SymmetricEncryption(const SymmetricEncryption &other);
    SymmetricEncryption &operator=(const SymmetricEncryption &) = delete;
    ~SymmetricEncryption() override;

    // Overwrites key and IV with zero bytes; the object then encrypts with an
    // all-zero key and IV.
    void cleanUp();

    QByteArray encrypt(const signed char &value) const;
    QByteArray encrypt(const unsigned char &value) const;
    QByteArray encrypt(const short &value) const;
    QByteArray encrypt(const unsigned short &value) const;
    QByteArray encrypt(const int &value) const;
    QByteArray encrypt(const unsigned int &value) const;
    QByteArray encrypt(const float &value) const;
    QByteArray encrypt(const double &value) const;
    QByteArray encrypt(const QDateTime &value) const;
    QByteArray encrypt(const QString &value) const;
    QByteArray encrypt(const QTime &value) const;
    QByteArray encrypt(const qint64 &value) const;
    QByteArray encrypt(const quint64 &value) const;
    QByteArray encrypt(const bool &value) const;

    void decrypt(const QByteArray &cipher, signed char &value) const;
    void decrypt(const QByteArray &cipher, unsigned char &value) const;
    void decrypt(const QByteArray &cipher, short &value) const;
    void decrypt(const QByteArray &cipher, unsigned short &value) const;
    void decrypt(const QByteArray &cipher, int &value) const;
    void decrypt(const QByteArray &cipher, unsigned int &value) const;
    void decrypt(const QByteArray &cipher, float &value) const;
    void decrypt(const QByteArray &cipher, double &value) const;
    void decrypt(const QByteArray &cipher, QDateTime &value) const;
    void decrypt(const QByteArray &cipher, QString &value) const;
    void decrypt(const QByteArray &cipher, QTime &value) const;
    void decrypt(const QByteArray &cipher, qint64 &value) const;
    void decrypt(const QByteArray &cipher, quint64 &value) const;
    void decrypt(const QByteArray &cipher, bool &value) const;

    // Fill buffer with length cryptographically strong random bytes. On a
    // failure of the generator a debug message is written and the buffer
    // content must not be used.
    static void generateKey(unsigned char *buffer, int length);
    static void generateIv(unsigned char *buffer, int length);

private:
    QByteArray encryptData(const QByteArray &plain) const override;
    QByteArray decryptData(const QByteArray &cipher) const override;

    template <typename T> QByteArray encryptValue(const T &value) const;
    template <typename T> void decryptValue(const QByteArray &cipher, T &value) const;

    // Sizes of the owned buffers: what was given, but never less than the
    // 32 key and 16 IV bytes that the cipher reads.
    int keyLength;
    int ivLength;
    unsigned char *key;
    unsigned char *iv;
};
