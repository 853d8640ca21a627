#pragma once

// What the libFuzzer harnesses and the seed generator share: the key material
// of the AES harnesses, the separators of the inputs that carry more than one
// piece, and the silencing of Qt's messages.

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>

namespace fuzz {

// Key and IV of the typed AES decrypts and of the credentials files; the
// seeds are encrypted with them, so that the harnesses reach the decoders
// behind the decryption.
inline const QByteArray &aesKey()
{
    static const QByteArray key =
        QByteArray::fromHex("603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4");
    return key;
}

inline const QByteArray &aesIv()
{
    static const QByteArray iv = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f");
    return iv;
}

// Separates the setup file from the data file in a credentials input, and
// the cipher entries of an encrypted-log input given entry by entry.
constexpr char kCredentialsSeparator[] = "\n#--data--#\n";
constexpr char kEntrySeparator[] = "\n#--entry--#\n";

inline QByteArray input(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<int>(size));
}

inline QList<QByteArray> split(const QByteArray &bytes, const QByteArray &separator)
{
    QList<QByteArray> pieces;
    int from = 0;
    for (int at = bytes.indexOf(separator); at >= 0; at = bytes.indexOf(separator, from)) {
        pieces << bytes.mid(from, at - from);
        from = at + separator.size();
    }
    pieces << bytes.mid(from);
    return pieces;
}

// Template of a QTemporaryDir for the files the harnesses write for every
// input: in memory when the machine offers /dev/shm, where it is many times
// quicker than a disk.
inline QString scratchFolderTemplate()
{
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    const QString base = shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
    return base + QStringLiteral("/kivfuzz-XXXXXX");
}

// The decoders report damaged input on Qt's debug and warning channels;
// printing that for every input would slow the fuzzer to a crawl.
inline void silenceQtMessages()
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
}

} // namespace fuzz
