// FuzzSeeds DIR: writes the seed inputs of the libFuzzer harnesses into
// DIR/<harness>/, one file per input, all made at run time by our own
// encoders: the light cipher, HalvexLib, the log file manager, the XML
// settings writer and Qt's INI writer in the layout Vesper reads.

#include "FuzzSupport.h"
#include "LightCipher.h"
#include "LogFileManager.h"
#include "LogKey.h"
#include "SymmetricEncryption.h"
#include "XmlFormat.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {

class SeedFolder
{
public:
    SeedFolder(const QString &root, const QString &harness) : m_path(root + QLatin1Char('/') + harness)
    {
        m_ok = QDir().mkpath(m_path);
    }

    void add(const QByteArray &content)
    {
        QFile file(QStringLiteral("%1/seed-%2").arg(m_path).arg(++m_count, 3, 10, QLatin1Char('0')));
        m_ok = m_ok && file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    }

    bool ok() const { return m_ok; }

private:
    QString m_path;
    int m_count = 0;
    bool m_ok = false;
};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<QByteArray> logLines()
{
    return {"\nKIV00000001<2026-03-02 09:05:03:007> *** Start Program ***",
            QString::fromUtf8("\nKIV00000001<2026-03-02 09:05:03:008> WARNING: Größe 日本語").toUtf8(),
            "\nKIV00000001<2026-03-02 09:05:04:000> " + QByteArray("step done. ").repeated(200),
            QByteArray()};
}

bool lightCipherSeeds(const QString &root)
{
    SeedFolder seeds(root, QStringLiteral("FuzzLightCipher"));
    LightCipher cipher(kLogCipherKey);
    for (const QByteArray &line : logLines())
        seeds.add(cipher.EncryptBytes(line));
    return seeds.ok();
}

template <typename T> void addTyped(SeedFolder &seeds, const SymmetricEncryption &cipher, const T &value)
{
    seeds.add(QByteArray(1, '\0') + cipher.encrypt(value));
    QByteArray plain;
    QDataStream out(&plain, QIODevice::WriteOnly);
    out << value;
    seeds.add(QByteArray(1, '\1') + plain);
}

bool symmetricEncryptionSeeds(const QString &root)
{
    SeedFolder seeds(root, QStringLiteral("FuzzSymmetricEncryption"));
    const SymmetricEncryption cipher(reinterpret_cast<const unsigned char *>(fuzz::aesKey().constData()),
                                     fuzz::aesKey().size(),
                                     reinterpret_cast<const unsigned char *>(fuzz::aesIv().constData()),
                                     fuzz::aesIv().size());
    addTyped(seeds, cipher, static_cast<signed char>(-7));
    addTyped(seeds, cipher, static_cast<short>(-1234));
    addTyped(seeds, cipher, 123456789);
    addTyped(seeds, cipher, 1.5f);
    addTyped(seeds, cipher, -2.25);
    addTyped(seeds, cipher, QDateTime(QDate(2026, 3, 2), QTime(9, 5, 3, 7), Qt::UTC));
    addTyped(seeds, cipher, QDateTime(QDate(2026, 3, 2), QTime(9, 5, 3, 7), Qt::OffsetFromUTC, 3600));
    addTyped(seeds, cipher, QString::fromUtf8("pass wörd 日本"));
    addTyped(seeds, cipher, QString());
    addTyped(seeds, cipher, QTime(23, 59, 59, 999));
    addTyped(seeds, cipher, Q_INT64_C(-9000000000));
    addTyped(seeds, cipher, true);
    return seeds.ok();
}

bool encryptedLogSeeds(const QString &root, const QTemporaryDir &work)
{
    SeedFolder seeds(root, QStringLiteral("FuzzEncryptedLog"));
    LogFileManager *manager = LogFileManager::Instance();
    manager->AddLogFile(1,
                        QStringLiteral("KIV"),
                        work.path() + QLatin1Char('/'),
                        QStringLiteral("seed"),
                        QStringLiteral("elf"),
                        1,
                        5,
                        true,
                        true);
    manager->SetSeparateFiles(true, 5, 10, true);
    const bool opened = manager->OpenFiles();
    for (const QByteArray &line : logLines())
        manager->Log(1, QString::fromUtf8(line));
    LogFileManager::Release();
    seeds.add(fileBytes(work.filePath(QStringLiteral("seed.elf"))));

    // The same entries, given one by one.
    LightCipher cipher(kLogCipherKey);
    QList<QByteArray> entries;
    for (const QByteArray &line : logLines())
        entries << cipher.EncryptBytes(line);
    seeds.add(entries.join(fuzz::kEntrySeparator));
    seeds.add(entries.first());
    return opened && seeds.ok();
}

