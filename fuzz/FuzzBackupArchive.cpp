// libFuzzer harness of the backup archive check. Each input is read twice:
// as a whole file, and wrapped into a well-formed tar archive whose first
// member toc.dat is the input's first piece and whose further members are
// the other pieces ("<name>\n<data>"), so that the fuzzer reaches pg_dump's
// header and table of contents without having to get tar checksums right.
// A refusal must always come with a reason, an acceptance never.

#include "BackupArchive.h"
#include "FuzzSupport.h"

#include <QBuffer>

#include <cstdlib>

namespace {

constexpr char kMemberSeparator[] = "\n#--member--#\n";
constexpr int kBlock = 512;

QByteArray tarMember(const QByteArray &name, const QByteArray &data)
{
    QByteArray header(kBlock, '\0');
    header.replace(0, qMin(name.size(), 99), name.left(99));
    header.replace(100, 8, QByteArray("0000600", 8));
    header.replace(124, 12, QByteArray::number(data.size(), 8).rightJustified(11, '0') + '\0');
    header[156] = '0';
    header.replace(148, 8, QByteArray(8, ' '));
    int nSum = 0;
    for (char c : qAsConst(header))
        nSum += static_cast<unsigned char>(c);
    header.replace(148, 8, QByteArray::number(nSum, 8).rightJustified(6, '0') + QByteArray("\0 ", 2));
    return header + data + QByteArray((kBlock - data.size() % kBlock) % kBlock, '\0');
}

void check(const QByteArray &bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    if (!buffer.open(QIODevice::ReadOnly))
        return;
    BackupArchive archive;
    const bool bOk = archive.read(buffer);
    if (bOk != archive.isOk() || bOk == !archive.reason().isEmpty() || (bOk && archive.entryCount() < 0))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::silenceQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::input(data, size);
    check(bytes);

    const QList<QByteArray> pieces = fuzz::split(bytes, kMemberSeparator);
    QByteArray archive = tarMember("toc.dat", pieces.first());
    for (int i = 1; i < pieces.size(); ++i) {
        const int nEnd = pieces.at(i).indexOf('\n');
        archive += tarMember(pieces.at(i).left(qMax(nEnd, 0)), nEnd < 0 ? QByteArray() : pieces.at(i).mid(nEnd + 1));
    }
    check(archive + QByteArray(2 * kBlock, '\0'));
    return 0;
}
