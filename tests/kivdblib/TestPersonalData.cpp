#include "DBManager.h"
#include "PersonalData.h"
#include "PersonalDataTable.h"
#include "TestDatabase.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <memory>

namespace {

const QString kDataKey = QStringLiteral("7c1f0e9a-data-key-of-the-suite");
const QString kPrefix = QStringLiteral("$kiv1$");

// The table as the suite's schema has it; "NationalNumber" only from 1.5.0.
QString createTableSql(bool bNationalNumber)
{
    return QStringLiteral("CREATE TABLE \"PERSONALDATA\" ("
                          "\"ID\" serial PRIMARY KEY, \"FirstName\" text NOT NULL, \"LastName\" text NOT NULL, "
                          "\"Title\" text, \"IdGender\" integer DEFAULT 0 NOT NULL, "
                          "\"DateOfBirth\" timestamp without time zone NOT NULL, \"Address\" text, "
                          "\"PostalCode\" text, \"City\" text, \"StateRegion\" text, \"Country\" text, "
                          "\"Telephone\" text, \"Mobile\" text, \"eMail\" text, \"IdNote\" integer DEFAULT 0, "
                          "\"IdImage\" integer DEFAULT 0, guid text%1)")
        .arg(bNationalNumber ? QStringLiteral(", \"NationalNumber\" text") : QString());
}

QString sqlLiteral(const QString &szValue)
{
    if (szValue.isNull())
        return QStringLiteral("NULL");
    return QLatin1Char('\'') + QString(szValue).replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

// Decrypts a stored value on the server, independently of the library: the
// documented form is the prefix, then base64 of AES-256-CBC (zero IV, key
// SHA-256 of the data key) over a 16-byte first block and the UTF-8 text.
QString serverDecrypt(TestDatabase &db, const QString &szStored, const QString &szKey)
{
    return db
        .scalar(QStringLiteral("SELECT convert_from(substring(decrypt(decode(substr(%1, 7), 'base64'), "
                               "digest(%2, 'sha256'), 'aes-cbc/pad:pkcs') FROM 17), 'UTF8')")
                    .arg(sqlLiteral(szStored), sqlLiteral(szKey)))
        .toString();
}

// Runs the re-save pass the way the update step does: read as stored with
// the switch off, write with it on.
int encryptionPass()
{
    DBManager *pManager = DBManager::instance();
    pManager->setEncryptionEnabled(false);
    PersonalDataTable table;
    if (!table.open())
        return -1;
    int nSaved = 0;
    while (table.load()) {
        PersonalData record;
        record.setIdPersonalData(table.idPersonalData());
        if (record.load()) {
            pManager->setEncryptionEnabled(true);
            if (record.save())
                ++nSaved;
        }
        pManager->setEncryptionEnabled(false);
    }
    pManager->setEncryptionEnabled(true);
    return nSaved;
}

} // namespace

class TestPersonalData : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void tableListsRowsInIdOrder();
    void tableOfEmptyOrMissingTable();

    void saveEncryptsAndLoadDecrypts_data();
    void saveEncryptsAndLoadDecrypts();
    void equalTextsGetDifferentCiphertexts();
    void passIsSafeToRepeat();
    void switchOffReadsAndWritesAsStored();
    void databaseWithoutNationalNumber();
    void columnAddedLaterIsUsed();
    void partialRecordKeepsOtherColumns();
    void refusesWhatCannotBeDoneSafely();
    void tableSnapshotNotUsedAfterSave();
    void runsOnDefaultConnectionTransaction();

private:
    bool prepare(bool bNationalNumber);
    qint64 insertRow(const QStringList &lstValues);
    QStringList storedRow(qint64 nId);

    std::unique_ptr<TestDatabase> m_pDb;
    bool m_bNationalNumber = true;
};

void TestPersonalData::init()
{
    m_pDb = std::make_unique<TestDatabase>(QStringLiteral("personal"));
    DBManager::instance()->enableEncryption(TestDatabase::caFile(), kDataKey);
}

void TestPersonalData::cleanup()
{
    DBManager::instance()->closeDatabase();
    m_pDb.reset();
    DBManager::instance()->enableEncryption(TestDatabase::caFile(), kDataKey);
}

