#include "AppContext.h"
#include "UICnfPage.h"
#include "UICnfPageDataBase.h"
#include "UICnfPageLanguage.h"
#include "UICnfPageLogFile.h"
#include "UICnfPageVarie.h"
#include "UICnfProgram.h"
#include "UIFileDialog.h"
#include "UIMessageBox.h"

#include <QTemporaryDir>
#include <QtTest>
#include <QtWidgets>

namespace {

template <typename T> T *widget(const QWidget *pParent, const QString &szName)
{
    T *pWidget = pParent->findChild<T *>(szName);
    if (!pWidget)
        qFatal("No widget %s", qPrintable(szName));
    return pWidget;
}

QLineEdit *lineEdit(const QWidget *pParent, const QString &szName)
{
    return widget<QLineEdit>(pParent, szName);
}

std::unique_ptr<QSettings> nativeStore()
{
    return std::make_unique<QSettings>(
        QSettings::NativeFormat, QSettings::UserScope, AppContext::organizationName(), AppContext::applicationName());
}

// The texts of the boxes shown since the last call, each checked to be a
// warning.
QStringList takeWarnings()
{
    QStringList lstTexts;
    for (const UIMessageBox::Shown &shown : UIMessageBox::takeShown()) {
        if (shown.icon != QMessageBox::Warning)
            return {QStringLiteral("not a warning: ") + shown.szText};
        lstTexts << shown.szText;
    }
    return lstTexts;
}

// Server, database, port and time-out as the database page shows them.
QStringList fieldsOf(const CnfDataBase &dataBase)
{
    return {dataBase.dataSource(),
            dataBase.initialCatalog(),
            QString::number(dataBase.portNumber()),
            QString::number(dataBase.connectionTimeout())};
}

} // namespace

class UICnfProgramTest : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void databasePageChecksFields_data();
    void databasePageChecksFields();
    void valuesOutOfRangeCannotBeTyped_data();
    void valuesOutOfRangeCannotBeTyped();
    void checkBoxesOnlyUnlockFields_data();
    void checkBoxesOnlyUnlockFields();
    void logFilePageChecksFileDimension_data();
    void logFilePageChecksFileDimension();
    void miscellaneousPageAppliesFolderChoice();
    void languageListFromTranslationFiles();
    void languageKeptWithoutTranslationFiles();
    void firstRefusingPageIsShown_data();
    void firstRefusingPageIsShown();
    void okSavesOnlyModifiedData_data();
    void okSavesOnlyModifiedData();
    void cancelAsksOnlyWhenModified_data();
    void cancelAsksOnlyWhenModified();
    void eachFieldMarksOnlyItsPage_data();
    void eachFieldMarksOnlyItsPage();
    void keyboardReachesEveryField_data();
    void keyboardReachesEveryField();

private:
    std::unique_ptr<QTemporaryDir> m_suiteDir;
};

void UICnfProgramTest::init()
{
    UIMessageBox::setScripted(true);
    UIFileDialog::setScripted(true);
    const std::unique_ptr<QSettings> store = nativeStore();
    store->clear();
    store->sync();
    // A suite folder of its own, without translation files unless a test adds them.
    m_suiteDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_suiteDir->isValid());
    AppContext::instance().setSuiteFolder(m_suiteDir->path());
    AppContext::instance().setProgramBaseName(QStringLiteral("KivDataBaseUpdater"));
}

