// libFuzzer harness of the encrypted-log reader. An input that begins with
// the file's magic number is the file itself; any other input is a list of
// cipher entries (split at the entry separator), which the harness stores as
// the writer does, so that the fuzzer reaches the cipher behind the file form.

#include "FuzzSupport.h"
#include "LogFileManager.h"

#include <QDataStream>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

const QByteArray kMagic("\xA5\xB7\xC9\xDF", 4);

QByteArray fileFromEntries(const QByteArray &bytes)
{
    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_2);
    out << quint32(0xA5B7C9DF) << quint32(1);
    for (const QByteArray &entry : fuzz::split(bytes, fuzz::kEntrySeparator))
        out << QString::fromLatin1(entry.toBase64());
    return file;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::silenceQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder(fuzz::scratchFolderTemplate());
    const QString path = folder.filePath(QStringLiteral("fuzz.elf"));
    const QByteArray bytes = fuzz::input(data, size);
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(bytes.startsWith(kMagic) ? bytes : fileFromEntries(bytes));
    }

    QString text;
    LogFileManager::ReadGaps gaps;
    const bool read = LogFileManager::ReadEncryptedLog(path, text, &gaps);
    // One UTF-16 unit per UTF-8 byte at most.
    if (text.size() > LogFileManager::kMaxLogTextSize || (!read && gaps.textLimitReached && gaps.unreadBytes <= 0))
        std::abort();
    return 0;
}
