#include "BackupArchive.h"
#include "TestArchive.h"

#include <QBuffer>
#include <QtTest>

namespace {

const QVersionNumber k112(1, 12, 0);
const QVersionNumber k114(1, 14, 0);
const QVersionNumber k116(1, 16, 0);

QByteArray withToc(const QByteArray &toc)
{
    QList<QPair<QString, QByteArray>> lstMembers = TestArchive::typicalMembers(k114);
    lstMembers[0].second = toc;
    return TestArchive::tar(lstMembers);
}

QByteArray withMember(const QVersionNumber &version, const QString &szName, const QByteArray &data)
{
    QList<QPair<QString, QByteArray>> lstMembers = TestArchive::typicalMembers(version);
    for (auto &member : lstMembers) {
        if (member.first == szName)
            member.second = data;
    }
    return TestArchive::tar(lstMembers);
}

QByteArray renamed(const QVersionNumber &version, const QString &szFrom, const QString &szTo)
{
    QList<QPair<QString, QByteArray>> lstMembers = TestArchive::typicalMembers(version);
    for (auto &member : lstMembers) {
        if (member.first == szFrom)
            member.first = szTo;
    }
    return TestArchive::tar(lstMembers);
}

// The typical archive with one large object's member and its line in the
// blobs TOC member left out.
QByteArray withoutLargeObject(const QVersionNumber &version)
{
    QList<QPair<QString, QByteArray>> lstMembers;
    for (const auto &member : TestArchive::typicalMembers(version)) {
        if (member.first == QLatin1String("blob_16404.dat"))
            continue;
        lstMembers << member;
        if (member.first.startsWith(QLatin1String("blobs")))
            lstMembers.last().second = "16403 blob_16403.dat\n";
    }
    return TestArchive::tar(lstMembers);
}

bool readBytes(BackupArchive &archive, const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return archive.read(buffer);
}

} // namespace

class TestBackupArchive : public QObject
{
    Q_OBJECT

private slots:
    void acceptsWholeArchive_data();
    void acceptsWholeArchive();
    void refusesDamagedArchive_data();
    void refusesDamagedArchive();
    void readsFile();
};

void TestBackupArchive::acceptsWholeArchive_data()
{
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<QVersionNumber>("version");
    QTest::addColumn<int>("intSize");
    QTest::addColumn<int>("entries");

    // Restored by default: three tables and sequences, the large objects'
    // entries, two table data, the sequence value, the constraint.
    for (int nMinor = 12; nMinor <= 16; ++nMinor) {
        const QVersionNumber version(1, nMinor, 0);
        QTest::addRow("format %s", qPrintable(version.toString()))
            << TestArchive::typicalArchive(version) << version << 4 << (nMinor == 16 ? 9 : 10);
    }

    TestArchive wide = TestArchive::typical(k114);
    wide.setIntSize(8);
    QTest::newRow("integers of 8 bytes") << withToc(wide.tocData()) << k114 << 8 << 10;

    // Members of 8 GiB and more have their size in base-256.
    QList<QPair<QString, QByteArray>> lstMembers = TestArchive::typicalMembers(k114);
    QByteArray base256;
    for (const auto &member : lstMembers)
        base256 += TestArchive::tarMember(member.first, member.second, member.first == QLatin1String("3342.dat"));
    QTest::newRow("size in base-256") << base256 + TestArchive::tarEnd() << k114 << 4 << 10;

    // A dump without data: the large objects are created empty, as asked.
    TestArchive schemaOnly(k114);
    for (const TestArchive::Entry &entry :
         {TestArchive::Entry{210, "TABLE", "public", "images", "CREATE TABLE public.images (id integer);\n", false, ""},
          TestArchive::Entry{3353, "BLOB", "", "16403", "SELECT pg_catalog.lo_create('16403');\n", false, ""},
          TestArchive::Entry{3354, "BLOB", "", "16404", "SELECT pg_catalog.lo_create('16404');\n", false, ""}})
        schemaOnly.addEntry(entry);
    QTest::newRow("schema only") << TestArchive::tar({{QStringLiteral("toc.dat"), schemaOnly.tocData()}}) << k114 << 4
                                 << 3;

    // GNU tar fills its last record with more zero blocks.
    QTest::newRow("record padding after the end")
        << TestArchive::typicalArchive(k114) + QByteArray(8 * 512, '\0') << k114 << 4 << 10;
}

