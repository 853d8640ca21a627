#include "CommandLine.h"
#include "StartUp.h"

#include <QProcess>
#include <QUuid>
#include <QtTest>

// What start-up derives from the program's place, its configuration and its
// command line, and the guard against a second copy.
class StartUpTest : public QObject
{
    Q_OBJECT

private slots:
    void foldersFollowTheProgram_data();
    void foldersFollowTheProgram();
    void logFileSizeIsClamped_data();
    void logFileSizeIsClamped();
    void namesOfLogAndTranslations();
    void firstArgumentSelectsTheMode_data();
    void firstArgumentSelectsTheMode();
    void secondCopyIsRefused();
    void killedCopyDoesNotLockOut();
};

void StartUpTest::foldersFollowTheProgram_data()
{
    QTest::addColumn<QString>("dirPath");
    QTest::addColumn<QString>("filePath");
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("baseName");

    QTest::newRow("windows install") << "C:/Suite/Updater"
                                     << "C:/Suite/Updater/KivDataBaseUpdater.exe"
                                     << "C:/Suite"
                                     << "KivDataBaseUpdater";
    QTest::newRow("dots in the name") << "/opt/suite/Updater"
                                      << "/opt/suite/Updater/Kiv.Updater.exe"
                                      << "/opt/suite"
                                      << "Kiv.Updater";
    QTest::newRow("linux, no extension") << "/opt/suite/bin"
                                         << "/opt/suite/bin/KivDataBaseUpdater"
                                         << "/opt/suite"
                                         << "KivDataBaseUpdater";
    QTest::newRow("no slash stays whole") << "Updater"
                                          << "Renamed.exe"
                                          << "Updater"
                                          << "Renamed";
}

void StartUpTest::foldersFollowTheProgram()
{
    QFETCH(QString, dirPath);
    QFETCH(QString, filePath);
    QFETCH(QString, root);
    QFETCH(QString, baseName);

    const QString szRoot = StartUp::suiteFolder(dirPath);
    QCOMPARE(szRoot, root);
    QCOMPARE(StartUp::programBaseName(filePath), baseName);
    QCOMPARE(StartUp::logFolder(szRoot), root + "/Log/");
    QCOMPARE(StartUp::backupFolder(szRoot), root + "/DataBaseBackUp");
    QCOMPARE(StartUp::languageFolder(szRoot), root + "/Language");
    QCOMPARE(StartUp::caChainFilePath(szRoot), root + "/OpenSSL/telvorCA-chain.pem");
}

void StartUpTest::logFileSizeIsClamped_data()
{
    QTest::addColumn<int>("configured");
    QTest::addColumn<int>("megabytes");
    QTest::newRow("0") << 0 << 1;
    QTest::newRow("10") << 10 << 1;
    QTest::newRow("-3") << -3 << 1;
    QTest::newRow("1") << 1 << 1;
    QTest::newRow("9") << 9 << 9;
}

void StartUpTest::logFileSizeIsClamped()
{
    QFETCH(int, configured);
    QFETCH(int, megabytes);
    QCOMPARE(StartUp::logFileSize(configured), megabytes);
}

void StartUpTest::namesOfLogAndTranslations()
{
    QCOMPARE(StartUp::logFileName(QDate(2026, 3, 7)), QStringLiteral("KivDataBaseUpdater-2026-03-07"));
    QCOMPARE(StartUp::logFileName(QDate(2026, 12, 16)), QStringLiteral("KivDataBaseUpdater-2026-12-16"));
    QCOMPARE(StartUp::translationFileName("KivDataBaseUpdater", "it"), QStringLiteral("KivDataBaseUpdater_it.qm"));
    QCOMPARE(StartUp::translationFileName("qt", "it"), QStringLiteral("qt_it.qm"));
    QCOMPARE(StartUp::translationFileName("qt", QString()), "qt_" + QLocale::system().name() + ".qm");
}

