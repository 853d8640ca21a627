#include "AppContext.h"
#include "Vesper.h"
#include "XmlFormat.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <climits>

#include "MessageCatcher.h"

using VariantMap = QMap<QString, QVariant>;
using Placeholders = QList<QPair<QByteArray, QString>>;

namespace {

// Settings files written by the configuration code of release 1.9.0, which
// the code of today must read alike and write back byte for byte:
// nondefault/store.conf (native store) and nondefault/store.xml hold every key
// at a value other than its default; nondefault/saved.* is what loading them
// and saving into emptied stores wrote, defaults/saved.* what a save wrote
// after loading empty stores. Paths that differ between machines stand there
// as ${SOFTWARE}, ${HOME} and ${PGBIN}.
const QString kDataFolder = QStringLiteral(KIV_TEST_SOURCE_DIR "/data/");

std::unique_ptr<QSettings> nativeStore()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat,
                                       QSettings::UserScope,
                                       QStringLiteral("Marlek Telvor Group"),
                                       QStringLiteral("Telvor Imaging Suite"));
}

QString xmlFilePath(const QString &szSoftwarePath)
{
    return szSoftwarePath + QStringLiteral("/Marlek Telvor Group/Telvor Imaging Suite.xml");
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

QByteArray readFile(const QString &szPath)
{
    QFile file(szPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &szPath, const QByteArray &content)
{
    QVERIFY(QDir().mkpath(QFileInfo(szPath).absolutePath()));
    QFile file(szPath);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), qint64(content.size()));
}

QByteArray readFixture(const QString &szName, const Placeholders &placeholders)
{
    QByteArray content = readFile(kDataFolder + szName);
    if (content.isEmpty())
        qFatal("No test data %s", qPrintable(szName));
    for (const auto &placeholder : placeholders)
        content.replace(placeholder.first, placeholder.second.toUtf8());
    return content;
}

QString describe(const QVariant &value)
{
    QString szText;
    QDebug(&szText) << value;
    return szText;
}

// Sets an environment variable while it lives.
class ScopedEnvironment
{
public:
    ScopedEnvironment(const char *pszName, const QByteArray &value)
        : m_pszName(pszName), m_bWasSet(qEnvironmentVariableIsSet(pszName)), m_previous(qgetenv(pszName))
    {
        qputenv(pszName, value);
    }
    ~ScopedEnvironment()
    {
        if (m_bWasSet)
            qputenv(m_pszName, m_previous);
        else
            qunsetenv(m_pszName);
    }
    ScopedEnvironment(const ScopedEnvironment &) = delete;
    ScopedEnvironment &operator=(const ScopedEnvironment &) = delete;

private:
    const char *m_pszName;
    bool m_bWasSet;
    QByteArray m_previous;
};

