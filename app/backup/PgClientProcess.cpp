#include "PgClientProcess.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// How often the child's progress is looked at, and how often progress() is
// sent while its object stays the same.
constexpr int kPollIntervalMs = 200;
constexpr qint64 kProgressIntervalMs = 1000;
// Time a killed child gets to be gone.
constexpr int kKillWaitMs = 10000;
// What is kept of a talkative child's standard error: its end, where the
// error is.
constexpr int kMaxErrorOutput = 1024 * 1024;

QString durationText(qint64 nMs)
{
    return nMs % 1000 == 0 ? QStringLiteral("%1 s").arg(nMs / 1000) : QStringLiteral("%1 ms").arg(nMs);
}

} // namespace

PgClientProcess::PgClientProcess(QObject *pParent)
    : QObject(pParent), m_environment(QProcessEnvironment::systemEnvironment())
{
    qRegisterMetaType<PgClientProcess::Result>();
    m_startTimer.setSingleShot(true);
    m_progressTimer.setInterval(kPollIntervalMs);
    connect(&m_process, &QProcess::started, this, &PgClientProcess::onStarted);
    connect(&m_process, &QProcess::errorOccurred, this, &PgClientProcess::onErrorOccurred);
    connect(
        &m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this, &PgClientProcess::onFinished);
    connect(&m_process, &QProcess::readyReadStandardError, this, &PgClientProcess::readStandardError);
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &PgClientProcess::readStandardOutput);
    connect(&m_startTimer, &QTimer::timeout, this, [this] {
        if (m_bRunning && !m_bStarted) {
            endChild();
            finish(Outcome::NotStarted,
                   QStringLiteral("The program %1 did not start within %2.")
                       .arg(m_szProgram, durationText(m_nStartTimeoutMs)));
        }
    });
    connect(&m_progressTimer, &QTimer::timeout, this, &PgClientProcess::checkProgress);
}

PgClientProcess::~PgClientProcess()
{
    disconnect(&m_process, nullptr, this, nullptr);
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(kKillWaitMs);
    }
}

void PgClientProcess::setProgram(const QString &szProgram)
{
    m_szProgram = szProgram;
}

void PgClientProcess::setArguments(const QStringList &lstArguments)
{
    m_lstArguments = lstArguments;
}

void PgClientProcess::setEnvironment(const QProcessEnvironment &environment)
{
    m_environment = environment;
}

void PgClientProcess::setPassword(const QString &szPassword)
{
    m_szPassword = szPassword;
}

void PgClientProcess::setStartTimeout(int nMs)
{
    m_nStartTimeoutMs = nMs;
}

void PgClientProcess::setStallTimeout(int nMs)
{
    m_nStallTimeoutMs = nMs;
}

void PgClientProcess::setWatchedFile(const QString &szPath)
{
    m_szWatchedFile = szPath;
}

bool PgClientProcess::start()
{
    if (m_bRunning)
        return false;
    m_result = Result();
    m_bStarted = false;
    m_bEnding = false;
    m_errorOutput.clear();
    m_bErrorOutputCut = false;
    m_standardOutput.clear();
    m_pendingLine.clear();
    m_szCurrentObject.clear();
    m_nLastProgressMs = 0;

    QProcessEnvironment environment = m_environment;
    if (!m_szPassword.isNull())
        environment.insert(QStringLiteral("PGPASSWORD"), m_szPassword);
    m_process.setProcessEnvironment(environment);
    m_process.setProgram(m_szProgram);
    m_process.setArguments(m_lstArguments);
    // The child must never wait for input (a password prompt).
    m_process.setStandardInputFile(QProcess::nullDevice());

    m_bRunning = true;
    m_runTimer.start();
    m_startTimer.start(m_nStartTimeoutMs);
    m_process.start(QIODevice::ReadOnly);
    return true;
}

