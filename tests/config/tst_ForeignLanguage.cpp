#include "CnfLinguaDevice.h"
#include "CnfLinguaKiv3dApp.h"
#include "CnfProgram.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

void writeFile(const QString &szPath, const QByteArray &content)
{
    QVERIFY(QDir().mkpath(QFileInfo(szPath).absolutePath()));
    QFile file(szPath);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), qint64(content.size()));
}

QByteArray readFile(const QString &szPath)
{
    QFile file(szPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString iniValue(const QString &szPath, const QString &szKey)
{
    QSettings settings(szPath, QSettings::IniFormat);
    return settings.value(szKey).toString();
}

} // namespace

class ForeignLanguageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void filesLieInTheSuiteFolders();
    void viewerCodesAndIndex_data();
    void viewerCodesAndIndex();
    void missingViewerFilesAreSkipped();
    void deviceLanguage_data();
    void deviceLanguage();
    void programSaveHandsTheLanguageOn();
    void saveReportsAStoreItCannotWrite_data();
    void saveReportsAStoreItCannotWrite();

private:
    // Every row works in data folders of its own: QSettings serves a cached
    // parse of a file rewritten at the same path with the same size and time
    // stamp, so rows must never share a path.
    std::unique_ptr<QTemporaryDir> m_pDataDir;
};

void ForeignLanguageTest::initTestCase()
{
    // The program's identity decides its application-data folder.
    QCoreApplication::setOrganizationName(QStringLiteral("Marlek Telvor Group"));
    QCoreApplication::setApplicationName(QStringLiteral("Kiv DataBase Updater"));
}

void ForeignLanguageTest::init()
{
    m_pDataDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_pDataDir->isValid());
    const QString szRoot = m_pDataDir->path();
    qputenv("XDG_DATA_HOME", QFile::encodeName(szRoot + QStringLiteral("/home")));
    qputenv("XDG_DATA_DIRS",
            QFile::encodeName(szRoot + QStringLiteral("/dirs-1:") + szRoot + QStringLiteral("/dirs-2")));
}

void ForeignLanguageTest::filesLieInTheSuiteFolders()
{
    // The viewers' files sit in the organisation's per-user data folder, the
    // device software's in the second generic data folder.
    const QString szUserData = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Marlek Telvor Group/");
    QVERIFY2(CnfLinguaKiv3dApp::optionsFilePath(CnfLinguaKiv3dApp::Older).startsWith(szUserData),
             qPrintable(CnfLinguaKiv3dApp::optionsFilePath(CnfLinguaKiv3dApp::Older)));
    QVERIFY(CnfLinguaKiv3dApp::optionsFilePath(CnfLinguaKiv3dApp::Newer).startsWith(szUserData));
    QVERIFY(CnfLinguaKiv3dApp::optionsFilePath(CnfLinguaKiv3dApp::Older).endsWith(QStringLiteral("/options.ini")));
    QVERIFY(CnfLinguaKiv3dApp::optionsFilePath(CnfLinguaKiv3dApp::Older) !=
            CnfLinguaKiv3dApp::optionsFilePath(CnfLinguaKiv3dApp::Newer));

    const QString szMachineData = qEnvironmentVariable("XDG_DATA_DIRS").section(QLatin1Char(':'), 0, 0) + "/";
    QVERIFY2(CnfLinguaDevice::interfaceSettingsFilePath().startsWith(szMachineData),
             qPrintable(CnfLinguaDevice::interfaceSettingsFilePath()));
    QVERIFY(CnfLinguaDevice::ioConfigurationFilePath().startsWith(szMachineData));
    QVERIFY(CnfLinguaDevice::interfaceSettingsFilePath() != CnfLinguaDevice::ioConfigurationFilePath());
}

void ForeignLanguageTest::viewerCodesAndIndex_data()
{
    QTest::addColumn<QByteArray>("languages");
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<int>("loadedIndex");
    QTest::addColumn<QString>("saved");
    QTest::addColumn<int>("savedIndex"); // -1: the file stays byte for byte

    const QByteArray enItNone("CurrentIndex=0\nFilesOpener=Kiv3d_en.qm, Kiv3d_it.qm, Kiv3dDefault.qm\n");
    QTest::newRow("codes from the suffixes, case ignored")
        << enItNone << QStringList{"en", "it"} << 0 << QStringLiteral("IT") << 1;
    QTest::newRow("language not offered") << enItNone << QStringList{"en", "it"} << 0 << QStringLiteral("de") << -1;
    QTest::newRow("index counts the viewer's entries")
        << QByteArray("CurrentIndex=2\nFilesOpener=Kiv3dDefault.qm, Kiv3d_en.qm, Kiv3d_it.qm\n")
        << QStringList{"en", "it"} << 2 << QStringLiteral("en") << 1;
    QTest::newRow("at most two letters, last underscore")
        << QByteArray("FilesOpener=kiv_3d_english.qm, viewer_d, viewer_, plain\n") << QStringList{"en", "d"} << 0
        << QStringLiteral("d") << 1;
    QTest::newRow("no list") << QByteArray("CurrentIndex=3\n") << QStringList() << 3 << QStringLiteral("en") << -1;
}

