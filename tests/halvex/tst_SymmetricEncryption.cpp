#include "SymmetricEncryption.h"

#include <QRandomGenerator>
#include <QtTest>

#include "MessageCatcher.h"

#include <openssl/evp.h>

#include <atomic>
#include <limits>
#include <memory>

#if defined(__SANITIZE_ADDRESS__)
#define HALVEX_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HALVEX_TEST_ASAN 1
#endif
#endif
#ifdef HALVEX_TEST_ASAN
// Provided by the sanitizer run-time; GCC's headers do not declare it.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void *, size_t),
                                                         void (*)(const volatile void *));
#endif

namespace {
// NIST SP 800-38A, F.2.5 CBC-AES256.Encrypt.
const QByteArray kNistKey = QByteArray::fromHex("603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4");
const QByteArray kNistIv = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f");
const QByteArray kNistPlain = QByteArray::fromHex("6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
                                                  "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710");
// NIST's four cipher blocks followed by the PKCS#7 padding block (from `openssl enc`).
const QByteArray kNistCipher = QByteArray::fromHex("f58c4c04d6e5f1ba779eabfb5f7bfbd69cfc4e967edb808d679f777bc6702c7d"
                                                   "39f23369a9d9bacfa530e26304231461b2eb05e2c39be9fcda6c19078c6a9d1b"
                                                   "3f461796d6b0d6b2e0c2a72b4d80e644");

const unsigned char *bytes(const QByteArray &array)
{
    return reinterpret_cast<const unsigned char *>(array.constData());
}

std::unique_ptr<SymmetricEncryption> makeEncryption(const QByteArray &key = kNistKey, const QByteArray &iv = kNistIv)
{
    return std::make_unique<SymmetricEncryption>(bytes(key), key.size(), bytes(iv), iv.size());
}

// AES-256-CBC straight through OpenSSL, as the reference for the library's output.
QByteArray
rawCrypt(bool encrypt, const QByteArray &input, const QByteArray &key = kNistKey, const QByteArray &iv = kNistIv)
{
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
    QByteArray out(input.size() + 32, '\0');
    auto *o = reinterpret_cast<unsigned char *>(out.data());
    int n = 0;
    int f = 0;
    if (EVP_CipherInit_ex(ctx.get(), EVP_aes_256_cbc(), nullptr, bytes(key), bytes(iv), encrypt ? 1 : 0) != 1 ||
        EVP_CipherUpdate(ctx.get(), o, &n, bytes(input), input.size()) != 1 ||
        EVP_CipherFinal_ex(ctx.get(), o + n, &f) != 1)
        return "raw EVP failed";
    return out.left(n + f);
}

int expectedCipherLength(int plainLength)
{
    return 16 * (plainLength / 16 + 1);
}

std::atomic<bool> g_recordAllocations{false};
std::atomic<size_t> g_largestAllocation{0};

#ifdef HALVEX_TEST_ASAN
void onMalloc(const volatile void *, size_t size)
{
    if (g_recordAllocations && size > g_largestAllocation)
        g_largestAllocation = size;
}
void onFree(const volatile void *) {}
#endif

template <typename T> bool roundTrips(const SymmetricEncryption &encryption, const T &value)
{
    T back{};
    encryption.decrypt(encryption.encrypt(value), back);
    if (!(back == value))
        qWarning() << "value" << value << "came back as" << back;
    return back == value;
}
} // namespace

class TestSymmetricEncryption : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void matchesIndependentVectors_data();
    void matchesIndependentVectors();
    void decryptsIndependentVectors();
    void writesByteExactPlainBytes_data();
    void writesByteExactPlainBytes();
    void roundTripsEveryType();
    void reportsDecryptFailures_data();
    void reportsDecryptFailures();
    void survivesRandomAndTruncatedInput();
    void damagedStringLengthAllocatesLittle();
    void copyIsIndependentOfOriginal();
    void cleanUpGivesAllZeroKeyAndIv();
    void laterObjectsKeepWorking();
    void padsShortKeyAndIvWithZeros_data();
    void padsShortKeyAndIvWithZeros();
    void generatesRandomBytesInBounds();
};

