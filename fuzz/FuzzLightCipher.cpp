// libFuzzer harness of the light stream cipher: decrypts any bytes, as bytes
// and as base64 text, and checks that what it encrypts it reads back.

#include "FuzzSupport.h"
#include "LightCipher.h"
#include "LogKey.h"

#include <QString>

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::silenceQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::input(data, size);
    LightCipher cipher(kLogCipherKey);

    if (cipher.DecryptBytes(bytes).size() > LightCipher::kMaxPlainSize)
        std::abort();
    cipher.DecryptText(QString::fromLatin1(bytes));
    cipher.DecryptText(QString::fromUtf8(bytes));

    if (cipher.DecryptBytes(cipher.EncryptBytes(bytes)) != bytes)
        std::abort();
    return 0;
}
