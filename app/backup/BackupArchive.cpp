#include "BackupArchive.h"

#include <QFile>
#include <QIODevice>
#include <QSet>

#include <algorithm>
#include <limits>

namespace {

constexpr int kTarBlock = 512;
constexpr int kTarNameLength = 100;
constexpr qint64 kReadChunk = 64 * 1024;
// pg_dump's code of the tar format in its header.
constexpr int kFormatTar = 3;
// Integers in the table of contents are a sign byte and this many bytes at
// most (pg_dump writes sizeof(int)).
constexpr int kMaxIntSize = 8;
// Enough of an entry's definition to tell pg_restore's special cases apart.
constexpr int kDefinitionStart = 32;

const QString kTocMember = QStringLiteral("toc.dat");

// Format versions where the table of contents changed: 1.14 records the
// table access method, 1.15 replaces the compression level by an algorithm
// byte, 1.16 records the relation kind and groups large objects into BLOB
// METADATA entries with one blobs TOC member per BLOBS entry.
const QVersionNumber kOldest(1, 12);
const QVersionNumber kNewest(1, 16);
const QVersionNumber kWithTableAccessMethod(1, 14);
const QVersionNumber kWithCompressionAlgorithm(1, 15);
const QVersionNumber kWithGroupedLargeObjects(1, 16);

bool isZeroBlock(const QByteArray &block)
{
    return std::all_of(block.cbegin(), block.cend(), [](char c) { return c == 0; });
}

// A numeric field of a tar header: octal text, or base-256 with the high bit
// of the first byte set (pg_dump writes sizes of 8 GiB and more that way).
bool tarNumber(const char *pField, int nLength, qint64 &nValue)
{
    nValue = 0;
    const auto *pBytes = reinterpret_cast<const unsigned char *>(pField);
    if (pBytes[0] & 0x80) {
        nValue = pBytes[0] & 0x7f;
        for (int i = 1; i < nLength; ++i) {
            if (nValue > (std::numeric_limits<qint64>::max() >> 8))
                return false;
            nValue = (nValue << 8) | pBytes[i];
        }
        return true;
    }
    int i = 0;
    while (i < nLength && pField[i] == ' ')
        ++i;
    bool bDigits = false;
    for (; i < nLength && pField[i] >= '0' && pField[i] <= '7'; ++i) {
        if (nValue > (std::numeric_limits<qint64>::max() >> 3))
            return false;
        nValue = nValue * 8 + (pField[i] - '0');
        bDigits = true;
    }
    return bDigits;
}

// The checksum pg_dump writes and pg_restore checks: the unsigned sum of the
// header's bytes, the checksum field counted as blanks.
bool tarChecksumMatches(const QByteArray &header)
{
    qint64 nStored = 0;
    if (!tarNumber(header.constData() + 148, 8, nStored))
        return false;
    qint64 nSum = 0;
    for (int i = 0; i < kTarBlock; ++i)
        nSum += (i >= 148 && i < 156) ? ' ' : static_cast<unsigned char>(header.at(i));
    return nSum == nStored;
}

QString tarMemberName(const QByteArray &header)
{
    // pg_restore reads the name field only; pg_dump's names are short.
    const QByteArray field = header.left(kTarNameLength);
    const int nEnd = field.indexOf('\0');
    return QString::fromUtf8(nEnd < 0 ? field : field.left(nEnd));
}

// "TABLE DATA public.images", "BLOBS", "BLOBS 16403..16410".
QString entryLabel(const BackupArchive::Entry &entry)
{
    if (entry.szTag == entry.szDesc)
        return entry.szDesc;
    const QString szName =
        entry.szNamespace.isEmpty() ? entry.szTag : entry.szNamespace + QLatin1Char('.') + entry.szTag;
    return entry.szDesc + QLatin1Char(' ') + szName;
}

bool isOneOf(const QString &szValue, std::initializer_list<const char *> lstValues)
{
    return std::any_of(lstValues.begin(), lstValues.end(), [&szValue](const char *pszValue) {
        return szValue == QLatin1String(pszValue);
    });
}

// pg_restore's choice of entries when no option selects any: the entries that
// only set up the session, and the database's own entries (restored only
// with --create), are left out; an entry without data is restored only when
// it has a definition to run.
bool restoredByDefault(const BackupArchive::Entry &entry, const QByteArray &definitionStart)
{
    if (isOneOf(entry.szDesc, {"ENCODING", "STDSTRINGS", "SEARCHPATH", "DATABASE", "DATABASE PROPERTIES"}))
        return false;
    const bool bPropertyEntry = isOneOf(entry.szDesc, {"ACL", "COMMENT", "SECURITY LABEL"});
    if (bPropertyEntry && entry.szTag.startsWith(QLatin1String("DATABASE ")))
        return false;
    if (entry.szDesc == QLatin1String("<Init>") && entry.szTag == QLatin1String("Max OID"))
        return false;
    if (entry.bHasData)
        return true;
    const bool bDataLike = isOneOf(entry.szDesc, {"SEQUENCE SET", "BLOB", "BLOB METADATA"}) ||
                           (bPropertyEntry && entry.szTag.startsWith(QLatin1String("LARGE OBJECT")));
    if (bDataLike)
        return true;
    return !definitionStart.isEmpty() && !definitionStart.startsWith("-- load via partition root ");
}

} // namespace

