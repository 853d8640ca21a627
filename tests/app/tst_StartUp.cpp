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
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("unattended");
    QTest::addColumn<int>("info");

    const int none = int(StartUp::AutoMode::None);
    const int update = int(StartUp::AutoMode::Update);
    const int create = int(StartUp::AutoMode::Create);
    const int noInfo = int(StartUp::InfoOption::None);
    const int help = int(StartUp::InfoOption::Help);
    const int version = int(StartUp::InfoOption::Version);
    QTest::newRow("no argument") << QStringList{"prog"} << none << false << noInfo;
    QTest::newRow("-AutoUpdate") << QStringList{"prog", "-AutoUpdate"} << update << true << noInfo;
    QTest::newRow("--autoupdate") << QStringList{"prog", "--autoupdate"} << update << true << noInfo;
    QTest::newRow("-AUTOCREATE") << QStringList{"prog", "-AUTOCREATE"} << create << true << noInfo;
    QTest::newRow("/AutoUpdate") << QStringList{"prog", "/AutoUpdate"} << none << true << noInfo;
    QTest::newRow("---AutoUpdate") << QStringList{"prog", "---AutoUpdate"} << none << true << noInfo;
    QTest::newRow("only the first counts")
        << QStringList{"prog", "-AutoCreate", "-AutoUpdate"} << create << true << noInfo;
    QTest::newRow("unknown first") << QStringList{"prog", "-x", "-AutoUpdate"} << none << true << noInfo;
    QTest::newRow("--help") << QStringList{"prog", "--help"} << none << true << help;
    QTest::newRow("--HeLp, more after") << QStringList{"prog", "--HeLp", "-AutoUpdate"} << none << true << help;
    QTest::newRow("--VERSION") << QStringList{"prog", "--VERSION"} << none << true << version;
    QTest::newRow("-help is no option") << QStringList{"prog", "-help"} << none << true << noInfo;
    QTest::newRow("--helpme is no option") << QStringList{"prog", "--helpme"} << none << true << noInfo;
    QTest::newRow("--version second") << QStringList{"prog", "-AutoUpdate", "--version"} << update << true << noInfo;
}

void StartUpTest::firstArgumentSelectsTheMode()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, mode);
    QFETCH(bool, unattended);
    QFETCH(int, info);
    QCOMPARE(int(StartUp::autoMode(arguments)), mode);
    QCOMPARE(StartUp::isUnattended(arguments), unattended);
    QCOMPARE(int(StartUp::infoOption(arguments)), info);
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