bool TestPersonalData::prepare(bool bNationalNumber)
{
    m_bNationalNumber = bNationalNumber;
    return m_pDb->isValid() && m_pDb->exec(QStringLiteral("CREATE EXTENSION IF NOT EXISTS pgcrypto")) &&
           m_pDb->exec(createTableSql(bNationalNumber)) && m_pDb->openWithDBManager(true);
}

// Values in the order of PersonalData::encryptedColumns(); NationalNumber is
// left out on a table without it.
qint64 TestPersonalData::insertRow(const QStringList &lstValues)
{
    QStringList lstColumns = PersonalData::encryptedColumns();
    QStringList lstLiterals;
    for (const QString &szValue : lstValues)
        lstLiterals << sqlLiteral(szValue);
    if (!m_bNationalNumber) {
        lstColumns.removeAll(QStringLiteral("NationalNumber"));
        lstLiterals.removeLast();
    }
    QStringList lstQuoted;
    for (const QString &szColumn : lstColumns)
        lstQuoted << TestDatabase::quoted(szColumn);
    return m_pDb
        ->scalar(QStringLiteral("INSERT INTO \"PERSONALDATA\" (\"DateOfBirth\", %1) VALUES ('1970-05-04', %2) "
                                "RETURNING \"ID\"")
                     .arg(lstQuoted.join(", "), lstLiterals.join(", ")))
        .toLongLong();
}

QStringList TestPersonalData::storedRow(qint64 nId)
{
    QStringList lstColumns = PersonalData::encryptedColumns();
    if (!m_bNationalNumber)
        lstColumns.removeAll(QStringLiteral("NationalNumber"));
    QStringList lstQuoted;
    for (const QString &szColumn : lstColumns)
        lstQuoted << TestDatabase::quoted(szColumn);
    const QList<QVariantList> lstRows = m_pDb->rows(
        QStringLiteral("SELECT %1 FROM \"PERSONALDATA\" WHERE \"ID\" = %2").arg(lstQuoted.join(", ")).arg(nId));
    QStringList lstValues;
    if (lstRows.size() == 1) {
        for (const QVariant &value : lstRows.first())
            lstValues << value.toString();
    }
    if (!m_bNationalNumber)
        lstValues << QString();
    return lstValues;
}

namespace {

QStringList sampleRow(const QString &szFirst)
{
    return {szFirst,
            QStringLiteral("Rossi"),
            QString(),
            QStringLiteral("Via Roma 1"),
            QStringLiteral("20100"),
            QStringLiteral("Milano"),
            QStringLiteral("MI"),
            QStringLiteral("Italia"),
            QStringLiteral("+39 02 1234"),
            QString(),
            QStringLiteral("mario@example.com"),
            QStringLiteral("RSSMRA70E04F205X")};
}

} // namespace

void TestPersonalData::tableListsRowsInIdOrder()
{
    QVERIFY2(prepare(true), qPrintable(m_pDb->errorText()));
    QVERIFY(m_pDb->exec(QStringLiteral("SELECT setval('\"PERSONALDATA_ID_seq\"', 40)")));
    const qint64 nFirst = insertRow(sampleRow(QStringLiteral("A")));
    QVERIFY(m_pDb->exec(QStringLiteral("SELECT setval('\"PERSONALDATA_ID_seq\"', 7)")));
    const qint64 nSecond = insertRow(sampleRow(QStringLiteral("B")));
    const qint64 nThird = insertRow(sampleRow(QStringLiteral("C")));

    PersonalDataTable table;
    QVERIFY(table.open());
    QCOMPARE(table.affectedRows(), 3);
    QList<qint64> lstIds;
    while (table.load())
        lstIds << table.idPersonalData();
    QCOMPARE(lstIds, (QList<qint64>{nSecond, nThird, nFirst}));
    QVERIFY(!table.load());
}

void TestPersonalData::tableOfEmptyOrMissingTable()
{
    QVERIFY2(m_pDb->isValid(), qPrintable(m_pDb->errorText()));
    QVERIFY(m_pDb->openWithDBManager(true));
    {
        PersonalDataTable table;
        QVERIFY(!table.open());
        QCOMPARE(table.affectedRows(), 0);
        QVERIFY(!table.load());
    }
    PersonalData record;
    record.setIdPersonalData(1);
    QVERIFY(!record.load());

    QVERIFY(m_pDb->exec(createTableSql(true)));
    PersonalDataTable table;
    QVERIFY(table.open());
    QCOMPARE(table.affectedRows(), 0);
    QVERIFY(!table.load());
}

