#include "AppContext.h"
#include "AppTestEnvironment.h"
#include "DBManager.h"
#include "TestDatabase.h"
#include "UICreateDb.h"
#include "UIForceDbVersion.h"
#include "UIMessageBox.h"
#include "UpdaterTestLog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QtTest>

#include <memory>

class TestToolDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void createDialogShowsConfiguredNameReadOnly();
    void createDialogNames_data();
    void createDialogNames();
    void forceVersion_data();
    void forceVersion();
    void keyboardReachesEveryField_data();
    void keyboardReachesEveryField();

private:
    AppTestEnvironment m_env;
    UpdaterTestLog m_log;
    std::unique_ptr<TestDatabase> m_pAdmin;
};

void TestToolDialogs::initTestCase()
{
    if (!TestDatabase::missingEnvironment().isEmpty())
        QSKIP("The test database server is not configured");
    QString szError;
    QVERIFY2(AppTestEnvironment::provisionCredentials(QStringLiteral("tools-test-data-key"), szError),
             qPrintable(szError));
    QVERIFY(m_log.open(true));
    m_pAdmin = std::make_unique<TestDatabase>(QStringLiteral("dialogs"));
    KIV_VERIFY_TEST_DATABASE(*m_pAdmin);
}

void TestToolDialogs::cleanupTestCase()
{
    DBManager::instance()->closeDatabase();
    m_pAdmin.reset();
    m_log.close();
}

void TestToolDialogs::init()
{
    UIMessageBox::setScripted(true);
    m_env.configure(QStringLiteral("pelq"));
    m_log.mark();
}

void TestToolDialogs::createDialogShowsConfiguredNameReadOnly()
{
    UICreateDb dialog(nullptr);
    auto *pLineEdit = dialog.findChild<QLineEdit *>(QStringLiteral("lineEditDbName"));
    auto *pCheckBox = dialog.findChild<QCheckBox *>(QStringLiteral("checkBoxDbName"));
    QVERIFY(pLineEdit && pCheckBox);
    QCOMPARE(pLineEdit->text(), QStringLiteral("pelq"));
    QVERIFY(!pLineEdit->isEnabled());
    pCheckBox->setChecked(true);
    QVERIFY(pLineEdit->isEnabled());
    pCheckBox->setChecked(false);
    QVERIFY(!pLineEdit->isEnabled());
}

void TestToolDialogs::createDialogNames_data()
{
    const QString szName = QStringLiteral("kivclinic2_%1").arg(QCoreApplication::applicationPid());
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("created");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("open");
    QTest::newRow("three spaces") << "   " << true << QString()
                                  << QStringList{"You must insert the database name correctly."} << true;
    QTest::newRow("declined") << szName << false << QString()
                              << QStringList{"Are you sure you want to create a new database with name " + szName +
                                             " ?"}
                              << true;
    QTest::newRow("trimmed") << "  " + szName + " " << true << szName
                             << QStringList{"Are you sure you want to create a new database with name " + szName + " ?",
                                            "The database " + szName + " was created with success."}
                             << false;
    // The server would cut it to 63 bytes and create another name.
    const QString szLong = QString(70, QLatin1Char('k'));
    QTest::newRow("too long") << szLong << true << QString()
                              << QStringList{"Are you sure you want to create a new database with name " + szLong +
                                                 " ?",
                                             "Unable to create the database " + szLong + "."}
                              << false;
}

void TestToolDialogs::createDialogNames()
{
    QFETCH(QString, typed);
    QFETCH(bool, answer);
    QFETCH(QString, created);
    QFETCH(QStringList, boxes);
    QFETCH(bool, open);
    const QString szTrimmed = typed.trimmed();
    m_pAdmin->dropDatabase(szTrimmed);
    m_pAdmin->dropDatabase(szTrimmed.left(63));

    UICreateDb dialog(nullptr);
    dialog.show();
    dialog.findChild<QCheckBox *>(QStringLiteral("checkBoxDbName"))->setChecked(true);
    dialog.findChild<QLineEdit *>(QStringLiteral("lineEditDbName"))->setText(typed);
    UIMessageBox::setNextAnswer(answer ? QMessageBox::Yes : QMessageBox::No);
    dialog.accept();

    QStringList lstShown;
    for (const UIMessageBox::Shown &shown : UIMessageBox::takeShown())
        lstShown << shown.szText;
    QCOMPARE(lstShown, boxes);
    QCOMPARE(dialog.isVisible(), open);
    const bool bCreated = !szTrimmed.isEmpty() && m_pAdmin->databaseExists(szTrimmed);
    if (bCreated) {
        DBManager::instance()->closeDatabase();
        m_pAdmin->dropDatabase(szTrimmed);
    }
    QCOMPARE(bCreated, !created.isEmpty());
    QVERIFY(!m_pAdmin->databaseExists(szTrimmed.left(63)));
    const QString szConfigured = created.isEmpty() ? QStringLiteral("pelq") : created;
    QCOMPARE(AppContext::instance().cnfProgram().dataBase().initialCatalog(), szConfigured);
    if (!created.isEmpty()) {
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QSettings store(AppContext::organizationName(), AppContext::applicationName());
        QCOMPARE(store.value(QStringLiteral("tools/common/dbInfo/initialCatalog")).toString(), created);
        QVERIFY(m_log.entries().contains("The database " + created + " was created with success."));
    }
}