bool xmlSettingsSeeds(const QString &root)
{
    SeedFolder seeds(root, QStringLiteral("FuzzXmlSettings"));
    const QList<QSettings::SettingsMap> maps{
        {{QStringLiteral("server/chunkSize"), 104857600u},
         {QStringLiteral("server/compressedTraffic"), true},
         {QStringLiteral("server/portRange"), QStringLiteral("51001:51020")},
         {QStringLiteral("softwarePath"), QStringLiteral("C:/KIV")}},
        {{QStringLiteral("a/b/c"), 1},
         {QStringLiteral("a/b"), QString()},
         {QStringLiteral("a/e"), QStringLiteral(" ")}},
        {{QStringLiteral("common/additionalPath1"), QStringLiteral("<x> & \"y\" ]]> D:/Zürich/日本")}}};
    for (const QSettings::SettingsMap &map : maps) {
        QByteArray document;
        QBuffer buffer(&document);
        if (!buffer.open(QIODevice::WriteOnly) || !XmlFormat::writeXmlFile(buffer, map))
            return false;
        seeds.add(document);
    }
    // What other writers may do: text in pieces, comments, a document type.
    seeds.add("<?xml version=\"1.0\"?>\n<!DOCTYPE Settings>\n<Settings><!-- note -->"
              "<a kind=\"x\">one &amp; <![CDATA[<two>]]> three</a><b><![CDATA[]]></b></Settings>\n");
    return seeds.ok();
}

bool credentialsSeeds(const QString &root, const QTemporaryDir &work)
{
    SeedFolder seeds(root, QStringLiteral("FuzzCredentials"));
    const QByteArray &key = fuzz::aesKey();
    const QByteArray &iv = fuzz::aesIv();
    const QString setupPath = work.filePath(QStringLiteral("setup.ini"));
    const QString dataPath = work.filePath(QStringLiteral("data.ini"));
    {
        // The mixed layout: "I" the IV and the first 8 key bytes, "K" the other 24.
        QSettings setup(setupPath, QSettings::IniFormat);
        setup.setValue(QStringLiteral("Vesper/I"), (iv + key.left(8)).toBase64());
        setup.setValue(QStringLiteral("Vesper/K"), key.mid(8).toBase64());
    }
    {
        const SymmetricEncryption cipher(reinterpret_cast<const unsigned char *>(key.constData()),
                                         key.size(),
                                         reinterpret_cast<const unsigned char *>(iv.constData()),
                                         iv.size());
        QSettings data(dataPath, QSettings::IniFormat);
        data.setValue(QStringLiteral("DBS/U"), cipher.encrypt(QStringLiteral("marlek")).toBase64());
        data.setValue(QStringLiteral("DBS/P"), cipher.encrypt(QString::fromUtf8("pässword")).toBase64());
        data.setValue(QStringLiteral("DBS/K"), cipher.encrypt(QStringLiteral("data-key")).toBase64());
    }
    const QByteArray setup = fileBytes(setupPath);
    const QByteArray data = fileBytes(dataPath);
    seeds.add(setup + fuzz::kCredentialsSeparator + data);
    seeds.add(setup);
    return !setup.isEmpty() && !data.isEmpty() && seeds.ok();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QTextStream err(stderr);
    if (args.size() != 2) {
        err << "usage: FuzzSeeds DIR\n";
        return 2;
    }
    const QString root = args.at(1);
    QTemporaryDir work;
    const bool ok = work.isValid() && lightCipherSeeds(root) && symmetricEncryptionSeeds(root) &&
                    encryptedLogSeeds(root, work) && xmlSettingsSeeds(root) && credentialsSeeds(root, work);
    if (!ok) {
        err << "FuzzSeeds: cannot write the seeds into " << root << '\n';
        return 1;
    }
    return 0;
}