// Reads the data of one member, buffered, never past its end. Integers and
// strings follow pg_dump's encoding: a sign byte and intSize little-endian
// bytes; a string is its length as an integer (negative for NULL) and as many
// bytes.
class BackupArchive::Reader
{
public:
    enum class Fault
    {
        None,
        EndsEarly,
        BadValue,
        Device
    };

    Reader(QIODevice &device, const Member &member)
        : m_device(device), m_nNext(member.nOffset), m_nEnd(member.nOffset + member.nSize)
    {
    }

    void setIntSize(int nIntSize) { m_nIntSize = nIntSize; }
    Fault fault() const { return m_eFault; }
    QString deviceError() const { return m_device.errorString(); }
    qint64 remaining() const { return (m_nEnd - m_nNext) + (m_buffer.size() - m_nBufferPos); }

    // Appends nBytes to *pData (or skips them when pData is null).
    bool read(qint64 nBytes, QByteArray *pData)
    {
        if (nBytes > remaining())
            return fail(Fault::EndsEarly);
        while (nBytes > 0) {
            if (m_nBufferPos == m_buffer.size() && !fill())
                return false;
            const int nTake = static_cast<int>(std::min<qint64>(nBytes, m_buffer.size() - m_nBufferPos));
            if (pData)
                pData->append(m_buffer.constData() + m_nBufferPos, nTake);
            m_nBufferPos += nTake;
            nBytes -= nTake;
        }
        return true;
    }

    bool byte(int &nValue)
    {
        QByteArray data;
        if (!read(1, &data))
            return false;
        nValue = static_cast<unsigned char>(data.at(0));
        return true;
    }

    bool integer(qint64 &nValue)
    {
        QByteArray data;
        if (!read(1 + m_nIntSize, &data))
            return false;
        quint64 nMagnitude = 0;
        for (int i = m_nIntSize; i >= 1; --i)
            nMagnitude = (nMagnitude << 8) | static_cast<unsigned char>(data.at(i));
        // pg_dump's integers are C ints: a larger value is damage.
        if (nMagnitude > quint64(std::numeric_limits<int>::max()))
            return fail(Fault::BadValue);
        nValue = data.at(0) != 0 ? -qint64(nMagnitude) : qint64(nMagnitude);
        return true;
    }

    // Reads a string, keeping at most nKeep of its bytes; *pbNull tells a
    // NULL string from an empty one.
    bool string(QByteArray &value, bool *pbNull = nullptr, qint64 nKeep = std::numeric_limits<qint64>::max())
    {
        value.clear();
        qint64 nLength = 0;
        if (!integer(nLength))
            return false;
        if (pbNull)
            *pbNull = nLength < 0;
        if (nLength <= 0)
            return true;
        const qint64 nKept = std::min(nLength, nKeep);
        return read(nKept, &value) && read(nLength - nKept, nullptr);
    }

