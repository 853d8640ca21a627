#include "SymmetricEncryption.h"

#include <QDataStream>
#include <QtDebug>

#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {
// AES-256-CBC reads this many key and IV bytes and works in blocks of 16.
constexpr int kCipherKeyBytes = 32;
constexpr int kCipherIvBytes = 16;
constexpr int kCipherBlockBytes = 16;

struct CipherContextDeleter
{
    void operator()(EVP_CIPHER_CTX *context) const { EVP_CIPHER_CTX_free(context); }
};
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherContextDeleter>;

// A zero-filled buffer of bufferLength bytes holding the first sourceLength
// bytes of source (sourceLength <= bufferLength).
unsigned char *copyPadded(const unsigned char *source, int sourceLength, int bufferLength)
{
    auto *buffer = new unsigned char[static_cast<size_t>(bufferLength)]();
    if (source != nullptr && sourceLength > 0)
        std::memcpy(buffer, source, static_cast<size_t>(sourceLength));
    return buffer;
}

// The array must not be shared, or only a detached copy would be wiped.
void wipe(QByteArray &bytes)
{
    if (!bytes.isEmpty())
        OPENSSL_cleanse(bytes.data(), static_cast<size_t>(bytes.size()));
}

// Older OpenSSL versions found ciphers by name only once they were added to
// the cipher table; OpenSSL 3 keeps the call for compatibility. Once per
// process is enough.
void registerCipher()
{
    static const bool registered = [] {
        if (EVP_add_cipher(EVP_aes_256_cbc()) == 1)
            return true;
        ERR_clear_error();
        qDebug("EVP_add_cipher failed");
        return false;
    }();
    Q_UNUSED(registered)
}

// Failed calls leave entries in OpenSSL's per-thread error queue; they are
// dropped so that other users of the library on this thread (TLS in the
// database client, for instance) do not mistake them for their own.
void reportFailure(const char *message)
{
    ERR_clear_error();
    qDebug("%s", message);
}

bool fillRandom(unsigned char *buffer, int length)
{
    if (length == 0)
        return true;
    if (buffer == nullptr || length < 0)
        return false;
    if (RAND_bytes(buffer, length) == 1)
        return true;
    ERR_clear_error();
    return false;
}
} // namespace

SymmetricEncryption::SymmetricEncryption(const unsigned char *pKey,
                                         int nKeyLength,
                                         const unsigned char *pIv,
                                         int nIvLength)
    : keyLength(std::max(nKeyLength, kCipherKeyBytes)), ivLength(std::max(nIvLength, kCipherIvBytes)),
      key(copyPadded(pKey, nKeyLength, keyLength)), iv(copyPadded(pIv, nIvLength, ivLength))
{
    if (pKey == nullptr || nKeyLength < kCipherKeyBytes)
        qDebug("SymmetricEncryption: key shorter than 32 bytes, padded with zero bytes");
    if (pIv == nullptr || nIvLength < kCipherIvBytes)
        qDebug("SymmetricEncryption: iv shorter than 16 bytes, padded with zero bytes");
    registerCipher();
}

SymmetricEncryption::SymmetricEncryption(const SymmetricEncryption &other)
    : IEncryption(other), keyLength(other.keyLength), ivLength(other.ivLength),
      key(copyPadded(other.key, other.keyLength, other.keyLength)),
      iv(copyPadded(other.iv, other.ivLength, other.ivLength))
{
}

// OPENSSL_cleanup() is not called here: after it OpenSSL 3 (and 1.1) cannot be
// initialised again in the same process, and objects are created again after
// others were destroyed. OpenSSL releases its global state by itself at exit.
SymmetricEncryption::~SymmetricEncryption()
{
    OPENSSL_cleanse(key, static_cast<size_t>(keyLength));
    OPENSSL_cleanse(iv, static_cast<size_t>(ivLength));
    delete[] key;
    delete[] iv;
}

void SymmetricEncryption::cleanUp()
{
    // OPENSSL_cleanse overwrites with zero bytes in a way the compiler keeps.
    OPENSSL_cleanse(key, static_cast<size_t>(keyLength));
    OPENSSL_cleanse(iv, static_cast<size_t>(ivLength));
}

