#include "LogFileManager.h"

#include "Clock.h"

#include "LightCipher.h"
#include "LogFile.h"
#include "LogKey.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QtEndian>

#include <atomic>
#include <limits>

namespace {

constexpr quint32 kEncryptedLogMagic = 0xA5B7C9DF;
constexpr quint32 kEncryptedLogVersion = 1;
constexpr QIODevice::OpenMode kWriteMode = QIODevice::WriteOnly | QIODevice::Append;

std::atomic<LogFileManager *> s_instance{nullptr};
QBasicMutex s_instanceMutex;

void appendNumber(QString &text, int value, int width)
{
    char digits[12];
    int count = 0;
    unsigned int rest = value < 0 ? 0u : static_cast<unsigned int>(value);
    do {
        digits[count++] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    for (int i = count; i < width; ++i)
        text += QLatin1Char('0');
    while (count > 0)
        text += QLatin1Char(digits[--count]);
}

// "\n" + prefix + "<yyyy-MM-dd hh:mm:ss:zzz> " + text, built by hand because it
// is done for every line.
QString formatEntry(const QString &prefix, const QDateTime &stamp, const QString &text)
{
    const QDate date = stamp.date();
    const QTime time = stamp.time();
    QString entry;
    entry.reserve(1 + prefix.size() + 26 + text.size());
    entry += QLatin1Char('\n');
    entry += prefix;
    entry += QLatin1Char('<');
    appendNumber(entry, date.year(), 4);
    entry += QLatin1Char('-');
    appendNumber(entry, date.month(), 2);
    entry += QLatin1Char('-');
    appendNumber(entry, date.day(), 2);
    entry += QLatin1Char(' ');
    appendNumber(entry, time.hour(), 2);
    entry += QLatin1Char(':');
    appendNumber(entry, time.minute(), 2);
    entry += QLatin1Char(':');
    appendNumber(entry, time.second(), 2);
    entry += QLatin1Char(':');
    appendNumber(entry, time.msec(), 3);
    entry += QLatin1String("> ");
    entry += text;
    return entry;
}

// The same bytes a UTF-8 text stream with a byte order mark gives, without
// setting up a codec for every line.
void writeTextEntry(LogFile *target, const QString &entry)
{
    QByteArray bytes;
    if (!target->hasContent()) {
        bytes = QByteArrayLiteral("\xEF\xBB\xBF");
        target->setHasContent(true);
    }
    bytes += entry.toUtf8();
    target->file()->write(bytes);
    target->file()->flush();
}

void writeEncryptedEntry(LogFile *target, const QString &entry)
{
    QDataStream stream(target->file());
    stream.setVersion(QDataStream::Qt_5_2);
    stream.setByteOrder(QDataStream::BigEndian);
    if (!target->hasContent()) {
        stream << kEncryptedLogMagic << kEncryptedLogVersion;
        target->setHasContent(true);
    }
    LightCipher cipher(kLogCipherKey);
    stream << cipher.EncryptText(entry);
    target->file()->flush();
}

} // namespace

LogFileManager::LogFileManager() = default;

LogFileManager::~LogFileManager()
{
    // Release() has normally emptied the map already.
    qDeleteAll(m_files);
}

LogFileManager *LogFileManager::Instance()
{
    LogFileManager *instance = s_instance.load(std::memory_order_acquire);
    if (!instance) {
        QMutexLocker locker(&s_instanceMutex);
        instance = s_instance.load(std::memory_order_relaxed);
        if (!instance) {
            instance = new LogFileManager;
            s_instance.store(instance, std::memory_order_release);
        }
    }
    return instance;
}

void LogFileManager::Release()
{
    QMutexLocker locker(&s_instanceMutex);
    LogFileManager *instance = s_instance.load(std::memory_order_relaxed);
    if (!instance)
        return;
    for (LogFile *record : qAsConst(instance->m_files)) {
        if (record->file()->isOpen())
            record->file()->close();
        delete record;
    }
    instance->m_files.clear();
    instance->m_generalFile = nullptr;
    s_instance.store(nullptr, std::memory_order_release);
    delete instance;
}

void LogFileManager::SetOwner(QObject *owner)
{
    m_owner = owner;
}

void LogFileManager::AddLogFile(int index,
                                const QString &tag,
                                const QString &folder,
                                const QString &name,
                                const QString &extension,
                                qint64 maxSizeMb,
                                int backups,
                                bool encrypted,
                                bool enabled)
{
    LogFile *previous = m_files.value(index, nullptr);
    if (previous == m_generalFile)
        m_generalFile = nullptr;
    delete previous;
    m_files.insert(index, new LogFile(index, tag, folder, name, extension, maxSizeMb, backups, encrypted, enabled));
}

void LogFileManager::SetSeparateFiles(bool separate, qint64 maxSizeMb, int backups, bool encrypted)
{
    m_separateFiles = separate;
    if (separate)
        return;
    const QString ownerName = m_owner ? m_owner->objectName() : QString();
    const QString folder = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    delete m_files.value(0, nullptr);
    m_generalFile =
        new LogFile(0, QString(), folder, ownerName, QStringLiteral("log"), maxSizeMb, backups, encrypted, true);
    m_files.insert(0, m_generalFile);
}

void LogFileManager::SetCategoryFilters(bool database, bool device)
{
    m_databaseLogEnabled = database;
    m_deviceLogEnabled = device;
}

void LogFileManager::reportOpenError(const QFile &file)
{
    qDebug().noquote().nospace() << "Error opening file! "
                                 << QStringLiteral("%1 (%2)").arg(file.errorString(),
                                                                  QFileInfo(file).absolutePath() + QLatin1Char('/'));
}

bool LogFileManager::OpenFiles()
{
    if (m_files.isEmpty())
        return false;

    // Unique, so that opening again does not write every line twice.
    connect(this,
            &LogFileManager::LogOnFile,
            this,
            &LogFileManager::WriteString,
            static_cast<Qt::ConnectionType>(Qt::AutoConnection | Qt::UniqueConnection));

    bool result = true;
    for (LogFile *record : qAsConst(m_files)) {
        QFile *file = record->file();
        if (file->isOpen())
            file->close();
        file->setFileName(record->fullPath());
        const bool used = m_separateFiles ? record->index() != 0 : record->index() == 0;
        if (!used)
            continue;
        if (!file->open(kWriteMode)) {
            reportOpenError(*file);
            result = false;
            continue;
        }
        if (file->size() > 0)
            record->setHasContent(true);
    }
    return result;
}

void LogFileManager::Log(int LogFileIdx, const QString &szInput, int category, int severity)
{
    if ((category == LogCatDatabase && !m_databaseLogEnabled) || (category == LogCatDevice && !m_deviceLogEnabled))
        return;

    QString text;
    if (severity == LogSevWarning)
        text = QStringLiteral("WARNING: ");
    else if (severity == LogSevError)
        text = QStringLiteral("ERROR: ");
    text += szInput;
    emit LogOnFile(LogFileIdx, text);
}

void LogFileManager::WriteString(int LogFileIdx, QString szInput)
{
    LogFile *record = m_files.value(LogFileIdx, nullptr);
    if (!record || !record->enabled())
        return;

    // Without separate files every index writes into the general file, with its own tag and digits.
    LogFile *target = m_separateFiles ? record : m_files.value(0, nullptr);
    if (!target)
        return;
    QFile *file = target->file();
    // A file that failed to open loses its lines silently; writing to it would
    // raise a Qt warning that the message handler feeds back into the log.
    if (!file->isOpen())
        return;

    const QString entry = formatEntry(record->linePrefix(), Clock::now(), szInput);
    if (target->encrypted())
        writeEncryptedEntry(target, entry);
    else
        writeTextEntry(target, entry);

    // In append mode the position is the file's size, without asking the file system.
    if (file->pos() > target->maxSize())
        rotate(target);
}

void LogFileManager::rotate(LogFile *target)
{
    QFile *file = target->file();
    const QString path = file->fileName();
    file->close();
    target->setHasContent(false);

    // Fall-back name: "." + extension becomes ".old" in the file name (not in the folder).
    const QFileInfo info(path);
    QString fallbackName = info.fileName();
    if (target->extension().isEmpty())
        fallbackName += QStringLiteral(".old");
    else
        fallbackName.replace(QLatin1Char('.') + target->extension(), QStringLiteral(".old"));
    const QString fallback = path.left(path.length() - info.fileName().length()) + fallbackName;

    if (!RotateFile(path, target->backups())) {
        QFile::remove(fallback);
        QFile::rename(path, fallback);
    }

    if (!file->open(kWriteMode)) {
        reportOpenError(*file);
        return;
    }
    // When every rename failed the old content is still there: no second byte order mark or header.
    target->setHasContent(file->size() > 0);
}

bool LogFileManager::RotateFile(const QString &path, int backups)
{
    // Split at the last dot of the file name; a name without one has no extension.
    const int nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < nameStart)
        return Shift(path, QString(), 0, backups);
    return Shift(path.left(dot), path.mid(dot + 1), 0, backups);
}

