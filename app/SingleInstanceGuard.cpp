#include "SingleInstanceGuard.h"

#include <QSharedMemory>
#include <QSystemSemaphore>

SingleInstanceGuard::SingleInstanceGuard(QString key) : m_bIsRunning(false)
{
    if (key.isEmpty())
        key = QStringLiteral("61BB200D-3579-453e-9044-");

    // Two copies starting at the same moment test and create one after the
    // other.
    QSystemSemaphore semaphore(key + QStringLiteral("SeM_"), 1, QSystemSemaphore::Open);
    semaphore.acquire();

    {
        // Attaching to and leaving a segment whose owner died frees it (the
        // last one to detach removes it), so a killed copy does not count.
        QSharedMemory stale(key);
        if (stale.attach(QSharedMemory::ReadWrite))
            stale.detach();
    }

    // Lives until the process ends: the mark of the running copy.
    static QSharedMemory s_instanceMark(key);
    if (s_instanceMark.attach(QSharedMemory::ReadWrite))
        m_bIsRunning = true;
    else
        m_bIsRunning = !s_instanceMark.create(1, QSharedMemory::ReadWrite) &&
                       s_instanceMark.error() == QSharedMemory::AlreadyExists;

    semaphore.release();
}

SingleInstanceGuard::~SingleInstanceGuard() = default;

bool SingleInstanceGuard::isRunning() const
{
    return m_bIsRunning;
}
