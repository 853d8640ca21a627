#include "Clock.h"
#include "LightCipher.h"
#include "LogFileManager.h"
#include "LogKey.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include "MessageCatcher.h"

#include <ctime>

namespace {

const QByteArray kBom("\xEF\xBB\xBF");
const QByteArray kEncryptedHeader("\xA5\xB7\xC9\xDF\x00\x00\x00\x01", 8);

QDateTime g_fixedTime;
QDateTime fixedClock()
{
    return g_fixedTime;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

// An encrypted log file made of the given cipher entries, as the writer stores them.
bool writeEncryptedLog(const QString &path, const QByteArrayList &cipherEntries)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QDataStream out(&file);
    out.setVersion(QDataStream::Qt_5_2);
    out << quint32(0xA5B7C9DF) << quint32(1);
    for (const QByteArray &entry : cipherEntries)
        out << QString::fromLatin1(entry.toBase64());
    return out.status() == QDataStream::Ok;
}

qint64 storedSize(const QByteArray &cipherEntry)
{
    return 4 + 2 * qint64(cipherEntry.toBase64().size());
}

} // namespace

class TestLogFileManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void writesByteOrderMarkOnce();
    void stampsLinesWithLocalTime();
    void formatsLines_data();
    void formatsLines();
    void filtersCategories_data();
    void filtersCategories();
    void dropsUndeliverableMessages();
    void rotatesWhenLimitExceeded_data();
    void rotatesWhenLimitExceeded();
    void rotatesOnlyPastLimit_data();
    void rotatesOnlyPastLimit();
    void shiftsNumberedBackups_data();
    void shiftsNumberedBackups();
    void fallsBackToOldFile();
    void writesEverythingToGeneralFile();
    void reportsFailedOpen();
    void deletesOldFiles_data();
    void deletesOldFiles();
    void writesEncryptedLog();
    void rejectsOtherFiles_data();
    void rejectsOtherFiles();
    void survivesDamagedEncryptedLog_data();
    void survivesDamagedEncryptedLog();
    void boundsWhatItReads_data();
    void boundsWhatItReads();
    void queuesMessagesFromOtherThreads();
    void readerPrintsEncryptedLog();
    void readerRejectsOtherFiles_data();
    void readerRejectsOtherFiles();

private:
    // Sets up index 1 ("KIV") in the temporary folder and opens it.
    LogFileManager *openLog(const QString &name, bool encrypted, qint64 maxSizeMb = 1, int backups = 5);
    QString path(const QString &fileName) const { return m_dir->filePath(fileName); }

    QScopedPointer<QTemporaryDir> m_dir;
};

void TestLogFileManager::initTestCase()
{
    // A zone far from UTC with a quarter-hour offset, so that a wrong offset shows.
    qputenv("TZ", "KTM-5:45");
    tzset();
}

void TestLogFileManager::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
    g_fixedTime = QDateTime(QDate(2026, 3, 2), QTime(9, 5, 3, 7));
    Clock::set(&fixedClock);
}

void TestLogFileManager::cleanup()
{
    LogFileManager::Release();
    Clock::set(nullptr);
    m_dir.reset();
}

LogFileManager *TestLogFileManager::openLog(const QString &name, bool encrypted, qint64 maxSizeMb, int backups)
{
    LogFileManager *manager = LogFileManager::Instance();
    manager->SetOwner(QCoreApplication::instance());
    manager->AddLogFile(
        1, "KIV", m_dir->path() + "/", name, encrypted ? "elf" : "log", maxSizeMb, backups, encrypted, true);
    manager->SetSeparateFiles(true, 5, 10, true);
    manager->SetCategoryFilters(false, false);
    if (!manager->OpenFiles())
        return nullptr;
    return manager;
}

void TestLogFileManager::writesByteOrderMarkOnce()
{
    LogFileManager *manager = openLog("bom", false);
    QVERIFY(manager);
    QVERIFY(QFile::exists(path("bom.log")));
    QCOMPARE(readAll(path("bom.log")), QByteArray()); // nothing before the first entry
    manager->Log(1, "first", LogCatGeneral, LogSevInformation);
    LogFileManager::Release();

    // A new manager appends to the non-empty file without a second mark.
    manager = openLog("bom", false);
    QVERIFY(manager);
    manager->Log(1, "second", LogCatGeneral, LogSevInformation);
    QCOMPARE(readAll(path("bom.log")),
             kBom + "\nKIV00000001<2026-03-02 09:05:03:007> first\nKIV00000001<2026-03-02 09:05:03:007> second");
}

