#pragma once

#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>

// The SHA-256 of a file that another process writes from its start to its
// end without ever going back, as pg_dump writes a tar archive (a format it
// can also write into a pipe): a thread hashes what is there while the file
// grows, so that when the writer has ended only the rest is left to hash.
//
//     GrowingFileHash hash(szFile);
//     hash.start();           // before or after the writer starts
//     ...the writer runs and ends...
//     hash.writerEnded();     // the rest is hashed meanwhile
//     hash.result(szHash, szError);
//
// The file may not exist yet when start() is called; it must not be
// truncated or replaced afterwards. The thread is stopped and waited for on
// every way out, also when result() is never asked for.
class GrowingFileHash
{
public:
    explicit GrowingFileHash(const QString &szFile);
    ~GrowingFileHash();
    GrowingFileHash(const GrowingFileHash &) = delete;
    GrowingFileHash &operator=(const GrowingFileHash &) = delete;

    void start();
    // The writer has ended: what the file holds now is all of it.
    void writerEnded();
    // Waits for the thread; the SHA-256 of the whole file as lower-case hex,
    // or false and the reason. Calls writerEnded() when it was not called.
    bool result(QString &szHash, QString &szError);
    // The bytes hashed (meaningful after result()).
    qint64 size() const;

private:
    void run();
    // Waits up to nMs for the writer's end; true when it has ended.
    bool waitForWriter(int nMs);

    QString m_szFile;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_writerEnded;
    bool m_bWriterEnded = false;
    // Written by the thread, read after it was joined.
    bool m_bOk = false;
    QString m_szHash;
    QString m_szError;
    qint64 m_nSize = 0;
};
