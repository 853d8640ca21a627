#include "LightCipher.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QtEndian>
#include <QtGlobal>

#include <limits>

#include <zlib.h>

namespace {

constexpr quint8 kFormatVersion = 3;
constexpr quint8 kFlagCompressed = 0x01;
constexpr quint8 kFlagCrc16 = 0x02;
constexpr quint8 kFlagSha1 = 0x04;
constexpr int kCrcSize = 2;
constexpr int kSha1Size = 20;
constexpr int kLengthHeaderSize = 4;

// Largest buffer a QByteArray can hold; bounds the output buffer of compression.
constexpr qint64 kMaxBufferSize = std::numeric_limits<int>::max() - 4096;

quint16 crc16(const QByteArray &data)
{
    return qChecksum(data.constData(), static_cast<uint>(data.size()), Qt::ChecksumIso3309);
}

// Writes qCompress's form at level 9 (4-byte big-endian length, then the zlib
// stream of compress2), byte for byte. The log writes one short message per
// entry, and setting up level 9's tables (about 270 KB) costs far more than
// compressing it, so each thread keeps one compressor and resets it, which
// zlib defines as equal to a fresh one.
QByteArray compressQtForm(const QByteArray &data)
{
    struct Deflater
    {
        Deflater() { ready = deflateInit(&stream, 9) == Z_OK; }
        ~Deflater()
        {
            if (ready)
                deflateEnd(&stream);
        }
        z_stream stream = {};
        bool ready = false;
    };
    thread_local Deflater deflater;
    if (data.isEmpty() || !deflater.ready || deflateReset(&deflater.stream) != Z_OK)
        return qCompress(data, 9);

    const uLong bound = compressBound(static_cast<uLong>(data.size()));
    if (bound > static_cast<uLong>(kMaxBufferSize))
        return qCompress(data, 9);
    QByteArray output(kLengthHeaderSize + static_cast<int>(bound), Qt::Uninitialized);
    qToBigEndian<quint32>(static_cast<quint32>(data.size()), output.data());
    z_stream &stream = deflater.stream;
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(output.data() + kLengthHeaderSize);
    stream.avail_out = static_cast<uInt>(bound);
    if (deflate(&stream, Z_FINISH) != Z_STREAM_END)
        return qCompress(data, 9);
    output.resize(kLengthHeaderSize + static_cast<int>(stream.total_out));
    return output;
}

// Reads qCompress's form (4-byte big-endian length, then a zlib stream).
// qUncompress trusts the length and allocates it up front, so a damaged or
// forged header could make it allocate gigabytes. Here a length past
// LightCipher::kMaxPlainSize is refused before anything is inflated, the
// buffer grows only with what inflate really produces, never beyond the
// announced length + 1, and the result is accepted only when its size equals
// the announced length.
QByteArray uncompressQtForm(const QByteArray &compressed)
{
    if (compressed.size() <= kLengthHeaderSize)
        return QByteArray();
    const qint64 expected = qFromBigEndian<quint32>(compressed.constData());
    if (expected == 0 || expected > LightCipher::kMaxPlainSize)
        return QByteArray();

    z_stream stream = {};
    if (inflateInit(&stream) != Z_OK)
        return QByteArray();
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(compressed.constData() + kLengthHeaderSize));
    stream.avail_in = static_cast<uInt>(compressed.size() - kLengthHeaderSize);

    QByteArray output;
    qint64 produced = 0;
    bool ok = false;
    for (;;) {
        if (produced == output.size()) {
            const qint64 grown = qMin<qint64>(qMax<qint64>(output.size() * 2LL, 4096), expected + 1);
            if (grown <= output.size())
                break; // more output than announced
            output.resize(static_cast<int>(grown));
        }
        stream.next_out = reinterpret_cast<Bytef *>(output.data() + produced);
        stream.avail_out = static_cast<uInt>(output.size() - produced);
        const int rc = inflate(&stream, Z_NO_FLUSH);
        produced = output.size() - stream.avail_out;
        if (rc == Z_STREAM_END) {
            ok = produced == expected;
            break;
        }
        // Z_BUF_ERROR here means no progress was possible: the stream is cut short.
        if (rc != Z_OK || produced > expected)
            break;
    }
    inflateEnd(&stream);
    if (!ok)
        return QByteArray();
    output.resize(static_cast<int>(produced));
    return output;
}

} // namespace