void TestPersonalData::saveEncryptsAndLoadDecrypts_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << QStringLiteral("Mario");
    QTest::newRow("non-ASCII") << QStringLiteral("Zo\u00eb \u00d8stergaard \u65e5\u672c");
    QTest::newRow("quotes and backslash") << QStringLiteral("O'Brien \"Jr\" C:\\path");
    QTest::newRow("empty") << QStringLiteral("");
    QTest::newRow("line breaks") << QStringLiteral("Via Roma 1\nScala B\r\nInt. 4");
    QTest::newRow("one AES block") << QStringLiteral("0123456789abcdef");
    QTest::newRow("long") << QString(3000, QLatin1Char('x'));
    QTest::newRow("looks like base64") << QStringLiteral("kiv1$QUJD");
}

void TestPersonalData::saveEncryptsAndLoadDecrypts()
{
    QFETCH(QString, text);
    QVERIFY2(prepare(true), qPrintable(m_pDb->errorText()));
    QStringList lstRow = sampleRow(QStringLiteral("First"));
    lstRow[0] = QStringLiteral("Keep");
    lstRow[3] = text; // "Address"
    const qint64 nId = insertRow(lstRow);

    DBManager::instance()->setEncryptionEnabled(true);
    PersonalData record;
    record.setIdPersonalData(nId);
    QVERIFY(record.load());
    QCOMPARE(record.value(QStringLiteral("Address")), text);
    QVERIFY(!record.value(QStringLiteral("Address")).isNull());
    QVERIFY(record.value(QStringLiteral("Title")).isNull());
    QVERIFY(record.save());

    const QStringList lstStored = storedRow(nId);
    const QStringList lstColumns = PersonalData::encryptedColumns();
    for (int i = 0; i < lstColumns.size(); ++i) {
        const QString szPlain = lstRow.at(i);
        const QString szStored = lstStored.at(i);
        if (szPlain.isNull()) {
            QVERIFY2(szStored.isNull(), qPrintable(lstColumns.at(i)));
            continue;
        }
        QVERIFY2(szStored.startsWith(kPrefix), qPrintable(lstColumns.at(i) + QStringLiteral(": ") + szStored));
        QVERIFY(!szStored.contains(QLatin1Char('\n')));
        QCOMPARE(serverDecrypt(*m_pDb, szStored, kDataKey), szPlain);
    }

    PersonalData decrypted;
    decrypted.setIdPersonalData(nId);
    QVERIFY(decrypted.load());
    for (int i = 0; i < lstColumns.size(); ++i) {
        QCOMPARE(decrypted.value(lstColumns.at(i)), lstRow.at(i));
        QCOMPARE(decrypted.value(lstColumns.at(i)).isNull(), lstRow.at(i).isNull());
    }

    DBManager::instance()->setEncryptionEnabled(false);
    PersonalData stored;
    stored.setIdPersonalData(nId);
    QVERIFY(stored.load());
    for (int i = 0; i < lstColumns.size(); ++i)
        QCOMPARE(stored.value(lstColumns.at(i)), lstStored.at(i));
}

void TestPersonalData::equalTextsGetDifferentCiphertexts()
{
    QVERIFY2(prepare(true), qPrintable(m_pDb->errorText()));
    const qint64 nFirst = insertRow(sampleRow(QStringLiteral("Same")));
    const qint64 nSecond = insertRow(sampleRow(QStringLiteral("Same")));
    QCOMPARE(encryptionPass(), 2);
    const QString szFirst = storedRow(nFirst).first();
    const QString szSecond = storedRow(nSecond).first();
    QVERIFY(szFirst.startsWith(kPrefix));
    QVERIFY(szFirst != szSecond);
    QCOMPARE(serverDecrypt(*m_pDb, szFirst, kDataKey), QStringLiteral("Same"));
    QCOMPARE(serverDecrypt(*m_pDb, szSecond, kDataKey), QStringLiteral("Same"));
}