    bool text(QString &szValue)
    {
        QByteArray value;
        if (!string(value))
            return false;
        szValue = QString::fromUtf8(value);
        return true;
    }

    // One line without its '\n'; false at the end of the member.
    bool line(QByteArray &value)
    {
        value.clear();
        if (remaining() == 0)
            return false;
        while (true) {
            if (m_nBufferPos == m_buffer.size() && !fill())
                return m_eFault == Fault::None;
            const int nEnd = m_buffer.indexOf('\n', m_nBufferPos);
            if (nEnd >= 0) {
                value.append(m_buffer.constData() + m_nBufferPos, nEnd - m_nBufferPos);
                m_nBufferPos = nEnd + 1;
                return true;
            }
            value.append(m_buffer.constData() + m_nBufferPos, m_buffer.size() - m_nBufferPos);
            m_nBufferPos = m_buffer.size();
        }
    }

private:
    bool fill()
    {
        if (m_nNext >= m_nEnd)
            return false;
        const qint64 nChunk = std::min(kReadChunk, m_nEnd - m_nNext);
        if (!m_device.seek(m_nNext))
            return fail(Fault::Device);
        m_buffer = m_device.read(nChunk);
        m_nBufferPos = 0;
        if (m_buffer.size() != nChunk) {
            m_buffer.clear();
            return fail(Fault::Device);
        }
        m_nNext += nChunk;
        return true;
    }

    bool fail(Fault eFault)
    {
        if (m_eFault == Fault::None)
            m_eFault = eFault;
        return false;
    }

    QIODevice &m_device;
    qint64 m_nNext;
    qint64 m_nEnd;
    QByteArray m_buffer;
    int m_nBufferPos = 0;
    int m_nIntSize = 4;
    Fault m_eFault = Fault::None;
};

QVersionNumber BackupArchive::oldestKnownFormat()
{
    return kOldest;
}

QVersionNumber BackupArchive::newestKnownFormat()
{
    return kNewest;
}

bool BackupArchive::readFile(const QString &szPath)
{
    QFile file(szPath);
    if (!file.open(QIODevice::ReadOnly)) {
        *this = BackupArchive();
        return refuse(QStringLiteral("the file %1 cannot be opened: %2").arg(szPath, file.errorString()));
    }
    return read(file);
}

bool BackupArchive::read(QIODevice &device)
{
    *this = BackupArchive();
    if (!device.isOpen() || !device.isReadable())
        return refuse(QStringLiteral("the archive is not open for reading"));
    if (device.isSequential())
        return refuse(QStringLiteral("the archive must be read from a file, not from a stream"));
    if (!readTar(device))
        return false;

    const auto toc = m_members.constFind(kTocMember);
    if (toc == m_members.cend())
        return refuse(QStringLiteral("the archive holds no toc.dat: it is not a backup written by pg_dump"));
    Reader reader(device, *toc);
    if (!readHeader(reader) || !readEntries(reader) || !checkData(device))
        return false;
    m_bRead = true;
    return true;
}

bool BackupArchive::refuse(const QString &szReason)
{
    m_szReason = szReason;
    m_bRead = false;
    return false;
}

