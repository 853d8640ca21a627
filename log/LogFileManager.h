#pragma once

#include <QDateTime>
#include <QMap>
#include <QObject>
#include <QString>

class LogFile;
class QFile;

enum LogCategory
{
    LogCatGeneral = 1,
    LogCatDatabase = 2,
    LogCatDevice = 3
};
enum LogSeverity
{
    LogSevInformation = 1,
    LogSevWarning = 2,
    LogSevError = 3
};

// The logging service of a module: one instance per module, owning a set of
// log files known by index. Log() filters and prefixes a message and emits
// LogOnFile; WriteString, connected to it, writes one dated line on the
// owning thread, so messages from other threads are queued.
class LogFileManager : public QObject
{
    Q_OBJECT

public:
    // The module's single instance, created on first call by the calling thread.
    static LogFileManager *Instance();
    // Closes and forgets all files and destroys the instance; a later Instance() makes a new one.
    static void Release();

    void SetOwner(QObject *owner);
    void AddLogFile(int index,
                    const QString &tag,
                    const QString &folder,
                    const QString &name,
                    const QString &extension,
                    qint64 maxSizeMb,
                    int backups,
                    bool encrypted,
                    bool enabled);
    void SetSeparateFiles(bool separate, qint64 maxSizeMb, int backups, bool encrypted);
    void SetCategoryFilters(bool database, bool device);
    bool OpenFiles();
    void Log(int LogFileIdx, const QString &szInput, int category = LogCatGeneral, int severity = LogSevInformation);
    void DeleteOldFiles(const QString &folder, const QString &extension, int days);

    // What ReadEncryptedLog could not turn into text.
    struct ReadGaps
    {
        int unreadableEntries = 0;     // entries that gave no text: damaged, not cipher text or past the entry limit
        qint64 unreadBytes = 0;        // bytes at the end of the file left unread: a damaged entry or the text limit
        bool textLimitReached = false; // reading stopped at kMaxLogTextSize
    };

    // Most text, in UTF-8 bytes, that ReadEncryptedLog takes from one file. A
    // log file is rotated once it passes its size limit, at most 9 MB, so it
    // holds at most 9 MB of entries plus the one entry that passed the limit
    // (LightCipher::kMaxPlainSize, 16 MiB). Stored entries are base64 in
    // UTF-16, 8/3 bytes per cipher byte, and log lines compress little one by
    // one, so the 9 MB give well under 16 MiB of text: 32 MiB keeps every
    // file the modules write readable and bounds the text of a forged one at
    // 64 MiB of memory.
    static constexpr qint64 kMaxLogTextSize = 32 * 1024 * 1024;

    // Appends the entries of an encrypted log file to text. False for a file
    // that cannot be opened or is not an encrypted log file (text untouched),
    // and when the entries hold more than kMaxLogTextSize of text: text then
    // ends with the last entry before the limit. Entries that do not decrypt
    // add no text, and a damaged entry ends the reading; both still give true.
    // gaps, when given, tells what could not be read.
    static bool ReadEncryptedLog(const QString &path, QString &text, ReadGaps *gaps = nullptr);

signals:
    void LogOnFile(const int LogFileIdx, const QString szInput);

public slots:
    void WriteString(int LogFileIdx, QString szInput);

private:
    LogFileManager();
    ~LogFileManager() override;

    static bool RotateFile(const QString &path, int backups);
    static bool Shift(const QString &base, const QString &ext, int n, int max);
    static void reportOpenError(const QFile &file);
    void rotate(LogFile *target);

    QMap<int, LogFile *> m_files;
    bool m_separateFiles = true;
    LogFile *m_generalFile = nullptr;
    QObject *m_owner = nullptr;
    bool m_databaseLogEnabled = false;
    bool m_deviceLogEnabled = false;
};