void TestSymmetricEncryption::initTestCase()
{
#ifdef HALVEX_TEST_ASAN
    __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree);
#endif
}

void TestSymmetricEncryption::matchesIndependentVectors_data()
{
    QTest::addColumn<QByteArray>("cipher");
    QTest::addColumn<QByteArray>("expected");
    // Expected bytes come from NIST and from `openssl enc -aes-256-cbc` with the NIST key and IV.
    const auto enc = makeEncryption();
    const IEncryption &iface = *enc;
    QTest::newRow("nist four blocks") << iface.encryptData(kNistPlain) << kNistCipher;
    QTest::newRow("int") << enc->encrypt(int(0x01020304)) << QByteArray::fromHex("79bb447e3c89331c04a206fd115f715b");
    QTest::newRow("unsigned int") << enc->encrypt(0x01020304u)
                                  << QByteArray::fromHex("79bb447e3c89331c04a206fd115f715b");
    QTest::newRow("string AB") << enc->encrypt(QStringLiteral("AB"))
                               << QByteArray::fromHex("9ab326ee48719fd99d4f5c37e280c463");
    QTest::newRow("null string") << enc->encrypt(QString()) << QByteArray::fromHex("29cd6da7adadcd312f614a10d705787d");
    QTest::newRow("empty string") << enc->encrypt(QString(""))
                                  << QByteArray::fromHex("0d7ca6f9080b8d16e0fdce6fded14317");
    QTest::newRow("double 1.5") << enc->encrypt(1.5) << QByteArray::fromHex("8b7083318a367347251b199b4a8285a1");
    QTest::newRow("float 1.5") << enc->encrypt(1.5f) << QByteArray::fromHex("8b7083318a367347251b199b4a8285a1");
}

void TestSymmetricEncryption::matchesIndependentVectors()
{
    QFETCH(QByteArray, cipher);
    QFETCH(QByteArray, expected);
    QCOMPARE(cipher.toHex(), expected.toHex());
}

void TestSymmetricEncryption::decryptsIndependentVectors()
{
    const auto enc = makeEncryption();
    QCOMPARE(static_cast<const IEncryption &>(*enc).decryptData(kNistCipher).toHex(), kNistPlain.toHex());
    int number = 0;
    enc->decrypt(QByteArray::fromHex("79bb447e3c89331c04a206fd115f715b"), number);
    QCOMPARE(number, 0x01020304);
    QString text;
    enc->decrypt(QByteArray::fromHex("9ab326ee48719fd99d4f5c37e280c463"), text);
    QCOMPARE(text, QStringLiteral("AB"));
    enc->decrypt(QByteArray::fromHex("29cd6da7adadcd312f614a10d705787d"), text);
    QVERIFY(text.isNull());
    enc->decrypt(QByteArray::fromHex("0d7ca6f9080b8d16e0fdce6fded14317"), text);
    QVERIFY(text.isEmpty() && !text.isNull());
    float single = 0;
    enc->decrypt(QByteArray::fromHex("8b7083318a367347251b199b4a8285a1"), single);
    QCOMPARE(single, 1.5f);
}