void TestLogFileManager::stampsLinesWithLocalTime()
{
    QCOMPARE(QDateTime::currentDateTime().offsetFromUtc(), 5 * 3600 + 45 * 60);
    Clock::set(nullptr);
    LogFileManager *manager = openLog("clock", false);
    QVERIFY(manager);
    for (int i = 0; i < 3; ++i) {
        const QDateTime before = QDateTime::currentDateTime();
        manager->Log(1, "now");
        const QDateTime after = QDateTime::currentDateTime();
        const QString content = QString::fromUtf8(readAll(path("clock.log")));
        const int open = content.lastIndexOf('<');
        const QDateTime stamp = QDateTime::fromString(content.mid(open + 1, content.indexOf('>', open) - open - 1),
                                                      "yyyy-MM-dd hh:mm:ss:zzz");
        QVERIFY(stamp.isValid());
        QVERIFY2(before <= stamp && stamp <= after,
                 qPrintable(QString("%1 not within %2 .. %3")
                                .arg(stamp.toString(Qt::ISODateWithMs),
                                     before.toString(Qt::ISODateWithMs),
                                     after.toString(Qt::ISODateWithMs))));
        QTest::qWait(400); // also across a change of second
    }
}

void TestLogFileManager::formatsLines_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<int>("severity");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const QDateTime march(QDate(2026, 3, 2), QTime(9, 5, 3, 7));
    const QDateTime december(QDate(2026, 12, 6), QTime(19, 15, 37, 42));
    QTest::newRow("error") << 1 << "KIV" << march << int(LogSevError) << "text"
                           << "\nKIV00000001<2026-03-02 09:05:03:007> ERROR: text";
    QTest::newRow("warning") << 1 << "KIV" << december << int(LogSevWarning) << "text"
                             << "\nKIV00000001<2026-12-06 19:15:37:042> WARNING: text";
    QTest::newRow("information") << 1 << "KIV" << december << int(LogSevInformation) << "*** Start Program ***"
                                 << "\nKIV00000001<2026-12-06 19:15:37:042> *** Start Program ***";
    QTest::newRow("unknown severity") << 1 << "KIV" << march << 9 << "text"
                                      << "\nKIV00000001<2026-03-02 09:05:03:007> text";
    QTest::newRow("index 300 keeps all digits") << 300 << "KIV" << march << 1 << "text"
                                                << "\nKIV100101100<2026-03-02 09:05:03:007> text";
    QTest::newRow("index 5") << 5 << "KIV" << march << 1 << "x"
                             << "\nKIV00000101<2026-03-02 09:05:03:007> x";
    QTest::newRow("two-character tag") << 1 << "AB" << march << 1 << "x"
                                       << "\n---00000001<2026-03-02 09:05:03:007> x";
    QTest::newRow("empty tag") << 1 << "" << march << 1 << "x"
                               << "\n---00000001<2026-03-02 09:05:03:007> x";
    QTest::newRow("five-character tag") << 1 << "ABCDE" << march << 1 << "x"
                                        << "\nABC00000001<2026-03-02 09:05:03:007> x";
    QTest::newRow("midnight, new year") << 1 << "KIV" << QDateTime(QDate(2027, 1, 1), QTime(0, 0, 0, 0)) << 1 << "x"
                                        << "\nKIV00000001<2027-01-01 00:00:00:000> x";
    QTest::newRow("placeholders stay text") << 1 << "KIV" << march << 3 << "%1 %2 %10 100%"
                                            << "\nKIV00000001<2026-03-02 09:05:03:007> ERROR: %1 %2 %10 100%";
    QTest::newRow("utf-8 text") << 1 << "KIV" << march << 1 << QString::fromUtf8("Größe 日本語 🙂")
                                << QString::fromUtf8("\nKIV00000001<2026-03-02 09:05:03:007> Größe 日本語 🙂");
    QTest::newRow("multi-line text") << 1 << "KIV" << march << 1 << "a\nb"
                                     << "\nKIV00000001<2026-03-02 09:05:03:007> a\nb";
}

