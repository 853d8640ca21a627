#include "AppContext.h"
#include "AppTestEnvironment.h"
#include "DBManager.h"
#include "KivDataBaseUpdater.h"
#include "StartUp.h"
#include "TestDatabase.h"
#include "UICheckDatabase.h"
#include "UIMessageBox.h"
#include "UpdaterTestDatabase.h"
#include "UpdaterTestLog.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlDatabase>
#include <QtTest>

namespace {

const QString kDataKey = QStringLiteral("window-test-data-key");
const QString kRed = QStringLiteral("color: red; font: bold 12px");
const QString kBlack = QStringLiteral("color: black; font: bold 12px");
const QString kWhite = QStringLiteral("color: white; font: bold 12px");
const QString kNeutral = QStringLiteral("neutral"); // black, or white under the dark style

// The neutral colour follows the suite's style sheet switch.
QString resolved(const QString &szStyle)
{
    if (szStyle != kNeutral)
        return szStyle;
    return AppContext::instance().cnfCommon().kivUI().enableStyleSheet() ? kWhite : kBlack;
}

QString texts(const QList<UIMessageBox::Shown> &shown)
{
    QStringList lst;
    for (const UIMessageBox::Shown &box : shown)
        lst << box.szText;
    return lst.join(QLatin1String(" | "));
}

} // namespace

// The main window against databases of the test server, with its message
// boxes answered by the test.
class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void versionColoursFollowTheNumbers_data();
    void versionColoursFollowTheNumbers();
    void updateFrom140ShowsEveryStep();
    void failedRunLeavesTheUpdatingState();
    void closingAnOldDatabaseAsks_data();
    void closingAnOldDatabaseAsks();
    void aboutWithoutServer();
    void checkDatabaseFromTheToolsMenu();
    void startUpConnection();
    void startUpGivesConnectionsBack();

private:
    void useDatabase(const QString &szName);
    bool setVersionFunction(const QString &szVersion);

    UpdaterTestDatabase m_db;
    UpdaterTestLog m_log;
};