void UICnfProgramTest::databasePageChecksFields_data()
{
    QTest::addColumn<QStringList>("fields"); // server, database, port, time-out
    QTest::addColumn<QString>("warning");    // empty: accepted

    const QString szPort = QStringLiteral("The field Port Number must be correctly filled.");
    const QString szTimeout = QStringLiteral("The field Connection Timeout must be correctly filled.");
    QTest::newRow("highest port and time-out") << QStringList{"db.lan", "pelq_2", "65535", "300"} << QString();
    QTest::newRow("lowest port, no time-out") << QStringList{"db.lan", "pelq_2", "1", "0"} << QString();
    QTest::newRow("empty server") << QStringList{"", "pelq_2", "5432", "30"}
                                  << QStringLiteral("The field Server must be correctly filled.");
    QTest::newRow("empty database") << QStringList{"db.lan", "", "5432", "30"}
                                    << QStringLiteral("The field Database must be correctly filled.");
    QTest::newRow("port 0") << QStringList{"db.lan", "pelq_2", "0", "30"} << szPort;
    QTest::newRow("empty port") << QStringList{"db.lan", "pelq_2", "", "30"} << szPort;
    QTest::newRow("port with group separator") << QStringList{"db.lan", "pelq_2", "5,432", "30"} << szPort;
    QTest::newRow("empty time-out") << QStringList{"db.lan", "pelq_2", "5432", ""} << szTimeout;
    QTest::newRow("time-out 301") << QStringList{"db.lan", "pelq_2", "5432", "301"} << szTimeout;
}

void UICnfProgramTest::databasePageChecksFields()
{
    QFETCH(QStringList, fields);
    QFETCH(QString, warning);

    CnfProgram cnf;
    UICnfPageDataBase page(&cnf, nullptr);
    const char *const names[] = {
        "lineEditServer", "lineEditDataBase", "lineEditPortNumber", "lineEditConnectionTimeout"};
    for (int i = 0; i < fields.size(); ++i)
        lineEdit(&page, names[i])->setText(fields.at(i));

    QCOMPARE(page.applyData(), warning.isEmpty());
    QCOMPARE(takeWarnings(), warning.isEmpty() ? QStringList() : QStringList(warning));
    // A refused page writes none of its fields.
    QCOMPARE(fieldsOf(cnf.dataBase()), warning.isEmpty() ? fields : fieldsOf(CnfDataBase()));
}

void UICnfProgramTest::valuesOutOfRangeCannotBeTyped_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");

    const auto row = [](const char *pszName, const char *pszField, const char *pszTyped, const char *pszShown) {
        QTest::newRow(pszName) << QString(pszField) << QString(pszTyped) << QString(pszShown);
    };
    row("connection time-out 301", "lineEditConnectionTimeout", "301", "30");
    row("port 65536", "lineEditPortNumber", "65536", "6553");
    row("port with group separator", "lineEditPortNumber", "5,432", "5432");
    row("file dimension 10", "lineEditFileDimension", "10", "1");
    row("process time-out 301", "lineEditTimeoutProcess", "301", "30");
    row("process time-out 300", "lineEditTimeoutProcess", "300", "300");
}

void UICnfProgramTest::valuesOutOfRangeCannotBeTyped()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);

    CnfProgram cnf;
    UICnfProgram dialog(&cnf, nullptr);
    widget<QCheckBox>(&dialog, "checkBoxPortNumber")->setChecked(true);
    QLineEdit *pEdit = lineEdit(&dialog, field);
    pEdit->clear();
    QTest::keyClicks(pEdit, typed);
    QCOMPARE(pEdit->text(), shown);
}

void UICnfProgramTest::checkBoxesOnlyUnlockFields_data()
{
    QTest::addColumn<QString>("checkBox");
    QTest::addColumn<QString>("field");

    QTest::newRow("database") << QStringLiteral("checkBoxDataBase") << QStringLiteral("lineEditDataBase");
    QTest::newRow("port") << QStringLiteral("checkBoxPortNumber") << QStringLiteral("lineEditPortNumber");
}