// Moves the file of step n to step n + 1: base.ext -> base.0.ext -> base.1.ext ...
// With max > 0 the step max - 1 is the last one kept; max = 0 keeps all; a
// negative max keeps only base.0.ext.
bool LogFileManager::Shift(const QString &base, const QString &ext, int n, int max)
{
    const QString suffix = ext.isEmpty() ? QString() : QLatin1Char('.') + ext;
    const QString target = QStringLiteral("%1.%2").arg(base).arg(n) + suffix;
    const QString source = n == 0 ? base + suffix : QStringLiteral("%1.%2").arg(base).arg(n - 1) + suffix;

    if (QFile::exists(target)) {
        const bool moved =
            (max == 0 || (max > 0 && n + 1 < max)) ? Shift(base, ext, n + 1, max) : QFile::remove(target);
        if (!moved)
            return false;
    }
    return QFile::rename(source, target);
}

void LogFileManager::DeleteOldFiles(const QString &folder, const QString &extension, int days)
{
    const QDir dir(folder);
    const QStringList entries = dir.entryList(
        QStringList(QStringLiteral("*.%1").arg(extension)), QDir::Files | QDir::NoSymLinks, QDir::Unsorted);
    const QDateTime limit(Clock::today().addDays(-days), QTime(0, 0));
    for (const QString &entry : entries) {
        const QString path = QStringLiteral("%1/%2").arg(folder, entry);
        if (QFileInfo(path).lastModified() < limit)
            QFile::remove(path);
    }
}