void TestSymmetricEncryption::writesByteExactPlainBytes_data()
{
    QTest::addColumn<QByteArray>("cipher");
    QTest::addColumn<QByteArray>("plain");
    const auto enc = makeEncryption();
    const auto row = [&](const char *name, const QByteArray &cipher, const char *hex) {
        QTest::newRow(name) << cipher << QByteArray::fromHex(hex);
    };
    row("signed char", enc->encrypt(static_cast<signed char>(-5)), "fb");
    row("unsigned char", enc->encrypt(static_cast<unsigned char>(0xfb)), "fb");
    row("short", enc->encrypt(static_cast<short>(-2)), "fffe");
    row("unsigned short", enc->encrypt(static_cast<unsigned short>(0xfffe)), "fffe");
    row("int", enc->encrypt(-2), "fffffffe");
    row("qint64", enc->encrypt(Q_INT64_C(0x0102030405060708)), "0102030405060708");
    row("quint64", enc->encrypt(std::numeric_limits<quint64>::max()), "ffffffffffffffff");
    row("bool true", enc->encrypt(true), "01");
    row("bool false", enc->encrypt(false), "00");
    row("float", enc->encrypt(-2.25f), "c002000000000000");
    row("double", enc->encrypt(0.1), "3fb999999999999a");
    row("string utf-16", enc->encrypt(QString::fromUtf8("\xc3\x84\xe2\x82\xac")), "0000000400c420ac");
    row("string of 6 units", enc->encrypt(QStringLiteral("abcdef")), "0000000c006100620063006400650066");
    row("time", enc->encrypt(QTime(1, 2, 3, 4)), "0038cefc");
    row("invalid time", enc->encrypt(QTime()), "ffffffff");
    row("date time utc",
        enc->encrypt(QDateTime(QDate(2000, 1, 1), QTime(12, 0), Qt::UTC)),
        "000000000025685902932e0001");
    row("date time local",
        enc->encrypt(QDateTime(QDate(2000, 1, 1), QTime(12, 0), Qt::LocalTime)),
        "000000000025685902932e0000");
    row("date time offset",
        enc->encrypt(QDateTime(QDate(2000, 1, 1), QTime(12, 0), Qt::OffsetFromUTC, 3600)),
        "000000000025685902932e000200000e10");
}

void TestSymmetricEncryption::writesByteExactPlainBytes()
{
    QFETCH(QByteArray, cipher);
    QFETCH(QByteArray, plain);
    QCOMPARE(rawCrypt(false, cipher).toHex(), plain.toHex());
    QCOMPARE(cipher.size(), expectedCipherLength(plain.size()));
}

void TestSymmetricEncryption::roundTripsEveryType()
{
    const auto enc = makeEncryption();
    QVERIFY(roundTrips(*enc, std::numeric_limits<signed char>::min()));
    QVERIFY(roundTrips(*enc, std::numeric_limits<unsigned char>::max()));
    QVERIFY(roundTrips(*enc, std::numeric_limits<short>::min()));
    QVERIFY(roundTrips(*enc, std::numeric_limits<unsigned short>::max()));
    QVERIFY(roundTrips(*enc, std::numeric_limits<int>::min()));
    QVERIFY(roundTrips(*enc, std::numeric_limits<unsigned int>::max()));
    QVERIFY(roundTrips(*enc, std::numeric_limits<qint64>::min()));
    QVERIFY(roundTrips(*enc, std::numeric_limits<quint64>::max()));
    QVERIFY(roundTrips(*enc, true));
    QVERIFY(roundTrips(*enc, 3.25f));
    QVERIFY(roundTrips(*enc, -1e300));
    QVERIFY(roundTrips(*enc, QString(300, QChar(0x20ac))));
    QVERIFY(roundTrips(*enc, QTime(23, 59, 59, 999)));
    QVERIFY(roundTrips(*enc, QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59), Qt::OffsetFromUTC, -5400)));
    const QTimeZone zone("Europe/Rome");
    if (zone.isValid())
        QVERIFY(roundTrips(*enc, QDateTime(QDate(2024, 7, 1), QTime(8, 30), zone)));
}

void TestSymmetricEncryption::reportsDecryptFailures_data()
{
    QTest::addColumn<QByteArray>("cipher");
    const auto enc = makeEncryption();
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("15 bytes") << QByteArray(15, 'x');
    QTest::newRow("17 bytes") << QByteArray(17, 'x');
    // The first block alone ends in string data, which is no valid padding.
    QTest::newRow("truncated to one block") << enc->encrypt(QStringLiteral("abcdefgh")).left(16);
    QTest::newRow("last byte changed") << enc->encrypt(0x01020304).replace(15, 1, "\x55");
}

void TestSymmetricEncryption::reportsDecryptFailures()
{
    QFETCH(QByteArray, cipher);
    const auto enc = makeEncryption();
    int number = 7;
    qint64 wide = 7;
    QString text = "x";
    MessageCatcher capture;
    enc->decrypt(cipher, number);
    enc->decrypt(cipher, wide);
    enc->decrypt(cipher, text);
    QCOMPARE(number, 0);
    QCOMPARE(wide, qint64(0));
    QVERIFY(text.isEmpty());
    QCOMPARE(capture.messages(),
             QStringList({"EVP_DecryptFinal_ex failed", "EVP_DecryptFinal_ex failed", "EVP_DecryptFinal_ex failed"}));
}

