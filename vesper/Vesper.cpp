#include "Vesper.h"

#include "Clock.h"
#include "LogFileManager.h"
#include "SymmetricEncryption.h"

#include <openssl/crypto.h>

#include <QCoreApplication>
#include <QDate>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTextStream>

const bool Vesper::dataBaseEnabled;
const bool Vesper::deviceEnabled;
const int Vesper::logFileMaxDimension;
const int Vesper::logIndexGeneral;
const int Vesper::validityDays;
const int Vesper::BLOCK_SIZE;
const int Vesper::KEY_SIZE;

namespace {

// Mixed layout: "I" holds the IV and the first key bytes, "K" the rest of the key.
constexpr int kMixedKeyHead = 8;

const char kEntryI[] = "Vesper/I";
const char kEntryK[] = "Vesper/K";

void wipe(QByteArray &bytes)
{
    if (!bytes.isEmpty())
        OPENSSL_cleanse(bytes.data(), static_cast<size_t>(bytes.size()));
    bytes.clear();
}

// Strict decoding: a damaged entry must not turn into a shorter or shifted byte sequence.
bool decodeBase64(const QByteArray &text, QByteArray &bytes)
{
    QByteArray::FromBase64Result result =
        QByteArray::fromBase64Encoding(text, QByteArray::Base64Encoding | QByteArray::AbortOnBase64DecodingErrors);
    if (!result) {
        wipe(result.decoded);
        return false;
    }
    bytes.swap(result.decoded);
    return true;
}

// Reads and decodes both entries of a setup file; a missing entry gives an empty array.
bool readSetupEntries(const QString &path, QByteArray &ivEntry, QByteArray &keyEntry)
{
    QSettings setup(path, QSettings::IniFormat);
    QByteArray text = setup.value(kEntryI).toByteArray();
    bool ok = decodeBase64(text, ivEntry);
    wipe(text);
    text = setup.value(kEntryK).toByteArray();
    ok = decodeBase64(text, keyEntry) && ok;
    wipe(text);
    return ok;
}

const char *dataFileKey(eCreType type)
{
    switch (type) {
    case CreDbUser:
        return "DBS/U";
    case CreDbPassword:
        return "DBS/P";
    case CreDbKey:
        return "DBS/K";
    }
    return nullptr;
}

const char *credentialName(eCreType type)
{
    switch (type) {
    case CreDbUser:
        return "username";
    case CreDbPassword:
        return "password";
    case CreDbKey:
        return "key";
    }
    return "";
}

// Replaces the file in the application's directory; a file that cannot be opened is skipped.
void writeAppDirTextFile(const QString &fileName, const QString &text)
{
    QFile file(QCoreApplication::applicationDirPath() + fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate))
        return;
    QTextStream out(&file);
    out << text;
}

QString base64Text(const unsigned char *bytes, int length)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(bytes), length).toBase64());
}

} // namespace

Vesper::Vesper()
    : orgFolder(QStringLiteral("/Marlek Telvor Group")), setupFileName(QStringLiteral("/Halvex/setup.ini")),
      dataFileName(QStringLiteral("/Vesper/data.ini")), baseFolder(defaultBaseFolder()),
      setupFilePath(baseFolder + orgFolder + setupFileName), dataFilePath(baseFolder + orgFolder + dataFileName),
      setupFileFound(false), dataFileFound(false), cipher(nullptr)
{
    initMixedHalvex();
}

Vesper::~Vesper()
{
    delete cipher;
}

QString Vesper::defaultBaseFolder()
{
    const QStringList locations = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    if (locations.size() >= 2)
        return locations.at(1);
    if (!locations.isEmpty())
        return locations.last();
    return QCoreApplication::applicationDirPath();
}

bool Vesper::checkSetupFile()
{
    if (QFile::exists(setupFilePath))
        return true;
    // The fall-back path is kept even when the file is not there either.
    setupFilePath = QCoreApplication::applicationDirPath() + setupFileName;
    if (QFile::exists(setupFilePath))
        return true;
    qDebug("Setup file not found!");
    return false;
}

bool Vesper::checkDataFile()
{
    if (QFile::exists(dataFilePath))
        return true;
    dataFilePath = QCoreApplication::applicationDirPath() + dataFileName;
    if (QFile::exists(dataFilePath))
        return true;
    qDebug("Data file not found!");
    return false;
}

void Vesper::initMixedHalvex()
{
    setupFileFound = checkSetupFile();
    dataFileFound = checkDataFile();
    if (!setupFileFound)
        return;

    QByteArray ivEntry;
    QByteArray keyEntry;
    const bool decoded = readSetupEntries(setupFilePath, ivEntry, keyEntry);
    if (!decoded || ivEntry.size() < BLOCK_SIZE + kMixedKeyHead || keyEntry.size() < KEY_SIZE - kMixedKeyHead) {
        qWarning("Setup file entries are missing or damaged!");
    } else {
        unsigned char iv[BLOCK_SIZE];
        unsigned char key[KEY_SIZE];
        memcpy(iv, ivEntry.constData(), BLOCK_SIZE);
        memcpy(key, ivEntry.constData() + BLOCK_SIZE, kMixedKeyHead);
        memcpy(key + kMixedKeyHead, keyEntry.constData(), KEY_SIZE - kMixedKeyHead);
        cipher = new SymmetricEncryption(key, KEY_SIZE, iv, BLOCK_SIZE);
        OPENSSL_cleanse(key, sizeof(key));
        OPENSSL_cleanse(iv, sizeof(iv));
    }
    wipe(ivEntry);
    wipe(keyEntry);
}