void TestPersonalData::passIsSafeToRepeat()
{
    QVERIFY2(prepare(true), qPrintable(m_pDb->errorText()));
    const qint64 nId = insertRow(sampleRow(QStringLiteral("Mario")));
    QCOMPARE(encryptionPass(), 1);
    const QStringList lstAfterFirst = storedRow(nId);
    QCOMPARE(encryptionPass(), 1);
    QCOMPARE(storedRow(nId), lstAfterFirst);

    // A record loaded decrypted and saved again is encrypted once, afresh.
    DBManager::instance()->setEncryptionEnabled(true);
    PersonalData record;
    record.setIdPersonalData(nId);
    QVERIFY(record.load());
    QVERIFY(record.save());
    const QString szStored = storedRow(nId).first();
    QVERIFY(szStored != lstAfterFirst.first());
    QCOMPARE(serverDecrypt(*m_pDb, szStored, kDataKey), QStringLiteral("Mario"));
}

void TestPersonalData::switchOffReadsAndWritesAsStored()
{
    QVERIFY2(prepare(true), qPrintable(m_pDb->errorText()));
    const qint64 nId = insertRow(sampleRow(QStringLiteral("Mario")));
    DBManager::instance()->setEncryptionEnabled(false);
    PersonalData record;
    record.setIdPersonalData(nId);
    QVERIFY(record.load());
    record.setValue(QStringLiteral("City"), QStringLiteral("Torino"));
    record.setValue(QStringLiteral("Mobile"), QStringLiteral("+39 333"));
    record.setValue(QStringLiteral("eMail"), QString());
    QVERIFY(record.save());
    QStringList lstExpected = sampleRow(QStringLiteral("Mario"));
    lstExpected[5] = QStringLiteral("Torino");
    lstExpected[9] = QStringLiteral("+39 333");
    lstExpected[10] = QString();
    const QStringList lstStored = storedRow(nId);
    QCOMPARE(lstStored, lstExpected);
    QVERIFY(lstStored.at(10).isNull());
}

void TestPersonalData::databaseWithoutNationalNumber()
{
    QVERIFY2(prepare(false), qPrintable(m_pDb->errorText()));
    const qint64 nId = insertRow(sampleRow(QStringLiteral("Mario")));
    QCOMPARE(encryptionPass(), 1);
    const QStringList lstStored = storedRow(nId);
    QVERIFY(lstStored.first().startsWith(kPrefix));

    PersonalData record;
    record.setIdPersonalData(nId);
    QVERIFY(record.load());
    QCOMPARE(record.value(QStringLiteral("FirstName")), QStringLiteral("Mario"));
    QVERIFY(record.value(QStringLiteral("NationalNumber")).isNull());
    record.setValue(QStringLiteral("NationalNumber"), QStringLiteral("X"));
    QVERIFY(record.save());
}

void TestPersonalData::columnAddedLaterIsUsed()
{
    QVERIFY2(prepare(false), qPrintable(m_pDb->errorText()));
    const qint64 nId = insertRow(sampleRow(QStringLiteral("Mario")));
    PersonalData record;
    record.setIdPersonalData(nId);
    QVERIFY(record.load());
    QVERIFY(record.save());

    QVERIFY(m_pDb->exec(QStringLiteral("ALTER TABLE \"PERSONALDATA\" ADD COLUMN \"NationalNumber\" text")));
    m_bNationalNumber = true;
    PersonalData again;
    again.setIdPersonalData(nId);
    QVERIFY(again.load());
    again.setValue(QStringLiteral("NationalNumber"), QStringLiteral("RSSMRA70E04F205X"));
    QVERIFY(again.save());
    const QString szStored = storedRow(nId).last();
    QVERIFY2(szStored.startsWith(kPrefix), qPrintable(szStored));
    QCOMPARE(serverDecrypt(*m_pDb, szStored, kDataKey), QStringLiteral("RSSMRA70E04F205X"));
}