void UICnfProgramTest::checkBoxesOnlyUnlockFields()
{
    QFETCH(QString, checkBox);
    QFETCH(QString, field);

    CnfProgram cnf;
    UICnfPageDataBase page(&cnf, nullptr);
    QCheckBox *pCheckBox = widget<QCheckBox>(&page, checkBox);
    QLineEdit *pEdit = lineEdit(&page, field);
    QVERIFY(!pEdit->isEnabled());

    pCheckBox->setChecked(true);
    QVERIFY(pEdit->isEnabled());
    QVERIFY(!page.isModified());
    pEdit->selectAll();
    QTest::keyClicks(pEdit, QStringLiteral("5433"));
    QVERIFY(page.isModified());
    pCheckBox->setChecked(false);
    QVERIFY(!pEdit->isEnabled());

    // Locked again, the field's value still counts.
    QVERIFY(page.applyData());
    QCOMPARE(field == "lineEditPortNumber" ? QString::number(cnf.dataBase().portNumber())
                                           : cnf.dataBase().initialCatalog(),
             QStringLiteral("5433"));
}

void UICnfProgramTest::logFilePageChecksFileDimension_data()
{
    QTest::addColumn<QString>("dimension");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("9") << QStringLiteral("9") << true;
    QTest::newRow("1") << QStringLiteral("1") << true;
    QTest::newRow("0") << QStringLiteral("0") << false;
    QTest::newRow("empty") << QString() << false;
}

void UICnfProgramTest::logFilePageChecksFileDimension()
{
    QFETCH(QString, dimension);
    QFETCH(bool, accepted);

    CnfProgram cnf;
    cnf.logFile().setFileDimension(4);
    cnf.logFile().setDeviceEnabled(true);
    UICnfPageLogFile page(&cnf, nullptr);
    QCOMPARE(lineEdit(&page, "lineEditFileDimension")->text(), QStringLiteral("4"));
    QVERIFY(widget<QCheckBox>(&page, "checkBoxDevice")->isChecked());
    QVERIFY(!page.isModified());

    lineEdit(&page, "lineEditFileDimension")->setText(dimension);
    widget<QCheckBox>(&page, "checkBoxDataBase")->setChecked(true);
    widget<QCheckBox>(&page, "checkBoxDevice")->setChecked(false);
    QVERIFY(page.isModified());

    QCOMPARE(page.applyData(), accepted);
    QCOMPARE(takeWarnings(),
             accepted ? QStringList() : QStringList("The field File Dimension must be correctly filled."));
    QCOMPARE(cnf.logFile().fileDimension(), accepted ? dimension.toInt() : 4);
    QCOMPARE(cnf.logFile().databaseEnabled(), accepted);
    QCOMPARE(cnf.logFile().deviceEnabled(), !accepted);
}

void UICnfProgramTest::miscellaneousPageAppliesFolderChoice()
{
    CnfProgram cnf;
    cnf.varie().setDbServerPath(QStringLiteral("/usr/lib/postgresql/15/bin"));
    cnf.varie().setBackupValidityDays(730);
    UICnfPageVarie page(&cnf, nullptr);
    QLineEdit *pPath = lineEdit(&page, "lineEditDbServerPath");
    QCOMPARE(pPath->text(), QDir::toNativeSeparators(QStringLiteral("/usr/lib/postgresql/15/bin")));
    QCOMPARE(widget<QComboBox>(&page, "cbDbValidityDaysBackup")->currentText(), QStringLiteral("2 Years"));

    // A cancelled chooser changes nothing.
    QTest::mouseClick(widget<QPushButton>(&page, "pushButtonFolder"), Qt::LeftButton);
    QVERIFY(!page.isModified());

    const QString szChosen = m_suiteDir->path() + QStringLiteral("/PostgreSQL/bin");
    UIFileDialog::setNextName(szChosen);
    QTest::mouseClick(widget<QPushButton>(&page, "pushButtonFolder"), Qt::LeftButton);
    QCOMPARE(UIFileDialog::takeCaptions(), QStringList({"Select Directory", "Select Directory"}));
    QCOMPARE(pPath->text(), QDir::toNativeSeparators(szChosen));
    QCOMPARE(pPath->cursorPosition(), 0);
    QVERIFY(page.isModified());

    // A refused time-out keeps the old path too.
    QLineEdit *pTimeout = lineEdit(&page, "lineEditTimeoutProcess");
    pTimeout->clear();
    QVERIFY(!page.applyData());
    QCOMPARE(takeWarnings(), QStringList("The field Timeout must be correctly filled."));
    QCOMPARE(cnf.varie().dbServerPath(), QStringLiteral("/usr/lib/postgresql/15/bin"));

    pTimeout->setText(QStringLiteral("120"));
    widget<QComboBox>(&page, "cbDbValidityDaysBackup")->setCurrentIndex(4);
    QVERIFY(page.applyData());
    QCOMPARE(cnf.varie().dbServerPath(), QDir::toNativeSeparators(szChosen));
    QCOMPARE(cnf.varie().timeoutProcessExecution(), 120);
    QCOMPARE(cnf.varie().backupValidityDays(), 365);
}