void Vesper::initHalvex()
{
    setupFilePath = baseFolder + orgFolder + setupFileName;
    if (!QFile::exists(setupFilePath))
        setupFilePath = QCoreApplication::applicationDirPath() + setupFileName;
    setupFileFound = QFile::exists(setupFilePath);

    delete cipher;
    cipher = nullptr;
    if (!setupFileFound)
        return;

    QByteArray ivEntry;
    QByteArray keyEntry;
    const bool decoded = readSetupEntries(setupFilePath, ivEntry, keyEntry);
    if (!decoded || ivEntry.size() < BLOCK_SIZE || keyEntry.size() < KEY_SIZE) {
        qWarning("Setup file entries are missing or damaged!");
    } else {
        unsigned char iv[BLOCK_SIZE];
        unsigned char key[KEY_SIZE];
        memcpy(iv, ivEntry.constData(), BLOCK_SIZE);
        memcpy(key, keyEntry.constData(), KEY_SIZE);
        cipher = new SymmetricEncryption(key, KEY_SIZE, iv, BLOCK_SIZE);
        OPENSSL_cleanse(key, sizeof(key));
        OPENSSL_cleanse(iv, sizeof(iv));
    }
    wipe(ivEntry);
    wipe(keyEntry);
}

QString Vesper::getCredentials(eCreType type)
{
    QString result;
    const char *key = dataFileKey(type);
    if (!key || !setupFileFound || !dataFileFound || !cipher)
        return result;

    QSettings data(dataFilePath, QSettings::IniFormat);
    QByteArray encrypted;
    if (!decodeBase64(data.value(QLatin1String(key)).toByteArray(), encrypted)) {
        qWarning("Data file entry %s is damaged!", key);
        return result;
    }
    cipher->decrypt(encrypted, result);

    qDebug().noquote() << QStringLiteral("%1application, with pid %2 has decypted DB %3")
                              .arg(QCoreApplication::applicationName())
                              .arg(QCoreApplication::applicationPid())
                              .arg(QLatin1String(credentialName(type)));
    return result;
}

void Vesper::setCredentials(eCreType type, const QString &value)
{
    const char *key = dataFileKey(type);
    if (!key)
        return;
    if (!cipher) {
        qWarning("No cipher: the credential was not stored!");
        return;
    }

    const QByteArray encrypted = cipher->encrypt(value);
    QSettings data(dataFilePath, QSettings::IniFormat);
    data.setValue(QLatin1String(key), encrypted.toBase64());
    data.sync();
    if (data.status() != QSettings::NoError)
        qWarning("Data file could not be written!");
}

void Vesper::saveI()
{
    unsigned char iv[BLOCK_SIZE];
    SymmetricEncryption::generateIv(iv, BLOCK_SIZE);
    QString text = base64Text(iv, BLOCK_SIZE) + QStringLiteral("\niv size is: %1 bytes").arg(BLOCK_SIZE);
    OPENSSL_cleanse(iv, sizeof(iv));
    writeAppDirTextFile(QStringLiteral("/i.txt"), text);
    text.fill(QChar());
}

void Vesper::saveK()
{
    unsigned char key[KEY_SIZE];
    SymmetricEncryption::generateKey(key, KEY_SIZE);
    QString text = base64Text(key, KEY_SIZE) + QStringLiteral("\nkey size is: %1 bytes").arg(KEY_SIZE);
    OPENSSL_cleanse(key, sizeof(key));
    writeAppDirTextFile(QStringLiteral("/k.txt"), text);
    text.fill(QChar());
}

void Vesper::saveMixedKI()
{
    unsigned char iv[BLOCK_SIZE];
    unsigned char key[KEY_SIZE];
    SymmetricEncryption::generateIv(iv, BLOCK_SIZE);
    SymmetricEncryption::generateKey(key, KEY_SIZE);

    unsigned char mixedI[BLOCK_SIZE + kMixedKeyHead];
    memcpy(mixedI, iv, BLOCK_SIZE);
    memcpy(mixedI + BLOCK_SIZE, key, kMixedKeyHead);
    QString text = QStringLiteral("IV:  ") + base64Text(mixedI, sizeof(mixedI)) + QStringLiteral("\nKEY: ") +
                   base64Text(key + kMixedKeyHead, KEY_SIZE - kMixedKeyHead);
    OPENSSL_cleanse(mixedI, sizeof(mixedI));
    OPENSSL_cleanse(key, sizeof(key));
    OPENSSL_cleanse(iv, sizeof(iv));
    writeAppDirTextFile(QStringLiteral("/mixed.txt"), text);
    text.fill(QChar());
}

void Vesper::initLogFileManager()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + orgFolder +
                           QStringLiteral("/Vesper/Log/");
    QDir().mkpath(folder);

    const QDate today = Clock::today();
    const QString name = QStringLiteral("Vesper-%1-%2-%3")
                             .arg(today.year())
                             .arg(today.month(), 2, 10, QLatin1Char('0'))
                             .arg(today.day(), 2, 10, QLatin1Char('0'));

    LogFileManager *log = LogFileManager::Instance();
    log->DeleteOldFiles(folder, QStringLiteral("elf"), validityDays);
    log->AddLogFile(logIndexGeneral,
                    QStringLiteral("KIV"),
                    folder,
                    name,
                    QStringLiteral("elf"),
                    logFileMaxDimension,
                    5,
                    true,
                    true);
    log->SetSeparateFiles(true, 5, 10, true);
    log->SetCategoryFilters(dataBaseEnabled, deviceEnabled);
    log->OpenFiles();
    log->Log(logIndexGeneral, QStringLiteral("*** Start Program ***"), LogCatGeneral, LogSevInformation);
}
