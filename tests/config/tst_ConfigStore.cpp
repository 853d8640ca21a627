#include "AppContext.h"
#include "Vesper.h"
#include "XmlFormat.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "MessageCatcher.h"

using VariantMap = QMap<QString, QVariant>;

namespace {

std::unique_ptr<QSettings> nativeStore()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat,
                                       QSettings::UserScope,
                                       QStringLiteral("Marlek Telvor Group"),
                                       QStringLiteral("Telvor Imaging Suite"));
}

void writeStore(QSettings &settings, const VariantMap &values)
{
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        settings.setValue(it.key(), it.value());
}

// Every key of the store with its value as text, the form in which a file
// store gives values back.
VariantMap readStore(QSettings &settings)
{
    VariantMap values;
    const QStringList keys = settings.allKeys();
    for (const QString &szKey : keys)
        values.insert(szKey, settings.value(szKey).toString());
    return values;
}

VariantMap asText(const VariantMap &values)
{
    VariantMap text;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        text.insert(it.key(), it.value().toString());
    return text;
}

// Captures Qt's messages while it lives.

} // namespace

class ConfigStoreTest : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void emptyStoreLoadsDefaults();
    void programSaveWritesExactlyItsKeys();
    void emptyLanguageLoadsAsEnglish_data();
    void emptyLanguageLoadsAsEnglish();
    void additionalPathsRoundTrip();
    void olderIpcKey_data();
    void olderIpcKey();
    void saveWritesEverySectionBack();
    void foreignKeysSurviveLoadAndSave();
    void backupValidityDaysIsNeverStored();
    void dbServerPathOnWindows_data();
    void dbServerPathOnWindows();
    void newestPostgresBinFolder();
    void dbServerPathFromSearchPath();
    void credentialsComeFromVesper();

private:
    // Every stored key of the sections that a load reads and a save writes
    // back, none at its default.
    static VariantMap nativeValues(const QString &szSoftwarePath);
    static VariantMap xmlValues(const QString &szSoftwarePath);
    static void writeXml(const QString &szSoftwarePath, const VariantMap &values);
    static VariantMap readXml(const QString &szSoftwarePath);

    std::unique_ptr<QTemporaryDir> m_softwareDir;
};

void ConfigStoreTest::init()
{
    const std::unique_ptr<QSettings> store = nativeStore();
    store->clear();
    store->sync();
    m_softwareDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_softwareDir->isValid());
}

VariantMap ConfigStoreTest::nativeValues(const QString &szSoftwarePath)
{
    return VariantMap{
        {"tools/common/dbInfo/dataSource", "db.example.lan"},
        {"tools/common/dbInfo/initialCatalog", "pelq_clinic"},
        {"tools/common/dbInfo/connectionTimeout", 45},
        {"tools/common/dbInfo/portNumber", 5433},
        {"tools/common/logFile/fileDimension", 4},
        {"tools/common/logFile/databaseEnabled", true},
        {"tools/common/logFile/deviceEnabled", true},
        {"tools/common/logFile/validityDays", 12},
        {"tools/common/miscellaneous/dbServerPath", "D:/PostgreSQL/bin"},
        {"tools/common/miscellaneous/timeoutProcessExecution", 77},
        {"tools/common/miscellaneous/backupBeforeUpdate", true},
        {"common/language", "it"},
        {"kivRoot", "D:/KIVsoftware"},
        {"softwarePath", szSoftwarePath},
        {"appDataLocation", "D:/AppData"},
        {"withoutKivServer", true},
        {"common/additionalPath1", "D:/one"},
        {"common/additionalPath2", "D:/two"},
        {"common/additionalPath3", "D:/three"},
        {"kivImaging2D/type", 2},
        {"kivImaging2D/autosave", true},
        {"kivImaging2D/yCorrection", 3},
        {"kivImaging2D/heightOverride", 1024},
        {"kivImaging2D/widthOverride", 768},
        {"kivImaging2D/applicationName", "Imaging2D"},
        {"kivImaging2D/applicationPath", "D:/Imaging2D"},
        {"kivImaging2D/printLogoPath", "D:/logo.png"},
        {"kivImaging2D/autoOpen", 0},
        {"kiv3dViewer/programName", "Old3d.exe"},
        {"kiv3dViewer/programFolder", "D:/Old3d"},
        {"kiv3dViewerNG/programName", "New3d.exe"},
        {"kiv3dViewerNG/programFolder", "D:/New3d"},
        {"main/thumbnailDate", false},
        {"main/imageDeletion", true},
        {"main/showExternalId", true},
        {"patientTable/optimizations", true},
        {"tools/common/miscellaneous/enableStyleSheet", false},
        {"main/teethNumbering", 2},
        {"main/filteringElseActive", false},
        {"PMS/linkType", 3},
        {"PMS/twDoubleSpace", false},
        {"PMS/dateFormat", "dd.MM.yyyy"},
        {"PMS/replaceFirstNameLastName", true},
        {"PMS/codecNameForIniFiles", "ISO-8859-1"},
        {"IPC/pmsPort", 50500},
        {"IPC/kivDicomToolkitPort", 60500},
        {"IPC/kivConfiguratorPort", 60600},
        {"device/twainTransferMechanism", 1},
        {"device/kivSensorUsbEnabled", true},
        {"device/kivSensorNetEnabled", true},
        {"device/kivSensorTwainEnabled", true},
        {"device/kivPanDevice", 4},
        {"cyberSecurity/inactivityTimeout", 15},
        {"cyberSecurity/cyberSecurityCheck", true},
    };
}