QByteArray SymmetricEncryption::encryptData(const QByteArray &plain) const
{
    const CipherContext context(EVP_CIPHER_CTX_new());
    if (!context) {
        reportFailure("EVP_CIPHER_CTX_new failed");
        return QByteArray();
    }
    // Padding adds at most one block.
    QByteArray cipher(plain.size() + kCipherBlockBytes, Qt::Uninitialized);
    auto *out = reinterpret_cast<unsigned char *>(cipher.data());
    const auto *in = reinterpret_cast<const unsigned char *>(plain.constData());

    // Every step is tried and reported; a failed one leaves an empty result,
    // never a part of the cipher text that could be stored as if whole.
    bool ok = true;
    if (EVP_EncryptInit_ex(context.get(), EVP_aes_256_cbc(), nullptr, key, iv) != 1) {
        reportFailure("EVP_EncryptInit_ex failed");
        ok = false;
    }
    int updateLength = 0;
    if (EVP_EncryptUpdate(context.get(), out, &updateLength, in, plain.size()) != 1) {
        reportFailure("EVP_EncryptUpdate failed");
        ok = false;
        updateLength = 0;
    }
    int finalLength = 0;
    if (EVP_EncryptFinal_ex(context.get(), out + updateLength, &finalLength) != 1) {
        reportFailure("EVP_EncryptFinal_ex failed");
        ok = false;
    }
    if (!ok)
        return QByteArray();
    cipher.resize(updateLength + finalLength);
    return cipher;
}

QByteArray SymmetricEncryption::decryptData(const QByteArray &cipher) const
{
    const CipherContext context(EVP_CIPHER_CTX_new());
    if (!context) {
        reportFailure("EVP_CIPHER_CTX_new failed");
        return QByteArray();
    }
    // EVP_DecryptUpdate may write up to one block more than it is given.
    QByteArray plain(cipher.size() + kCipherBlockBytes, Qt::Uninitialized);
    auto *out = reinterpret_cast<unsigned char *>(plain.data());
    const auto *in = reinterpret_cast<const unsigned char *>(cipher.constData());

    bool ok = true;
    if (EVP_DecryptInit_ex(context.get(), EVP_aes_256_cbc(), nullptr, key, iv) != 1) {
        reportFailure("EVP_DecryptInit_ex failed");
        ok = false;
    }
    int updateLength = 0;
    if (EVP_DecryptUpdate(context.get(), out, &updateLength, in, cipher.size()) != 1) {
        reportFailure("EVP_DecryptUpdate failed");
        ok = false;
        updateLength = 0;
    }
    // A wrong key or IV, or damaged or truncated input, usually fails here on
    // the padding. The blocks decrypted so far are then garbage or a fragment
    // of the value, so nothing is returned and the typed reads give zero or
    // an empty value instead of a made-up one.
    int finalLength = 0;
    if (EVP_DecryptFinal_ex(context.get(), out + updateLength, &finalLength) != 1) {
        reportFailure("EVP_DecryptFinal_ex failed");
        ok = false;
    }
    if (!ok) {
        wipe(plain);
        return QByteArray();
    }
    plain.resize(updateLength + finalLength);
    return plain;
}

template <typename T> QByteArray SymmetricEncryption::encryptValue(const T &value) const
{
    QByteArray plain;
    {
        QDataStream stream(&plain, QIODevice::WriteOnly);
        stream << value;
    }
    QByteArray cipher = encryptData(plain);
    wipe(plain);
    return cipher;
}

template <typename T> void SymmetricEncryption::decryptValue(const QByteArray &cipher, T &value) const
{
    QByteArray plain = decryptData(cipher);
    {
        // On a short or damaged input the stream gives zero, false or an
        // empty string. It reads strings in bounded steps, so a damaged length
        // field cannot make it allocate more than it can fill.
        QDataStream stream(plain);
        stream >> value;
    }
    wipe(plain);
}

// The unsigned types share the bodies of their signed twins: the data stream
// writes the same bytes for both.