void ForeignLanguageTest::viewerCodesAndIndex()
{
    QFETCH(QByteArray, languages);
    QFETCH(QStringList, codes);
    QFETCH(int, loadedIndex);
    QFETCH(QString, saved);
    QFETCH(int, savedIndex);

    const QString szPath = CnfLinguaKiv3dApp::optionsFilePath(CnfLinguaKiv3dApp::Newer);
    const QByteArray content = "[General]\nviewerMode=2\n\n[Languages]\n" + languages + "\n[Window]\nwidth=800\n";
    writeFile(szPath, content);

    CnfLinguaKiv3dApp lingua;
    // Loading again reads the same, not twice as much.
    for (int nLoad = 0; nLoad < 2; ++nLoad) {
        QVERIFY(lingua.load());
        QCOMPARE(lingua.languageCodes(CnfLinguaKiv3dApp::Newer), codes);
        QCOMPARE(lingua.currentIndex(CnfLinguaKiv3dApp::Newer), loadedIndex);
        QCOMPARE(lingua.languageCodes(CnfLinguaKiv3dApp::Older), QStringList());
    }

    const QStringList entries =
        QSettings(szPath, QSettings::IniFormat).value(QStringLiteral("Languages/FilesOpener")).toStringList();
    QVERIFY(lingua.save(saved));
    if (savedIndex < 0) {
        QCOMPARE(readFile(szPath), content);
        return;
    }
    QCOMPARE(iniValue(szPath, QStringLiteral("Languages/CurrentIndex")).toInt(), savedIndex);
    // The rest of the viewer's file is left as it was.
    QCOMPARE(iniValue(szPath, QStringLiteral("viewerMode")), QStringLiteral("2"));
    QCOMPARE(iniValue(szPath, QStringLiteral("Window/width")), QStringLiteral("800"));
    QCOMPARE(QSettings(szPath, QSettings::IniFormat).value(QStringLiteral("Languages/FilesOpener")).toStringList(),
             entries);
}

void ForeignLanguageTest::missingViewerFilesAreSkipped()
{
    writeFile(CnfLinguaKiv3dApp::optionsFilePath(CnfLinguaKiv3dApp::Older),
              "[Languages]\nCurrentIndex=0\nFilesOpener=a_en.qm, a_fr.qm\n");

    CnfLinguaKiv3dApp lingua;
    QVERIFY(lingua.load());
    QCOMPARE(lingua.languageCodes(CnfLinguaKiv3dApp::Older), QStringList({"en", "fr"}));
    QCOMPARE(lingua.languageCodes(CnfLinguaKiv3dApp::Newer), QStringList());
    QVERIFY(lingua.save(QStringLiteral("fr")));
    QCOMPARE(iniValue(CnfLinguaKiv3dApp::optionsFilePath(CnfLinguaKiv3dApp::Older),
                      QStringLiteral("Languages/CurrentIndex")),
             QStringLiteral("1"));
    QVERIFY(!QFileInfo::exists(CnfLinguaKiv3dApp::optionsFilePath(CnfLinguaKiv3dApp::Newer)));
}

void ForeignLanguageTest::deviceLanguage_data()
{
    QTest::addColumn<QByteArray>("interfaceFile"); // empty: no such file
    QTest::addColumn<QByteArray>("ioFile");
    QTest::addColumn<QString>("loaded");

    QTest::newRow("neither file") << QByteArray() << QByteArray() << QString();
    QTest::newRow("interface settings only") << QByteArray("[Interface]\nLanguage=fr\n") << QByteArray() << "fr";
    QTest::newRow("I/O configuration wins")
        << QByteArray("[Interface]\nLanguage=fr\n") << QByteArray("[IO]\nLanguage=de\nPort=3\n") << "de";
    QTest::newRow("empty entry becomes English")
        << QByteArray("[Interface]\nLanguage=fr\n") << QByteArray("[IO]\nPort=3\n") << "en";
}