void TestBackupArchive::acceptsWholeArchive()
{
    QFETCH(QByteArray, archive);
    QFETCH(QVersionNumber, version);
    QFETCH(int, intSize);
    QFETCH(int, entries);

    // The object is used again: nothing of a refused archive may remain.
    BackupArchive check;
    QVERIFY(!readBytes(check, QByteArray(4096, 'g')));
    QVERIFY(!check.reason().isEmpty());

    QVERIFY2(readBytes(check, archive), qPrintable(check.reason()));
    QVERIFY(check.isOk());
    QCOMPARE(check.reason(), QString());
    QCOMPARE(check.formatVersion(), version);
    QCOMPARE(check.intSize(), intSize);
    QCOMPARE(check.offsetSize(), 8);
    QCOMPARE(check.databaseName(), QStringLiteral("pelq"));
    QCOMPARE(check.serverVersion(), QStringLiteral("15.18 (Debian 15.18-0+deb12u1)"));
    QCOMPARE(check.dumpVersion(), QStringLiteral("15.18 (Debian 15.18-0+deb12u1)"));
    QCOMPARE(check.createdAt(), QDateTime(QDate(2026, 12, 6), QTime(14, 3, 7)));
    QCOMPARE(check.entryCount(), entries);
    QCOMPARE(check.largeObjectCount(), 2);

    QStringList lstRestored;
    for (const BackupArchive::Entry &entry : check.entries()) {
        if (entry.bRestored)
            lstRestored << QString::number(entry.nDumpId);
    }
    QCOMPARE(lstRestored.size(), entries);
    // The session and database entries and a schema without definition stay out.
    for (const char *pszId : {"100", "101", "102", "103", "104", "105"})
        QVERIFY2(!lstRestored.contains(QLatin1String(pszId)), pszId);
}

