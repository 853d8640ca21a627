#include "LogFileManager.h"
#include "SymmetricEncryption.h"
#include "Vesper.h"

#include <QtTest>

#include <limits>

#include "MessageCatcher.h"

namespace {

const QByteArray kIv = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f");
const QByteArray kKey = QByteArray::fromHex("202122232425262728292a2b2c2d2e2f303132333435363738393a3b3c3d3e3f");
const QByteArray kOtherKey = QByteArray(32, '\x5a');

QString primaryRoot()
{
    return QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation).value(1) + "/Marlek Telvor Group";
}

QString setupIn(const QString &root)
{
    return root + "/Halvex/setup.ini";
}

QString dataIn(const QString &root)
{
    return root + "/Vesper/data.ini";
}

// An invalid value leaves the entry out.
void writeIni(
    const QString &path, const QString &keyA, const QVariant &a, const QString &keyB = {}, const QVariant &b = {})
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings ini(path, QSettings::IniFormat);
    ini.clear();
    if (a.isValid())
        ini.setValue(keyA, a);
    if (b.isValid())
        ini.setValue(keyB, b);
}

QByteArray mixedI(const QByteArray &iv = kIv, const QByteArray &key = kKey)
{
    return (iv + key.left(8)).toBase64();
}

QByteArray mixedK(const QByteArray &key = kKey)
{
    return key.mid(8).toBase64();
}

void writeMixedSetup(const QString &path)
{
    writeIni(path, "Vesper/I", mixedI(), "Vesper/K", mixedK());
}

QByteArray encrypted(const QString &value, const QByteArray &key = kKey, const QByteArray &iv = kIv)
{
    const SymmetricEncryption cipher(reinterpret_cast<const unsigned char *>(key.constData()),
                                     key.size(),
                                     reinterpret_cast<const unsigned char *>(iv.constData()),
                                     iv.size());
    return cipher.encrypt(value).toBase64();
}

QByteArray storedEntry(const QString &dataPath, const QString &entry)
{
    return QSettings(dataPath, QSettings::IniFormat).value(entry).toByteArray();
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void createEmptyFile(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs one of the build's programs, or a copy of it placed in appDir (its application directory there).
Run runProgram(const QString &name, const QStringList &args, const QByteArray &input = {}, const QString &appDir = {})
{
    const QString binDir = QCoreApplication::applicationDirPath();
    QString program = binDir + '/' + name;
    if (!appDir.isEmpty()) {
        if (!QFile::exists(appDir + '/' + name))
            QFile::copy(program, appDir + '/' + name);
        program = appDir + '/' + name;
    }
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LD_LIBRARY_PATH", binDir);
    process.setProcessEnvironment(env);
    process.start(program, args);
    process.write(input);
    process.closeWriteChannel();
    Run run;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

bool ownerOnly(const QString &path)
{
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                            QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    const QFileDevice::Permissions permissions = QFile::permissions(path);
    return (permissions & others) == 0 && (permissions & QFileDevice::ReadOwner) &&
           (permissions & QFileDevice::WriteOwner);
}

} // namespace

class VesperTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void storesAndReadsBackOnNewObject_data();
    void storesAndReadsBackOnNewObject();
    void otherTypeSelectsNothing_data();
    void otherTypeSelectsNothing();
    void unusableSetupEntriesLeaveNoCipher_data();
    void unusableSetupEntriesLeaveNoCipher();
    void dataEntriesAreDecodedSafely_data();
    void dataEntriesAreDecodedSafely();
    void provisioningFilesFeedTheSetupFile_data();
    void provisioningFilesFeedTheSetupFile();
    void findsFilesInApplicationDirectory_data();
    void findsFilesInApplicationDirectory();
    void missingFilesAreReported_data();
    void missingFilesAreReported();

    void setupToolStoresCredentialsAndGuardsTheSetup();
    void setupToolRejectsBadInput_data();
    void setupToolRejectsBadInput();
    void setupToolWritesIntoApplicationDirectory();

    void writesEncryptedStartLine();
};

void VesperTest::initTestCase()
{
    // Everything below writes into the private folders the test runner sets up, never a real user's.
    QVERIFY2(primaryRoot().startsWith(QDir::homePath() + '/'), qPrintable(primaryRoot()));
}

void VesperTest::cleanup()
{
    QFile::remove(primaryRoot());
    QDir(primaryRoot()).removeRecursively();
}

void VesperTest::storesAndReadsBackOnNewObject_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::newRow("user") << 1 << "DBS/U"
                          << "username"
                          << "marlek";
    QTest::newRow("password with INI specials") << 2 << "DBS/P"
                                                << "password"
                                                << "p\u00e4ss=w;rd, \"\u20ac\"";
    QTest::newRow("data key") << 3 << "DBS/K"
                              << "key" << QString(70, 'k');
    QTest::newRow("empty") << 1 << "DBS/U"
                           << "username"
                           << "";
}

