// libFuzzer harness of HalvexLib's typed decrypts. The first byte chooses
// what the rest is: even, cipher bytes as they are; odd, plain bytes, which
// the harness encrypts first (AES-256-CBC with the seeds' key and IV), so
// that every typed read of the data stream meets bytes of the fuzzer's choice.

#include "FuzzSupport.h"
#include "SymmetricEncryption.h"

#include <openssl/evp.h>

#include <memory>

namespace {

QByteArray encryptPlain(const QByteArray &plain)
{
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> context(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    QByteArray out(plain.size() + 16, '\0');
    int written = 0;
    int finalWritten = 0;
    if (!context ||
        EVP_EncryptInit_ex(context.get(),
                           EVP_aes_256_cbc(),
                           nullptr,
                           reinterpret_cast<const unsigned char *>(fuzz::aesKey().constData()),
                           reinterpret_cast<const unsigned char *>(fuzz::aesIv().constData())) != 1 ||
        EVP_EncryptUpdate(context.get(),
                          reinterpret_cast<unsigned char *>(out.data()),
                          &written,
                          reinterpret_cast<const unsigned char *>(plain.constData()),
                          plain.size()) != 1 ||
        EVP_EncryptFinal_ex(context.get(), reinterpret_cast<unsigned char *>(out.data()) + written, &finalWritten) != 1)
        return QByteArray();
    out.resize(written + finalWritten);
    return out;
}

template <typename T> void decryptAs(const SymmetricEncryption &cipher, const QByteArray &bytes)
{
    T value{};
    cipher.decrypt(bytes, value);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::silenceQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static const SymmetricEncryption cipher(reinterpret_cast<const unsigned char *>(fuzz::aesKey().constData()),
                                            fuzz::aesKey().size(),
                                            reinterpret_cast<const unsigned char *>(fuzz::aesIv().constData()),
                                            fuzz::aesIv().size());
    const QByteArray rest = fuzz::input(data + 1, size - 1);
    const QByteArray bytes = (data[0] & 1) ? encryptPlain(rest) : rest;

    decryptAs<signed char>(cipher, bytes);
    decryptAs<unsigned char>(cipher, bytes);
    decryptAs<short>(cipher, bytes);
    decryptAs<unsigned short>(cipher, bytes);
    decryptAs<int>(cipher, bytes);
    decryptAs<unsigned int>(cipher, bytes);
    decryptAs<float>(cipher, bytes);
    decryptAs<double>(cipher, bytes);
    decryptAs<QDateTime>(cipher, bytes);
    decryptAs<QString>(cipher, bytes);
    decryptAs<QTime>(cipher, bytes);
    decryptAs<qint64>(cipher, bytes);
    decryptAs<quint64>(cipher, bytes);
    decryptAs<bool>(cipher, bytes);
    return 0;
}
