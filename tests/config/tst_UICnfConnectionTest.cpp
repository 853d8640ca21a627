#include "CnfProgram.h"
#include "TestDatabase.h"
#include "UICnfPageDataBase.h"
#include "UIMessageBox.h"

#include <QTemporaryDir>
#include <QtTest>
#include <QtWidgets>

// The connection test of the database page against the test server, with the
// credentials that the page takes from the credentials store.
class UICnfConnectionTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void testsWhatIsTyped_data();
    void testsWhatIsTyped();

private:
    QTemporaryDir m_dataDirs;
};

void UICnfConnectionTest::initTestCase()
{
    QVERIFY2(TestDatabase::missingEnvironment().isEmpty(), qPrintable(TestDatabase::missingEnvironment()));
    UIMessageBox::setScripted(true);

    // A credentials store of this run, provisioned as an installer does: the
    // setup tool in fresh shared data folders, the secrets on its input.
    QVERIFY(m_dataDirs.isValid());
    qputenv("XDG_DATA_DIRS",
            QFile::encodeName(m_dataDirs.path() + QStringLiteral("/1:") + m_dataDirs.path() + QStringLiteral("/2")));
    QProcess setup;
    setup.start(QCoreApplication::applicationDirPath() + QStringLiteral("/VesperSetup"), QStringList());
    QVERIFY2(setup.waitForStarted(), qPrintable(setup.errorString()));
    setup.write(QStringLiteral("%1\n%2\n%3\n")
                    .arg(TestDatabase::user(), TestDatabase::password(), QStringLiteral("data-key"))
                    .toUtf8());
    setup.closeWriteChannel();
    QVERIFY(setup.waitForFinished());
    QVERIFY2(setup.exitStatus() == QProcess::NormalExit && setup.exitCode() == 0,
             setup.readAllStandardError().constData());
}

void UICnfConnectionTest::testsWhatIsTyped_data()
{
    QTest::addColumn<QString>("server");   // empty: the test server
    QTest::addColumn<QString>("database"); // empty: the scratch database
    QTest::addColumn<QString>("port");     // null: the test server's port
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("text");

    const int nWarning = QMessageBox::Warning;
    const QString szFailed = QStringLiteral("Unable to establish a database connection.");
    QTest::newRow("reachable") << QString() << QString() << QString() << int(QMessageBox::Information)
                               << QStringLiteral("Test successfully executed.");
    QTest::newRow("missing database") << QString() << "kivtest_no_such_database" << QString() << nWarning << szFailed;
    // The server listens on 127.0.0.1 only.
    QTest::newRow("no server there") << "127.0.0.2" << QString() << QString() << nWarning << szFailed;
    QTest::newRow("empty port is not tried") << QString() << QString() << "" << nWarning
                                             << QStringLiteral("The field Port Number must be correctly filled.");
}

void UICnfConnectionTest::testsWhatIsTyped()
{
    QFETCH(QString, server);
    QFETCH(QString, database);
    QFETCH(QString, port);
    QFETCH(int, icon);
    QFETCH(QString, text);

    TestDatabase scratch(QStringLiteral("cnfpage"));
    KIV_VERIFY_TEST_DATABASE(scratch);

    // The configuration points nowhere: what the fields hold is tried.
    CnfProgram cnf;
    cnf.dataBase().setDataSource(QStringLiteral("127.0.0.2"));
    cnf.dataBase().setInitialCatalog(QStringLiteral("kivtest_no_such_database"));
    cnf.dataBase().setPortNumber(1);
    UICnfPageDataBase page(&cnf, nullptr);
    page.findChild<QLineEdit *>("lineEditServer")->setText(server.isEmpty() ? TestDatabase::host() : server);
    page.findChild<QLineEdit *>("lineEditDataBase")->setText(database.isEmpty() ? scratch.name() : database);
    page.findChild<QLineEdit *>("lineEditPortNumber")
        ->setText(port.isNull() ? QString::number(TestDatabase::port()) : port);
    page.findChild<QLineEdit *>("lineEditConnectionTimeout")->setText(QStringLiteral("10"));
    QTest::mouseClick(page.findChild<QPushButton *>("pbConnectionTest"), Qt::LeftButton);

    const QList<UIMessageBox::Shown> shown = UIMessageBox::takeShown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(int(shown.first().icon), icon);
    QCOMPARE(shown.first().szText, text);
    QCOMPARE(shown.first().pParent, &page);

    // The test changes nothing in the configuration.
    QCOMPARE(cnf.dataBase().dataSource(), QStringLiteral("127.0.0.2"));
    QCOMPARE(cnf.dataBase().initialCatalog(), QStringLiteral("kivtest_no_such_database"));
    QCOMPARE(cnf.dataBase().portNumber(), 1);
}

QTEST_MAIN(UICnfConnectionTest)
#include "tst_UICnfConnectionTest.moc"