void TestPersonalData::partialRecordKeepsOtherColumns()
{
    QVERIFY2(prepare(true), qPrintable(m_pDb->errorText()));
    const qint64 nId = insertRow(sampleRow(QStringLiteral("Mario")));
    DBManager::instance()->setEncryptionEnabled(false);
    PersonalData record;
    record.setIdPersonalData(nId);
    record.setValue(QStringLiteral("City"), QStringLiteral("Roma"));
    QVERIFY(record.save());
    QStringList lstExpected = sampleRow(QStringLiteral("Mario"));
    lstExpected[5] = QStringLiteral("Roma");
    QCOMPARE(storedRow(nId), lstExpected);

    PersonalData nothing;
    nothing.setIdPersonalData(nId);
    QVERIFY(!nothing.save());
    QCOMPARE(storedRow(nId), lstExpected);
}

void TestPersonalData::refusesWhatCannotBeDoneSafely()
{
    QVERIFY2(prepare(true), qPrintable(m_pDb->errorText()));
    const qint64 nId = insertRow(sampleRow(QStringLiteral("Mario")));
    const QStringList lstPlain = storedRow(nId);
    DBManager *pManager = DBManager::instance();

    // Unknown rows.
    PersonalData missing;
    missing.setIdPersonalData(nId + 1000);
    QVERIFY(!missing.load());
    missing.setValue(QStringLiteral("City"), QStringLiteral("Roma"));
    QVERIFY(!missing.save());

    // Encryption on without a data key: nothing is written.
    pManager->enableEncryption(TestDatabase::caFile(), QString());
    pManager->setEncryptionEnabled(true);
    PersonalData record;
    record.setIdPersonalData(nId);
    QVERIFY(record.load());
    QVERIFY(!record.save());
    QCOMPARE(storedRow(nId), lstPlain);

    // Encrypted values are not handed out as text without the key, nor
    // decrypted into garbage with a wrong one.
    pManager->enableEncryption(TestDatabase::caFile(), kDataKey);
    QCOMPARE(encryptionPass(), 1);
    pManager->enableEncryption(TestDatabase::caFile(), QString());
    PersonalData noKey;
    noKey.setIdPersonalData(nId);
    QVERIFY(!noKey.load());
    pManager->enableEncryption(TestDatabase::caFile(), kDataKey + QStringLiteral("-other"));
    PersonalData wrongKey;
    wrongKey.setIdPersonalData(nId);
    QVERIFY(!wrongKey.load());
    QVERIFY(wrongKey.value(QStringLiteral("FirstName")).isNull());
}

void TestPersonalData::tableSnapshotNotUsedAfterSave()
{
    QVERIFY2(prepare(true), qPrintable(m_pDb->errorText()));
    const qint64 nId = insertRow(sampleRow(QStringLiteral("Mario")));
    DBManager *pManager = DBManager::instance();
    pManager->setEncryptionEnabled(false);

    PersonalDataTable table;
    QVERIFY(table.open());
    // Changed through a record after the table read its rows.
    PersonalData writer;
    writer.setIdPersonalData(nId);
    writer.setValue(QStringLiteral("FirstName"), QStringLiteral("Luigi"));
    QVERIFY(writer.save());

    QVERIFY(table.load());
    PersonalData reader;
    reader.setIdPersonalData(table.idPersonalData());
    QVERIFY(reader.load());
    QCOMPARE(reader.value(QStringLiteral("FirstName")), QStringLiteral("Luigi"));
}

void TestPersonalData::runsOnDefaultConnectionTransaction()
{
    QVERIFY2(prepare(true), qPrintable(m_pDb->errorText()));
    const qint64 nId = insertRow(sampleRow(QStringLiteral("Mario")));
    const QStringList lstPlain = storedRow(nId);

    QSqlDatabase db = QSqlDatabase::database();
    QVERIFY(db.transaction());
    QCOMPARE(encryptionPass(), 1);
    // Inside the transaction the record reads back decrypted.
    PersonalData record;
    record.setIdPersonalData(nId);
    QVERIFY(record.load());
    QCOMPARE(record.value(QStringLiteral("FirstName")), QStringLiteral("Mario"));
    // Other sessions do not see the uncommitted change yet.
    QCOMPARE(storedRow(nId), lstPlain);
    QVERIFY(db.rollback());
    QCOMPARE(storedRow(nId), lstPlain);
}

QTEST_GUILESS_MAIN(TestPersonalData)
#include "TestPersonalData.moc"