void VesperTest::storesAndReadsBackOnNewObject()
{
    QFETCH(int, type);
    QFETCH(QString, entry);
    QFETCH(QString, name);
    QFETCH(QString, value);
    const QString dataPath = dataIn(primaryRoot());
    writeMixedSetup(setupIn(primaryRoot()));
    createEmptyFile(dataPath);

    Vesper().setCredentials(static_cast<eCreType>(type), value);
    // The mixed layout's key and IV, the entry name and the byte-array form, all as other readers expect.
    QCOMPARE(storedEntry(dataPath, entry), encrypted(value));
    QCOMPARE(QSettings(dataPath, QSettings::IniFormat).allKeys(), QStringList{entry});
    QVERIFY(fileBytes(dataPath).contains("@ByteArray("));

    MessageCatcher catcher;
    QCOMPARE(Vesper().getCredentials(static_cast<eCreType>(type)), value);
    QCOMPARE(MessageCatcher::messages(),
             QStringList{QStringLiteral("%1application, with pid %2 has decypted DB %3")
                             .arg(QCoreApplication::applicationName())
                             .arg(QCoreApplication::applicationPid())
                             .arg(name)});
}

void VesperTest::otherTypeSelectsNothing_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("0") << 0;
    // Past the enumerators: defined only because the type's underlying int is fixed.
    QTest::newRow("4") << 4;
    QTest::newRow("-1") << -1;
    QTest::newRow("256") << 256;
    QTest::newRow("largest int") << std::numeric_limits<int>::max();
    QTest::newRow("smallest int") << std::numeric_limits<int>::min();
}

void VesperTest::otherTypeSelectsNothing()
{
    QFETCH(int, type);
    writeMixedSetup(setupIn(primaryRoot()));
    writeIni(dataIn(primaryRoot()), "DBS/U", encrypted("marlek"));
    const QByteArray before = fileBytes(dataIn(primaryRoot()));

    MessageCatcher catcher;
    Vesper vesper;
    // Brace initialisation from an int compiles only for a fixed underlying type.
    const eCreType other{type};
    QCOMPARE(vesper.getCredentials(other), QString());
    vesper.setCredentials(other, "other");
    QCOMPARE(MessageCatcher::messages(), QStringList());
    QCOMPARE(fileBytes(dataIn(primaryRoot())), before);
}

void VesperTest::unusableSetupEntriesLeaveNoCipher_data()
{
    QTest::addColumn<QVariant>("entryI");
    QTest::addColumn<QVariant>("entryK");
    QByteArray damagedI = mixedI();
    damagedI.insert(5, '*');
    QTest::newRow("I missing") << QVariant() << QVariant(mixedK());
    QTest::newRow("K missing") << QVariant(mixedI()) << QVariant();
    QTest::newRow("I one byte short") << QVariant((kIv + kKey.left(7)).toBase64()) << QVariant(mixedK());
    QTest::newRow("K one byte short") << QVariant(mixedI()) << QVariant(kKey.mid(8, 23).toBase64());
    QTest::newRow("I not base64") << QVariant(damagedI) << QVariant(mixedK());
    QTest::newRow("plain layout") << QVariant(kIv.toBase64()) << QVariant(kKey.toBase64());
}