PgClientProcess::Result PgClientProcess::run()
{
    if (!start()) {
        Result busy;
        busy.szDescription = QStringLiteral("The program %1 is already running.").arg(programName());
        return busy;
    }
    if (m_bRunning && !m_process.waitForStarted(m_nStartTimeoutMs) && m_bRunning) {
        // Still starting after the time-out (a failure to start has been
        // reported on the way).
        endChild();
        finish(Outcome::NotStarted,
               QStringLiteral("The program %1 did not start within %2.")
                   .arg(m_szProgram, durationText(m_nStartTimeoutMs)));
    }
    while (m_bRunning) {
        // Reads the child's output (the slots see it) until it ends or the
        // poll interval is over.
        if (!m_process.waitForFinished(kPollIntervalMs) && m_bRunning && m_process.state() == QProcess::NotRunning)
            onFinished(m_process.exitCode(), m_process.exitStatus());
        if (m_bRunning)
            checkProgress();
    }
    return m_result;
}

bool PgClientProcess::isRunning() const
{
    return m_bRunning;
}

PgClientProcess::Result PgClientProcess::result() const
{
    return m_result;
}

void PgClientProcess::onStarted()
{
    if (!m_bRunning)
        return;
    m_bStarted = true;
    m_startTimer.stop();
    m_nLastFileSize = watchedFileSize();
    m_nLastIoCount = childIoCount();
    m_idleTimer.start();
    m_progressTimer.start();
}

void PgClientProcess::onErrorOccurred(QProcess::ProcessError eError)
{
    // A crash, or the kill of a stalled child, ends with finished().
    if (eError != QProcess::FailedToStart || !m_bRunning || m_bEnding)
        return;
    if (!QFileInfo::exists(m_szProgram))
        finish(Outcome::NotStarted, QStringLiteral("The program %1 does not exist.").arg(m_szProgram));
    else
        finish(Outcome::NotStarted,
               QStringLiteral("The program %1 could not be started: %2").arg(m_szProgram, m_process.errorString()));
}

void PgClientProcess::onFinished(int nExitCode, QProcess::ExitStatus eStatus)
{
    if (!m_bRunning || m_bEnding)
        return;
    m_result.nExitCode = eStatus == QProcess::NormalExit ? nExitCode : -1;
    if (eStatus != QProcess::NormalExit)
        finish(Outcome::Crashed, QStringLiteral("%1 ended abnormally (it crashed or was killed).").arg(programName()));
    else if (nExitCode != 0)
        finish(Outcome::ExitCode,
               QStringLiteral("%1 ended with exit code %2.").arg(programName(), QString::number(nExitCode)));
    else
        finish(Outcome::Succeeded, QStringLiteral("%1 ended successfully.").arg(programName()));
}

void PgClientProcess::readStandardError()
{
    const QByteArray chunk = m_process.readAllStandardError();
    if (chunk.isEmpty())
        return;
    m_idleTimer.restart();
    m_errorOutput += chunk;
    if (m_errorOutput.size() > kMaxErrorOutput) {
        m_errorOutput.remove(0, m_errorOutput.size() - kMaxErrorOutput);
        m_bErrorOutputCut = true;
    }
    // The verbose output names the object in work on its last line.
    m_pendingLine += chunk;
    const int nEnd = m_pendingLine.lastIndexOf('\n');
    if (nEnd < 0)
        return;
    QString szObject;
    const QList<QByteArray> lstLines = m_pendingLine.left(nEnd).split('\n');
    for (const QByteArray &line : lstLines) {
        const QString szLine = QString::fromLocal8Bit(line).trimmed();
        if (!szLine.isEmpty())
            szObject = szLine;
    }
    m_pendingLine.remove(0, nEnd + 1);
    if (!szObject.isEmpty() && szObject != m_szCurrentObject) {
        m_szCurrentObject = szObject;
        m_nLastProgressMs = m_runTimer.elapsed();
        emit progress(m_szCurrentObject, m_nLastProgressMs);
    }
}