void TestSymmetricEncryption::survivesRandomAndTruncatedInput()
{
    const auto enc = makeEncryption();
    const IEncryption &iface = *enc;
    QRandomGenerator random(20240601);
    MessageCatcher capture;
    for (int i = 0; i < 400; ++i) {
        QByteArray input(int(random.bounded(97)), Qt::Uninitialized);
        for (char &c : input)
            c = char(random.bounded(256));
        int number = 1;
        QString text = "x";
        QDateTime when;
        QTime time;
        double real = 1;
        enc->decrypt(input, number);
        enc->decrypt(input, text);
        enc->decrypt(input, when);
        enc->decrypt(input, time);
        enc->decrypt(input, real);
        const QByteArray plain = iface.decryptData(input);
        QVERIFY(plain.size() < input.size() || input.isEmpty());
        if (input.size() % 16 != 0)
            QVERIFY(plain.isEmpty());
        // Input whose padding happens to be valid decrypts to garbage; everything else must give nothing.
        if (plain.isEmpty()) {
            QCOMPARE(number, 0);
            QVERIFY(text.isEmpty());
            QCOMPARE(real, 0.0);
        }
    }
    // Every cut of a long string's cipher fails, and never gives a partial string.
    const QByteArray cipher = enc->encrypt(QString(100, QLatin1Char('k')));
    for (int length = 0; length < cipher.size(); ++length) {
        QString text = "x";
        enc->decrypt(cipher.left(length), text);
        QVERIFY2(text.isEmpty(), qPrintable(QString::number(length)));
    }
    QVERIFY(capture.messages().contains("EVP_DecryptFinal_ex failed"));
}

void TestSymmetricEncryption::damagedStringLengthAllocatesLittle()
{
    // Plain bytes claiming strings of about 4 GiB that are not there.
    const QByteArray hugeString = QByteArray::fromHex("fffffff0") + QByteArray(12, 'a');
    const QByteArray hugeZone = QByteArray::fromHex("000000000025685902932e0003fffffff0") + QByteArray(12, 'a');
    const auto enc = makeEncryption();
    QString text = "x";
    QDateTime when;
    g_largestAllocation = 0;
    g_recordAllocations = true;
    enc->decrypt(rawCrypt(true, hugeString), text);
    enc->decrypt(rawCrypt(true, hugeZone), when);
    g_recordAllocations = false;
    QVERIFY(text.isEmpty());
#ifdef HALVEX_TEST_ASAN
    QVERIFY2(g_largestAllocation > 0 && g_largestAllocation < 64u * 1024 * 1024,
             qPrintable(QString::number(g_largestAllocation)));
#endif
}

void TestSymmetricEncryption::copyIsIndependentOfOriginal()
{
    auto original = makeEncryption();
    const QByteArray cipher = original->encrypt(QStringLiteral("copy"));
    SymmetricEncryption copy(*original);
    QCOMPARE(copy.encrypt(QStringLiteral("copy")), cipher);
    copy.cleanUp();
    QCOMPARE(original->encrypt(QStringLiteral("copy")), cipher);
    SymmetricEncryption second(*original);
    original.reset();
    QString text;
    second.decrypt(cipher, text);
    QCOMPARE(text, QStringLiteral("copy"));
}

void TestSymmetricEncryption::cleanUpGivesAllZeroKeyAndIv()
{
    const auto enc = makeEncryption();
    const QByteArray before = enc->encrypt(42);
    enc->cleanUp();
    const QByteArray after = enc->encrypt(42);
    QVERIFY(after != before);
    QCOMPARE(after.toHex(),
             rawCrypt(true, QByteArray::fromHex("0000002a"), QByteArray(32, '\0'), QByteArray(16, '\0')).toHex());
    int number = 0;
    enc->decrypt(after, number);
    QCOMPARE(number, 42);
}