void UICnfProgramTest::languageListFromTranslationFiles()
{
    const QString szFolder = m_suiteDir->path() + QStringLiteral("/Language");
    QVERIFY(QDir().mkpath(szFolder + QStringLiteral("/KivDataBaseUpdater_pt.qm")));
    for (const char *pszName :
         {"KivDataBaseUpdater_it.qm", "KivDataBaseUpdater_de.qm", "KivDataBaseUpdater_fr.ts", "qt_es.qm"}) {
        QFile file(szFolder + QLatin1Char('/') + QLatin1String(pszName));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    CnfProgram cnf;
    cnf.lingua().setLanguage(QStringLiteral("it"));
    UICnfPageLanguage page(&cnf, nullptr);
    QComboBox *pCombo = widget<QComboBox>(&page, "comboBoxLanguage");
    QCOMPARE(pCombo->count(), 2);
    QCOMPARE(pCombo->itemText(0), QStringLiteral("German\t- Deutsch"));
    QCOMPARE(pCombo->itemData(0).toString(), QStringLiteral("de"));
    QCOMPARE(pCombo->itemText(1), QStringLiteral("Italian\t- italiano"));
    QCOMPARE(pCombo->itemData(1).toString(), QStringLiteral("it"));
    QCOMPARE(pCombo->currentIndex(), 1);
    QVERIFY(!page.isModified());

    pCombo->setCurrentIndex(0);
    QVERIFY(page.isModified());
    QVERIFY(page.applyData());
    QCOMPARE(cnf.lingua().language(), QStringLiteral("de"));
}

void UICnfProgramTest::languageKeptWithoutTranslationFiles()
{
    CnfProgram cnf;
    cnf.lingua().setLanguage(QStringLiteral("it"));
    UICnfPageLanguage page(&cnf, nullptr);
    QCOMPARE(widget<QComboBox>(&page, "comboBoxLanguage")->count(), 0);
    QVERIFY(page.applyData());
    QCOMPARE(cnf.lingua().language(), QStringLiteral("it"));
}

void UICnfProgramTest::firstRefusingPageIsShown_data()
{
    QTest::addColumn<QStringList>("fields"); // server, file dimension, process time-out
    QTest::addColumn<QString>("warning");
    QTest::addColumn<int>("row");

    QTest::newRow("server and file dimension")
        << QStringList{"", "0", "30"} << QStringLiteral("The field Server must be correctly filled.") << 0;
    QTest::newRow("file dimension") << QStringList{"db.lan", "", "30"}
                                    << QStringLiteral("The field File Dimension must be correctly filled.") << 2;
    QTest::newRow("process time-out") << QStringList{"db.lan", "2", ""}
                                      << QStringLiteral("The field Timeout must be correctly filled.") << 3;
}

void UICnfProgramTest::firstRefusingPageIsShown()
{
    QFETCH(QStringList, fields);
    QFETCH(QString, warning);
    QFETCH(int, row);

    CnfProgram cnf;
    UICnfProgram dialog(&cnf, nullptr);
    dialog.show();
    QListWidget *pList = widget<QListWidget>(&dialog, "listWidgetCategory");
    QCOMPARE(widget<QLabel>(&dialog, "labelCategoryTitle")->text(), QStringLiteral("Database"));
    pList->setCurrentRow(1);
    lineEdit(&dialog, "lineEditServer")->setText(fields.at(0));
    lineEdit(&dialog, "lineEditFileDimension")->setText(fields.at(1));
    lineEdit(&dialog, "lineEditTimeoutProcess")->setText(fields.at(2));
    widget<QCheckBox>(&dialog, "checkBoxDevice")->setChecked(true);

    dialog.accept();
    QCOMPARE(takeWarnings(), QStringList(warning));
    QVERIFY(dialog.isVisible());
    QCOMPARE(pList->currentRow(), row);
    QCOMPARE(widget<QStackedWidget>(&dialog, "stackedWidgetConfig")->currentIndex(), row);
    QCOMPARE(widget<QLabel>(&dialog, "labelCategoryTitle")->text(), pList->item(row)->text());
    // Pages before the refusing one wrote nothing that stays.
    QCOMPARE(fieldsOf(cnf.dataBase()), fieldsOf(CnfDataBase()));
    QCOMPARE(cnf.logFile().deviceEnabled(), false);
    QCOMPARE(nativeStore()->allKeys(), QStringList());
}

void UICnfProgramTest::okSavesOnlyModifiedData_data()
{
    QTest::addColumn<QString>("timeout"); // empty: nothing typed

    QTest::newRow("untouched") << QString();
    QTest::newRow("time-out typed") << QStringLiteral("45");
}

void UICnfProgramTest::okSavesOnlyModifiedData()
{
    QFETCH(QString, timeout);

    CnfProgram cnf;
    UICnfProgram dialog(&cnf, nullptr);
    dialog.show();
    if (!timeout.isEmpty()) {
        QLineEdit *pEdit = lineEdit(&dialog, "lineEditConnectionTimeout");
        pEdit->clear();
        QTest::keyClicks(pEdit, timeout);
    }
    QTest::mouseClick(widget<QDialogButtonBox>(&dialog, "buttonBox")->button(QDialogButtonBox::Ok), Qt::LeftButton);

    QCOMPARE(UIMessageBox::takeShown().size(), 0);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const std::unique_ptr<QSettings> store = nativeStore();
    if (timeout.isEmpty()) {
        QCOMPARE(store->allKeys(), QStringList());
    } else {
        QCOMPARE(cnf.dataBase().connectionTimeout(), timeout.toInt());
        QCOMPARE(store->value("tools/common/dbInfo/connectionTimeout").toInt(), timeout.toInt());
        QCOMPARE(store->value("tools/common/dbInfo/dataSource").toString(), QStringLiteral("127.0.0.1"));
    }
}

void UICnfProgramTest::cancelAsksOnlyWhenModified_data()
{
    QTest::addColumn<bool>("typed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");

    QTest::newRow("untouched") << false << int(QMessageBox::No) << true;
    QTest::newRow("typed, No") << true << int(QMessageBox::No) << false;
    QTest::newRow("typed, Yes") << true << int(QMessageBox::Yes) << true;
}

void UICnfProgramTest::cancelAsksOnlyWhenModified()
{
    QFETCH(bool, typed);
    QFETCH(int, answer);
    QFETCH(bool, closed);

    CnfProgram cnf;
    UICnfProgram dialog(&cnf, nullptr);
    dialog.show();
    if (typed)
        QTest::keyClicks(lineEdit(&dialog, "lineEditServer"), QStringLiteral(".lan"));
    UIMessageBox::setNextAnswer(QMessageBox::StandardButton(answer));
    QTest::mouseClick(widget<QDialogButtonBox>(&dialog, "buttonBox")->button(QDialogButtonBox::Cancel), Qt::LeftButton);

    const QList<UIMessageBox::Shown> shown = UIMessageBox::takeShown();
    QCOMPARE(shown.size(), typed ? 1 : 0);
    if (typed) {
        QCOMPARE(shown.first().icon, QMessageBox::Question);
        QCOMPARE(shown.first().szText, QStringLiteral("The data has been modified. Continue anyway ?"));
    }
    QCOMPARE(dialog.isVisible(), !closed);
    if (closed)
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(cnf.dataBase().dataSource(), QStringLiteral("127.0.0.1"));
    QCOMPARE(nativeStore()->allKeys(), QStringList());
}

void UICnfProgramTest::eachFieldMarksOnlyItsPage_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("modifies");

    QTest::newRow("server") << 0 << "lineEditServer" << true;
    QTest::newRow("database") << 0 << "lineEditDataBase" << true;
    QTest::newRow("port") << 0 << "lineEditPortNumber" << true;
    QTest::newRow("connection time-out") << 0 << "lineEditConnectionTimeout" << true;
    // The two check boxes of the database page only unlock their fields.
    QTest::newRow("database unlock") << 0 << "checkBoxDataBase" << false;
    QTest::newRow("port unlock") << 0 << "checkBoxPortNumber" << false;
    QTest::newRow("language") << 1 << "comboBoxLanguage" << true;
    QTest::newRow("file dimension") << 2 << "lineEditFileDimension" << true;
    QTest::newRow("database log") << 2 << "checkBoxDataBase" << true;
    QTest::newRow("device log") << 2 << "checkBoxDevice" << true;
    QTest::newRow("process time-out") << 3 << "lineEditTimeoutProcess" << true;
    QTest::newRow("backup validity") << 3 << "cbDbValidityDaysBackup" << true;
    QTest::newRow("backup before update") << 3 << "checkBoxBackupBeforeUpdate" << true;
}