// A pg_dump of its own on the search path, which fixes the default server path.
class FakePgDump
{
public:
    FakePgDump() : m_path("PATH", QFile::encodeName(m_binDir.path()))
    {
        QFile pgDump(m_binDir.path() + QStringLiteral("/pg_dump"));
        if (!pgDump.open(QIODevice::WriteOnly))
            qFatal("Cannot create %s", qPrintable(pgDump.fileName()));
        pgDump.close();
        pgDump.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString folder() const { return m_binDir.path(); }

private:
    QTemporaryDir m_binDir;
    ScopedEnvironment m_path;
};

// One getter of the configuration, the value it gives for nondefault/store.*
// (${SOFTWARE} stands for the software folder) and whether a save writes it.
struct Probe
{
    const char *pszGetter;
    QVariant (*read)(const AppContext &context);
    QVariant expected;
    bool bSaved;
};

#define PROBE(getter, expected, saved)                                                                                 \
    Probe                                                                                                              \
    {                                                                                                                  \
#getter, [](const AppContext &context) { return QVariant::fromValue(context.getter); }, expected, saved        \
    }

const QVector<Probe> &probes()
{
    static const QVector<Probe> s_probes{
        PROBE(cnfProgram().dataBase().dataSource(), "db.example.lan", true),
        PROBE(cnfProgram().dataBase().initialCatalog(), "pelq_clinic", true),
        PROBE(cnfProgram().dataBase().connectionTimeout(), 45, true),
        PROBE(cnfProgram().dataBase().portNumber(), 5433, true),
        PROBE(cnfProgram().lingua().language(), "it", true),
        PROBE(cnfProgram().logFile().fileDimension(), 4, true),
        PROBE(cnfProgram().logFile().databaseEnabled(), true, true),
        PROBE(cnfProgram().logFile().deviceEnabled(), true, true),
        PROBE(cnfProgram().logFile().validityDays(), 12, true),
        PROBE(cnfProgram().varie().dbServerPath(), "D:/PostgreSQL/15/bin", true),
        PROBE(cnfProgram().varie().timeoutProcessExecution(), 77, true),
        PROBE(cnfProgram().varie().backupBeforeUpdate(), true, true),
        PROBE(cnfCommon().fileSystem().kivRoot(), "D:/KIVsoftware", false),
        PROBE(cnfCommon().fileSystem().softwarePath(), "${SOFTWARE}", true),
        PROBE(cnfCommon().fileSystem().appDataLocation(), "D:/AppData", false),
        PROBE(cnfCommon().fileSystem().withoutKivServer(), true, false),
        PROBE(cnfCommon().fileSystem().additionalPaths(),
              QStringList({"D:/one", QStringLiteral("D:/Praxis Müller"), "D:/R&D, images"}),
              true),
        PROBE(cnfCommon().cnf2d().type(), 2, true),
        PROBE(cnfCommon().cnf2d().autosave(), true, true),
        PROBE(cnfCommon().cnf2d().yCorrection(), -3, true),
        PROBE(cnfCommon().cnf2d().heightOverride(), 1024, true),
        PROBE(cnfCommon().cnf2d().widthOverride(), 768, true),
        PROBE(cnfCommon().cnf2d().applicationName(), "Imaging2D", true),
        PROBE(cnfCommon().cnf2d().applicationPath(), "D:/Imaging2D", true),
        PROBE(cnfCommon().cnf2d().printLogoPath(), "D:/logo.png", true),
        PROBE(cnfCommon().cnf2d().autoOpen(), 0, true),
        PROBE(cnfCommon().cnf3d().olderProgramName(), "Old3d.exe", true),
        PROBE(cnfCommon().cnf3d().olderProgramFolder(), "D:/Old3d", true),
        PROBE(cnfCommon().cnf3d().newerProgramName(), "New3d.exe", true),
        PROBE(cnfCommon().cnf3d().newerProgramFolder(), "D:/New3d", true),
        PROBE(cnfCommon().kivUI().thumbnailDate(), false, true),
        PROBE(cnfCommon().kivUI().imageDeletion(), true, true),
        PROBE(cnfCommon().kivUI().showExternalId(), true, true),
        PROBE(cnfCommon().kivUI().patientTableOptimizations(), true, true),
        PROBE(cnfCommon().kivUI().enableStyleSheet(), false, true),
        PROBE(cnfCommon().kivUI().teethNumbering(), 2, true),
        PROBE(cnfCommon().kivUI().filteringElseActive(), false, true),
        PROBE(cnfCommon().pms().linkType(), 3, true),
        PROBE(cnfCommon().pms().twDoubleSpace(), false, true),
        PROBE(cnfCommon().pms().dateFormat(), "dd.MM.yyyy", true),
        PROBE(cnfCommon().pms().replaceFirstNameLastName(), true, true),
        PROBE(cnfCommon().pms().codecNameForIniFiles(), "ISO-8859-1", true),
        PROBE(cnfCommon().ipc().pmsPort(), 50500, true),
        PROBE(cnfCommon().ipc().kivDicomToolkitPort(), 60500, true),
        PROBE(cnfCommon().ipc().kivConfiguratorPort(), 60600, true),
        PROBE(cnfCommon().device().twainTransferMechanism(), 1, true),
        PROBE(cnfCommon().device().kivSensorUsbEnabled(), true, true),
        PROBE(cnfCommon().device().kivSensorNetEnabled(), true, true),
        PROBE(cnfCommon().device().kivSensorTwainEnabled(), true, true),
        PROBE(cnfCommon().device().kivPanDevice(), 4, true),
        PROBE(cnfCommon().cyberSecurity().inactivityTimeout(), 15, true),
        PROBE(cnfCommon().cyberSecurity().cyberSecurityCheck(), true, true),
        PROBE(cnfServer().serverMain().managementPort(), 52000, true),
        PROBE(cnfServer().serverMain().portRangeFirst(), 52001, true),
        PROBE(cnfServer().serverMain().portRangeSecond(), 52040, true),
        PROBE(cnfServer().serverParameters().chunkSize(), 3221225472u, true),
        PROBE(cnfServer().serverParameters().compressedTraffic(), false, true),
        PROBE(cnfServer().serverParameters().transmitBeforeRead(), false, true),
    };
    return s_probes;
}

#undef PROBE

const Probe &probe(const QString &szGetter)
{
    for (const Probe &candidate : probes()) {
        if (szGetter == QLatin1String(candidate.pszGetter))
            return candidate;
    }
    qFatal("No probe %s", qPrintable(szGetter));
}

} // namespace