void ForeignLanguageTest::deviceLanguage()
{
    QFETCH(QByteArray, interfaceFile);
    QFETCH(QByteArray, ioFile);
    QFETCH(QString, loaded);

    const QString szInterfacePath = CnfLinguaDevice::interfaceSettingsFilePath();
    const QString szIoPath = CnfLinguaDevice::ioConfigurationFilePath();
    if (!interfaceFile.isEmpty())
        writeFile(szInterfacePath, interfaceFile);
    if (!ioFile.isEmpty())
        writeFile(szIoPath, ioFile);

    CnfLinguaDevice lingua;
    QVERIFY(lingua.load());
    QCOMPARE(lingua.language(), loaded);

    QVERIFY(lingua.save(QStringLiteral("it")));
    QCOMPARE(QFileInfo::exists(szInterfacePath), !interfaceFile.isEmpty());
    QCOMPARE(QFileInfo::exists(szIoPath), !ioFile.isEmpty());
    if (!interfaceFile.isEmpty())
        QCOMPARE(iniValue(szInterfacePath, QStringLiteral("Interface/Language")), QStringLiteral("it"));
    if (!ioFile.isEmpty()) {
        QCOMPARE(iniValue(szIoPath, QStringLiteral("IO/Language")), QStringLiteral("it"));
        QCOMPARE(iniValue(szIoPath, QStringLiteral("IO/Port")), QStringLiteral("3"));
    }

    // Read back from the files, the language is the one saved.
    CnfLinguaDevice reloaded;
    QVERIFY(reloaded.load());
    QCOMPARE(reloaded.language(), interfaceFile.isEmpty() && ioFile.isEmpty() ? QString() : QStringLiteral("it"));
}

void ForeignLanguageTest::programSaveHandsTheLanguageOn()
{
    writeFile(CnfLinguaKiv3dApp::optionsFilePath(CnfLinguaKiv3dApp::Older),
              "[Languages]\nCurrentIndex=0\nFilesOpener=v_en.qm, v_de.qm\n");
    writeFile(CnfLinguaDevice::ioConfigurationFilePath(), "[IO]\nLanguage=en\n");

    CnfProgram program;
    QVERIFY(program.load());
    program.lingua().setLanguage(QStringLiteral("de"));
    QVERIFY(program.save());

    QCOMPARE(iniValue(CnfLinguaKiv3dApp::optionsFilePath(CnfLinguaKiv3dApp::Older),
                      QStringLiteral("Languages/CurrentIndex")),
             QStringLiteral("1"));
    QCOMPARE(iniValue(CnfLinguaDevice::ioConfigurationFilePath(), QStringLiteral("IO/Language")), QStringLiteral("de"));
    QCOMPARE(program.linguaDevice().language(), QStringLiteral("de"));
}

void ForeignLanguageTest::saveReportsAStoreItCannotWrite_data()
{
    QTest::addColumn<int>("store");
    QTest::newRow("viewer options") << 0;
    QTest::newRow("device I/O configuration") << 1;
    QTest::newRow("native store") << 2;
}

void ForeignLanguageTest::saveReportsAStoreItCannotWrite()
{
    QFETCH(int, store);

    const QString szViewer = CnfLinguaKiv3dApp::optionsFilePath(CnfLinguaKiv3dApp::Older);
    const QString szDevice = CnfLinguaDevice::ioConfigurationFilePath();
    writeFile(szViewer, "[Languages]\nCurrentIndex=0\nFilesOpener=v_en.qm, v_de.qm\n");
    writeFile(szDevice, "[IO]\nLanguage=en\n");
    const QString szNative =
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Marlek Telvor Group", "Telvor Imaging Suite")
            .fileName();
    CnfProgram program;
    QVERIFY(program.load());

    // A folder where the store's file was: nothing can write it, root
    // included. The native store is the process's own: it is put back.
    const QString szBroken = QStringList{szViewer, szDevice, szNative}.at(store);
    QFile::remove(szBroken);
    QVERIFY(QDir().mkpath(szBroken));
    const auto restore = qScopeGuard([szBroken] { QDir(szBroken).removeRecursively(); });
    QTest::ignoreMessage(
        QtWarningMsg,
        QRegularExpression(
            QStringLiteral("^Unable to write the settings store %1: ").arg(QRegularExpression::escape(szBroken))));
    if (store == 2) // two groups, each saved through a settings object of its own
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Unable to write the settings store ")));
    program.lingua().setLanguage(QStringLiteral("de"));
    QVERIFY(!program.save());

    // The other stores are written still.
    if (store != 0)
        QCOMPARE(iniValue(szViewer, QStringLiteral("Languages/CurrentIndex")), QStringLiteral("1"));
    if (store != 1)
        QCOMPARE(iniValue(szDevice, QStringLiteral("IO/Language")), QStringLiteral("de"));
    if (store != 2)
        QCOMPARE(iniValue(szNative, QStringLiteral("common/language")), QStringLiteral("de"));
}

QTEST_GUILESS_MAIN(ForeignLanguageTest)
#include "tst_ForeignLanguage.moc"
