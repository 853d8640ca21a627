#pragma once

#include "halvexlib_global.h"

#include <QByteArray>

// Encryption of raw bytes. Implementations turn plain bytes into cipher bytes
// and back; they report no failure to the caller.
class HALVEXLIB_EXPORT IEncryption
{
public:
    virtual ~IEncryption();

    virtual QByteArray encryptData(const QByteArray &plain) const = 0;
    virtual QByteArray decryptData(const QByteArray &cipher) const = 0;
};