class ConfigStoreTest : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void loadsSettingsWrittenBefore();
    void savesSettingsByteIdentical_data();
    void savesSettingsByteIdentical();
    void roundTripKeepsEveryValue();
    void integersKeepTheirWidth_data();
    void integersKeepTheirWidth();
    void emptyLanguageLoadsAsEnglish_data();
    void emptyLanguageLoadsAsEnglish();
    void additionalPathsRoundTrip();
    void olderIpcKey_data();
    void olderIpcKey();
    void foreignKeysSurviveLoadAndSave();
    void backupValidityDaysIsNeverStored();
    void dbServerPathOnWindows_data();
    void dbServerPathOnWindows();
    void newestPostgresBinFolder();
    void dbServerPathFromSearchPath();
    void credentialsComeFromVesper();

private:
    // Puts nondefault/store.* into the native store and into the XML
    // settings file of the software folder; false where the native store is
    // not an INI file (the registry of Windows, property lists of macOS).
    bool installStoredSettings() const;
    QVariant expected(const Probe &probe) const;

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

bool ConfigStoreTest::installStoredSettings() const
{
    const QString szStoreFile = nativeStore()->fileName();
    if (!szStoreFile.endsWith(QStringLiteral(".conf")))
        return false;
    const Placeholders placeholders{{"${SOFTWARE}", m_softwareDir->path()}};
    writeFile(szStoreFile, readFixture(QStringLiteral("nondefault/store.conf"), placeholders));
    writeFile(xmlFilePath(m_softwareDir->path()), readFixture(QStringLiteral("nondefault/store.xml"), placeholders));
    return true;
}

QVariant ConfigStoreTest::expected(const Probe &probe) const
{
    if (probe.expected.userType() == QMetaType::QString)
        return probe.expected.toString().replace(QStringLiteral("${SOFTWARE}"), m_softwareDir->path());
    return probe.expected;
}

void ConfigStoreTest::loadsSettingsWrittenBefore()
{
    if (!installStoredSettings())
        QSKIP("The native store is not an INI file on this platform");
    AppContext context;
    QVERIFY(context.loadConfiguration());
    for (const Probe &probe : probes()) {
        const QVariant value = probe.read(context);
        QVERIFY2(value == expected(probe),
                 qPrintable(QStringLiteral("%1: %2 instead of %3")
                                .arg(QLatin1String(probe.pszGetter), describe(value), describe(expected(probe)))));
    }
}

void ConfigStoreTest::savesSettingsByteIdentical_data()
{
    QTest::addColumn<bool>("stored");      // the stores hold nondefault/store.*, or nothing
    QTest::addColumn<bool>("emptied");     // the stores are emptied between load and save
    QTest::addColumn<QString>("expected"); // the files the save must write, without extension

    QTest::newRow("stored settings into empty stores") << true << true << "nondefault/saved";
    QTest::newRow("stored settings over themselves") << true << false << "nondefault/store";
    QTest::newRow("defaults from empty stores") << false << false << "defaults/saved";
}

void ConfigStoreTest::savesSettingsByteIdentical()
{
    QFETCH(bool, stored);
    QFETCH(bool, emptied);
    QFETCH(QString, expected);

    const QString szStoreFile = nativeStore()->fileName();
    if (stored && !installStoredSettings())
        QSKIP("The native store is not an INI file on this platform");
    // Defaults that come from the environment: the server path and the
    // folders of the 3D viewers.
    const FakePgDump pgDump;
    const ScopedEnvironment programFolder("ProgramW6432", "C:\\Program Files");

    AppContext context;
    QVERIFY(context.loadConfiguration());
    const QString szXmlFile = xmlFilePath(context.cnfCommon().fileSystem().softwarePath());
    if (!stored) {
        // Loading alone writes nothing.
        QVERIFY(nativeStore()->allKeys().isEmpty());
        QVERIFY(!QFile::exists(szXmlFile));
    }
    if (emptied) {
        QVERIFY(QFile::remove(szStoreFile));
        QVERIFY(QFile::remove(szXmlFile));
    }
    QVERIFY(context.saveConfiguration());

    const Placeholders placeholders{
        {"${SOFTWARE}", m_softwareDir->path()}, {"${HOME}", QDir::homePath()}, {"${PGBIN}", pgDump.folder()}};
    QCOMPARE(readFile(szStoreFile), readFixture(expected + QStringLiteral(".conf"), placeholders));
    QCOMPARE(readFile(szXmlFile), readFixture(expected + QStringLiteral(".xml"), placeholders));
}