void MainWindowTest::initTestCase()
{
    if (!UpdaterTestDatabase::isConfigured())
        QSKIP("KIV_TEST_PG* not set: start scripts/pgserver.sh and source its env.sh");
    QCoreApplication::setApplicationName(QStringLiteral("Kiv DataBase Updater"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.13.0.568"));
    QString szError;
    QVERIFY2(AppTestEnvironment::provisionCredentials(kDataKey, szError), qPrintable(szError));
    QVERIFY(m_log.open(false));
    DBManager::instance()->enableEncryption(TestDatabase::caFile(), kDataKey);
    DBManager::instance()->setEncryptionEnabled(true);
    QVERIFY2(m_db.prepare(QStringLiteral("apptest_window")), qPrintable(m_db.lastError()));
    UIMessageBox::setScripted(true);
}

void MainWindowTest::cleanupTestCase()
{
    m_db.release();
    m_log.close();
}

void MainWindowTest::init()
{
    UIMessageBox::setScripted(true);
    m_log.mark();
}

void MainWindowTest::useDatabase(const QString &szName)
{
    CnfDataBase &cnf = AppContext::instance().cnfProgram().dataBase();
    cnf.setDataSource(TestDatabase::host());
    cnf.setPortNumber(TestDatabase::port());
    cnf.setInitialCatalog(m_db.prefixed(szName));
    cnf.setConnectionTimeout(10);
}

bool MainWindowTest::setVersionFunction(const QString &szVersion)
{
    return m_db.exec(QStringLiteral("CREATE OR REPLACE FUNCTION \"kivVersion\"() RETURNS text LANGUAGE sql AS $$ "
                                    "SELECT '%1'::text $$")
                         .arg(szVersion));
}

void MainWindowTest::versionColoursFollowTheNumbers_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("currentStyle");
    QTest::addColumn<QString>("targetStyle");
    QTest::addColumn<QString>("box");

    QTest::newRow("up to date") << "1.9.0" << kNeutral << kNeutral << "The database is up to date.";
    QTest::newRow("1.10.0 is newer")
        << "1.10.0" << kNeutral << kRed
        << "This program can't update di current database.\nUse a newer version of the program and retry.";
    QTest::newRow("2.0.0 is newer")
        << "2.0.0" << kNeutral << kRed
        << "This program can't update di current database.\nUse a newer version of the program and retry.";
    QTest::newRow("unknown older version") << "1.8.5" << kRed << kNeutral << "Error during database update.";
}

void MainWindowTest::versionColoursFollowTheNumbers()
{
    QFETCH(QString, version);
    QFETCH(QString, currentStyle);
    QFETCH(QString, targetStyle);
    QFETCH(QString, box);

    QVERIFY2(m_db.createAndOpen(QStringLiteral("colours")), qPrintable(m_db.lastError()));
    QVERIFY(setVersionFunction(version));
    useDatabase(QStringLiteral("colours"));

    KivDataBaseUpdater window;
    window.updateDbVersionDisplay();
    QCOMPARE(window.findChild<QLabel *>("labelCurrentDbVersionText")->text(), version);
    QCOMPARE(window.findChild<QLabel *>("labelUpdateDbVersionText")->text(), QStringLiteral("1.9.0"));
    QCOMPARE(window.findChild<QLabel *>("labelCurrentDbVersionText")->styleSheet(), resolved(currentStyle));
    QCOMPARE(window.findChild<QLabel *>("labelUpdateDbVersionText")->styleSheet(), resolved(targetStyle));

    window.pushButtonStartUpdateClicked();
    QCOMPARE(texts(UIMessageBox::takeShown()), box);
    // Nothing was changed: the version is still the one the database had.
    QCOMPARE(m_db.version(), version);
    QVERIFY(window.findChild<QPushButton *>("pushButtonStartUpdate")->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
}

void MainWindowTest::updateFrom140ShowsEveryStep()
{
    QVERIFY2(m_db.createAndOpen(QStringLiteral("from140")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.4.0")), qPrintable(m_db.lastError()));
    useDatabase(QStringLiteral("from140"));

    KivDataBaseUpdater window;
    window.updateDbVersionDisplay();
    QCOMPARE(window.findChild<QLabel *>("labelCurrentDbVersionText")->styleSheet(), kRed);
    auto *pBar = window.findChild<QProgressBar *>("progressBarUpdate");
    QVERIFY(pBar->isHidden());
    QList<int> values;
    connect(pBar, &QProgressBar::valueChanged, this, [&values](int nValue) { values << nValue; });

    window.pushButtonStartUpdateClicked();
    QCOMPARE(values, (QList<int>{6, 7, 8, 9, 10, 11, 12}));
    QCOMPARE(pBar->minimum(), 1);
    QCOMPARE(pBar->maximum(), 12);
    QVERIFY(!pBar->isHidden());
    QCOMPARE(texts(UIMessageBox::takeShown()), QStringLiteral("Database update performed with success."));
    QCOMPARE(m_db.version(), QStringLiteral("1.9.0"));
    QCOMPARE(window.findChild<QLabel *>("labelCurrentDbVersionText")->text(), QStringLiteral("1.9.0"));
    QCOMPARE(window.findChild<QLabel *>("labelCurrentDbVersionText")->styleSheet(), resolved(kNeutral));
    QVERIFY(window.findChild<QPushButton *>("pushButtonStartUpdate")->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(m_log.entries().contains(QStringLiteral("Database update performed with success.")));
}

void MainWindowTest::failedRunLeavesTheUpdatingState()
{
    // The driver starts, runs the last step, and then cannot save the
    // default parameters: it returns false without completing, and the
    // window must be usable again.
    QVERIFY2(m_db.createAndOpen(QStringLiteral("noparams")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.8.0")), qPrintable(m_db.lastError()));
    QVERIFY(m_db.exec(QStringLiteral("DROP TABLE \"CALIBRATIONVALIDITY\" CASCADE")));
    useDatabase(QStringLiteral("noparams"));

    KivDataBaseUpdater window;
    window.updateDbVersionDisplay();
    window.pushButtonStartUpdateClicked();
    QVERIFY(!window.findChild<QProgressBar *>("progressBarUpdate")->isHidden());
    QCOMPARE(texts(UIMessageBox::takeShown()), QStringLiteral("Error during database update."));
    QVERIFY(window.findChild<QPushButton *>("pushButtonStartUpdate")->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(m_log.entries().contains(QStringLiteral("ERROR: Error during database update.")));
}

void MainWindowTest::closingAnOldDatabaseAsks_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("asks");
    QTest::newRow("no version") << QString() << true;
    QTest::newRow("older") << QStringLiteral("1.4.0") << true;
    // By the numbers 1.10.0 is newer than 1.9.0: nothing an update could do.
    QTest::newRow("newer, by the numbers") << QStringLiteral("1.10.0") << false;
    QTest::newRow("up to date") << QStringLiteral("1.9.0") << false;
}

void MainWindowTest::closingAnOldDatabaseAsks()
{
    QFETCH(QString, version);
    QFETCH(bool, asks);
    QVERIFY2(m_db.createAndOpen(QStringLiteral("close")), qPrintable(m_db.lastError()));
    QVERIFY(m_db.exec(version.isEmpty()
                          ? QStringLiteral("DROP FUNCTION \"kivVersion\"()")
                          : QStringLiteral("CREATE OR REPLACE FUNCTION \"kivVersion\"() RETURNS text LANGUAGE sql "
                                           "AS $$SELECT '%1'$$")
                                .arg(version)));
    useDatabase(QStringLiteral("close"));

    KivDataBaseUpdater window;
    window.show();
    window.updateDbVersionDisplay();
    QCOMPARE(window.findChild<QLabel *>("labelCurrentDbVersionText")->text(), version);
    if (!asks) {
        QVERIFY(window.close());
        QCOMPARE(UIMessageBox::takeShown().size(), 0);
        m_log.close();
        QVERIFY(m_log.open(false));
        return;
    }
    QCOMPARE(window.findChild<QLabel *>("labelCurrentDbVersionText")->styleSheet(), kRed);

    UIMessageBox::setNextAnswer(QMessageBox::No);
    QVERIFY(!window.close());
    QVERIFY(window.isVisible());
    const QList<UIMessageBox::Shown> shown = UIMessageBox::takeShown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().icon, QMessageBox::Question);
    QCOMPARE(shown.first().szText, QStringLiteral("The datasase was not updated.\nAre you sure you want to exit ?"));

    UIMessageBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(window.close());
    QVERIFY(!window.isVisible());
    // Closing released the log: open it again for the next cases.
    m_log.close();
    QVERIFY(m_log.open(false));
}

void MainWindowTest::aboutWithoutServer()
{
    DBManager::instance()->closeDatabase();
    KivDataBaseUpdater window;
    window.helpAbout();
    const QList<UIMessageBox::Shown> shown = UIMessageBox::takeShown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().szText,
             QStringLiteral("<html><head/><body><p><span style=\" font-size:10pt; font-weight:600;\">Telvor Imaging "
                            "Suite Database Updater v1.13.0.568<br><br>Postgresql not installed.<span style=\" "
                            "font-size:10pt; font-weight:400;\"></span></p></body></html>"));
}

// The Tools menu offers the check after the backup cleaning; the dialog shows
// the database the window is connected to, and the log gets the summary.
void MainWindowTest::checkDatabaseFromTheToolsMenu()
{
    QVERIFY2(m_db.createAndOpen(QStringLiteral("check")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.9.0")), qPrintable(m_db.lastError()));
    QVERIFY(m_db.exec(QStringLiteral("ALTER TABLE patients DROP COLUMN import_id")));
    useDatabase(QStringLiteral("check"));

    KivDataBaseUpdater window;
    const QList<QAction *> lstTools = window.findChild<QMenu *>("menu_Tools")->actions();
    auto *pCheck = window.findChild<QAction *>("actionCheckDataBase");
    QVERIFY(pCheck);
    QVERIFY(!pCheck->icon().isNull());
    QCOMPARE(lstTools.indexOf(pCheck), lstTools.indexOf(window.findChild<QAction *>("actionCleanDataBaseBackup")) + 1);

    // The dialog processes events before it is shown: wait until it is up.
    QString szSummary;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&szSummary, &closer] {
        auto *pDialog = qobject_cast<UICheckDatabase *>(QApplication::activeModalWidget());
        if (!pDialog)
            return;
        closer.stop();
        szSummary = pDialog->findChild<QLabel *>("labelSummary")->text();
        pDialog->reject();
    });
    closer.start(10);
    pCheck->trigger();
    QVERIFY(!closer.isActive());
    QCOMPARE(szSummary, QStringLiteral("The database differs from the schema expected at version 1.9.0."));
    QVERIFY(m_log.entries().contains(
        QStringLiteral("Check database: Schema drift from version 1.9.0: 1 missing, 0 changed.")));
}

void MainWindowTest::startUpConnection()
{
    QVERIFY2(m_db.createAndOpen(QStringLiteral("startup")), qPrintable(m_db.lastError()));
    DBManager::instance()->closeDatabase();
    useDatabase(QStringLiteral("startup"));

    // With the right CA chain the first attempt, with TLS, succeeds.
    DBManager::instance()->enableEncryption(TestDatabase::caFile(), kDataKey);
    QVERIFY(connectDatabase(true));
    QVERIFY(m_log.entries().contains(QStringLiteral("SSL enabled: 1")));

    // A CA chain that cannot be read fails the TLS attempts; the connection
    // without TLS is made and the log says so.
    m_log.mark();
    DBManager::instance()->enableEncryption(QStringLiteral("/nonexistent/telvorCA-chain.pem"), kDataKey);
    QVERIFY(connectDatabase(true));
    QVERIFY(DBManager::instance()->isDatabaseOpen());
    QVERIFY(m_log.entries().contains(QStringLiteral("SSL enabled: 0")));
    QVERIFY(UIMessageBox::takeShown().isEmpty());

    // No server on the port: unattended asks nothing, interactive asks once
    // and gives up on No.
    AppContext::instance().cnfProgram().dataBase().setPortNumber(1);
    QVERIFY(!connectDatabase(true));
    QVERIFY(UIMessageBox::takeShown().isEmpty());
    UIMessageBox::setNextAnswer(QMessageBox::No);
    QVERIFY(!connectDatabase(false));
    const QList<UIMessageBox::Shown> shown = UIMessageBox::takeShown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().icon, QMessageBox::Question);
    QVERIFY(shown.first().szText.startsWith(QStringLiteral("An error has occurred during the connection")));

    DBManager::instance()->enableEncryption(TestDatabase::caFile(), kDataKey);
    DBManager::instance()->setEncryptionEnabled(true);
}

void MainWindowTest::startUpGivesConnectionsBack()
{
    QVERIFY2(m_db.createAndOpen(QStringLiteral("refusing")), qPrintable(m_db.lastError()));
    DBManager::instance()->closeDatabase();
    useDatabase(QStringLiteral("refusing"));
    const QString szName = m_db.prefixed(QStringLiteral("refusing"));
    // A restore killed on its way left the database refusing connections.
    TestDatabase admin(QStringLiteral("startupadmin"));
    KIV_VERIFY_TEST_DATABASE(admin);
    QVERIFY(
        admin.execAdmin(QStringLiteral("ALTER DATABASE %1 ALLOW_CONNECTIONS false").arg(TestDatabase::quoted(szName))));

    // The start-up connection gives them back once, says so, and connects.
    QVERIFY(connectDatabase(true));
    QVERIFY(DBManager::instance()->isDatabaseOpen());
    QCOMPARE(QSqlDatabase::database().databaseName(), szName);
    QCOMPARE(admin.scalarAdmin(QStringLiteral("SELECT datallowconn FROM pg_database WHERE datname = '%1'").arg(szName))
                 .toBool(),
             true);
    QCOMPARE(m_log.entries().filter(QStringLiteral("WARNING: The database %1 refused connections").arg(szName)).size(),
             1);
    QVERIFY(UIMessageBox::takeShown().isEmpty());
}

QTEST_MAIN(MainWindowTest)
#include "tst_MainWindow.moc"