LightCipher::LightCipher() : key(0), compressionPolicy(0), integrityCheck(1) {}

LightCipher::LightCipher(quint64 key) : key(key), compressionPolicy(0), integrityCheck(1)
{
    keyBytes.reserve(8);
    for (int i = 0; i < 8; ++i)
        keyBytes.append(static_cast<quint8>(key >> (8 * i)));
    // The random byte comes from the calling thread's generator, seeded anew by every object.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    qsrand(static_cast<uint>(QDateTime::currentMSecsSinceEpoch() & 0xFFFF));
    QT_WARNING_POP
}

QString LightCipher::EncryptText(const QString &plainText)
{
    return QString::fromLatin1(EncryptBytes(plainText.toUtf8()).toBase64());
}

QString LightCipher::DecryptText(const QString &cipherText)
{
    return QString::fromUtf8(DecryptBytes(QByteArray::fromBase64(cipherText.toLatin1())));
}

QByteArray LightCipher::EncryptBytes(const QByteArray &plain)
{
    if (keyBytes.isEmpty()) {
        qWarning("No key set.");
        return QByteArray();
    }

    quint8 flags = 0;
    QByteArray payload = plain;
    if (compressionPolicy == 0) {
        const QByteArray compressed = compressQtForm(plain);
        if (compressed.size() < plain.size()) {
            payload = compressed;
            flags |= kFlagCompressed;
        }
    }

    QByteArray body;
    body.reserve(1 + kSha1Size + payload.size());
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    body.append(static_cast<char>(qrand() & 0xFF));
    QT_WARNING_POP
    if (integrityCheck == 1) {
        const quint16 crc = crc16(payload);
        body.append(static_cast<char>(crc >> 8));
        body.append(static_cast<char>(crc & 0xFF));
        flags |= kFlagCrc16;
    } else {
        body.append(QCryptographicHash::hash(payload, QCryptographicHash::Sha1));
        flags |= kFlagSha1;
    }
    body.append(payload);

    QByteArray cipher(2 + body.size(), Qt::Uninitialized);
    cipher[0] = static_cast<char>(kFormatVersion);
    cipher[1] = static_cast<char>(flags);
    const auto *p = reinterpret_cast<const quint8 *>(body.constData());
    auto *c = reinterpret_cast<quint8 *>(cipher.data() + 2);
    const quint8 *k = keyBytes.constData();
    quint8 previous = 0;
    for (int i = 0; i < body.size(); ++i) {
        previous = static_cast<quint8>(p[i] ^ k[i % 8] ^ previous);
        c[i] = previous;
    }
    return cipher;
}

QByteArray LightCipher::DecryptBytes(const QByteArray &cipher)
{
    if (keyBytes.isEmpty()) {
        qWarning("No key set.");
        return QByteArray();
    }
    if (cipher.size() < 3)
        return QByteArray();
    if (static_cast<quint8>(cipher[0]) != kFormatVersion) {
        qWarning("Invalid version or not a cyphertext.");
        return QByteArray();
    }

    const quint8 flags = static_cast<quint8>(cipher[1]);
    const int bodySize = cipher.size() - 2;
    QByteArray body(bodySize, Qt::Uninitialized);
    const auto *c = reinterpret_cast<const quint8 *>(cipher.constData() + 2);
    auto *p = reinterpret_cast<quint8 *>(body.data());
    const quint8 *k = keyBytes.constData();
    quint8 previous = 0;
    for (int i = 0; i < bodySize; ++i) {
        p[i] = static_cast<quint8>(c[i] ^ previous ^ k[i % 8]);
        previous = c[i];
    }

    QByteArray payload = body.mid(1); // without the random byte
    if (flags & kFlagCrc16) {
        if (payload.size() < kCrcSize)
            return QByteArray();
        const quint16 stored = qFromBigEndian<quint16>(payload.constData());
        payload.remove(0, kCrcSize);
        if (stored != crc16(payload))
            return QByteArray();
    } else if (flags & kFlagSha1) {
        if (payload.size() < kSha1Size)
            return QByteArray();
        const QByteArray stored = payload.left(kSha1Size);
        payload.remove(0, kSha1Size);
        if (stored != QCryptographicHash::hash(payload, QCryptographicHash::Sha1))
            return QByteArray();
    }

    if (flags & kFlagCompressed)
        return uncompressQtForm(payload);
    if (payload.size() > kMaxPlainSize)
        return QByteArray();
    return payload;
}