void TestLogFileManager::formatsLines()
{
    QFETCH(int, index);
    QFETCH(QString, tag);
    QFETCH(QDateTime, time);
    QFETCH(int, severity);
    QFETCH(QString, text);
    QFETCH(QString, expected);

    g_fixedTime = time;
    LogFileManager *manager = LogFileManager::Instance();
    manager->AddLogFile(index, tag, m_dir->path() + "/", "format", "log", 1, 5, false, true);
    QVERIFY(manager->OpenFiles());
    manager->Log(index, text, LogCatGeneral, severity);
    QCOMPARE(readAll(path("format.log")), kBom + expected.toUtf8());
}

void TestLogFileManager::filtersCategories_data()
{
    QTest::addColumn<bool>("database");
    QTest::addColumn<bool>("device");
    QTest::addColumn<int>("category");
    QTest::addColumn<bool>("written");

    QTest::newRow("general, filters off") << false << false << int(LogCatGeneral) << true;
    QTest::newRow("general, filters on") << true << true << int(LogCatGeneral) << true;
    QTest::newRow("database off") << false << true << int(LogCatDatabase) << false;
    QTest::newRow("database on") << true << false << int(LogCatDatabase) << true;
    QTest::newRow("device off") << true << false << int(LogCatDevice) << false;
    QTest::newRow("device on") << false << true << int(LogCatDevice) << true;
    QTest::newRow("unknown category") << false << false << 7 << true;
}

void TestLogFileManager::filtersCategories()
{
    QFETCH(bool, database);
    QFETCH(bool, device);
    QFETCH(int, category);
    QFETCH(bool, written);

    LogFileManager *manager = openLog("filter", false);
    QVERIFY(manager);
    manager->SetCategoryFilters(database, device);
    manager->Log(1, "message", category, LogSevInformation);
    QCOMPARE(readAll(path("filter.log")).contains("message"), written);
}

void TestLogFileManager::dropsUndeliverableMessages()
{
    LogFileManager *manager = LogFileManager::Instance();
    QVERIFY(!manager->OpenFiles()); // nothing configured
    manager->AddLogFile(1, "KIV", m_dir->path() + "/", "drop", "log", 1, 5, false, true);
    manager->AddLogFile(2, "DIS", m_dir->path() + "/", "disabled", "log", 1, 5, false, false);
    manager->Log(1, "before open");
    QVERIFY(manager->OpenFiles());
    QVERIFY(manager->OpenFiles()); // opening again must not double the lines
    manager->Log(1, "after open");
    manager->Log(2, "to a disabled file");
    manager->Log(3, "to an unknown index");
    QCOMPARE(readAll(path("drop.log")), kBom + "\nKIV00000001<2026-03-02 09:05:03:007> after open");
    QCOMPARE(readAll(path("disabled.log")), QByteArray());

    // Released: a new manager knows no files.
    LogFileManager::Release();
    LogFileManager::Instance()->Log(1, "after release");
    QVERIFY(!readAll(path("drop.log")).contains("after release"));
}

void TestLogFileManager::rotatesWhenLimitExceeded_data()
{
    QTest::addColumn<bool>("encrypted");
    QTest::newRow("text") << false;
    QTest::newRow("encrypted") << true;
}

void TestLogFileManager::rotatesWhenLimitExceeded()
{
    QFETCH(bool, encrypted);
    const QString ext = encrypted ? "elf" : "log";
    LogFileManager *manager = openLog("rotate", encrypted, 1, 5);
    QVERIFY(manager);

    const qint64 limit = 1024 * 1024;
    QRandomGenerator random(11);
    int written = 0;
    QString lastText;
    while (!QFile::exists(path("rotate.0." + ext))) {
        QVERIFY2(written < 5000, "no rotation");
        QVERIFY(QFileInfo(path("rotate." + ext)).size() <= limit);
        // Random text, so that encryption cannot compress it much.
        lastText = QString::number(written) + ' ';
        for (int i = 0; i < 300; ++i)
            lastText += QChar('a' + int(random.bounded(26)));
        manager->Log(1, lastText);
        ++written;
    }
    QCOMPARE(QFileInfo(path("rotate." + ext)).size(), qint64(0)); // reopened, empty
    QVERIFY(QFileInfo(path("rotate.0." + ext)).size() > limit);

    QString rotatedText;
    if (encrypted) {
        QVERIFY(LogFileManager::ReadEncryptedLog(path("rotate.0.elf"), rotatedText));
    } else {
        const QByteArray rotated = readAll(path("rotate.0.log"));
        QVERIFY(rotated.startsWith(kBom));
        rotatedText = QString::fromUtf8(rotated.mid(kBom.size()));
    }
    // The entry that crossed the limit is whole and last; no entry was lost.
    QVERIFY(rotatedText.endsWith("> " + lastText));
    QCOMPARE(rotatedText.count('\n'), written);

    manager->Log(1, "after rotation");
    if (encrypted) {
        QVERIFY(readAll(path("rotate.elf")).startsWith(kEncryptedHeader));
        QString text;
        QVERIFY(LogFileManager::ReadEncryptedLog(path("rotate.elf"), text));
        QCOMPARE(text, QString("\nKIV00000001<2026-03-02 09:05:03:007> after rotation"));
    } else {
        QCOMPARE(readAll(path("rotate.log")), kBom + "\nKIV00000001<2026-03-02 09:05:03:007> after rotation");
    }
}