bool BackupArchive::readTar(QIODevice &device)
{
    const qint64 nSize = device.size();
    qint64 nOffset = 0;
    while (true) {
        if (nOffset + kTarBlock > nSize) {
            if (nOffset == 0)
                return refuse(nSize == 0 ? QStringLiteral("the file is empty")
                                         : QStringLiteral("the file is too short for a tar archive"));
            return refuse(QStringLiteral("the archive ends without its end-of-archive blocks"));
        }
        QByteArray header;
        if (device.seek(nOffset))
            header = device.read(kTarBlock);
        if (header.size() != kTarBlock)
            return refuse(
                QStringLiteral("the archive cannot be read at offset %1: %2").arg(nOffset).arg(device.errorString()));
        if (isZeroBlock(header)) {
            // The end: a second block of zeros follows.
            const QByteArray next = device.read(kTarBlock);
            if (next.size() != kTarBlock || !isZeroBlock(next))
                return refuse(QStringLiteral("the end-of-archive blocks of the archive are incomplete"));
            if (m_members.isEmpty())
                return refuse(QStringLiteral("the archive is empty"));
            return true;
        }
        qint64 nMemberSize = 0;
        if (!tarChecksumMatches(header) || !tarNumber(header.constData() + 124, 12, nMemberSize) || nMemberSize < 0) {
            if (nOffset == 0) {
                if (header.startsWith("PGDMP"))
                    return refuse(QStringLiteral("the file is a pg_dump archive of another format, not a tar archive"));
                return refuse(QStringLiteral("the file is not a tar archive"));
            }
            return refuse(QStringLiteral("the tar header at offset %1 is damaged").arg(nOffset));
        }
        const QString szName = tarMemberName(header);
        const qint64 nPadded = (nMemberSize + kTarBlock - 1) / kTarBlock * kTarBlock;
        if (nPadded > nSize - nOffset - kTarBlock)
            return refuse(QStringLiteral("member %1 is cut short: the archive ends inside it").arg(szName));
        if (!m_members.contains(szName))
            m_members.insert(szName, Member{nOffset + kTarBlock, nMemberSize});
        nOffset += kTarBlock + nPadded;
    }
}

bool BackupArchive::readHeader(Reader &reader)
{
    const auto damaged = [this, &reader]() {
        if (reader.fault() == Reader::Fault::Device)
            return refuse(QStringLiteral("toc.dat cannot be read: %1").arg(reader.deviceError()));
        if (reader.fault() == Reader::Fault::EndsEarly)
            return refuse(QStringLiteral("toc.dat ends inside its header"));
        return refuse(QStringLiteral("the header in toc.dat is damaged"));
    };

    QByteArray magic;
    if (!reader.read(5, &magic) || magic != "PGDMP") {
        if (reader.fault() == Reader::Fault::Device)
            return damaged();
        return refuse(QStringLiteral("toc.dat does not begin with PGDMP: it is not written by pg_dump"));
    }
    int nMajor = 0;
    int nMinor = 0;
    int nRevision = 0;
    if (!reader.byte(nMajor) || !reader.byte(nMinor) || !reader.byte(nRevision))
        return damaged();
    m_formatVersion = QVersionNumber(nMajor, nMinor, nRevision);
    // Like pg_restore, the revision does not count.
    const QVersionNumber majorMinor(nMajor, nMinor);
    if (majorMinor > kNewest)
        return refuse(QStringLiteral("the archive format version %1 is newer than the newest this program reads (%2)")
                          .arg(m_formatVersion.toString(), kNewest.toString()));
    if (majorMinor < kOldest)
        return refuse(QStringLiteral("the archive format version %1 is older than the oldest this program reads (%2)")
                          .arg(m_formatVersion.toString(), kOldest.toString()));

    int nFormat = 0;
    if (!reader.byte(m_nIntSize) || !reader.byte(m_nOffsetSize) || !reader.byte(nFormat))
        return damaged();
    if (m_nIntSize < 1 || m_nIntSize > kMaxIntSize)
        return refuse(QStringLiteral("toc.dat declares integers of %1 bytes").arg(m_nIntSize));
    reader.setIntSize(m_nIntSize);
    if (nFormat != kFormatTar)
        return refuse(
            QStringLiteral("toc.dat declares the archive format %1, not tar (%2)").arg(nFormat).arg(kFormatTar));

    qint64 nCompression = 0;
    int nAlgorithm = 0;
    if (!(m_formatVersion >= kWithCompressionAlgorithm ? reader.byte(nAlgorithm) : reader.integer(nCompression)))
        return damaged();
    // struct tm as pg_dump wrote it: seconds, minutes, hours, day, month - 1,
    // year - 1900, daylight saving flag.
    qint64 fields[7] = {};
    for (qint64 &nField : fields) {
        if (!reader.integer(nField))
            return damaged();
    }
    const QDate day{int(fields[5] + 1900), int(fields[4] + 1), int(fields[3])};
    const QTime clock{int(fields[2]), int(fields[1]), int(fields[0])};
    if (day.isValid() && clock.isValid())
        m_createdAt = QDateTime(day, clock);
    if (!reader.text(m_szDatabaseName) || !reader.text(m_szServerVersion) || !reader.text(m_szDumpVersion))
        return damaged();
    return true;
}