void UICnfProgramTest::eachFieldMarksOnlyItsPage()
{
    QFETCH(int, row);
    QFETCH(QString, field);
    QFETCH(bool, modifies);

    // Two languages to choose between.
    const QString szFolder = m_suiteDir->path() + QStringLiteral("/Language");
    QVERIFY(QDir().mkpath(szFolder));
    for (const char *pszName : {"KivDataBaseUpdater_it.qm", "KivDataBaseUpdater_de.qm"}) {
        QFile file(szFolder + QLatin1Char('/') + QLatin1String(pszName));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    CnfProgram cnf;
    UICnfProgram dialog(&cnf, nullptr);
    QStackedWidget *pStack = widget<QStackedWidget>(&dialog, "stackedWidgetConfig");
    QWidget *pField = widget<QWidget>(pStack->widget(row), field);
    if (auto *pLineEdit = qobject_cast<QLineEdit *>(pField))
        pLineEdit->clear(); // every one of them starts filled
    else if (auto *pCheckBox = qobject_cast<QCheckBox *>(pField))
        pCheckBox->toggle();
    else if (auto *pComboBox = qobject_cast<QComboBox *>(pField))
        pComboBox->setCurrentIndex(pComboBox->count() - 1 - pComboBox->currentIndex());

    for (int i = 0; i < pStack->count(); ++i) {
        const auto *pPage = qobject_cast<const UICnfPage *>(pStack->widget(i));
        QVERIFY(pPage);
        QCOMPARE(pPage->isModified(), modifies && i == row);
    }
}

void UICnfProgramTest::keyboardReachesEveryField_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("unlock");   // check box ticked first, or empty
    QTest::addColumn<QStringList>("tabs"); // focus after each Tab from the list
    // "Alt+<letter>=<widget>": where each mnemonic of the page leads
    QTest::addColumn<QStringList>("mnemonics");

    QTest::newRow("database") << 0 << QString()
                              << QStringList{"lineEditServer",
                                             "checkBoxDataBase",
                                             "checkBoxPortNumber",
                                             "pbConnectionTest",
                                             "lineEditConnectionTimeout",
                                             "OK",
                                             "Cancel",
                                             "listWidgetCategory"}
                              << QStringList{"S=lineEditServer",
                                             "D=checkBoxDataBase",
                                             "P=checkBoxPortNumber",
                                             "I=lineEditConnectionTimeout"};
    QTest::newRow("database, fields unlocked") << 0 << "checkBoxDataBase,checkBoxPortNumber"
                                               << QStringList{"lineEditServer",
                                                              "checkBoxDataBase",
                                                              "lineEditDataBase",
                                                              "checkBoxPortNumber",
                                                              "lineEditPortNumber",
                                                              "pbConnectionTest",
                                                              "lineEditConnectionTimeout"}
                                               << QStringList{"D=lineEditDataBase", "P=lineEditPortNumber"};
    QTest::newRow("language") << 1 << QString() << QStringList{"comboBoxLanguage", "OK", "Cancel"}
                              << QStringList{"L=comboBoxLanguage"};
    QTest::newRow("log file") << 2 << QString()
                              << QStringList{"lineEditFileDimension", "checkBoxDataBase", "checkBoxDevice", "OK"}
                              << QStringList{"F=lineEditFileDimension", "D=checkBoxDataBase", "V=checkBoxDevice"};
    QTest::newRow("miscellaneous") << 3 << QString()
                                   << QStringList{"lineEditDbServerPath",
                                                  "pushButtonFolder",
                                                  "lineEditTimeoutProcess",
                                                  "cbDbValidityDaysBackup",
                                                  "checkBoxBackupBeforeUpdate",
                                                  "OK"}
                                   << QStringList{"S=lineEditDbServerPath",
                                                  "T=lineEditTimeoutProcess",
                                                  "B=cbDbValidityDaysBackup",
                                                  "U=checkBoxBackupBeforeUpdate"};
}