void VesperTest::unusableSetupEntriesLeaveNoCipher()
{
    QFETCH(QVariant, entryI);
    QFETCH(QVariant, entryK);
    writeIni(setupIn(primaryRoot()), "Vesper/I", entryI, "Vesper/K", entryK);
    writeIni(dataIn(primaryRoot()), "DBS/U", encrypted("secret-user"));
    const QByteArray before = fileBytes(dataIn(primaryRoot()));

    MessageCatcher catcher;
    Vesper vesper;
    QVERIFY(!vesper.cipher);
    QCOMPARE(vesper.getCredentials(CreDbUser), QString());
    vesper.setCredentials(CreDbUser, "secret-new");
    QCOMPARE(fileBytes(dataIn(primaryRoot())), before);
    QVERIFY(catcher.mentions("not stored"));
    QVERIFY(!catcher.mentions("secret"));
}

void VesperTest::dataEntriesAreDecodedSafely_data()
{
    const QString secret = "geheimpass-13"; // 30 plain bytes: two cipher blocks
    const QByteArray good = encrypted(secret);
    QByteArray foreign = good;
    foreign.insert(10, '*');
    QTest::addColumn<QVariant>("entry");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain base64 text") << QVariant(QString::fromLatin1(good)) << secret;
    QTest::newRow("truncated text") << QVariant(good.left(good.size() - 4)) << QString();
    QTest::newRow("foreign character") << QVariant(foreign) << QString();
    QTest::newRow("last block cut") << QVariant(QByteArray::fromBase64(good).left(16).toBase64()) << QString();
    QTest::newRow("other key") << QVariant(encrypted(secret, kOtherKey)) << QString();
    QTest::newRow("entry missing") << QVariant() << QString();
}

void VesperTest::dataEntriesAreDecodedSafely()
{
    QFETCH(QVariant, entry);
    QFETCH(QString, expected);
    writeMixedSetup(setupIn(primaryRoot()));
    writeIni(dataIn(primaryRoot()), "DBS/P", entry);

    MessageCatcher catcher;
    QCOMPARE(Vesper().getCredentials(CreDbPassword), expected);
    QVERIFY(!catcher.mentions("geheim"));
}

void VesperTest::provisioningFilesFeedTheSetupFile_data()
{
    QTest::addColumn<bool>("plainLayout");
    QTest::newRow("mixed.txt into the mixed layout") << false;
    QTest::newRow("i.txt and k.txt into the plain layout") << true;
}

void VesperTest::provisioningFilesFeedTheSetupFile()
{
    QFETCH(bool, plainLayout);
    QTemporaryDir appDir;
    QCOMPARE(runProgram("vesper_probe", {"saveI", "saveK", "saveMixedKI"}, {}, appDir.path()).exitCode, 0);

    QString textI;
    QString textK;
    QByteArray iv;
    QByteArray key;
    if (plainLayout) {
        const QStringList linesI = QString::fromLatin1(fileBytes(appDir.filePath("i.txt"))).split('\n');
        const QStringList linesK = QString::fromLatin1(fileBytes(appDir.filePath("k.txt"))).split('\n');
        QCOMPARE(linesI.value(1), QString("iv size is: 16 bytes"));
        QCOMPARE(linesK.value(1), QString("key size is: 32 bytes"));
        QCOMPARE(linesI.size() + linesK.size(), 4);
        textI = linesI.value(0);
        textK = linesK.value(0);
        iv = QByteArray::fromBase64(textI.toLatin1());
        key = QByteArray::fromBase64(textK.toLatin1());
        QCOMPARE(iv.size() + key.size(), 16 + 32);
    } else {
        const QString text = QString::fromLatin1(fileBytes(appDir.filePath("mixed.txt")));
        QVERIFY(text.startsWith("IV:  "));
        QVERIFY(!text.endsWith('\n'));
        const QStringList lines = text.split('\n');
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines.at(1).startsWith("KEY: "));
        textI = lines.at(0).mid(5);
        textK = lines.at(1).mid(5);
        const QByteArray bytesI = QByteArray::fromBase64(textI.toLatin1());
        const QByteArray bytesK = QByteArray::fromBase64(textK.toLatin1());
        QCOMPARE(bytesI.size() + bytesK.size(), 24 + 24);
        iv = bytesI.left(16);
        key = bytesI.mid(16) + bytesK;
    }

    // Pasted as plain text, the way a person copies them from the files.
    writeIni(setupIn(primaryRoot()), "Vesper/I", textI, "Vesper/K", textK);
    createEmptyFile(dataIn(primaryRoot()));
    {
        Vesper writer;
        if (plainLayout)
            writer.initHalvex();
        writer.setCredentials(CreDbKey, "data-key");
    }
    QCOMPARE(storedEntry(dataIn(primaryRoot()), "DBS/K"), encrypted("data-key", key, iv));
    Vesper reader;
    if (plainLayout)
        reader.initHalvex();
    QCOMPARE(reader.getCredentials(CreDbKey), QString("data-key"));
}