bool LogFileManager::ReadEncryptedLog(const QString &path, QString &text, ReadGaps *gaps)
{
    ReadGaps ownGaps;
    ReadGaps &report = gaps ? *gaps : ownGaps;
    report = ReadGaps();

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;

    QDataStream in(&file);
    in.setVersion(QDataStream::Qt_5_2);
    in.setByteOrder(QDataStream::BigEndian);
    quint32 magic = 0;
    quint32 version = 0;
    in >> magic >> version;
    if (in.status() != QDataStream::Ok || magic != kEncryptedLogMagic || version != kEncryptedLogVersion)
        return false;

    // Entries are QDataStream strings: a 32-bit byte count, then UTF-16 big-endian.
    // The count is checked against what the file still holds before anything is
    // read, so a damaged count cannot make this allocate more than the file's size.
    // An entry longer than the base64 text of the largest cipher bytes that can
    // decrypt within the cipher's limit (version, flags, random byte, SHA-1
    // digest, payload) is skipped unread.
    constexpr qint64 kMaxCipherSize = 2 + 1 + 20 + qint64(LightCipher::kMaxPlainSize);
    constexpr qint64 kMaxStoredEntrySize = 2 * 4 * ((kMaxCipherSize + 2) / 3);
    LightCipher cipher(kLogCipherKey);
    qint64 textSize = 0;
    while (!in.atEnd()) {
        const qint64 entryStart = file.pos();
        quint32 byteCount = 0;
        in >> byteCount;
        if (in.status() != QDataStream::Ok) {
            report.unreadBytes = file.size() - entryStart;
            break;
        }
        if (byteCount == 0xFFFFFFFF) // null string
            continue;
        if (byteCount % 2 != 0 || byteCount > static_cast<quint64>(file.bytesAvailable())) {
            qWarning().noquote()
                << QStringLiteral("Damaged entry in encrypted log file %1 at byte %2.").arg(path).arg(entryStart);
            report.unreadBytes = file.size() - entryStart;
            break;
        }
        if (byteCount > kMaxStoredEntrySize) {
            ++report.unreadableEntries;
            if (!file.seek(file.pos() + byteCount)) {
                report.unreadBytes = file.size() - entryStart;
                break;
            }
            continue;
        }
        const int length = static_cast<int>(byteCount / 2);
        QByteArray raw(static_cast<int>(byteCount), Qt::Uninitialized);
        if (in.readRawData(raw.data(), raw.size()) != raw.size()) {
            report.unreadBytes = file.size() - entryStart;
            break;
        }
        QString entry(length, Qt::Uninitialized);
        qFromBigEndian<ushort>(raw.constData(), length, entry.data());
        raw.clear();
        // What LightCipher::DecryptText does, with the plain size in hand. The
        // writer never stores an empty entry: each begins with a line break.
        const QByteArray plain = cipher.DecryptBytes(QByteArray::fromBase64(entry.toLatin1()));
        if (plain.isEmpty()) {
            ++report.unreadableEntries;
            continue;
        }
        if (textSize + plain.size() > kMaxLogTextSize) {
            report.textLimitReached = true;
            report.unreadBytes = file.size() - entryStart;
            return false;
        }
        textSize += plain.size();
        text += QString::fromUtf8(plain);
    }
    return true;
}