void TestLogFileManager::rotatesOnlyPastLimit_data()
{
    QTest::addColumn<int>("fileSize"); // after the first entry
    QTest::addColumn<bool>("rotated");
    QTest::newRow("one byte below the limit") << 1024 * 1024 - 1 << false;
    QTest::newRow("exactly the limit") << 1024 * 1024 << false;
    QTest::newRow("one byte past the limit") << 1024 * 1024 + 1 << true;
}

void TestLogFileManager::rotatesOnlyPastLimit()
{
    QFETCH(int, fileSize);
    QFETCH(bool, rotated);

    LogFileManager *manager = openLog("limit", false, 1, 5);
    QVERIFY(manager);
    const int overhead = kBom.size() + int(qstrlen("\nKIV00000001<2026-03-02 09:05:03:007> "));
    manager->Log(1, QString(fileSize - overhead, 'z'));
    QCOMPARE(QFile::exists(path("limit.0.log")), rotated);
    QCOMPARE(QFileInfo(path(rotated ? "limit.0.log" : "limit.log")).size(), qint64(fileSize));
}

void TestLogFileManager::shiftsNumberedBackups_data()
{
    QTest::addColumn<int>("backups");
    QTest::addColumn<int>("existing");      // name.0 ... name.(existing-1) before the rotation
    QTest::addColumn<QStringList>("after"); // content per step after it, "-" for missing; "live" the rotated file

    QTest::newRow("5 backups, full") << 5 << 5 << QStringList{"live", "0", "1", "2", "3", "-"};
    QTest::newRow("5 backups, two present") << 5 << 2 << QStringList{"live", "0", "1", "-", "-", "-"};
    QTest::newRow("no limit") << 0 << 5 << QStringList{"live", "0", "1", "2", "3", "4"};
    QTest::newRow("1 backup") << 1 << 3 << QStringList{"live", "1", "2", "-", "-", "-"};
    QTest::newRow("negative keeps name.0 only") << -1 << 3 << QStringList{"live", "1", "2", "-", "-", "-"};
    QTest::newRow("no backups yet") << 5 << 0 << QStringList{"live", "-", "-", "-", "-", "-"};
}

void TestLogFileManager::shiftsNumberedBackups()
{
    QFETCH(int, backups);
    QFETCH(int, existing);
    QFETCH(QStringList, after);

    for (int n = 0; n < existing; ++n)
        QVERIFY(writeFile(path(QString("shift.%1.log").arg(n)), QByteArray::number(n)));
    LogFileManager *manager = openLog("shift", false, 1, backups);
    QVERIFY(manager);
    const QString big(1024 * 1024, 'x');
    manager->Log(1, big); // one entry over the limit

    for (int n = 0; n < after.size(); ++n) {
        const QString file = path(QString("shift.%1.log").arg(n));
        const QString want = after.at(n);
        if (want == "-")
            QVERIFY2(!QFile::exists(file), qPrintable(file));
        else if (want == "live")
            QVERIFY(readAll(file).endsWith(big.toLatin1()));
        else
            QCOMPARE(readAll(file), want.toLatin1());
    }
    QCOMPARE(readAll(path("shift.log")), QByteArray());
}