VariantMap ConfigStoreTest::xmlValues(const QString &szSoftwarePath)
{
    return VariantMap{
        {"server/managementPort", 52000},
        {"server/portRange", "52001:52040"},
        {"server/chunkSize", 65536},
        {"server/compressedTraffic", false},
        {"server/transmitBeforeRead", false},
        {"softwarePath", szSoftwarePath},
        {"common/additionalPath1", "D:/one"},
        {"common/additionalPath2", "D:/two"},
        {"common/additionalPath3", "D:/three"},
    };
}

void ConfigStoreTest::writeXml(const QString &szSoftwarePath, const VariantMap &values)
{
    const std::unique_ptr<QSettings> settings = XmlFormat::open(szSoftwarePath);
    writeStore(*settings, values);
}

VariantMap ConfigStoreTest::readXml(const QString &szSoftwarePath)
{
    const std::unique_ptr<QSettings> settings = XmlFormat::open(szSoftwarePath);
    return readStore(*settings);
}

void ConfigStoreTest::emptyStoreLoadsDefaults()
{
    // A pg_dump of our own on the search path fixes the default server path.
    QTemporaryDir binDir;
    QVERIFY(binDir.isValid());
    QFile pgDump(binDir.path() + QStringLiteral("/pg_dump"));
    QVERIFY(pgDump.open(QIODevice::WriteOnly));
    pgDump.close();
    QVERIFY(pgDump.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", binDir.path().toLocal8Bit());
    AppContext context;
    const bool bLoaded = context.loadConfiguration();
    qputenv("PATH", savedPath);
    QVERIFY(bLoaded);

    const CnfProgram &program = context.cnfProgram();
    QCOMPARE(program.dataBase().dataSource(), QStringLiteral("127.0.0.1"));
    QCOMPARE(program.dataBase().initialCatalog(), QStringLiteral("pelq"));
    QCOMPARE(program.dataBase().connectionTimeout(), 120);
    QCOMPARE(program.dataBase().portNumber(), 6543);
    QCOMPARE(program.lingua().language(), QStringLiteral("en"));
    QCOMPARE(program.logFile().fileDimension(), 1);
    QCOMPARE(program.logFile().databaseEnabled(), false);
    QCOMPARE(program.logFile().deviceEnabled(), false);
    QCOMPARE(program.logFile().validityDays(), 31);
    QCOMPARE(program.varie().dbServerPath(), binDir.path());
    QCOMPARE(program.varie().timeoutProcessExecution(), 30);
    QCOMPARE(program.varie().backupValidityDays(), 30);
    QCOMPARE(program.varie().backupBeforeUpdate(), false);

    const CnfCommon &common = context.cnfCommon();
    QCOMPARE(common.fileSystem().softwarePath(), QDir::homePath() + QStringLiteral("/KIV"));
    QCOMPARE(common.fileSystem().kivRoot(), QDir::homePath() + QStringLiteral("/KIVsoftware"));
    QCOMPARE(common.fileSystem().additionalPaths(), QStringList({QString(), QString(), QString()}));
    QCOMPARE(common.kivUI().thumbnailDate(), true);
    QCOMPARE(common.kivUI().imageDeletion(), false);
    QCOMPARE(common.kivUI().showExternalId(), false);
    QCOMPARE(common.kivUI().patientTableOptimizations(), false);
    QCOMPARE(common.kivUI().enableStyleSheet(), true);
    QCOMPARE(common.kivUI().teethNumbering(), 0);
    QCOMPARE(common.kivUI().filteringElseActive(), true);
    QCOMPARE(common.pms().linkType(), 0);
    QCOMPARE(common.pms().twDoubleSpace(), true);
    QCOMPARE(common.pms().dateFormat(), QStringLiteral("yyyy/MM/dd"));
    QCOMPARE(common.pms().replaceFirstNameLastName(), false);
    QCOMPARE(common.pms().codecNameForIniFiles(), QStringLiteral("UTF-8"));
    QCOMPARE(common.ipc().pmsPort(), 50000);
    QCOMPARE(common.ipc().kivDicomToolkitPort(), 60000);
    QCOMPARE(common.ipc().kivConfiguratorPort(), 60100);
    QCOMPARE(common.cyberSecurity().inactivityTimeout(), 120);
    QCOMPARE(common.cyberSecurity().cyberSecurityCheck(), false);
    QCOMPARE(common.cnf2d().autoOpen(), 1);
    QCOMPARE(common.cnf2d().applicationPath(), common.fileSystem().kivRoot() + QStringLiteral("/KivImaging2D"));

    const CnfServer &server = context.cnfServer();
    QCOMPARE(server.serverMain().managementPort(), 51000);
    QCOMPARE(server.serverParameters().chunkSize(), 104857600u);
    QCOMPARE(server.serverParameters().compressedTraffic(), true);
    QCOMPARE(server.serverParameters().transmitBeforeRead(), true);

    // Loading alone writes nothing.
    QVERIFY(nativeStore()->allKeys().isEmpty());
}

void ConfigStoreTest::programSaveWritesExactlyItsKeys()
{
    // A pg_dump of our own on the search path fixes the default server path.
    QTemporaryDir binDir;
    QVERIFY(binDir.isValid());
    QFile pgDump(binDir.path() + QStringLiteral("/pg_dump"));
    QVERIFY(pgDump.open(QIODevice::WriteOnly));
    pgDump.close();
    QVERIFY(pgDump.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", binDir.path().toLocal8Bit());

    CnfProgram program;
    const bool bLoaded = program.load();
    qputenv("PATH", savedPath);
    QVERIFY(bLoaded);
    QVERIFY(program.save());

    const VariantMap expected{
        {"tools/common/dbInfo/dataSource", "127.0.0.1"},
        {"tools/common/dbInfo/initialCatalog", "pelq"},
        {"tools/common/dbInfo/portNumber", "6543"},
        {"tools/common/dbInfo/connectionTimeout", "120"},
        {"tools/common/logFile/fileDimension", "1"},
        {"tools/common/logFile/databaseEnabled", "false"},
        {"tools/common/logFile/deviceEnabled", "false"},
        {"tools/common/logFile/validityDays", "31"},
        {"tools/common/miscellaneous/dbServerPath", binDir.path()},
        {"tools/common/miscellaneous/timeoutProcessExecution", "30"},
        {"tools/common/miscellaneous/backupBeforeUpdate", "false"},
        {"common/language", "en"},
    };
    QCOMPARE(readStore(*nativeStore()), expected);
}

void ConfigStoreTest::emptyLanguageLoadsAsEnglish_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << QVariant(QString()) << QStringLiteral("en");
    QTest::newRow("missing") << QVariant() << QStringLiteral("en");
    QTest::newRow("set") << QVariant(QStringLiteral("de")) << QStringLiteral("de");
}

void ConfigStoreTest::emptyLanguageLoadsAsEnglish()
{
    QFETCH(QVariant, stored);
    QFETCH(QString, expected);

    if (stored.isValid())
        nativeStore()->setValue(QStringLiteral("common/language"), stored);
    CnfProgram program;
    QVERIFY(program.load());
    QCOMPARE(program.lingua().language(), expected);
}

void ConfigStoreTest::additionalPathsRoundTrip()
{
    writeStore(*nativeStore(),
               {{"common/additionalPath1", QString()},
                {"common/additionalPath2", "D:/x"},
                {"common/additionalPath3", QString()},
                {"common/additionalPath4", "D:/not read"}});

    CnfCommon common;
    QVERIFY(common.load());
    QCOMPARE(common.fileSystem().additionalPaths(), QStringList({QString(), QStringLiteral("D:/x"), QString()}));
    // A second load replaces the list instead of adding to it.
    QVERIFY(common.load());
    QCOMPARE(common.fileSystem().additionalPaths().size(), 3);

    nativeStore()->remove(QStringLiteral("common"));
    QVERIFY(common.save());
    const std::unique_ptr<QSettings> store = nativeStore();
    store->beginGroup(QStringLiteral("common"));
    QCOMPARE(store->childKeys(), QStringList({"additionalPath1", "additionalPath2", "additionalPath3"}));
    QCOMPARE(store->value(QStringLiteral("additionalPath1")).toString(), QString());
    QCOMPARE(store->value(QStringLiteral("additionalPath2")).toString(), QStringLiteral("D:/x"));
    QCOMPARE(store->value(QStringLiteral("additionalPath3")).toString(), QString());
}

void ConfigStoreTest::olderIpcKey_data()
{
    QTest::addColumn<QVariant>("olderPort");
    QTest::addColumn<QVariant>("pmsPort");
    QTest::addColumn<int>("expected");

    QTest::newRow("older key wins when set") << QVariant(51234) << QVariant(50500) << 51234;
    QTest::newRow("older key zero is ignored") << QVariant(0) << QVariant(50500) << 50500;
    QTest::newRow("older key alone") << QVariant(51234) << QVariant() << 51234;
    QTest::newRow("neither") << QVariant() << QVariant() << 50000;
}

void ConfigStoreTest::olderIpcKey()
{
    QFETCH(QVariant, olderPort);
    QFETCH(QVariant, pmsPort);
    QFETCH(int, expected);

    {
        const std::unique_ptr<QSettings> store = nativeStore();
        if (olderPort.isValid())
            store->setValue(QStringLiteral("PMS/ipcPort"), olderPort);
        if (pmsPort.isValid())
            store->setValue(QStringLiteral("IPC/pmsPort"), pmsPort);
        store->setValue(QStringLiteral("PMS/linkType"), 2);
    }
    CnfCommon common;
    QVERIFY(common.load());
    QCOMPARE(common.ipc().pmsPort(), expected);

    QVERIFY(common.save());
    const std::unique_ptr<QSettings> store = nativeStore();
    QVERIFY(!store->contains(QStringLiteral("PMS/ipcPort")));
    QCOMPARE(store->value(QStringLiteral("IPC/pmsPort")).toInt(), expected);
    // Only the older key goes, not the rest of its group.
    QCOMPARE(store->value(QStringLiteral("PMS/linkType")).toInt(), 2);
}

void ConfigStoreTest::saveWritesEverySectionBack()
{
    const QString szSoftwarePath = m_softwareDir->path();
    const VariantMap native = nativeValues(szSoftwarePath);
    const VariantMap xml = xmlValues(szSoftwarePath);
    writeStore(*nativeStore(), native);
    writeXml(szSoftwarePath, xml);

    AppContext context;
    QVERIFY(context.loadConfiguration());

    // Empty both stores: what the save writes is then only what was loaded.
    {
        const std::unique_ptr<QSettings> store = nativeStore();
        store->clear();
    }
    QVERIFY(QFile::remove(szSoftwarePath + QStringLiteral("/Marlek Telvor Group/Telvor Imaging Suite.xml")));
    QVERIFY(context.saveConfiguration());

    VariantMap expectedNative = asText(native);
    // The root folder, the application-data location and the flag are read, never written.
    expectedNative.remove(QStringLiteral("kivRoot"));
    expectedNative.remove(QStringLiteral("appDataLocation"));
    expectedNative.remove(QStringLiteral("withoutKivServer"));
    QCOMPARE(readStore(*nativeStore()), expectedNative);
    QCOMPARE(readXml(szSoftwarePath), asText(xml));
}

void ConfigStoreTest::foreignKeysSurviveLoadAndSave()
{
    // The suite's other programs keep their own keys in the same groups and files.
    const QString szSoftwarePath = m_softwareDir->path();
    VariantMap native = nativeValues(szSoftwarePath);
    native.insert(QStringLiteral("tools/common/dbInfo/otherProgramOption"), QStringLiteral("keep me"));
    native.insert(QStringLiteral("tools/other/option"), 5);
    native.insert(QStringLiteral("common/otherLanguageOption"), QStringLiteral("x"));
    native.insert(QStringLiteral("otherRootKey"), QStringLiteral("root"));
    VariantMap xml = xmlValues(szSoftwarePath);
    xml.insert(QStringLiteral("server/otherServerOption"), QStringLiteral("keep me too"));
    xml.insert(QStringLiteral("zeta/alpha/beta"), QStringLiteral("deep"));
    writeStore(*nativeStore(), native);
    writeXml(szSoftwarePath, xml);

    AppContext context;
    QVERIFY(context.loadConfiguration());
    QVERIFY(context.saveConfiguration());

    QCOMPARE(readStore(*nativeStore()), asText(native));
    QCOMPARE(readXml(szSoftwarePath), asText(xml));
}

void ConfigStoreTest::backupValidityDaysIsNeverStored()
{
    {
        AppContext context;
        QVERIFY(context.loadConfiguration());
        context.cnfProgram().varie().setBackupValidityDays(365);
        QVERIFY(context.saveConfiguration());
    }
    const QStringList keys = nativeStore()->allKeys();
    QVERIFY(!keys.isEmpty());
    for (const QString &szKey : keys)
        QVERIFY2(nativeStore()->value(szKey).toString() != QStringLiteral("365"), qPrintable(szKey));

    AppContext context;
    QVERIFY(context.loadConfiguration());
    QCOMPARE(context.cnfProgram().varie().backupValidityDays(), 30);
}

void ConfigStoreTest::dbServerPathOnWindows_data()
{
    QTest::addColumn<QString>("programFilesX86");
    QTest::addColumn<QString>("programFiles");
    QTest::addColumn<QString>("expected");

    QTest::newRow("32-bit folder first") << QStringLiteral("C:\\Program Files (x86)")
                                         << QStringLiteral("C:\\Program Files")
                                         << QStringLiteral("C:/Program Files (x86)/KIVDB/dbServer/bin");
    QTest::newRow("32-bit folder missing")
        << QString() << QStringLiteral("C:\\Program Files") << QStringLiteral("C:/Program Files/KIVDB/dbServer/bin");
    QTest::newRow("mixed separators") << QStringLiteral("D:/Apps\\x86") << QString()
                                      << QStringLiteral("D:/Apps/x86/KIVDB/dbServer/bin");
}

void ConfigStoreTest::dbServerPathOnWindows()
{
    QFETCH(QString, programFilesX86);
    QFETCH(QString, programFiles);
    QFETCH(QString, expected);

    QCOMPARE(CnfVarie::dbServerPathFromProgramFiles(programFilesX86, programFiles), expected);
}

void ConfigStoreTest::newestPostgresBinFolder()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const auto addVersion = [&root](const QString &szVersion, bool bWithPgDump) {
        const QString szBin = root.path() + QLatin1Char('/') + szVersion + QStringLiteral("/bin");
        QVERIFY(QDir().mkpath(szBin));
        if (bWithPgDump) {
            QFile file(szBin + QStringLiteral("/pg_dump"));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    };
    QCOMPARE(CnfVarie::newestPostgresBinFolder(root.path()), QString());
    addVersion(QStringLiteral("9.6"), true);
    addVersion(QStringLiteral("15"), true);
    addVersion(QStringLiteral("16"), false); // client programs removed
    addVersion(QStringLiteral("latest"), true);
    // Compared as versions: 15 is newer than 9.6 although "9.6" > "15" as text.
    QCOMPARE(CnfVarie::newestPostgresBinFolder(root.path()), root.path() + QStringLiteral("/15/bin"));
}

void ConfigStoreTest::dbServerPathFromSearchPath()
{
#ifdef Q_OS_WIN
    QSKIP("Windows takes the program folder instead of the search path");
#else
    QTemporaryDir binDir;
    QVERIFY(binDir.isValid());
    QTemporaryDir emptyDir;
    QVERIFY(emptyDir.isValid());
    QFile pgDump(binDir.path() + QStringLiteral("/pg_dump"));
    QVERIFY(pgDump.open(QIODevice::WriteOnly));
    pgDump.close();
    QVERIFY(pgDump.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", (emptyDir.path() + QLatin1Char(':') + binDir.path()).toLocal8Bit());
    const QString szDefault = CnfVarie::defaultDbServerPath();
    qputenv("PATH", savedPath);
    QCOMPARE(szDefault, binDir.path());

    // A stored path wins over the default.
    nativeStore()->setValue(QStringLiteral("tools/common/miscellaneous/dbServerPath"), QStringLiteral("/srv/pg/bin"));
    CnfProgram program;
    QVERIFY(program.load());
    QCOMPARE(program.varie().dbServerPath(), QStringLiteral("/srv/pg/bin"));
#endif
}

void ConfigStoreTest::credentialsComeFromVesper()
{
    // Key material and an empty data file where Vesper looks first, so that
    // nothing lands beside the test program.
    const QStringList locations = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    QVERIFY(locations.size() >= 2);
    const QString szOrgFolder = locations.at(1) + QStringLiteral("/Marlek Telvor Group");
    QVERIFY(QDir().mkpath(szOrgFolder + QStringLiteral("/Halvex")));
    QVERIFY(QDir().mkpath(szOrgFolder + QStringLiteral("/Vesper")));
    {
        QByteArray iv(24, '\0');
        QByteArray key(24, '\0');
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(iv.data()), iv.size() / 4);
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(key.data()), key.size() / 4);
        QSettings setup(szOrgFolder + QStringLiteral("/Halvex/setup.ini"), QSettings::IniFormat);
        setup.setValue(QStringLiteral("Vesper/I"), QString::fromLatin1(iv.toBase64()));
        setup.setValue(QStringLiteral("Vesper/K"), QString::fromLatin1(key.toBase64()));
    }
    QFile dataFile(szOrgFolder + QStringLiteral("/Vesper/data.ini"));
    QVERIFY(dataFile.open(QIODevice::WriteOnly));
    dataFile.close();

    const QString szUser = QStringLiteral("marlek_user");
    const QString szPassword = QStringLiteral("S3cret-pa55");
    const QString szKey = QStringLiteral("data-key-not-a-password");
    {
        Vesper vesper;
        vesper.setCredentials(CreDbUser, szUser);
        vesper.setCredentials(CreDbPassword, szPassword);
        vesper.setCredentials(CreDbKey, szKey);
    }

    CnfDataBase dataBase;
    MessageCatcher capture;
    QCOMPARE(dataBase.userName(), szUser);
    QCOMPARE(dataBase.password(), szPassword);
    QCOMPARE(dataBase.retryPassword(), szPassword);
    // No secret reaches Qt's message channels, whatever they are routed to.
    for (const QString &szMessage : MessageCatcher::messages()) {
        QVERIFY2(!szMessage.contains(szPassword), qPrintable(szMessage));
        QVERIFY2(!szMessage.contains(szUser), qPrintable(szMessage));
    }
}

QTEST_GUILESS_MAIN(ConfigStoreTest)
#include "tst_ConfigStore.moc"