void UICnfProgramTest::keyboardReachesEveryField()
{
    QFETCH(int, row);
    QFETCH(QString, unlock);
    QFETCH(QStringList, tabs);
    QFETCH(QStringList, mnemonics);

    CnfProgram cnf;
    UICnfProgram dialog(&cnf, nullptr);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QStackedWidget *pStack = widget<QStackedWidget>(&dialog, "stackedWidgetConfig");
    QListWidget *pList = widget<QListWidget>(&dialog, "listWidgetCategory");
    pList->setCurrentRow(row);
    QWidget *pPage = pStack->currentWidget();
    for (const QString &szCheckBox : unlock.split(QLatin1Char(','), Qt::SkipEmptyParts))
        widget<QCheckBox>(pPage, szCheckBox)->setChecked(true);

    // The buttons of the box are named by their text.
    const auto focusName = [&dialog]() {
        QWidget *pFocus = dialog.focusWidget();
        if (auto *pButton = qobject_cast<QPushButton *>(pFocus); pButton && pButton->objectName().isEmpty())
            return pButton->text().remove(QLatin1Char('&'));
        return pFocus ? pFocus->objectName() : QStringLiteral("(none)");
    };
    pList->setFocus(Qt::TabFocusReason);
    QStringList lstVisited;
    for (int i = 0; i < tabs.size(); ++i) {
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
        lstVisited << focusName();
    }
    QCOMPARE(lstVisited, tabs);

    for (const QString &szMnemonic : qAsConst(mnemonics)) {
        pList->setFocus(Qt::OtherFocusReason);
        const QChar letter = szMnemonic.at(0);
        QTest::keyClick(&dialog, letter.toLower().toLatin1(), Qt::AltModifier);
        QCOMPARE(letter + QStringLiteral("=") + focusName(), szMnemonic);
        QCOMPARE(pStack->currentWidget(), pPage);
    }
}

QTEST_MAIN(UICnfProgramTest)
#include "tst_UICnfProgram.moc"