void TestSymmetricEncryption::laterObjectsKeepWorking()
{
    for (int i = 0; i < 5; ++i) {
        const auto enc = makeEncryption();
        QCOMPARE(enc->encrypt(i).size(), 16);
    }
    const auto later = makeEncryption();
    QCOMPARE(static_cast<const IEncryption &>(*later).encryptData(kNistPlain).toHex(), kNistCipher.toHex());
    unsigned char key[32] = {};
    SymmetricEncryption::generateKey(key, 32);
    QVERIFY(QByteArray(reinterpret_cast<char *>(key), 32) != QByteArray(32, '\0'));
}

void TestSymmetricEncryption::padsShortKeyAndIvWithZeros_data()
{
    QTest::addColumn<int>("keyLength");
    QTest::addColumn<int>("ivLength");
    QTest::newRow("16 and 8") << 16 << 8;
    QTest::newRow("31 and 15") << 31 << 15;
    QTest::newRow("none") << 0 << 0;
    QTest::newRow("negative") << -1 << -1;
}

void TestSymmetricEncryption::padsShortKeyAndIvWithZeros()
{
    QFETCH(int, keyLength);
    QFETCH(int, ivLength);
    // Exact-size heap buffers, so that reading past them trips the address sanitizer.
    const int keyBytes = qMax(keyLength, 0);
    const int ivBytes = qMax(ivLength, 0);
    std::unique_ptr<unsigned char[]> key(new unsigned char[size_t(keyBytes) + 1]);
    std::unique_ptr<unsigned char[]> iv(new unsigned char[size_t(ivBytes) + 1]);
    std::unique_ptr<unsigned char[]> shortKey(new unsigned char[size_t(keyBytes)]);
    std::unique_ptr<unsigned char[]> shortIv(new unsigned char[size_t(ivBytes)]);
    for (int i = 0; i < keyBytes; ++i)
        shortKey[size_t(i)] = key[size_t(i)] = static_cast<unsigned char>(i + 1);
    for (int i = 0; i < ivBytes; ++i)
        shortIv[size_t(i)] = iv[size_t(i)] = static_cast<unsigned char>(0x80 + i);
    MessageCatcher capture;
    const SymmetricEncryption enc(shortKey.get(), keyLength, shortIv.get(), ivLength);
    QCOMPARE(capture.messages().size(), 2);
    const QByteArray paddedKey = QByteArray(reinterpret_cast<char *>(key.get()), keyBytes).leftJustified(32, '\0');
    const QByteArray paddedIv = QByteArray(reinterpret_cast<char *>(iv.get()), ivBytes).leftJustified(16, '\0');
    QCOMPARE(enc.encrypt(7).toHex(), rawCrypt(true, QByteArray::fromHex("00000007"), paddedKey, paddedIv).toHex());
}

void TestSymmetricEncryption::generatesRandomBytesInBounds()
{
    QByteArray first(40, '\xa5');
    QByteArray second(40, '\xa5');
    QByteArray iv(24, '\xa5');
    SymmetricEncryption::generateKey(reinterpret_cast<unsigned char *>(first.data()), 32);
    SymmetricEncryption::generateKey(reinterpret_cast<unsigned char *>(second.data()), 32);
    SymmetricEncryption::generateIv(reinterpret_cast<unsigned char *>(iv.data()), 16);
    QVERIFY(first.left(32) != second.left(32));
    QVERIFY(first.left(32) != QByteArray(32, '\xa5') && iv.left(16) != QByteArray(16, '\xa5'));
    QCOMPARE(first.mid(32), QByteArray(8, '\xa5'));
    QCOMPARE(iv.mid(16), QByteArray(8, '\xa5'));

    MessageCatcher capture;
    SymmetricEncryption::generateKey(nullptr, 32);
    SymmetricEncryption::generateIv(nullptr, 16);
    SymmetricEncryption::generateKey(reinterpret_cast<unsigned char *>(first.data()), 0);
    QCOMPARE(capture.messages(), QStringList({"RAND_bytes key failed", "RAND_bytes for iv failed"}));
}

QTEST_APPLESS_MAIN(TestSymmetricEncryption)

#include "tst_SymmetricEncryption.moc"