void TestToolDialogs::forceVersion_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QString>("version");
    QTest::addColumn<int>("result");
    QTest::newRow("v 1.3") << 1 << true << true << "1.3.0" << int(QDialog::Accepted);
    QTest::newRow("v 1.2") << 0 << true << true << "1.2.0" << int(QDialog::Accepted);
    QTest::newRow("declined") << 1 << false << true << "1.5.0" << int(QDialog::Rejected);
    QTest::newRow("no connection") << 1 << true << false << "1.5.0" << int(QDialog::Rejected);
}

void TestToolDialogs::forceVersion()
{
    QFETCH(int, index);
    QFETCH(bool, answer);
    QFETCH(bool, connected);
    QFETCH(QString, version);
    QFETCH(int, result);
    TestDatabase db(QStringLiteral("forceversion"));
    KIV_VERIFY_TEST_DATABASE(db);
    QVERIFY(
        db.exec(QStringLiteral("CREATE FUNCTION \"kivVersion\"() RETURNS text LANGUAGE sql AS $$SELECT '1.5.0'$$")));
    QVERIFY(db.openWithDBManager(false));
    if (!connected)
        DBManager::instance()->closeDatabase();

    UIForceDbVersion dialog(nullptr);
    dialog.show();
    auto *pVersions = dialog.findChild<QComboBox *>(QStringLiteral("cbDbVersion"));
    QVERIFY(pVersions);
    QCOMPARE(pVersions->count(), 2);
    pVersions->setCurrentIndex(index);
    UIMessageBox::setNextAnswer(answer ? QMessageBox::Yes : QMessageBox::No);
    dialog.accept();

    QCOMPARE(dialog.result(), result);
    QVERIFY(!dialog.isVisible());
    const QList<UIMessageBox::Shown> shown = UIMessageBox::takeShown();
    QCOMPARE(
        shown.first().szText,
        QStringLiteral("Are you sure you want to force the database to version %1 ?").arg(pVersions->currentText()));
    QCOMPARE(shown.size(), connected ? 1 : 2);
    QVERIFY(db.openWithDBManager(false));
    QCOMPARE(DBManager::instance()->kivDatabaseVersion(), version);
}

void TestToolDialogs::keyboardReachesEveryField_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<bool>("unlock");      // tick the check box of the name first
    QTest::addColumn<QStringList>("tabs"); // focus after each Tab from the first field
    QTest::addColumn<QString>("mnemonic"); // "<letter>=<widget>"

    QTest::newRow("create") << "create" << false << QStringList{"OK", "Cancel", "checkBoxDbName"} << "N=checkBoxDbName";
    QTest::newRow("create, name unlocked")
        << "create" << true << QStringList{"lineEditDbName", "OK", "Cancel", "checkBoxDbName"} << "N=lineEditDbName";
    QTest::newRow("force") << "force" << false << QStringList{"OK", "Cancel", "cbDbVersion"} << "V=cbDbVersion";
}

void TestToolDialogs::keyboardReachesEveryField()
{
    QFETCH(QString, dialog);
    QFETCH(bool, unlock);
    QFETCH(QStringList, tabs);
    QFETCH(QString, mnemonic);

    std::unique_ptr<QDialog> pDialog;
    if (dialog == QLatin1String("create"))
        pDialog = std::make_unique<UICreateDb>(nullptr);
    else
        pDialog = std::make_unique<UIForceDbVersion>(nullptr);
    pDialog->show();
    QApplication::setActiveWindow(pDialog.get());
    QVERIFY(QTest::qWaitForWindowActive(pDialog.get()));
    if (unlock)
        pDialog->findChild<QCheckBox *>(QStringLiteral("checkBoxDbName"))->setChecked(true);

    // The buttons of the box are named by their text.
    const auto focusName = [&pDialog]() {
        QWidget *pFocus = pDialog->focusWidget();
        if (auto *pButton = qobject_cast<QPushButton *>(pFocus); pButton && pButton->objectName().isEmpty())
            return pButton->text().remove(QLatin1Char('&'));
        return pFocus ? pFocus->objectName() : QStringLiteral("(none)");
    };
    // The dialog opens on its first field.
    const QString szFirst = tabs.last();
    QCOMPARE(focusName(), szFirst);
    QStringList lstVisited;
    for (int i = 0; i < tabs.size(); ++i) {
        QTest::keyClick(pDialog->focusWidget(), Qt::Key_Tab);
        lstVisited << focusName();
    }
    QCOMPARE(lstVisited, tabs);

    pDialog->findChild<QPushButton *>()->setFocus(Qt::OtherFocusReason);
    const QChar letter = mnemonic.at(0);
    QTest::keyClick(pDialog.get(), letter.toLower().toLatin1(), Qt::AltModifier);
    QCOMPARE(letter + QStringLiteral("=") + focusName(), mnemonic);
}

QTEST_MAIN(TestToolDialogs)
#include "tst_ToolDialogs.moc"