void TestBackupArchive::refusesDamagedArchive_data()
{
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<QString>("reason");

    const QByteArray whole = TestArchive::typicalArchive(k114);
    const QByteArray toc = TestArchive::typical(k114).tocData();
    const int nTocMember = TestArchive::tarMember(QStringLiteral("toc.dat"), toc).size();

    QTest::newRow("table data missing") << TestArchive::typicalArchive(k114, {QStringLiteral("3342.dat")})
                                        << "member 3342.dat of TABLE DATA public.images is missing";
    QTest::newRow("data of an empty table missing") << TestArchive::typicalArchive(k114, {QStringLiteral("3343.dat")})
                                                    << "member 3343.dat of TABLE DATA public.empty_t is missing";
    QTest::newRow("large object missing") << TestArchive::typicalArchive(k114, {QStringLiteral("blob_16403.dat")})
                                          << "large object 16403 (blob_16403.dat) is missing";
    QTest::newRow("empty large object missing") << TestArchive::typicalArchive(k112, {QStringLiteral("blob_16404.dat")})
                                                << "large object 16404 (blob_16404.dat) is missing";
    QTest::newRow("blobs.toc missing") << TestArchive::typicalArchive(k114, {QStringLiteral("blobs.toc")})
                                       << "member blobs.toc of BLOBS is missing";
    QTest::newRow("format 1.16: blobs TOC of the entry missing")
        << TestArchive::typicalArchive(k116, {QStringLiteral("blobs_3356.toc")})
        << "member blobs_3356.toc of BLOBS 16403..16404 is missing";
    QTest::newRow("format 1.16: old blobs.toc does not stand in")
        << renamed(k116, QStringLiteral("blobs_3356.toc"), QStringLiteral("blobs.toc"))
        << "member blobs_3356.toc of BLOBS 16403..16404 is missing";
    QTest::newRow("format 1.16: large object missing")
        << TestArchive::typicalArchive(k116, {QStringLiteral("blob_16404.dat")})
        << "large object 16404 (blob_16404.dat) is missing";
    QTest::newRow("large object left out with its line")
        << withoutLargeObject(k114) << "large object 16404 has no data in the archive: no blobs TOC member lists it";
    QTest::newRow("format 1.16: large object left out with its line")
        << withoutLargeObject(k116) << "large object 16404 has no data in the archive: no blobs TOC member lists it";
    QTest::newRow("blobs.toc damaged") << withMember(k114,
                                                     QStringLiteral("blobs.toc"),
                                                     "16403 blob_16403.dat\nblob_16404.dat\n")
                                       << "blobs.toc is damaged at line 2";
    QTest::newRow("blobs.toc names a member not there")
        << withMember(k114, QStringLiteral("blobs.toc"), "16403 blob_16403.dat\n16405 blob_16405.dat")
        << "large object 16405 (blob_16405.dat) is missing";

    QTest::newRow("member cut short")
        << TestArchive::tarMember(QStringLiteral("toc.dat"), toc) +
               TestArchive::tarMember(QStringLiteral("3342.dat"), QByteArray(2000, 'd')).left(512 + 1100)
        << "member 3342.dat is cut short: the archive ends inside it";
    QByteArray badChecksum = whole;
    badChecksum[nTocMember + 101] = '7';
    QTest::newRow("bad checksum") << badChecksum
                                  << QStringLiteral("the tar header at offset %1 is damaged").arg(nTocMember);
    QByteArray badSize = whole;
    badSize.replace(nTocMember + 124, 11, "0000000009x");
    QTest::newRow("size not a number") << badSize
                                       << QStringLiteral("the tar header at offset %1 is damaged").arg(nTocMember);
    QTest::newRow("end blocks missing") << whole.left(whole.size() - 1024)
                                        << "the archive ends without its end-of-archive blocks";
    QTest::newRow("one end block") << whole.left(whole.size() - 512)
                                   << "the end-of-archive blocks of the archive are incomplete";
    QTest::newRow("empty tar") << TestArchive::tarEnd() << "the archive is empty";
    QTest::newRow("empty file") << QByteArray() << "the file is empty";
    QTest::newRow("shorter than a block") << QByteArray(100, '\0') << "the file is too short for a tar archive";
    QTest::newRow("garbage") << QByteArray(8192, '\x5a') << "the file is not a tar archive";
    QTest::newRow("custom format") << QByteArray("PGDMP\x01\x0e\x00\x04\x08\x01", 11) + QByteArray(4096, 'c')
                                   << "the file is a pg_dump archive of another format, not a tar archive";

    QTest::newRow("no toc.dat") << TestArchive::typicalArchive(k114, {QStringLiteral("toc.dat")})
                                << "the archive holds no toc.dat: it is not a backup written by pg_dump";
    QTest::newRow("toc.dat without PGDMP")
        << withToc("PGDMQ" + toc.mid(5)) << "toc.dat does not begin with PGDMP: it is not written by pg_dump";
    QTest::newRow("toc.dat empty") << withToc(QByteArray())
                                   << "toc.dat does not begin with PGDMP: it is not written by pg_dump";
    QTest::newRow("newer format") << withToc(TestArchive::typical(QVersionNumber(1, 17, 0)).tocData())
                                  << "the archive format version 1.17.0 is newer than the newest this program reads "
                                     "(1.16)";
    QTest::newRow("newer major format") << withToc(TestArchive::typical(QVersionNumber(2, 0, 0)).tocData())
                                        << "the archive format version 2.0.0 is newer than the newest this program "
                                           "reads (1.16)";
    QTest::newRow("older format") << withToc(TestArchive::typical(QVersionNumber(1, 11, 0)).tocData())
                                  << "the archive format version 1.11.0 is older than the oldest this program reads "
                                     "(1.12)";
    TestArchive custom = TestArchive::typical(k114);
    custom.setFormat(1);
    QTest::newRow("toc.dat of another format")
        << withToc(custom.tocData()) << "toc.dat declares the archive format 1, not tar (3)";
    TestArchive noInts = TestArchive::typical(k114);
    noInts.setIntSize(0);
    QTest::newRow("integers of no bytes") << withToc(noInts.tocData()) << "toc.dat declares integers of 0 bytes";
    QTest::newRow("toc.dat cut in its header") << withToc(toc.left(40)) << "toc.dat ends inside its header";
    QTest::newRow("toc.dat cut in the last entry")
        << withToc(toc.left(toc.size() - 10)) << "toc.dat ends inside entry 16 of 16";
    QTest::newRow("toc.dat cut before the entries")
        << withToc(toc.left(toc.indexOf("15.18 (Debian") + 60)) << "toc.dat ends inside its header";

    TestArchive noMember(k114);
    noMember.addEntry(
        {3342, QStringLiteral("TABLE DATA"), QStringLiteral("public"), QStringLiteral("images"), "", true, ""});
    QTest::newRow("data without a member")
        << withToc(noMember.tocData()) << "TABLE DATA public.images has data but toc.dat names no member for it";
    TestArchive badId(k114);
    badId.addEntry(
        {0, QStringLiteral("TABLE"), QStringLiteral("public"), QStringLiteral("images"), "CREATE", false, ""});
    QTest::newRow("entry id 0") << withToc(badId.tocData()) << "entry 1 of 1 in toc.dat has the id 0";
}

void TestBackupArchive::refusesDamagedArchive()
{
    QFETCH(QByteArray, archive);
    QFETCH(QString, reason);

    BackupArchive check;
    QVERIFY(!readBytes(check, archive));
    QVERIFY(!check.isOk());
    QCOMPARE(check.reason(), reason);
}

void TestBackupArchive::readsFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString szPath = dir.filePath(QStringLiteral("missing.tar"));
    BackupArchive check;
    QVERIFY(!check.readFile(szPath));
    QVERIFY2(check.reason().startsWith(QStringLiteral("the file %1 cannot be opened: ").arg(szPath)),
             qPrintable(check.reason()));

    // A whole archive read from its file.
    QFile file(dir.filePath(QStringLiteral("whole.tar")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(TestArchive::typicalArchive(k116));
    file.close();
    QVERIFY2(check.readFile(file.fileName()), qPrintable(check.reason()));
    QCOMPARE(check.largeObjectCount(), 2);
}

QTEST_GUILESS_MAIN(TestBackupArchive)
#include "tst_BackupArchive.moc"