void ConfigStoreTest::roundTripKeepsEveryValue()
{
    if (!installStoredSettings())
        QSKIP("The native store is not an INI file on this platform");
    AppContext loaded;
    QVERIFY(loaded.loadConfiguration());
    QVERIFY(QFile::remove(nativeStore()->fileName()));
    QVERIFY(QFile::remove(xmlFilePath(m_softwareDir->path())));
    QVERIFY(loaded.saveConfiguration());

    AppContext reloaded;
    QVERIFY(reloaded.loadConfiguration());
    for (const Probe &probe : probes()) {
        const QVariant value = probe.read(reloaded);
        // What a save does not write is back at its default.
        QVERIFY2((value == probe.read(loaded)) == probe.bSaved,
                 qPrintable(QStringLiteral("%1: %2 after %3")
                                .arg(QLatin1String(probe.pszGetter), describe(value), describe(probe.read(loaded)))));
    }
}

void ConfigStoreTest::integersKeepTheirWidth_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("getter");
    QTest::addColumn<QVariant>("expected");

    const QString szChunkSize = QStringLiteral("cnfServer().serverParameters().chunkSize()");
    const QString szToolkitPort = QStringLiteral("cnfCommon().ipc().kivDicomToolkitPort()");
    const QString szTeeth = QStringLiteral("cnfCommon().kivUI().teethNumbering()");
    QTest::newRow("unsigned at its top") << "server/chunkSize"
                                         << "4294967295" << szChunkSize << QVariant(4294967295u);
    QTest::newRow("unsigned past 32 bits") << "server/chunkSize"
                                           << "4294967296" << szChunkSize << QVariant(0u);
    QTest::newRow("unsigned given a sign") << "server/chunkSize"
                                           << "-1" << szChunkSize << QVariant(0u);
    QTest::newRow("signed at its top") << "IPC/kivDicomToolkitPort"
                                       << "2147483647" << szToolkitPort << QVariant(INT_MAX);
    // Qt's conversion to a 32-bit integer wraps what does not fit; a wider
    // member would keep it.
    QTest::newRow("signed past 31 bits") << "IPC/kivDicomToolkitPort"
                                         << "2147483648" << szToolkitPort << QVariant(INT_MIN);
    QTest::newRow("signed at its bottom") << "main/teethNumbering"
                                          << "-2147483648" << szTeeth << QVariant(INT_MIN);
    QTest::newRow("signed not a number") << "main/teethNumbering"
                                         << "two" << szTeeth << QVariant(0);
}

void ConfigStoreTest::integersKeepTheirWidth()
{
    QFETCH(QString, key);
    QFETCH(QString, text);
    QFETCH(QString, getter);
    QFETCH(QVariant, expected);

    nativeStore()->setValue(QStringLiteral("softwarePath"), m_softwareDir->path());
    if (key.startsWith(QStringLiteral("server/")))
        XmlFormat::open(m_softwareDir->path())->setValue(key, text);
    else
        nativeStore()->setValue(key, text);
    AppContext context;
    QVERIFY(context.loadConfiguration());
    QCOMPARE(probe(getter).read(context), expected);
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

void ConfigStoreTest::foreignKeysSurviveLoadAndSave()
{
    // The suite's other programs keep their own keys in the same groups and files.
    if (!installStoredSettings())
        QSKIP("The native store is not an INI file on this platform");
    writeStore(*nativeStore(),
               {{"tools/common/dbInfo/otherProgramOption", "keep me"},
                {"tools/other/option", 5},
                {"common/otherLanguageOption", "x"},
                {"otherRootKey", "root"}});
    writeStore(*XmlFormat::open(m_softwareDir->path()),
               {{"server/otherServerOption", "keep me too"}, {"zeta/alpha/beta", "deep"}});
    const VariantMap native = readStore(*nativeStore());
    const VariantMap xml = readStore(*XmlFormat::open(m_softwareDir->path()));

    AppContext context;
    QVERIFY(context.loadConfiguration());
    QVERIFY(context.saveConfiguration());

    QCOMPARE(readStore(*nativeStore()), native);
    QCOMPARE(readStore(*XmlFormat::open(m_softwareDir->path())), xml);
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
