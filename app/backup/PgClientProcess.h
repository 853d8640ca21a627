#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QMetaType>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

// Runs one PostgreSQL client program (pg_dump, pg_restore) as a child
// process and tells how it went.
//
// The password reaches the child through "PGPASSWORD" in its environment,
// never on its command line. The child has to start within the start
// time-out (3000 ms). After that it may run as long as it keeps making
// progress; it is ended as stalled only when, for the whole stall time-out,
// it wrote nothing on its standard output or error, the watched file (the
// backup being written, when set) did not change its size, and the child
// read or wrote nothing at all (its I/O counters, where the system offers
// them: pg_dump's tar format writes each table's data to a temporary file
// first and says nothing meanwhile).
//
// Two ways to use it:
// - with an event loop: start() returns at once; progress() and finished()
//   arrive from the loop;
// - synchronously: run() starts the child and returns its result when it has
//   ended, emitting the same signals on the way (no nested event loop).
// One object runs one child at a time. The child is killed and waited for on
// every way out: a start or stall time-out, and the object's destruction.
class PgClientProcess : public QObject
{
    Q_OBJECT

public:
    enum class Outcome
    {
        Succeeded,
        NotStarted,
        Stalled,
        Crashed,
        ExitCode
    };
    Q_ENUM(Outcome)

    struct Result
    {
        Outcome eOutcome = Outcome::NotStarted;
        // The child's exit code when it ended by itself.
        int nExitCode = -1;
        qint64 nElapsedMs = 0;
        // One English sentence for the log, naming the program.
        QString szDescription;
        // The child's standard error (its last MiB when it said more).
        QString szErrorOutput;
        // The child's standard output.
        QByteArray standardOutput;

        bool isOk() const { return eOutcome == Outcome::Succeeded; }
    };

    static constexpr int kDefaultStartTimeoutMs = 3000;

    explicit PgClientProcess(QObject *pParent = nullptr);
    // Kills and waits for a child that still runs; finished() is not emitted.
    ~PgClientProcess() override;

    void setProgram(const QString &szProgram);
    void setArguments(const QStringList &lstArguments);
    // The environment the child starts from (default: the system's).
    void setEnvironment(const QProcessEnvironment &environment);
    // Put into the child's environment as "PGPASSWORD" when not null.
    void setPassword(const QString &szPassword);
    void setStartTimeout(int nMs);
    // Time without progress after which the child is ended; 0 never ends it.
    void setStallTimeout(int nMs);
    // A file whose growth counts as progress (the backup being written).
    void setWatchedFile(const QString &szPath);

    // Starts the child; false when one is running already. The result comes
    // with finished().
    bool start();
    // Starts the child and waits until it has ended.
    Result run();

    bool isRunning() const;
    // The result of the last run (meaningful after finished()).
    Result result() const;

signals:
    // The object the child works on (the last line of its verbose standard
    // error) and the time since it started; also sent now and then while the
    // line stays the same, so that an elapsed time can be shown.
    void progress(const QString &szCurrentObject, qint64 nElapsedMs);
    // Sent once per run, also when the child never started. Do not delete
    // this object in a slot connected to it (use deleteLater()).
    void finished(bool bOk, const PgClientProcess::Result &result);

private:
    void onStarted();
    void onErrorOccurred(QProcess::ProcessError eError);
    void onFinished(int nExitCode, QProcess::ExitStatus eStatus);
    void readStandardError();
    void readStandardOutput();
    void checkProgress();
    void endChild();
    void finish(Outcome eOutcome, const QString &szDescription);
    qint64 watchedFileSize() const;
    qint64 childIoCount() const;
    QString programName() const;

    QString m_szProgram;
    QStringList m_lstArguments;
    QProcessEnvironment m_environment;
    QString m_szPassword;
    QString m_szWatchedFile;
    int m_nStartTimeoutMs = kDefaultStartTimeoutMs;
    int m_nStallTimeoutMs = 0;

    QProcess m_process;
    QTimer m_startTimer;
    QTimer m_progressTimer;
    QElapsedTimer m_runTimer;
    QElapsedTimer m_idleTimer;
    bool m_bRunning = false;
    bool m_bStarted = false;
    // The child is being killed by this object: its end is no crash.
    bool m_bEnding = false;
    qint64 m_nLastProgressMs = 0;
    qint64 m_nLastFileSize = -1;
    qint64 m_nLastIoCount = -1;
    QByteArray m_errorOutput;
    bool m_bErrorOutputCut = false;
    QByteArray m_standardOutput;
    QByteArray m_pendingLine;
    QString m_szCurrentObject;
    Result m_result;
};

Q_DECLARE_METATYPE(PgClientProcess::Result)