QByteArray SymmetricEncryption::encrypt(const signed char &value) const
{
    return encryptValue(value);
}

QByteArray SymmetricEncryption::encrypt(const unsigned char &value) const
{
    return encrypt(reinterpret_cast<const signed char &>(value));
}

QByteArray SymmetricEncryption::encrypt(const short &value) const
{
    return encryptValue(value);
}

QByteArray SymmetricEncryption::encrypt(const unsigned short &value) const
{
    return encrypt(reinterpret_cast<const short &>(value));
}

QByteArray SymmetricEncryption::encrypt(const int &value) const
{
    return encryptValue(value);
}

QByteArray SymmetricEncryption::encrypt(const unsigned int &value) const
{
    return encrypt(reinterpret_cast<const int &>(value));
}

QByteArray SymmetricEncryption::encrypt(const float &value) const
{
    // Written as a double: the stream's default floating-point precision.
    return encryptValue(value);
}

QByteArray SymmetricEncryption::encrypt(const double &value) const
{
    return encryptValue(value);
}

QByteArray SymmetricEncryption::encrypt(const QDateTime &value) const
{
    return encryptValue(value);
}

QByteArray SymmetricEncryption::encrypt(const QString &value) const
{
    return encryptValue(value);
}

QByteArray SymmetricEncryption::encrypt(const QTime &value) const
{
    return encryptValue(value);
}

QByteArray SymmetricEncryption::encrypt(const qint64 &value) const
{
    return encryptValue(value);
}

QByteArray SymmetricEncryption::encrypt(const quint64 &value) const
{
    return encrypt(reinterpret_cast<const qint64 &>(value));
}

QByteArray SymmetricEncryption::encrypt(const bool &value) const
{
    return encryptValue(value);
}

void SymmetricEncryption::decrypt(const QByteArray &cipher, signed char &value) const
{
    decryptValue(cipher, value);
}

void SymmetricEncryption::decrypt(const QByteArray &cipher, unsigned char &value) const
{
    decrypt(cipher, reinterpret_cast<signed char &>(value));
}

void SymmetricEncryption::decrypt(const QByteArray &cipher, short &value) const
{
    decryptValue(cipher, value);
}

void SymmetricEncryption::decrypt(const QByteArray &cipher, unsigned short &value) const
{
    decrypt(cipher, reinterpret_cast<short &>(value));
}

void SymmetricEncryption::decrypt(const QByteArray &cipher, int &value) const
{
    decryptValue(cipher, value);
}

void SymmetricEncryption::decrypt(const QByteArray &cipher, unsigned int &value) const
{
    decrypt(cipher, reinterpret_cast<int &>(value));
}

void SymmetricEncryption::decrypt(const QByteArray &cipher, float &value) const
{
    decryptValue(cipher, value);
}

void SymmetricEncryption::decrypt(const QByteArray &cipher, double &value) const
{
    decryptValue(cipher, value);
}

void SymmetricEncryption::decrypt(const QByteArray &cipher, QDateTime &value) const
{
    decryptValue(cipher, value);
}

void SymmetricEncryption::decrypt(const QByteArray &cipher, QString &value) const
{
    decryptValue(cipher, value);
}

void SymmetricEncryption::decrypt(const QByteArray &cipher, QTime &value) const
{
    decryptValue(cipher, value);
}

void SymmetricEncryption::decrypt(const QByteArray &cipher, qint64 &value) const
{
    decryptValue(cipher, value);
}

void SymmetricEncryption::decrypt(const QByteArray &cipher, quint64 &value) const
{
    decrypt(cipher, reinterpret_cast<qint64 &>(value));
}

void SymmetricEncryption::decrypt(const QByteArray &cipher, bool &value) const
{
    decryptValue(cipher, value);
}

void SymmetricEncryption::generateKey(unsigned char *buffer, int length)
{
    if (!fillRandom(buffer, length))
        qDebug("RAND_bytes key failed");
}

void SymmetricEncryption::generateIv(unsigned char *buffer, int length)
{
    if (!fillRandom(buffer, length))
        qDebug("RAND_bytes for iv failed");
}