void TestLogFileManager::fallsBackToOldFile()
{
    // A directory in the way of name.0 makes the numbered rotation fail. The
    // folder's own ".log" must not be touched by the ".old" renaming.
    QVERIFY(QDir(m_dir->path()).mkpath("archive.log/fallback.0.log"));
    const QString folder = m_dir->path() + "/archive.log/";
    QVERIFY(writeFile(folder + "fallback.old", "stale"));

    LogFileManager *manager = LogFileManager::Instance();
    manager->AddLogFile(1, "KIV", folder, "fallback", "log", 1, 1, false, true);
    QVERIFY(manager->OpenFiles());
    const QString big(1024 * 1024, 'y');
    manager->Log(1, big);

    const QByteArray old = readAll(folder + "fallback.old");
    QVERIFY(old.startsWith(kBom));
    QVERIFY(old.endsWith(big.toLatin1()));
    QCOMPARE(readAll(folder + "fallback.log"), QByteArray());

    manager->Log(1, "next");
    QCOMPARE(readAll(folder + "fallback.log"), kBom + "\nKIV00000001<2026-03-02 09:05:03:007> next");
}

void TestLogFileManager::writesEverythingToGeneralFile()
{
    QObject owner;
    owner.setObjectName(QString("TestLogGeneral-%1").arg(QCoreApplication::applicationPid()));
    const QString general = QCoreApplication::applicationDirPath() + "/" + owner.objectName() + ".log";
    QFile::remove(general);

    LogFileManager *manager = LogFileManager::Instance();
    manager->SetOwner(&owner);
    manager->AddLogFile(1, "KIV", m_dir->path() + "/", "one", "log", 1, 5, false, true);
    manager->AddLogFile(2, "DEVICE", m_dir->path() + "/", "two", "log", 1, 5, true, true);
    manager->SetSeparateFiles(false, 5, 10, false);
    manager->SetCategoryFilters(false, false);
    QVERIFY(manager->OpenFiles());
    manager->Log(1, "from one", LogCatGeneral, LogSevInformation);
    manager->Log(2, "from two", LogCatGeneral, LogSevWarning);
    manager->Log(3, "from nowhere", LogCatGeneral, LogSevInformation);
    manager->Log(1, "database", LogCatDatabase, LogSevInformation);
    LogFileManager::Release();

    const QByteArray content = readAll(general);
    QFile::remove(general);
    QCOMPARE(content,
             kBom + "\nKIV00000001<2026-03-02 09:05:03:007> from one"
                    "\nDEV00000010<2026-03-02 09:05:03:007> WARNING: from two");
    QVERIFY(!QFile::exists(path("one.log")));
    QVERIFY(!QFile::exists(path("two.log")));
}

void TestLogFileManager::reportsFailedOpen()
{
    LogFileManager *manager = LogFileManager::Instance();
    manager->AddLogFile(1, "KIV", m_dir->path() + "/missing/", "nowhere", "log", 1, 5, false, true);
    manager->AddLogFile(2, "KIV", m_dir->path() + "/", "fine", "log", 1, 5, false, true);
    {
        MessageCatcher catcher;
        QVERIFY(!manager->OpenFiles());
        QCOMPARE(MessageCatcher::messages().size(), 1);
        QVERIFY(MessageCatcher::messages().first().startsWith("Error opening file! "));
        QVERIFY(MessageCatcher::messages().first().endsWith(" (" + m_dir->path() + "/missing/)"));
    }
    // The failed file loses its lines silently; the others still work.
    MessageCatcher catcher;
    manager->Log(1, "lost");
    manager->Log(2, "kept");
    QCOMPARE(MessageCatcher::messages(), QStringList());
    QVERIFY(readAll(path("fine.log")).endsWith("kept"));
}

void TestLogFileManager::deletesOldFiles_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<int>("ageDays");
    QTest::addColumn<bool>("kept");

    QTest::newRow("31 days") << "old.log" << 31 << false;
    QTest::newRow("29 days") << "recent.log" << 29 << true;
    QTest::newRow("today") << "today.log" << 0 << true;
    QTest::newRow("numbered backup, 31 days") << "old.0.log" << 31 << false;
    QTest::newRow("other extension, 31 days") << "old.txt" << 31 << true;
    QTest::newRow("fall-back file, 31 days") << "old.old" << 31 << true;
    QTest::newRow("extension inside the name") << "old.log.txt" << 31 << true;
}

void TestLogFileManager::deletesOldFiles()
{
    QFETCH(QString, fileName);
    QFETCH(int, ageDays);
    QFETCH(bool, kept);

    Clock::set(nullptr); // file times are real times
    const QString file = path(fileName);
    QFile handle(file);
    QVERIFY(handle.open(QIODevice::WriteOnly));
    handle.write("x");
    QVERIFY(handle.flush()); // a later flush would set the time again
    QVERIFY(handle.setFileTime(QDateTime::currentDateTime().addDays(-ageDays), QFileDevice::FileModificationTime));
    handle.close();
    QVERIFY(QDir(m_dir->path()).mkdir("sub.log")); // a folder is never removed

    LogFileManager::Instance()->DeleteOldFiles(m_dir->path(), "log", 30);
    QCOMPARE(QFile::exists(file), kept);
    QVERIFY(QFileInfo(path("sub.log")).isDir());
}

