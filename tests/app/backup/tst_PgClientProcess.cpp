#include "PgClientProcess.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// Short, so that the tests are quick; the steady children write five times
// as often.
constexpr int kStallTimeoutMs = 1500;

// Prints a line on standard error every 0.2 s, 15 times: twice the stall
// time-out in all.
const char kSteadyOnStderr[] = "i=1\n"
                               "while [ $i -le 15 ]; do\n"
                               "    echo \"pg_dump: dumping contents of table \\\"public.t$i\\\"\" >&2\n"
                               "    sleep 0.2; i=$((i+1))\n"
                               "done\n";
// Grows the watched file as long, silently and from a subshell: the
// script's own process neither prints nor reads or writes meanwhile.
const char kSteadyOnFile[] = "echo 'pg_dump: reading data' >&2\n"
                             "( i=1; while [ $i -le 15 ]; do echo x >> \"$KIV_WATCHED\"; sleep 0.2; i=$((i+1)); "
                             "done ) &\n"
                             "wait\n";
// Silent, but reading and writing all the time, like pg_dump filling the
// temporary file of a large table.
const char kSilentButBusy[] = "i=1\n"
                              "while [ $i -le 15 ]; do\n"
                              "    head -c 100000 /dev/zero > /dev/null; sleep 0.2; i=$((i+1))\n"
                              "done\n";
const char kStalls[] = "echo \"pg_dump: reading schemas\" >&2\n"
                       "echo $$ > \"$KIV_PIDFILE\"\n"
                       "exec sleep 60\n";

} // namespace

class TestPgClientProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void reportsHowTheChildEnded_data();
    void reportsHowTheChildEnded();
    void passesPasswordInEnvironmentOnly();
    void killsChildOnDestruction();

private:
    QString script(const QString &szName, const QByteArray &body, bool bExecutable = true);
    QTemporaryDir m_dir;
};

void TestPgClientProcess::initTestCase()
{
#ifndef Q_OS_UNIX
    QSKIP("the fake client programs are shell scripts");
#endif
    QVERIFY(m_dir.isValid());
}

QString TestPgClientProcess::script(const QString &szName, const QByteArray &body, bool bExecutable)
{
    const QString szPath = m_dir.filePath(szName);
    QFile file(szPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write("#!/bin/sh\n" + body) < 0)
        return QString();
    file.close();
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (bExecutable)
        permissions |= QFile::ExeOwner;
    file.setPermissions(permissions);
    return szPath;
}

void TestPgClientProcess::reportsHowTheChildEnded_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("watchFile");
    QTest::addColumn<bool>("executable");
    QTest::addColumn<PgClientProcess::Outcome>("outcome");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("errorOutput");
    QTest::addColumn<QString>("lastObject");

    using Outcome = PgClientProcess::Outcome;
    // Each case synchronously with run(), and with start() and the signals.
    for (const char *pszMode : {"run", "event loop"}) {
        QTest::addRow("%s: steady on stderr", pszMode)
            << QByteArray(kSteadyOnStderr) << false << true << Outcome::Succeeded << 0 << QString()
            << QStringLiteral("pg_dump: dumping contents of table \"public.t15\"");
        QTest::addRow("%s: steady on its file", pszMode)
            << QByteArray(kSteadyOnFile) << true << true << Outcome::Succeeded << 0 << QString()
            << QStringLiteral("pg_dump: reading data");
        QTest::addRow("%s: the same with its file not watched", pszMode)
            << QByteArray(kSteadyOnFile) << false << true << Outcome::Stalled << -1 << QString()
            << QStringLiteral("pg_dump: reading data");
#ifdef Q_OS_LINUX
        QTest::addRow("%s: silent but busy", pszMode)
            << QByteArray(kSilentButBusy) << false << true << Outcome::Succeeded << 0 << QString() << QString();
#endif
        QTest::addRow("%s: stalls", pszMode) << QByteArray(kStalls) << true << true << Outcome::Stalled << -1
                                             << QString() << QStringLiteral("pg_dump: reading schemas");
        QTest::addRow("%s: exit code 1", pszMode)
            << QByteArray("echo 'pg_dump: error: connection to server failed' >&2\nexit 1\n") << false << true
            << Outcome::ExitCode << 1 << QStringLiteral("pg_dump: error: connection to server failed\n")
            << QStringLiteral("pg_dump: error: connection to server failed");
        QTest::addRow("%s: exit code without a line end", pszMode)
            << QByteArray("printf 'pg_restore: error: could not read' >&2\nexit 3\n") << false << true
            << Outcome::ExitCode << 3 << QStringLiteral("pg_restore: error: could not read") << QString();
        QTest::addRow("%s: crash", pszMode)
            << QByteArray("echo 'pg_dump: dumping' >&2\nkill -SEGV $$\nsleep 5\n") << false << true << Outcome::Crashed
            << -1 << QStringLiteral("pg_dump: dumping\n") << QStringLiteral("pg_dump: dumping");
        QTest::addRow("%s: not executable", pszMode)
            << QByteArray("exit 0\n") << false << false << Outcome::NotStarted << -1 << QString() << QString();
        QTest::addRow("%s: missing", pszMode)
            << QByteArray() << false << true << Outcome::NotStarted << -1 << QString() << QString();
    }
}