bool BackupArchive::readEntries(Reader &reader)
{
    qint64 nCount = 0;
    if (!reader.integer(nCount))
        return refuse(QStringLiteral("toc.dat ends before its table of contents"));
    if (nCount < 0)
        return refuse(QStringLiteral("the table of contents in toc.dat announces %1 entries").arg(nCount));
    // The count comes from the file: reserve no more than a sane guess.
    m_entries.reserve(int(std::min<qint64>(nCount, 4096)));

    for (qint64 nIndex = 1; nIndex <= nCount; ++nIndex) {
        const auto damaged = [this, &reader, nIndex, nCount]() {
            if (reader.fault() == Reader::Fault::Device)
                return refuse(QStringLiteral("toc.dat cannot be read: %1").arg(reader.deviceError()));
            if (reader.fault() == Reader::Fault::EndsEarly)
                return refuse(QStringLiteral("toc.dat ends inside entry %1 of %2").arg(nIndex).arg(nCount));
            return refuse(QStringLiteral("entry %1 of %2 in toc.dat is damaged").arg(nIndex).arg(nCount));
        };
        Entry entry;
        qint64 nDumpId = 0;
        qint64 nHadDumper = 0;
        qint64 nNumber = 0;
        QByteArray value;
        QByteArray definitionStart;
        bool bNull = false;
        if (!reader.integer(nDumpId) || !reader.integer(nHadDumper))
            return damaged();
        if (nDumpId <= 0)
            return refuse(
                QStringLiteral("entry %1 of %2 in toc.dat has the id %3").arg(nIndex).arg(nCount).arg(nDumpId));
        entry.nDumpId = int(nDumpId);
        entry.bHasData = nHadDumper != 0;
        // Catalog table oid and object oid, as text.
        if (!reader.string(value) || !reader.string(value))
            return damaged();
        if (!reader.text(entry.szTag) || !reader.text(entry.szDesc) || !reader.integer(nNumber))
            return damaged();
        // The definition: kept whole where it lists large objects.
        const bool bLargeObjectList = entry.szDesc == QLatin1String("BLOB METADATA");
        if (!reader.string(definitionStart, nullptr, bLargeObjectList ? reader.remaining() : kDefinitionStart))
            return damaged();
        // Drop and copy statements.
        if (!reader.string(value) || !reader.string(value))
            return damaged();
        // Namespace, then tablespace.
        if (!reader.text(entry.szNamespace) || !reader.string(value))
            return damaged();
        if (m_formatVersion >= kWithTableAccessMethod && !reader.string(value))
            return damaged();
        if (m_formatVersion >= kWithGroupedLargeObjects && !reader.integer(nNumber))
            return damaged();
        // Owner, then the obsolete "with oids" flag.
        if (!reader.string(value) || !reader.string(value))
            return damaged();
        // The dependencies: dump ids as text up to a NULL string.
        do {
            if (!reader.string(value, &bNull, 16))
                return damaged();
        } while (!bNull);
        // The tar format's own part: the member of the entry's data.
        if (!reader.text(entry.szMember))
            return damaged();

        entry.bRestored = restoredByDefault(entry, definitionStart);
        if (entry.bRestored) {
            ++m_nEntryCount;
            // A large object's entry has its oid as tag; a BLOB METADATA
            // entry lists the oids of its group, one per line.
            if (entry.szDesc == QLatin1String("BLOB")) {
                ++m_nLargeObjectCount;
                m_largeObjects << entry.szTag.toUInt();
            } else if (bLargeObjectList) {
                const QList<QByteArray> lstLines = definitionStart.split('\n');
                for (const QByteArray &line : lstLines) {
                    if (line.trimmed().isEmpty())
                        continue;
                    ++m_nLargeObjectCount;
                    m_largeObjects << line.trimmed().toUInt();
                }
            }
        }
        m_entries.append(entry);
    }
    return true;
}