void TestLogFileManager::writesEncryptedLog()
{
    LogFileManager *manager = openLog("secret", true);
    QVERIFY(manager);
    manager->Log(1, "first", LogCatGeneral, LogSevInformation);
    g_fixedTime = g_fixedTime.addMSecs(1001);
    manager->Log(1, QString::fromUtf8("Größe 日本語"), LogCatGeneral, LogSevError);
    LogFileManager::Release();
    // Reopening a non-empty file adds no second header.
    manager = openLog("secret", true);
    QVERIFY(manager);
    manager->Log(1, "third", LogCatGeneral, LogSevWarning);

    const QStringList entries{"\nKIV00000001<2026-03-02 09:05:03:007> first",
                              QString::fromUtf8("\nKIV00000001<2026-03-02 09:05:04:008> ERROR: Größe 日本語"),
                              "\nKIV00000001<2026-03-02 09:05:04:008> WARNING: third"};
    const QByteArray bytes = readAll(path("secret.elf"));
    QVERIFY(bytes.startsWith(kEncryptedHeader));
    QCOMPARE(bytes.count(kEncryptedHeader), 1);
    QVERIFY(!bytes.contains("first"));

    // Each entry is a Qt 5.2 data-stream string holding base64 of the cipher bytes.
    QDataStream in(bytes.mid(8));
    in.setVersion(QDataStream::Qt_5_2);
    LightCipher cipher(kLogCipherKey);
    for (const QString &entry : entries) {
        QString stored;
        in >> stored;
        QCOMPARE(in.status(), QDataStream::Ok);
        const QByteArray cipherBytes =
            QByteArray::fromBase64(stored.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        QCOMPARE(QString::fromLatin1(cipherBytes.toBase64()), stored);
        QCOMPARE(QString::fromUtf8(cipher.DecryptBytes(cipherBytes)), entry);
    }
    QVERIFY(in.atEnd());

    QString text = "kept ";
    QVERIFY(LogFileManager::ReadEncryptedLog(path("secret.elf"), text));
    QCOMPARE(text, "kept " + entries.join(QString()));
}

void TestLogFileManager::rejectsOtherFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("exists");

    QTest::newRow("missing file") << QByteArray() << false;
    QTest::newRow("empty file") << QByteArray() << true;
    QTest::newRow("text log") << kBom + "\nKIV00000001<2026-03-02 09:05:03:007> text" << true;
    QTest::newRow("magic only") << QByteArray("\xA5\xB7\xC9\xDF", 4) << true;
    QTest::newRow("version 2") << QByteArray("\xA5\xB7\xC9\xDF\x00\x00\x00\x02", 8) << true;
    QTest::newRow("little-endian header") << QByteArray("\xDF\xC9\xB7\xA5\x01\x00\x00\x00", 8) << true;
}

void TestLogFileManager::rejectsOtherFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, exists);

    if (exists)
        QVERIFY(writeFile(path("other.elf"), content));
    QString text;
    QVERIFY(!LogFileManager::ReadEncryptedLog(path("other.elf"), text));
    QVERIFY(text.isEmpty());
}

void TestLogFileManager::survivesDamagedEncryptedLog_data()
{
    QTest::addColumn<QByteArray>("tail"); // bytes after one valid entry
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("unreadableEntries");
    QTest::addColumn<bool>("tailRead");

    const QString first = "\nKIV00000001<2026-03-02 09:05:03:007> first";
    QTest::newRow("nothing") << QByteArray() << first << 0 << true;
    QTest::newRow("length of 4 GB - 2") << QByteArray("\xFF\xFF\xFF\xFE", 4) << first << 0 << false;
    QTest::newRow("length of 2 GB") << QByteArray("\x7F\xFF\xFF\xF0\x00\x41", 6) << first << 0 << false;
    QTest::newRow("odd length") << QByteArray("\x00\x00\x00\x03\x00\x41\x00", 7) << first << 0 << false;
    QTest::newRow("cut length") << QByteArray("\x00\x00", 2) << first << 0 << false;
    QTest::newRow("cut entry") << QByteArray("\x00\x00\x00\x10\x00\x41", 6) << first << 0 << false;
    QTest::newRow("null string") << QByteArray("\xFF\xFF\xFF\xFF", 4) << first << 0 << true;
    QTest::newRow("entry that is not cipher text")
        << QByteArray("\x00\x00\x00\x04\x00\x41\x00\x42", 8) << first << 1 << true;
}