void StartUpTest::firstArgumentSelectsTheMode_data()
{
    using C = CommandLine::Command;
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("command");
    QTest::addColumn<bool>("json");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<QStringList>("ignored");

    const QStringList none;
    QTest::newRow("no argument") << QStringList{"prog"} << int(C::Window) << false << "" << false << none;
    QTest::newRow("-AutoUpdate") << QStringList{"prog", "-AutoUpdate"} << int(C::AutoUpdate) << false << "" << false
                                 << none;
    QTest::newRow("--autoupdate") << QStringList{"prog", "--autoupdate"} << int(C::AutoUpdate) << false << "" << false
                                  << none;
    QTest::newRow("-AUTOCREATE --JSON") << QStringList{"prog", "-AUTOCREATE", "--JSON"} << int(C::AutoCreate) << true
                                        << "" << false << none;
    QTest::newRow("typo") << QStringList{"prog", "-AutoUpdat"} << int(C::UsageError) << false << "" << false << none;
    QTest::newRow("/AutoUpdate") << QStringList{"prog", "/AutoUpdate"} << int(C::UsageError) << false << "" << false
                                 << none;
    QTest::newRow("---AutoUpdate") << QStringList{"prog", "---AutoUpdate"} << int(C::UsageError) << false << "" << false
                                   << none;
    QTest::newRow("only the first counts") << QStringList{"prog", "-AutoCreate", "-AutoUpdate"} << int(C::AutoCreate)
                                           << false << "" << false << QStringList{"-AutoUpdate"};
    QTest::newRow("--help, more after") << QStringList{"prog", "--HeLp", "-AutoUpdate"} << int(C::Help) << false << ""
                                        << false << none;
    QTest::newRow("--VERSION") << QStringList{"prog", "--VERSION"} << int(C::Version) << false << "" << false << none;
    QTest::newRow("-help is no option") << QStringList{"prog", "-help"} << int(C::UsageError) << false << "" << false
                                        << none;
    QTest::newRow("--version second") << QStringList{"prog", "-AutoUpdate", "--version"} << int(C::AutoUpdate) << false
                                      << "" << false << QStringList{"--version"};
    QTest::newRow("-status --json") << QStringList{"prog", "-status", "--json"} << int(C::Status) << true << "" << false
                                    << none;
    QTest::newRow("json twice") << QStringList{"prog", "-Status", "--json", "--json"} << int(C::Status) << true << ""
                                << false << QStringList{"--json"};
    QTest::newRow("-Verify FILE") << QStringList{"prog", "-Verify", "b.tar", "--json"} << int(C::Verify) << true
                                  << "b.tar" << false << none;
    QTest::newRow("-Verify without file")
        << QStringList{"prog", "-Verify"} << int(C::UsageError) << false << "" << false << none;
    QTest::newRow("-Verify --json, no file")
        << QStringList{"prog", "-Verify", "--json"} << int(C::UsageError) << false << "" << false << none;
    QTest::newRow("-Restore FILE --yes") << QStringList{"prog", "-Restore", "b.tar", "--json", "--YES"}
                                         << int(C::Restore) << true << "b.tar" << true << none;
    QTest::newRow("--yes not last") << QStringList{"prog", "-Restore", "b.tar", "--yes", "--json"} << int(C::Restore)
                                    << true << "b.tar" << false << QStringList{"--yes"};
    QTest::newRow("--fresh") << QStringList{"prog", "-Rehearse", "--fresh"} << int(C::Rehearse) << false << "" << false
                             << none;
    QTest::newRow("--fresh elsewhere") << QStringList{"prog", "-Backup", "--fresh"} << int(C::Backup) << false << ""
                                       << false << QStringList{"--fresh"};
}

void StartUpTest::firstArgumentSelectsTheMode()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, command);
    QFETCH(bool, json);
    QFETCH(QString, file);
    QFETCH(bool, confirmed);
    QFETCH(QStringList, ignored);
    const CommandLine commandLine = CommandLine::parse(arguments);
    QCOMPARE(int(commandLine.command()), command);
    if (commandLine.command() == CommandLine::Command::UsageError) {
        QVERIFY(commandLine.error().contains(arguments.value(1)));
        return;
    }
    QCOMPARE(commandLine.json(), json);
    QCOMPARE(commandLine.file(), file);
    QCOMPARE(commandLine.confirmed(), confirmed);
    QCOMPARE(commandLine.ignored(), ignored);
}

namespace {

QString startProbe(QProcess &probe, const QString &szKey)
{
    probe.start(QCoreApplication::applicationDirPath() + QStringLiteral("/guard_probe"), {szKey});
    if (!probe.waitForStarted(5000) || !probe.waitForReadyRead(10000))
        return QStringLiteral("no answer");
    return QString::fromLatin1(probe.readLine()).trimmed();
}

} // namespace

void StartUpTest::secondCopyIsRefused()
{
    const QString szKey = QStringLiteral("kivtest-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QProcess first;
    QCOMPARE(startProbe(first, szKey), QStringLiteral("first"));
    {
        QProcess second;
        QCOMPARE(startProbe(second, szKey), QStringLiteral("running"));
        second.closeWriteChannel();
        QVERIFY(second.waitForFinished(10000));
    }

    first.closeWriteChannel();
    QVERIFY(first.waitForFinished(10000));
    QCOMPARE(first.exitCode(), 0);
    QProcess later;
    QCOMPARE(startProbe(later, szKey), QStringLiteral("first"));
    later.closeWriteChannel();
    QVERIFY(later.waitForFinished(10000));
}

void StartUpTest::killedCopyDoesNotLockOut()
{
    const QString szKey = QStringLiteral("kivtest-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QProcess first;
    QCOMPARE(startProbe(first, szKey), QStringLiteral("first"));
    first.kill(); // SIGKILL: no clean-up runs in the probe
    QVERIFY(first.waitForFinished(10000));

    QProcess next;
    QCOMPARE(startProbe(next, szKey), QStringLiteral("first"));
    next.closeWriteChannel();
    QVERIFY(next.waitForFinished(10000));
}

QTEST_GUILESS_MAIN(StartUpTest)
#include "tst_StartUp.moc"