void VesperTest::findsFilesInApplicationDirectory_data()
{
    QTest::addColumn<bool>("setupInAppDir");
    QTest::addColumn<bool>("dataInAppDir");
    QTest::newRow("both files") << true << true;
    QTest::newRow("setup file only") << true << false;
    QTest::newRow("data file only") << false << true;
}

void VesperTest::findsFilesInApplicationDirectory()
{
    QFETCH(bool, setupInAppDir);
    QFETCH(bool, dataInAppDir);
    QTemporaryDir appDir;
    writeMixedSetup(setupIn(setupInAppDir ? appDir.path() : primaryRoot()));
    writeIni(dataIn(dataInAppDir ? appDir.path() : primaryRoot()), "DBS/U", encrypted("app-user"));

    const Run run = runProgram("vesper_probe", {"get", "1"}, {}, appDir.path());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QString("app-user\n"));
}

void VesperTest::missingFilesAreReported_data()
{
    QTest::addColumn<bool>("setupPresent");
    QTest::addColumn<QString>("message");
    QTest::newRow("setup file missing") << false << "Setup file not found!";
    QTest::newRow("data file missing") << true << "Data file not found!";
}

void VesperTest::missingFilesAreReported()
{
    QFETCH(bool, setupPresent);
    QFETCH(QString, message);
    QTemporaryDir appDir;
    const QString dataPath = dataIn(appDir.path());
    if (setupPresent)
        writeMixedSetup(setupIn(appDir.path()));

    Run run = runProgram("vesper_probe", {"get", "1", "get", "2", "get", "3"}, {}, appDir.path());
    QCOMPARE(run.out, QString("\n\n\n"));
    QCOMPARE(run.err.count(message), 3);

    // Without a data file the new one goes to the application's directory; without a cipher nothing is written.
    run = runProgram("vesper_probe", {"set", "1", "get", "1"}, "new-user\n", appDir.path());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QFile::exists(dataPath), setupPresent);
    QCOMPARE(run.out, QString(setupPresent ? "new-user\n" : "\n"));
    QCOMPARE(run.err.contains("not stored"), !setupPresent);
    QVERIFY(!run.err.contains("new-user"));
}

void VesperTest::setupToolStoresCredentialsAndGuardsTheSetup()
{
    const Run run = runProgram("VesperSetup", {}, "db-user\npass word \u00fc\r\ndata-key\n");
    QCOMPARE(run.exitCode, 0);
    const QString setupPath = setupIn(primaryRoot());
    const QString dataPath = dataIn(primaryRoot());
    QVERIFY2(run.out.contains(setupPath) && run.out.contains(dataPath), qPrintable(run.out));
    QVERIFY(!(run.out + run.err).contains("pass word"));
    QVERIFY(ownerOnly(setupPath));
    QVERIFY(ownerOnly(dataPath));

    const QSettings setup(setupPath, QSettings::IniFormat);
    QCOMPARE(QByteArray::fromBase64(setup.value("Vesper/I").toByteArray()).size(), 24);
    QCOMPARE(QByteArray::fromBase64(setup.value("Vesper/K").toByteArray()).size(), 24);
    QCOMPARE(Vesper().getCredentials(CreDbUser), QString("db-user"));
    QCOMPARE(Vesper().getCredentials(CreDbPassword), QString("pass word \u00fc"));
    QCOMPARE(Vesper().getCredentials(CreDbKey), QString("data-key"));

    // A new key would make the stored credentials unreadable: replaced only when asked to.
    const QByteArray firstSetup = fileBytes(setupPath);
    const Run refused = runProgram("VesperSetup", {}, "second\npw\nkey\n");
    QVERIFY(refused.exitCode > 0 && refused.err.contains("--force"));
    QCOMPARE(fileBytes(setupPath), firstSetup);
    QCOMPARE(Vesper().getCredentials(CreDbUser), QString("db-user"));

    QCOMPARE(runProgram("VesperSetup", {"--force"}, "second\npw\nkey\n").exitCode, 0);
    QVERIFY(fileBytes(setupPath) != firstSetup);
    QCOMPARE(Vesper().getCredentials(CreDbUser), QString("second"));
}