void TestLogFileManager::survivesDamagedEncryptedLog()
{
    QFETCH(QByteArray, tail);
    QFETCH(QString, expected);
    QFETCH(int, unreadableEntries);
    QFETCH(bool, tailRead);

    LogFileManager *manager = openLog("damaged", true);
    QVERIFY(manager);
    manager->Log(1, "first");
    LogFileManager::Release();
    QFile file(path("damaged.elf"));
    QVERIFY(file.open(QIODevice::Append));
    file.write(tail);
    file.close();

    MessageCatcher catcher;
    QString text;
    LogFileManager::ReadGaps gaps;
    QVERIFY(LogFileManager::ReadEncryptedLog(path("damaged.elf"), text, &gaps));
    QCOMPARE(text, expected);
    QCOMPARE(gaps.unreadableEntries, unreadableEntries);
    QCOMPARE(gaps.unreadBytes, tailRead ? qint64(0) : qint64(tail.size()));
    QVERIFY(!gaps.textLimitReached);
}

void TestLogFileManager::boundsWhatItReads_data()
{
    QTest::addColumn<QByteArrayList>("entries"); // cipher bytes
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("unreadableEntries");
    QTest::addColumn<qint64>("unreadBytes");
    QTest::addColumn<QString>("report"); // part of the reader's line on standard error; empty: none

    LightCipher cipher(kLogCipherKey);
    const auto encrypt = [&cipher](const QByteArray &plain) { return cipher.EncryptBytes(plain); };
    const QByteArray first = "\nKIV00000001<2026-03-02 09:05:03:007> first";
    const QByteArray last = "\nKIV00000001<2026-03-02 09:05:03:007> last";
    const int mebibyte = 1024 * 1024;

    // One entry of about 174 KB that inflates to 64 MiB, 17 times: 2.96 MB of file.
    const QByteArray bomb = encrypt(QByteArray(64 * mebibyte, 'x'));
    QByteArrayList bombs{encrypt(first)};
    for (int i = 0; i < 17; ++i)
        bombs << bomb;
    bombs << encrypt(last);
    QTest::newRow("17 entries of 64 MiB")
        << bombs << true << QString(first + last) << 17 << qint64(0) << "17 entries could not be decrypted";

    const QByteArray atEntryLimit(LightCipher::kMaxPlainSize, 'z');
    QTest::newRow("entry at the entry limit")
        << QByteArrayList{encrypt(first), encrypt(atEntryLimit), encrypt(last)} << true
        << QString(first + atEntryLimit + last) << 0 << qint64(0) << QString();

    // 15 MiB each: the third passes the limit of the file's text.
    const QByteArray a(15 * mebibyte, 'a');
    const QByteArray b(15 * mebibyte, 'b');
    const QByteArrayList pastLimit{encrypt(first), encrypt(a), encrypt(b), encrypt(a), encrypt(last)};
    QTest::newRow("text past the file limit")
        << pastLimit << false << QString(first + a + b) << 0 << storedSize(pastLimit[3]) + storedSize(pastLimit[4])
        << QString("stopped at the limit of %1 MiB of text").arg(LogFileManager::kMaxLogTextSize / mebibyte);
}

void TestLogFileManager::boundsWhatItReads()
{
    QFETCH(QByteArrayList, entries);
    QFETCH(bool, result);
    QFETCH(QString, text);
    QFETCH(int, unreadableEntries);
    QFETCH(qint64, unreadBytes);
    QFETCH(QString, report);

    QVERIFY(writeEncryptedLog(path("bounded.elf"), entries));
    QString read;
    LogFileManager::ReadGaps gaps;
    MessageCatcher catcher;
    QCOMPARE(LogFileManager::ReadEncryptedLog(path("bounded.elf"), read, &gaps), result);
    QVERIFY(read == text); // QCOMPARE would print MBs
    QCOMPARE(gaps.unreadableEntries, unreadableEntries);
    QCOMPARE(gaps.unreadBytes, unreadBytes);
    QCOMPARE(gaps.textLimitReached, !result);

    // The reader prints what it could read and reports the rest.
    QProcess reader;
    reader.start(KIV_LOG_READER_PATH, {path("bounded.elf")});
    QVERIFY(reader.waitForFinished(60000));
    QCOMPARE(reader.exitStatus(), QProcess::NormalExit);
    QVERIFY(reader.readAllStandardOutput() == text.toUtf8());
    const QString error = QString::fromUtf8(reader.readAllStandardError());
    QCOMPARE(reader.exitCode(), report.isEmpty() ? 0 : 3);
    QVERIFY2(report.isEmpty() ? error.isEmpty() : error.contains(report), qPrintable(error));
}