void TestPgClientProcess::reportsHowTheChildEnded()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, watchFile);
    QFETCH(bool, executable);
    QFETCH(PgClientProcess::Outcome, outcome);
    QFETCH(int, exitCode);
    QFETCH(QString, errorOutput);
    QFETCH(QString, lastObject);
    const bool bEventLoop = QString::fromLatin1(QTest::currentDataTag()).startsWith(QLatin1String("event loop"));

    const QString szTag = QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('_'));
    const QString szProgram =
        body.isEmpty() ? m_dir.filePath(QStringLiteral("no-such-program")) : script(szTag, body, executable);
    QVERIFY(!szProgram.isEmpty());
    const QString szWatched = m_dir.filePath(szTag + QStringLiteral(".partial"));
    const QString szPidFile = m_dir.filePath(szTag + QStringLiteral(".pid"));
    QFile::remove(szWatched);
    QFile::remove(szPidFile);

    PgClientProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("KIV_WATCHED"), szWatched);
    environment.insert(QStringLiteral("KIV_PIDFILE"), szPidFile);
    process.setEnvironment(environment);
    process.setProgram(szProgram);
    process.setStallTimeout(kStallTimeoutMs);
    if (watchFile)
        process.setWatchedFile(szWatched);
    QSignalSpy progress(&process, &PgClientProcess::progress);
    QSignalSpy finished(&process, &PgClientProcess::finished);

    PgClientProcess::Result result;
    if (bEventLoop) {
        QVERIFY(process.start());
        QVERIFY(finished.wait(60000));
        result = process.result();
    } else {
        result = process.run();
        QCOMPARE(finished.count(), 1);
    }
    QVERIFY(!process.isRunning());
    QVERIFY2(result.eOutcome == outcome, qPrintable(result.szDescription + QLatin1Char('\n') + result.szErrorOutput));
    QCOMPARE(result.isOk(), outcome == PgClientProcess::Outcome::Succeeded);
    QCOMPARE(result.nExitCode, exitCode);
    QVERIFY(!result.szDescription.isEmpty());
    if (!errorOutput.isEmpty())
        QCOMPARE(result.szErrorOutput, errorOutput);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().at(0).toBool(), result.isOk());
    QCOMPARE(finished.first().at(1).value<PgClientProcess::Result>().szDescription, result.szDescription);

    // The last object the child named, sent with progress().
    if (!lastObject.isEmpty()) {
        QVERIFY(!progress.isEmpty());
        QCOMPARE(progress.last().at(0).toString(), lastObject);
    }
    qint64 nLastElapsed = 0;
    for (const QList<QVariant> &signal : qAsConst(progress)) {
        QVERIFY(signal.at(1).toLongLong() >= nLastElapsed);
        nLastElapsed = signal.at(1).toLongLong();
    }

    if (outcome == PgClientProcess::Outcome::NotStarted)
        QVERIFY2(result.szDescription.contains(szProgram), qPrintable(result.szDescription));
    if (body.isEmpty())
        QCOMPARE(result.szDescription, QStringLiteral("The program %1 does not exist.").arg(szProgram));
    if (outcome == PgClientProcess::Outcome::Stalled) {
        QVERIFY2(result.szDescription.startsWith(szTag + QStringLiteral(" made no progress for 1500 ms")),
                 qPrintable(result.szDescription));
        // Killed and waited for: not even a zombie is left.
        QFile pidFile(szPidFile);
        if (pidFile.open(QIODevice::ReadOnly)) {
            const QByteArray pid = pidFile.readAll().trimmed();
            QVERIFY(!pid.isEmpty());
#ifdef Q_OS_LINUX
            QVERIFY2(!QFileInfo::exists(QStringLiteral("/proc/%1").arg(QString::fromLatin1(pid))), pid.constData());
#endif
        }
    }
}

