#include "DBManager.h"
#include "TestDatabase.h"
#include "UICheckDatabase.h"
#include "UpdaterTestDatabase.h"

#include <QApplication>
#include <QLabel>
#include <QTreeWidget>
#include <QtTest>

namespace {

const char *const kDataKey = "check-dialog-data-key-0123456789";

// The tree of the dialog: each group's title, then its rows as
// "  kind|object|expected|found".
QStringList treeLines(const QTreeWidget *pTree)
{
    QStringList lstLines;
    for (int i = 0; i < pTree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *pGroup = pTree->topLevelItem(i);
        lstLines << pGroup->text(0);
        for (int j = 0; j < pGroup->childCount(); ++j) {
            const QTreeWidgetItem *pItem = pGroup->child(j);
            QStringList lstColumns;
            for (int nColumn = 0; nColumn < pTree->columnCount(); ++nColumn)
                lstColumns << pItem->text(nColumn);
            lstLines << QStringLiteral("  ") + lstColumns.join(QLatin1Char('|'));
        }
    }
    return lstLines;
}

} // namespace

// The "Check database" dialog on databases of the test server.
class TestCheckDatabase : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void showsWhatTheCheckFound_data();
    void showsWhatTheCheckFound();
    void withoutConnectionSaysSo();

private:
    UpdaterTestDatabase m_db;
    QString m_szBase;
};

void TestCheckDatabase::initTestCase()
{
    if (!UpdaterTestDatabase::isConfigured())
        QSKIP("KIV_TEST_PG* not set: start scripts/pgserver.sh and source its env.sh");
    DBManager::instance()->enableEncryption(TestDatabase::caFile(), QString::fromLatin1(kDataKey));
    QVERIFY2(m_db.prepare(QStringLiteral("apptest_check")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.createAndOpen(QStringLiteral("base")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.9.0")), qPrintable(m_db.lastError()));
    m_szBase = m_db.currentName();
    DBManager::instance()->closeDatabase();
}

void TestCheckDatabase::cleanupTestCase()
{
    m_db.release();
}

void TestCheckDatabase::showsWhatTheCheckFound_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QStringList>("tree");

    QTest::newRow("untouched") << ""
                               << "No differences from the schema expected at version 1.9.0." << QStringList();
    QTest::newRow("drift") << "ALTER TABLE patients DROP COLUMN import_id; "
                              "ALTER TABLE \"USERS\" ALTER COLUMN \"PasswordTermTime\" SET DEFAULT 90; "
                              "CREATE TABLE notes_backup (id integer)"
                           << "The database differs from the schema expected at version 1.9.0."
                           << QStringList{"Missing (1)",
                                          "  column|patients.import_id|text|",
                                          "Changed (1)",
                                          "  column|\"USERS\".\"PasswordTermTime\"|integer DEFAULT 1 NOT "
                                          "NULL|integer DEFAULT 90 NOT NULL",
                                          "Extra, not counted as drift (1)",
                                          "  table|notes_backup||"};
    QTest::newRow("extra only") << "CREATE INDEX patients_code ON patients (patient_code)"
                                << "No differences from the schema expected at version 1.9.0. The database also has "
                                   "objects of its own, which are not counted as drift."
                                << QStringList{"Extra, not counted as drift (1)",
                                               "  index|patients.patients_code||CREATE INDEX patients_code ON "
                                               "public.patients USING btree (patient_code)"};
    QTest::newRow("unknown version")
        << "CREATE OR REPLACE FUNCTION \"kivVersion\"() RETURNS text LANGUAGE sql AS $$ SELECT '2.0.0'::text $$"
        << "The database reports version 2.0.0, for which no expected schema is known: no comparison is possible."
        << QStringList();
    QTest::newRow("no version") << "DROP FUNCTION \"kivVersion\"()"
                                << "The database reports no version: no comparison is possible." << QStringList();
}

void TestCheckDatabase::showsWhatTheCheckFound()
{
    QFETCH(QString, change);
    QFETCH(QString, summary);
    QFETCH(QStringList, tree);

    QVERIFY2(m_db.openCopy(m_szBase, QStringLiteral("dialog")), qPrintable(m_db.lastError()));
    if (!change.isEmpty())
        QVERIFY2(m_db.exec(change), qPrintable(m_db.lastError()));

    UICheckDatabase dialog(nullptr);
    QCOMPARE(dialog.findChild<QLabel *>("labelSummary")->text(), summary);
    const auto *pTree = dialog.findChild<QTreeWidget *>("treeWidgetDifferences");
    QCOMPARE(treeLines(pTree), tree);
    QCOMPARE(pTree->isHidden(), tree.isEmpty());
    QVERIFY(!QApplication::overrideCursor());
}

void TestCheckDatabase::withoutConnectionSaysSo()
{
    DBManager::instance()->closeDatabase();
    UICheckDatabase dialog(nullptr);
    QCOMPARE(dialog.findChild<QLabel *>("labelSummary")->text(),
             QStringLiteral("Unable to check the database: No open connection to the database."));
    QVERIFY(dialog.findChild<QTreeWidget *>("treeWidgetDifferences")->isHidden());
    QCOMPARE(dialog.result().status(), SchemaDriftResult::Failed);
    QVERIFY(!DBManager::instance()->isDatabaseOpen());
    QVERIFY(!QApplication::overrideCursor());
}

QTEST_MAIN(TestCheckDatabase)

#include "tst_CheckDatabase.moc"