void VesperTest::setupToolRejectsBadInput_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("folderBlocked");
    QTest::newRow("empty user name") << QStringList() << QByteArray("\npw-secret\nkey\n") << false;
    QTest::newRow("too few lines") << QStringList() << QByteArray("user\npw-secret\n") << false;
    QTest::newRow("secret as argument") << QStringList{"pw-secret"} << QByteArray("user\npw-secret\nkey\n") << false;
    QTest::newRow("folder not writable") << QStringList() << QByteArray("user\npw-secret\nkey\n") << true;
}

void VesperTest::setupToolRejectsBadInput()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(bool, folderBlocked);
    if (folderBlocked) // a file where the organisation folder should be: no folder can be made there
        createEmptyFile(primaryRoot());

    const Run run = runProgram("VesperSetup", args, input);
    QVERIFY2(run.exitCode > 0, qPrintable(run.err));
    QVERIFY(!run.err.isEmpty());
    QVERIFY(!run.err.contains("pw-secret"));
    QVERIFY(!QFile::exists(setupIn(primaryRoot())));
}

void VesperTest::setupToolWritesIntoApplicationDirectory()
{
    QTemporaryDir appDir;
    const Run run = runProgram("VesperSetup", {"--app-dir"}, "app-user\napp-pw\napp-key\n", appDir.path());
    QCOMPARE(run.exitCode, 0);
    QVERIFY(ownerOnly(setupIn(appDir.path())));
    QVERIFY(ownerOnly(dataIn(appDir.path())));
    QVERIFY(!QFile::exists(setupIn(primaryRoot())));
    const Run read = runProgram("vesper_probe", {"get", "1", "get", "2", "get", "3"}, {}, appDir.path());
    QCOMPARE(read.out, QString("app-user\napp-pw\napp-key\n"));

    // A setup file in the shared folder would be read first, so the tool will not write behind it.
    writeMixedSetup(setupIn(primaryRoot()));
    QVERIFY(runProgram("VesperSetup", {"--app-dir", "--force"}, "u\np\nk\n", appDir.path()).exitCode > 0);
}

void VesperTest::writesEncryptedStartLine()
{
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Marlek Telvor Group/Vesper/Log/";
    QDir(folder).removeRecursively();
    createEmptyFile(folder + "Vesper-2000-01-01.elf");
    {
        QFile old(folder + "Vesper-2000-01-01.elf");
        QVERIFY(old.open(QIODevice::Append));
        QVERIFY(old.setFileTime(QDateTime::currentDateTime().addDays(-31), QFileDevice::FileModificationTime));
    }

    Vesper vesper;
    vesper.initLogFileManager();

    // The only log left is today's, whatever day it was when it was made.
    const QStringList lstLogs = QDir(folder).entryList({QStringLiteral("Vesper-*.elf")}, QDir::Files);
    QCOMPARE(lstLogs.size(), 1);
    QVERIFY2(
        QRegularExpression(QStringLiteral("^Vesper-\\d{4}-\\d{2}-\\d{2}\\.elf$")).match(lstLogs.first()).hasMatch(),
        qPrintable(lstLogs.first()));
    QString text;
    QVERIFY(LogFileManager::ReadEncryptedLog(folder + lstLogs.first(), text));
    QVERIFY2(text.startsWith("\nKIV00000001<"), qPrintable(text));
    QVERIFY2(text.endsWith("> *** Start Program ***"), qPrintable(text));
    QVERIFY(!QFile::exists(folder + "Vesper-2000-01-01.elf"));
}

QTEST_GUILESS_MAIN(VesperTest)
#include "tst_Vesper.moc"