bool BackupArchive::checkData(QIODevice &device)
{
    bool bLargeObjectData = false;
    QSet<quint32> listed;
    for (const Entry &entry : qAsConst(m_entries)) {
        if (!entry.bHasData)
            continue;
        if (entry.szDesc == QLatin1String("BLOBS")) {
            // The tar format writes the large objects of a BLOBS entry as a
            // list member and one member per object, whatever the entry names.
            const QString szTocMember = m_formatVersion >= kWithGroupedLargeObjects
                                            ? QStringLiteral("blobs_%1.toc").arg(entry.nDumpId)
                                            : QStringLiteral("blobs.toc");
            if (!checkLargeObjects(device, entry, szTocMember, listed))
                return false;
            bLargeObjectData = true;
            continue;
        }
        if (entry.szMember.isEmpty())
            return refuse(QStringLiteral("%1 has data but toc.dat names no member for it").arg(entryLabel(entry)));
        if (!m_members.contains(entry.szMember))
            return refuse(QStringLiteral("member %1 of %2 is missing").arg(entry.szMember, entryLabel(entry)));
    }
    // pg_dump writes the data of every large object it records, in the same
    // snapshot: one left out of the lists would be restored empty.
    if (bLargeObjectData) {
        for (const quint32 nOid : qAsConst(m_largeObjects)) {
            if (!listed.contains(nOid))
                return refuse(QStringLiteral("large object %1 has no data in the archive: no blobs TOC member lists it")
                                  .arg(nOid));
        }
    }
    return true;
}

bool BackupArchive::checkLargeObjects(QIODevice &device,
                                      const Entry &entry,
                                      const QString &szTocMember,
                                      QSet<quint32> &listed)
{
    const auto toc = m_members.constFind(szTocMember);
    if (toc == m_members.cend())
        return refuse(QStringLiteral("member %1 of %2 is missing").arg(szTocMember, entryLabel(entry)));
    // One line per large object: "<oid> blob_<oid>.dat".
    Reader reader(device, *toc);
    QByteArray line;
    for (int nLine = 1; reader.line(line); ++nLine) {
        if (line.isEmpty())
            continue;
        const int nBlank = line.indexOf(' ');
        bool bOid = false;
        const uint nOid = nBlank > 0 ? line.left(nBlank).toUInt(&bOid) : 0;
        const QString szMember = QString::fromUtf8(line.mid(nBlank + 1));
        if (!bOid || nOid == 0 || szMember.isEmpty())
            return refuse(QStringLiteral("%1 is damaged at line %2").arg(szTocMember).arg(nLine));
        if (!m_members.contains(szMember))
            return refuse(QStringLiteral("large object %1 (%2) is missing").arg(nOid).arg(szMember));
        listed.insert(nOid);
    }
    if (reader.fault() != Reader::Fault::None)
        return refuse(QStringLiteral("%1 cannot be read: %2").arg(szTocMember, reader.deviceError()));
    return true;
}

bool BackupArchive::isOk() const
{
    return m_bRead;
}

QString BackupArchive::reason() const
{
    return m_szReason;
}

QVersionNumber BackupArchive::formatVersion() const
{
    return m_formatVersion;
}

int BackupArchive::intSize() const
{
    return m_nIntSize;
}

int BackupArchive::offsetSize() const
{
    return m_nOffsetSize;
}

QString BackupArchive::databaseName() const
{
    return m_szDatabaseName;
}

QString BackupArchive::serverVersion() const
{
    return m_szServerVersion;
}

QString BackupArchive::dumpVersion() const
{
    return m_szDumpVersion;
}

QDateTime BackupArchive::createdAt() const
{
    return m_createdAt;
}

int BackupArchive::entryCount() const
{
    return m_nEntryCount;
}

int BackupArchive::largeObjectCount() const
{
    return m_nLargeObjectCount;
}

const QVector<BackupArchive::Entry> &BackupArchive::entries() const
{
    return m_entries;
}
