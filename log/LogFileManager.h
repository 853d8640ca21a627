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

    static bool ReadEncryptedLog(const QString &path, QString &text);

    // Source of the current local time for line stamps and age limits; nullptr
    // restores the system clock. Meant for tests.
    using Clock = QDateTime (*)();
    static void SetClock(Clock clock);

signals:
    void LogOnFile(const int LogFileIdx, const QString szInput);

public slots:
    void WriteString(int LogFileIdx, QString szInput);

private:
    LogFileManager();
    ~LogFileManager() override;

    static QDateTime now();
    static bool RotateFile(const QString &path, int backups);
    static bool Shift(const QString &base, const QString &ext, int n, int max);
    static void reportOpenError(const QFile &file);
    void rotate(LogFile *target);

    QMap<int, LogFile *> files;
    bool separateFiles = true;
    LogFile *generalFile = nullptr;
    QObject *owner = nullptr;
    bool databaseLogEnabled = false;
    bool deviceLogEnabled = false;
};