void TestPgClientProcess::passesPasswordInEnvironmentOnly()
{
    // Every argument on a line of its own, then the password, then what the
    // child reads from its standard input.
    const QString szProgram = script(QStringLiteral("arguments"),
                                     "printf '%s\\n' \"$@\"\n"
                                     "echo \"PGPASSWORD=$PGPASSWORD\"\n"
                                     "echo \"KIV_BASE=$KIV_BASE\"\n"
                                     "read line\n"
                                     "echo \"read:$line\"\n");
    QVERIFY(!szProgram.isEmpty());
    const QStringList lstArguments{QStringLiteral("--file"),
                                   QStringLiteral("/kiv suite/pelq_backup_20261206_140307.tar"),
                                   QStringLiteral("Zo\u00eb \"quoted\""),
                                   QString()};

    PgClientProcess process;
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("KIV_BASE"), QStringLiteral("base"));
    environment.insert(QStringLiteral("PGPASSWORD"), QStringLiteral("stale"));
    environment.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    process.setEnvironment(environment);
    process.setProgram(szProgram);
    process.setArguments(lstArguments);
    process.setPassword(QStringLiteral("s3cret with blanks"));
    process.setStallTimeout(30000);

    // The object runs once more after a failed run.
    process.setProgram(m_dir.filePath(QStringLiteral("no-such-program")));
    QCOMPARE(process.run().eOutcome, PgClientProcess::Outcome::NotStarted);
    process.setProgram(szProgram);

    const PgClientProcess::Result result = process.run();
    QVERIFY2(result.isOk(), qPrintable(result.szDescription + result.szErrorOutput));
    QCOMPARE(QString::fromUtf8(result.standardOutput).split(QLatin1Char('\n')),
             QStringList(lstArguments) << QStringLiteral("PGPASSWORD=s3cret with blanks")
                                       << QStringLiteral("KIV_BASE=base") << QStringLiteral("read:") << QString());
    QCOMPARE(result.szDescription, QStringLiteral("arguments ended successfully."));
    QVERIFY(result.szErrorOutput.isEmpty());
}

void TestPgClientProcess::killsChildOnDestruction()
{
    const QString szPidFile = m_dir.filePath(QStringLiteral("destroyed.pid"));
    const QString szProgram = script(QStringLiteral("destroyed"), kStalls);
    QVERIFY(!szProgram.isEmpty());

    auto pProcess = std::make_unique<PgClientProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("KIV_PIDFILE"), szPidFile);
    pProcess->setEnvironment(environment);
    pProcess->setProgram(szProgram);
    QSignalSpy finished(pProcess.get(), &PgClientProcess::finished);
    QFile::remove(szPidFile);
    QVERIFY(pProcess->start());
    QVERIFY(pProcess->isRunning());
    QVERIFY(!pProcess->start());
    QCOMPARE(pProcess->run().eOutcome, PgClientProcess::Outcome::NotStarted);
    QVERIFY(pProcess->isRunning());

    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(szPidFile).size() > 0, 30000);
    QFile pidFile(szPidFile);
    QVERIFY(pidFile.open(QIODevice::ReadOnly));
    const QString szPid = QString::fromLatin1(pidFile.readAll().trimmed());
    pProcess.reset();
    QCOMPARE(finished.count(), 0);
#ifdef Q_OS_LINUX
    QVERIFY2(!QFileInfo::exists(QStringLiteral("/proc/") + szPid), qPrintable(szPid));
#endif
}

QTEST_GUILESS_MAIN(TestPgClientProcess)
#include "tst_PgClientProcess.moc"