void TestLogFileManager::queuesMessagesFromOtherThreads()
{
    LogFileManager *manager = openLog("threads", false);
    QVERIFY(manager);
    manager->Log(1, "main first");

    const int count = 200;
    QScopedPointer<QThread> thread(QThread::create([] {
        for (int i = 0; i < count; ++i)
            LogFileManager::Instance()->Log(1, QString("worker %1").arg(i));
    }));
    thread->start();
    QVERIFY(thread->wait(10000));

    // Nothing from the worker is written until the owning thread handles its events.
    QCOMPARE(readAll(path("threads.log")), kBom + "\nKIV00000001<2026-03-02 09:05:03:007> main first");
    QCoreApplication::processEvents();
    manager->Log(1, "main last");

    QStringList expected{"", "KIV00000001<2026-03-02 09:05:03:007> main first"};
    for (int i = 0; i < count; ++i)
        expected << QString("KIV00000001<2026-03-02 09:05:03:007> worker %1").arg(i);
    expected << "KIV00000001<2026-03-02 09:05:03:007> main last";
    const QByteArray content = readAll(path("threads.log"));
    QVERIFY(content.startsWith(kBom));
    QCOMPARE(QString::fromUtf8(content.mid(kBom.size())).split('\n'), expected);
}

void TestLogFileManager::readerPrintsEncryptedLog()
{
    LogFileManager *manager = openLog("reader", true);
    QVERIFY(manager);
    manager->Log(1, QString::fromUtf8("Größe 日本語"));
    manager->Log(1, "second", LogCatGeneral, LogSevError);
    LogFileManager::Release();

    QProcess reader;
    reader.start(KIV_LOG_READER_PATH, {path("reader.elf")});
    QVERIFY(reader.waitForFinished(30000));
    QCOMPARE(reader.exitStatus(), QProcess::NormalExit);
    QCOMPARE(reader.exitCode(), 0);
    QCOMPARE(reader.readAllStandardError(), QByteArray());
    QCOMPARE(QString::fromUtf8(reader.readAllStandardOutput()),
             QString::fromUtf8("\nKIV00000001<2026-03-02 09:05:03:007> Größe 日本語"
                               "\nKIV00000001<2026-03-02 09:05:03:007> ERROR: second"));
}

void TestLogFileManager::readerRejectsOtherFiles_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("errorPart");

    QTest::newRow("text log") << QStringList{"text.log"} << "not an encrypted log file";
    QTest::newRow("missing file") << QStringList{"missing.elf"} << "cannot read";
    QTest::newRow("folder") << QStringList{"."} << "cannot read";
    QTest::newRow("no argument") << QStringList() << "usage";
    QTest::newRow("two arguments") << QStringList{"a", "b"} << "usage";
}

void TestLogFileManager::readerRejectsOtherFiles()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, errorPart);

    LogFileManager *manager = openLog("text", false);
    QVERIFY(manager);
    manager->Log(1, "plain text line");
    LogFileManager::Release();

    QProcess reader;
    reader.setWorkingDirectory(m_dir->path());
    reader.start(KIV_LOG_READER_PATH, arguments);
    QVERIFY(reader.waitForFinished(30000));
    QCOMPARE(reader.exitStatus(), QProcess::NormalExit);
    QVERIFY(reader.exitCode() != 0);
    QCOMPARE(reader.readAllStandardOutput(), QByteArray());
    const QString error = QString::fromUtf8(reader.readAllStandardError());
    QVERIFY2(error.contains(errorPart), qPrintable(error));
    QCOMPARE(error.count('\n'), 1);
    QVERIFY(error.endsWith('\n'));
}

QTEST_GUILESS_MAIN(TestLogFileManager)
#include "tst_LogFileManager.moc"