void PgClientProcess::readStandardOutput()
{
    const QByteArray chunk = m_process.readAllStandardOutput();
    if (chunk.isEmpty())
        return;
    m_idleTimer.restart();
    m_standardOutput += chunk;
}

void PgClientProcess::checkProgress()
{
    if (!m_bRunning || !m_bStarted)
        return;
    const qint64 nFileSize = watchedFileSize();
    const qint64 nIoCount = childIoCount();
    if (nFileSize != m_nLastFileSize || nIoCount != m_nLastIoCount) {
        m_nLastFileSize = nFileSize;
        m_nLastIoCount = nIoCount;
        m_idleTimer.restart();
    }
    const qint64 nElapsedMs = m_runTimer.elapsed();
    if (nElapsedMs - m_nLastProgressMs >= kProgressIntervalMs) {
        m_nLastProgressMs = nElapsedMs;
        emit progress(m_szCurrentObject, nElapsedMs);
    }
    if (m_nStallTimeoutMs > 0 && m_idleTimer.elapsed() >= m_nStallTimeoutMs) {
        endChild();
        const QString szWatched =
            m_szWatchedFile.isEmpty() ? QString() : QStringLiteral(", %1 did not grow").arg(m_szWatchedFile);
        finish(Outcome::Stalled,
               QStringLiteral("%1 made no progress for %2 (no output%3) and was ended.")
                   .arg(programName(), durationText(m_nStallTimeoutMs), szWatched));
    }
}

void PgClientProcess::endChild()
{
    m_bEnding = true;
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(kKillWaitMs);
    }
    m_bEnding = false;
}

void PgClientProcess::finish(Outcome eOutcome, const QString &szDescription)
{
    m_bRunning = false;
    m_startTimer.stop();
    m_progressTimer.stop();
    readStandardOutput();
    readStandardError();
    m_pendingLine.clear();

    m_result.eOutcome = eOutcome;
    m_result.nElapsedMs = m_runTimer.elapsed();
    m_result.szDescription = szDescription;
    m_result.szErrorOutput = QString::fromLocal8Bit(
        m_bErrorOutputCut ? QByteArrayLiteral("...\n") + m_errorOutput.right(kMaxErrorOutput) : m_errorOutput);
    m_result.standardOutput = m_standardOutput;
    emit finished(m_result.isOk(), m_result);
}

qint64 PgClientProcess::watchedFileSize() const
{
    if (m_szWatchedFile.isEmpty())
        return -1;
    const QFileInfo info(m_szWatchedFile);
    return info.exists() ? info.size() : -1;
}

// The bytes the child has read and written so far, through any file or
// socket; -1 where the system does not tell.
qint64 PgClientProcess::childIoCount() const
{
    const qint64 nPid = m_process.processId();
    if (nPid <= 0)
        return -1;
#if defined(Q_OS_LINUX)
    QFile file(QStringLiteral("/proc/%1/io").arg(nPid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    qint64 nCount = 0;
    const QList<QByteArray> lstLines = file.readAll().split('\n');
    for (const QByteArray &line : lstLines) {
        if (line.startsWith("rchar:") || line.startsWith("wchar:"))
            nCount += line.mid(6).trimmed().toLongLong();
    }
    return nCount;
#elif defined(Q_OS_WIN)
    const HANDLE hProcess = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(nPid));
    if (!hProcess)
        return -1;
    IO_COUNTERS counters = {};
    const BOOL bOk = GetProcessIoCounters(hProcess, &counters);
    CloseHandle(hProcess);
    if (!bOk)
        return -1;
    return static_cast<qint64>(counters.ReadTransferCount + counters.WriteTransferCount + counters.OtherTransferCount);
#else
    return -1;
#endif
}

QString PgClientProcess::programName() const
{
    return QFileInfo(m_szProgram).fileName();
}
