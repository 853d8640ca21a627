#include "PersonalDataCipher.h"

#include "DBManager.h"

#include <QTextCodec>

#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/sha.h>

namespace {

constexpr int kKeyBytes = 32;
constexpr int kBlockBytes = 16;
const unsigned char kZeroIv[kBlockBytes] = {};

// The AES key of the process. Static storage: it is wiped when the process
// ends, after every user of the library is gone.
struct HeldKey
{
    unsigned char key[kKeyBytes] = {};
    bool bHeld = false;

    void clear()
    {
        OPENSSL_cleanse(key, sizeof(key));
        bHeld = false;
    }
    ~HeldKey() { clear(); }
};

HeldKey &heldKey()
{
    static HeldKey s_key;
    return s_key;
}

// The array must not be shared, or only a detached copy would be wiped.
void wipe(QByteArray &bytes)
{
    if (!bytes.isEmpty())
        OPENSSL_cleanse(bytes.data(), static_cast<size_t>(bytes.size()));
}

// Failed calls leave entries in OpenSSL's per-thread error queue; they are
// dropped so that libpq's TLS on this thread does not take them for its own.
void reportFailure(const char *pszWhat)
{
    ERR_clear_error();
    qCWarning(g_lcDatabase) << "Personal data encryption:" << pszWhat << "failed";
}

} // namespace

void PersonalDataCipher::ContextDeleter::operator()(evp_cipher_ctx_st *pContext) const
{
    EVP_CIPHER_CTX_free(pContext);
}

PersonalDataCipher::PersonalDataCipher()
{
    const HeldKey &held = heldKey();
    if (!held.bHeld)
        return;
    Context encrypt(EVP_CIPHER_CTX_new());
    Context decrypt(EVP_CIPHER_CTX_new());
    if (!encrypt || !decrypt || EVP_EncryptInit_ex(encrypt.get(), EVP_aes_256_cbc(), nullptr, held.key, kZeroIv) != 1 ||
        EVP_DecryptInit_ex(decrypt.get(), EVP_aes_256_cbc(), nullptr, held.key, kZeroIv) != 1) {
        reportFailure("setting up the key");
        return;
    }
    m_encrypt = std::move(encrypt);
    m_decrypt = std::move(decrypt);
}

PersonalDataCipher::~PersonalDataCipher()
{
    wipe(m_buffer);
}

void PersonalDataCipher::setDataKey(const QString &szDataKey)
{
    HeldKey &held = heldKey();
    held.clear();
    if (szDataKey.isEmpty())
        return;
    QByteArray utf8 = szDataKey.toUtf8();
    held.bHeld =
        SHA256(reinterpret_cast<const unsigned char *>(utf8.constData()), size_t(utf8.size()), held.key) != nullptr;
    wipe(utf8);
    if (!held.bHeld) {
        held.clear();
        reportFailure("deriving the key");
    }
}

bool PersonalDataCipher::hasDataKey()
{
    return heldKey().bHeld;
}

const QByteArray &PersonalDataCipher::prefix()
{
    static const QByteArray s_prefix = QByteArrayLiteral("$kiv1$");
    return s_prefix;
}

bool PersonalDataCipher::isEncrypted(const QString &szValue)
{
    return szValue.startsWith(QLatin1String(prefix()));
}

bool PersonalDataCipher::newNonce(Nonce &nonce)
{
    if (RAND_bytes(nonce.data(), kNonceBytes) == 1)
        return true;
    reportFailure("RAND_bytes");
    return false;
}

bool PersonalDataCipher::isReady() const
{
    return m_encrypt && m_decrypt;
}

QByteArray PersonalDataCipher::encrypt(const QByteArray &plainUtf8, const Nonce &nonce, int nColumn)
{
    if (!isReady() || nColumn < 0 || nColumn > 255)
        return QByteArray();
    unsigned char firstBlock[kBlockBytes];
    std::copy(nonce.cbegin(), nonce.cend(), firstBlock);
    firstBlock[kNonceBytes] = static_cast<unsigned char>(nColumn);

    // The first block, the text and at most one block of padding.
    m_buffer.resize(kBlockBytes + plainUtf8.size() + kBlockBytes);
    auto *pOut = reinterpret_cast<unsigned char *>(m_buffer.data());
    int nFirst = 0;
    int nText = 0;
    int nFinal = 0;
    // Re-initialised with the IV only: the key schedule of the context stays.
    const bool bDone = EVP_EncryptInit_ex(m_encrypt.get(), nullptr, nullptr, nullptr, kZeroIv) == 1 &&
                       EVP_EncryptUpdate(m_encrypt.get(), pOut, &nFirst, firstBlock, kBlockBytes) == 1 &&
                       EVP_EncryptUpdate(m_encrypt.get(),
                                         pOut + nFirst,
                                         &nText,
                                         reinterpret_cast<const unsigned char *>(plainUtf8.constData()),
                                         plainUtf8.size()) == 1 &&
                       EVP_EncryptFinal_ex(m_encrypt.get(), pOut + nFirst + nText, &nFinal) == 1;
    if (!bDone) {
        reportFailure("encrypting a value");
        return QByteArray();
    }
    return prefix() + QByteArray::fromRawData(m_buffer.constData(), nFirst + nText + nFinal).toBase64();
}

bool PersonalDataCipher::decrypt(const QString &szStored, QString &szPlain)
{
    szPlain.clear();
    if (!isReady() || !isEncrypted(szStored))
        return false;
    QByteArray base64 = szStored.midRef(prefix().size()).toLatin1();
    // Line breaks are not part of the stored form, but pgcrypto's decoder
    // skipped them: a value with some still reads.
    base64.replace('\n', QByteArray()).replace('\r', QByteArray());
    const QByteArray::FromBase64Result decoded =
        QByteArray::fromBase64Encoding(base64, QByteArray::Base64Encoding | QByteArray::AbortOnBase64DecodingErrors);
    const QByteArray &cipher = *decoded;
    // At least the first block and one block of text or padding.
    if (!decoded || cipher.size() < 2 * kBlockBytes || cipher.size() % kBlockBytes != 0)
        return false;

    m_buffer.resize(cipher.size() + kBlockBytes);
    auto *pOut = reinterpret_cast<unsigned char *>(m_buffer.data());
    int nUpdate = 0;
    int nFinal = 0;
    // A wrong key or a damaged value nearly always fails on the padding; the
    // rest is caught by the UTF-8 check below.
    const bool bDone = EVP_DecryptInit_ex(m_decrypt.get(), nullptr, nullptr, nullptr, kZeroIv) == 1 &&
                       EVP_DecryptUpdate(m_decrypt.get(),
                                         pOut,
                                         &nUpdate,
                                         reinterpret_cast<const unsigned char *>(cipher.constData()),
                                         cipher.size()) == 1 &&
                       EVP_DecryptFinal_ex(m_decrypt.get(), pOut + nUpdate, &nFinal) == 1;
    if (!bDone)
        ERR_clear_error();
    const int nPlain = nUpdate + nFinal - kBlockBytes;
    bool bResult = bDone && nPlain >= 0;
    if (bResult) {
        QTextCodec::ConverterState state(QTextCodec::ConvertInvalidToNull);
        szPlain = QTextCodec::codecForMib(106)->toUnicode(m_buffer.constData() + kBlockBytes, nPlain, &state);
        bResult = state.invalidChars == 0 && state.remainingChars == 0;
        if (!bResult)
            szPlain.clear();
    }
    wipe(m_buffer);
    return bResult;
}
