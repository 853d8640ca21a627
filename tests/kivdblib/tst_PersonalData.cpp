#include "DBManager.h"
#include "PersonalData.h"
#include "PersonalDataBatch.h"
#include "PersonalDataTable.h"
#include "PgcryptoReference.h"
#include "TestDatabase.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <memory>

namespace {

const QString kDataKey = QStringLiteral("7c1f0e9a-data-key-of-the-suite");
const QString kPrefix = QStringLiteral("$kiv1$");

QString sqlLiteral(const QString &szValue)
{
    return PgcryptoReference::literal(szValue);
}

// Values in the order of PersonalData::encryptedColumns().
QStringList sampleRow(const QString &szFirst)
{
    return {szFirst,
            QStringLiteral("Rossi"),
            QString(),
            "Via Roma 1",
            "20100",
            "Milano",
            "MI",
            "Italia",
            "+39 02 1234",
            QString(),
            "mario@example.com",
            "RSSMRA70E04F205X"};
}

// Runs the re-save pass the way the update step does: read as stored with
// the switch off, write with it on. Returns the number of records saved.
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
            nSaved += record.save() ? 1 : 0;
        }
        pManager->setEncryptionEnabled(false);
    }
    pManager->setEncryptionEnabled(true);
    return nSaved;
}

// First value of a query on Qt's default connection, the one the records use.
QVariant defaultScalar(const QString &szSql)
{
    QSqlQuery query(QSqlDatabase::database());
    if (!query.exec(szSql) || !query.next())
        return QVariant();
    return query.value(0);
}

} // namespace

class TestPersonalData : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void tableListsRowsInIdOrder();
    void saveEncryptsAndLoadDecrypts_data();
    void saveEncryptsAndLoadDecrypts();
    void passIsSafeToRepeatAndRandomised();
    void recordWritesOnlyWhatItKnows();
    void nationalNumberOnlyWhereTheTableHasIt();
    void refusesWhatCannotBeDoneSafely();
    void tableSnapshotNotUsedAfterSave();
    void runsInDefaultConnectionTransaction();
    void needsNoCryptographyOnTheServer();
    void setBasedStatementEncryptsLikeRecordSave();
    void batchSavesRowsLikeRecordSave();
    void batchFailureNamesTheRecordAndUndoesAll_data();
    void batchFailureNamesTheRecordAndUndoesAll();
    void batchSkipsRowsRemovedMeanwhile();

private:
    bool prepare(bool bNationalNumber = true, bool bPgcrypto = true);
    // Every record of the table through one batch, inside a transaction of
    // the default connection, flushed whenever the batch is full and at the
    // end; the results of add(), or an empty list when a flush failed.
    QList<PersonalDataBatch::AddResult> batchPass(PersonalDataBatch &batch);
    qint64 insertRow(const QStringList &lstValues);
    QStringList storedRow(qint64 nId);
    QString serverDecrypt(const QString &szStored);
    QByteArray serverFirstBlock(const QString &szStored);

    std::unique_ptr<TestDatabase> m_pDb;
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
}

// The table as the suite's schema has it; "NationalNumber" only from 1.5.0.
bool TestPersonalData::prepare(bool bNationalNumber, bool bPgcrypto)
{
    return m_pDb->isValid() && (!bPgcrypto || m_pDb->exec(QStringLiteral("CREATE EXTENSION IF NOT EXISTS pgcrypto"))) &&
           m_pDb->exec(QStringLiteral("CREATE TABLE \"PERSONALDATA\" (\"ID\" serial PRIMARY KEY, "
                                      "\"FirstName\" text NOT NULL, \"LastName\" text NOT NULL, \"Title\" text, "
                                      "\"IdGender\" integer DEFAULT 0 NOT NULL, \"DateOfBirth\" timestamp NOT NULL, "
                                      "\"Address\" text, \"PostalCode\" text, \"City\" text, \"StateRegion\" text, "
                                      "\"Country\" text, \"Telephone\" text, \"Mobile\" text, \"eMail\" text, "
                                      "\"IdNote\" integer DEFAULT 0, \"IdImage\" integer DEFAULT 0, guid text%1)")
                           .arg(bNationalNumber ? ", \"NationalNumber\" text" : "")) &&
           m_pDb->openWithDBManager(true);
}

qint64 TestPersonalData::insertRow(const QStringList &lstValues)
{
    const bool bNational = m_pDb
                               ->scalar(QStringLiteral("SELECT count(*) FROM information_schema.columns "
                                                       "WHERE column_name = 'NationalNumber'"))
                               .toInt() == 1;
    QStringList lstColumns;
    QStringList lstLiterals;
    for (int i = 0; i < lstValues.size(); ++i) {
        if (bNational || PersonalData::encryptedColumns().at(i) != QLatin1String("NationalNumber")) {
            lstColumns << TestDatabase::quoted(PersonalData::encryptedColumns().at(i));
            lstLiterals << sqlLiteral(lstValues.at(i));
        }
    }
    return m_pDb
        ->scalar(QStringLiteral("INSERT INTO \"PERSONALDATA\" (\"DateOfBirth\", %1) VALUES ('1970-05-04', %2) "
                                "RETURNING \"ID\"")
                     .arg(lstColumns.join(", "), lstLiterals.join(", ")))
        .toLongLong();
}

// Stored values in the order of PersonalData::encryptedColumns(); a missing
// column or NULL gives a null string.
QStringList TestPersonalData::storedRow(qint64 nId)
{
    const QJsonObject row =
        QJsonDocument::fromJson(
            m_pDb
                ->scalar(
                    QStringLiteral("SELECT row_to_json(p)::text FROM \"PERSONALDATA\" AS p WHERE \"ID\" = %1").arg(nId))
                .toString()
                .toUtf8())
            .object();
    QStringList lstValues;
    for (const QString &szColumn : PersonalData::encryptedColumns())
        lstValues << (row.value(szColumn).isString() ? row.value(szColumn).toString() : QString());
    return lstValues;
}

// Decrypts a stored value on the server with pgcrypto, independently of the
// library.
QString TestPersonalData::serverDecrypt(const QString &szStored)
{
    return m_pDb
        ->scalar(QStringLiteral("SELECT ") +
                 PgcryptoReference::decryptExpression(sqlLiteral(szStored), sqlLiteral(kDataKey)))
        .toString();
}

// The decrypted first block of a stored value (nonce of the save and column
// number), which decryption otherwise drops.
QByteArray TestPersonalData::serverFirstBlock(const QString &szStored)
{
    return m_pDb
        ->scalar(QStringLiteral("SELECT ") +
                 PgcryptoReference::firstBlockExpression(sqlLiteral(szStored), sqlLiteral(kDataKey)))
        .toByteArray();
}

QList<PersonalDataBatch::AddResult> TestPersonalData::batchPass(PersonalDataBatch &batch)
{
    QList<PersonalDataBatch::AddResult> lstResults;
    PersonalDataTable table;
    if (!table.open())
        return lstResults;
    while (table.load()) {
        PersonalData record;
        record.setIdPersonalData(table.idPersonalData());
        if (!record.load())
            return {};
        lstResults << batch.add(record);
        if (batch.isFull() && !batch.flush())
            return {};
    }
    if (!batch.flush())
        return {};
    return lstResults;
}

void TestPersonalData::tableListsRowsInIdOrder()
{
    KIV_VERIFY_TEST_DATABASE(*m_pDb);
    QVERIFY(m_pDb->openWithDBManager(true));
    {
        PersonalDataTable missing;
        QVERIFY(!missing.open());
        QCOMPARE(missing.affectedRows(), 0);
        QVERIFY(!missing.load());
    }
    QVERIFY(prepare());
    QVERIFY(m_pDb->exec(QStringLiteral("SELECT setval('\"PERSONALDATA_ID_seq\"', 40)")));
    const qint64 nLast = insertRow(sampleRow(QStringLiteral("A")));
    QVERIFY(m_pDb->exec(QStringLiteral("SELECT setval('\"PERSONALDATA_ID_seq\"', 7)")));
    const qint64 nFirst = insertRow(sampleRow(QStringLiteral("B")));
    const qint64 nSecond = insertRow(sampleRow(QStringLiteral("C")));

    PersonalDataTable table;
    QVERIFY(table.open());
    QCOMPARE(table.affectedRows(), 3);
    QList<qint64> lstIds;
    while (table.load()) {
        lstIds << table.idPersonalData();
        // Statements between two rows do not cut the table short.
        PersonalData record;
        record.setIdPersonalData(table.idPersonalData() + 1000);
        QVERIFY(!record.load());
    }
    QCOMPARE(lstIds, (QList<qint64>{nFirst, nSecond, nLast}));
    QVERIFY(!table.load());

    QVERIFY(m_pDb->exec(QStringLiteral("DELETE FROM \"PERSONALDATA\"")));
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
    QTest::newRow("empty, not NULL") << QStringLiteral("");
    QTest::newRow("line breaks") << QStringLiteral("Via Roma 1\nScala B\r\nInt. 4");
    QTest::newRow("one AES block") << QStringLiteral("0123456789abcdef");
    QTest::newRow("long") << QString(3000, QLatin1Char('x'));
}

void TestPersonalData::saveEncryptsAndLoadDecrypts()
{
    QFETCH(QString, text);
    QVERIFY2(prepare(), qPrintable(m_pDb->errorText()));
    QStringList lstRow = sampleRow(QStringLiteral("Keep"));
    lstRow[3] = text; // "Address"
    const qint64 nId = insertRow(lstRow);

    PersonalData record;
    record.setIdPersonalData(nId);
    QVERIFY(record.load());
    QCOMPARE(record.value(QStringLiteral("Address")), text);
    QVERIFY(record.save());

    const QStringList lstStored = storedRow(nId);
    for (int i = 0; i < lstRow.size(); ++i) {
        if (lstRow.at(i).isNull()) {
            QVERIFY(lstStored.at(i).isNull()); // NULL stays NULL
            continue;
        }
        QVERIFY2(lstStored.at(i).startsWith(kPrefix), qPrintable(lstStored.at(i)));
        QVERIFY(!lstStored.at(i).contains(QLatin1Char('\n')));
        QCOMPARE(serverDecrypt(lstStored.at(i)), lstRow.at(i));
    }

    const QStringList lstColumns = PersonalData::encryptedColumns();
    for (bool bSwitch : {true, false}) {
        // On: decrypted; off: as stored.
        DBManager::instance()->setEncryptionEnabled(bSwitch);
        PersonalData again;
        again.setIdPersonalData(nId);
        QVERIFY(again.load());
        for (int i = 0; i < lstColumns.size(); ++i) {
            const QString szExpected = bSwitch ? lstRow.at(i) : lstStored.at(i);
            QCOMPARE(again.value(lstColumns.at(i)), szExpected);
            QCOMPARE(again.value(lstColumns.at(i)).isNull(), szExpected.isNull());
        }
    }

    // The other way round: stored the way the server encrypted before (every
    // column of a row under one nonce), read back through the library.
    QVERIFY(m_pDb->exec(
        QStringLiteral("UPDATE \"PERSONALDATA\" SET \"Address\" = %1, \"City\" = %2 FROM (SELECT "
                       "gen_random_bytes(15) AS n) AS v WHERE \"ID\" = %3")
            .arg(PgcryptoReference::encryptExpression(sqlLiteral(text), sqlLiteral(kDataKey), QStringLiteral("v.n"), 3),
                 PgcryptoReference::encryptExpression(
                     sqlLiteral(text + "/city"), sqlLiteral(kDataKey), QStringLiteral("v.n"), 5))
            .arg(nId)));
    QVERIFY(storedRow(nId).at(3) != lstStored.at(3));
    DBManager::instance()->setEncryptionEnabled(true);
    PersonalData old;
    old.setIdPersonalData(nId);
    QVERIFY(old.load());
    QCOMPARE(old.value(QStringLiteral("Address")), text);
    QCOMPARE(old.value(QStringLiteral("City")), text + "/city");
    QCOMPARE(old.value(QStringLiteral("FirstName")), QStringLiteral("Keep"));
}

void TestPersonalData::passIsSafeToRepeatAndRandomised()
{
    QVERIFY2(prepare(), qPrintable(m_pDb->errorText()));
    const qint64 nFirst = insertRow(sampleRow(QStringLiteral("Same")));
    const qint64 nSecond = insertRow(sampleRow(QStringLiteral("Same")));
    QCOMPARE(encryptionPass(), 2);
    const QStringList lstFirst = storedRow(nFirst);
    QVERIFY(lstFirst.first().startsWith(kPrefix));
    QVERIFY(lstFirst.first() != storedRow(nSecond).first());
    QVERIFY(lstFirst.at(5) != storedRow(nSecond).at(5)); // same city

    // Already encrypted values are left as they are.
    QCOMPARE(encryptionPass(), 2);
    QCOMPARE(storedRow(nFirst), lstFirst);
    QCOMPARE(serverDecrypt(storedRow(nFirst).first()), QStringLiteral("Same"));

    // A record read decrypted and saved is encrypted once, afresh.
    PersonalData record;
    record.setIdPersonalData(nFirst);
    QVERIFY(record.load());
    QVERIFY(record.save());
    const QString szStored = storedRow(nFirst).first();
    QVERIFY(szStored != lstFirst.first());
    QCOMPARE(serverDecrypt(szStored), QStringLiteral("Same"));
}

void TestPersonalData::recordWritesOnlyWhatItKnows()
{
    QVERIFY2(prepare(), qPrintable(m_pDb->errorText()));
    const qint64 nId = insertRow(sampleRow(QStringLiteral("Mario")));
    DBManager::instance()->setEncryptionEnabled(false);

    // Not loaded: only the values set are written, as given.
    PersonalData record;
    record.setIdPersonalData(nId);
    record.setValue(QStringLiteral("City"), QStringLiteral("Roma"));
    record.setValue(QStringLiteral("eMail"), QString());
    QVERIFY(record.save());
    QStringList lstExpected = sampleRow(QStringLiteral("Mario"));
    lstExpected[5] = QStringLiteral("Roma");
    lstExpected[10] = QString();
    QCOMPARE(storedRow(nId), lstExpected);
    QVERIFY(storedRow(nId).at(10).isNull());

    PersonalData nothing;
    nothing.setIdPersonalData(nId);
    QVERIFY(!nothing.save());
    QCOMPARE(storedRow(nId), lstExpected);
}

void TestPersonalData::nationalNumberOnlyWhereTheTableHasIt()
{
    QVERIFY2(prepare(false), qPrintable(m_pDb->errorText()));
    const qint64 nId = insertRow(sampleRow(QStringLiteral("Mario")));
    QCOMPARE(encryptionPass(), 1);
    PersonalData record;
    record.setIdPersonalData(nId);
    QVERIFY(record.load());
    QCOMPARE(record.value(QStringLiteral("FirstName")), QStringLiteral("Mario"));
    QVERIFY(record.value(QStringLiteral("NationalNumber")).isNull());
    record.setValue(QStringLiteral("NationalNumber"), QStringLiteral("X"));
    QVERIFY(record.save());

    // The column comes with a later version, on the same connection.
    QVERIFY(m_pDb->exec(QStringLiteral("ALTER TABLE \"PERSONALDATA\" ADD COLUMN \"NationalNumber\" text")));
    PersonalData again;
    again.setIdPersonalData(nId);
    QVERIFY(again.load());
    again.setValue(QStringLiteral("NationalNumber"), QStringLiteral("RSSMRA70E04F205X"));
    QVERIFY(again.save());
    const QString szStored = storedRow(nId).last();
    QVERIFY2(szStored.startsWith(kPrefix), qPrintable(szStored));
    QCOMPARE(serverDecrypt(szStored), QStringLiteral("RSSMRA70E04F205X"));
}

void TestPersonalData::refusesWhatCannotBeDoneSafely()
{
    QVERIFY2(prepare(), qPrintable(m_pDb->errorText()));
    const qint64 nId = insertRow(sampleRow(QStringLiteral("Mario")));
    const QStringList lstPlain = storedRow(nId);
    DBManager *pManager = DBManager::instance();

    PersonalData missing;
    missing.setIdPersonalData(nId + 1000);
    QVERIFY(!missing.load());
    missing.setValue(QStringLiteral("City"), QStringLiteral("Roma"));
    QVERIFY(!missing.save());

    // Encryption on without a data key: nothing is written.
    pManager->enableEncryption(TestDatabase::caFile(), QString());
    PersonalData record;
    record.setIdPersonalData(nId);
    QVERIFY(record.load());
    QVERIFY(!record.save());
    QCOMPARE(storedRow(nId), lstPlain);

    // Encrypted values are neither handed out as text without the key nor
    // decrypted into garbage with a wrong one.
    pManager->enableEncryption(TestDatabase::caFile(), kDataKey);
    QCOMPARE(encryptionPass(), 1);
    for (const QString &szKey : {QString(), kDataKey + QStringLiteral("-other")}) {
        pManager->enableEncryption(TestDatabase::caFile(), szKey);
        PersonalData locked;
        locked.setIdPersonalData(nId);
        QVERIFY(!locked.load());
        QVERIFY(locked.value(QStringLiteral("FirstName")).isNull());
    }
}

void TestPersonalData::tableSnapshotNotUsedAfterSave()
{
    QVERIFY2(prepare(), qPrintable(m_pDb->errorText()));
    const qint64 nId = insertRow(sampleRow(QStringLiteral("Mario")));
    DBManager::instance()->setEncryptionEnabled(false);

    PersonalDataTable table;
    QVERIFY(table.open());
    // Changed through a record after the table fetched its rows.
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

void TestPersonalData::runsInDefaultConnectionTransaction()
{
    QVERIFY2(prepare(), qPrintable(m_pDb->errorText()));
    const qint64 nId = insertRow(sampleRow(QStringLiteral("Mario")));
    const QStringList lstPlain = storedRow(nId);

    QSqlDatabase db = QSqlDatabase::database();
    QVERIFY(db.transaction());
    QCOMPARE(encryptionPass(), 1);
    PersonalData record;
    record.setIdPersonalData(nId);
    QVERIFY(record.load());
    QCOMPARE(record.value(QStringLiteral("FirstName")), QStringLiteral("Mario"));
    // Not committed: other sessions still see the plain row, and it stays so.
    QCOMPARE(storedRow(nId), lstPlain);
    QVERIFY(db.rollback());
    QCOMPARE(storedRow(nId), lstPlain);
}

void TestPersonalData::needsNoCryptographyOnTheServer()
{
    // Without pgcrypto the server cannot encrypt or decrypt: whatever is
    // stored encrypted was encrypted before it was sent, and the key had no
    // use there.
    QVERIFY2(prepare(true, false), qPrintable(m_pDb->errorText()));
    const qint64 nId = insertRow(sampleRow(QStringLiteral("Mario")));
    QCOMPARE(encryptionPass(), 1);
    PersonalData record;
    record.setIdPersonalData(nId);
    QVERIFY(record.load());
    QCOMPARE(record.value(QStringLiteral("eMail")), QStringLiteral("mario@example.com"));

    // A new connection prepares its statements anew.
    QVERIFY(m_pDb->openWithDBManager(true));
    record.setValue(QStringLiteral("City"), QStringLiteral("Torino"));
    QVERIFY(record.save());

    QVERIFY(m_pDb->exec(QStringLiteral("CREATE EXTENSION pgcrypto")));
    const QStringList lstStored = storedRow(nId);
    QVERIFY(lstStored.at(5).startsWith(kPrefix));
    QCOMPARE(serverDecrypt(lstStored.at(5)), QStringLiteral("Torino"));
    QCOMPARE(serverDecrypt(lstStored.at(10)), QStringLiteral("mario@example.com"));
}

void TestPersonalData::setBasedStatementEncryptsLikeRecordSave()
{
    QVERIFY2(prepare(), qPrintable(m_pDb->errorText()));
    const QList<qint64> lstIds = {insertRow(sampleRow(QStringLiteral("Saved"))),
                                  insertRow(sampleRow(QStringLiteral("Plain"))),
                                  insertRow(sampleRow(QStringLiteral("Plain")))};
    PersonalData saved;
    saved.setIdPersonalData(lstIds.first());
    QVERIFY(saved.load());
    QVERIFY(saved.save());
    const QStringList lstSaved = storedRow(lstIds.first());

    QSqlQuery update(QSqlDatabase::database());
    QVERIFY(update.prepare(PgcryptoReference::encryptAllRowsSql(PersonalData::encryptedColumns())));
    update.addBindValue(kDataKey);
    QVERIFY2(update.exec(), qPrintable(update.lastError().text()));
    // The record saved before is not encrypted a second time.
    QCOMPARE(storedRow(lstIds.first()), lstSaved);

    // Every row, however it was encrypted, reads back through the library and
    // has one nonce for all its values, each value followed by its column.
    QSet<QByteArray> nonces;
    for (qint64 nId : lstIds) {
        PersonalData record;
        record.setIdPersonalData(nId);
        QVERIFY(record.load());
        const QStringList lstPlain =
            sampleRow(nId == lstIds.first() ? QStringLiteral("Saved") : QStringLiteral("Plain"));
        const QStringList lstStored = storedRow(nId);
        QByteArray nonce;
        for (int i = 0; i < lstPlain.size(); ++i) {
            QCOMPARE(record.value(PersonalData::encryptedColumns().at(i)), lstPlain.at(i));
            if (lstPlain.at(i).isNull()) {
                QVERIFY(lstStored.at(i).isNull());
                continue;
            }
            const QByteArray block = serverFirstBlock(lstStored.at(i));
            QCOMPARE(block.size(), 16);
            QCOMPARE(int(quint8(block.at(15))), i);
            if (nonce.isEmpty())
                nonce = block.left(15);
            QCOMPARE(block.left(15), nonce);
        }
        nonces.insert(nonce);
    }
    QCOMPARE(nonces.size(), lstIds.size());
}

void TestPersonalData::batchSavesRowsLikeRecordSave()
{
    QVERIFY2(prepare(), qPrintable(m_pDb->errorText()));
    const QStringList lstNames{"Anna", "Bruno", "Carla", "Dario", "Elena"};
    QList<qint64> lstIds;
    for (const QString &szFirst : lstNames)
        lstIds << insertRow(sampleRow(szFirst));
    // Saved encrypted before: nothing left to write.
    PersonalData saved;
    saved.setIdPersonalData(lstIds.at(1));
    QVERIFY(saved.load());
    QVERIFY(saved.save());
    const QStringList lstSaved = storedRow(lstIds.at(1));

    DBManager *pManager = DBManager::instance();
    pManager->setEncryptionEnabled(false);
    {
        // The saves belong to the caller's transaction.
        PersonalDataBatch outside;
        QCOMPARE(batchPass(outside), QList<PersonalDataBatch::AddResult>());
        QVERIFY2(outside.lastError().contains("transaction"), qPrintable(outside.lastError()));
    }
    QSqlDatabase db = QSqlDatabase::database();
    QVERIFY(db.transaction());
    {
        PersonalDataBatch batch;
        const QList<PersonalDataBatch::AddResult> lstExpected = {PersonalDataBatch::Queued,
                                                                 PersonalDataBatch::Unchanged,
                                                                 PersonalDataBatch::Queued,
                                                                 PersonalDataBatch::Queued,
                                                                 PersonalDataBatch::Queued};
        QCOMPARE(batchPass(batch), lstExpected);
        QCOMPARE(batch.takeMissingIds(), QVector<qint64>());
    }
    QVERIFY(db.commit());

    QCOMPARE(storedRow(lstIds.at(1)), lstSaved);
    QSet<QByteArray> nonces;
    for (int nRow = 0; nRow < lstIds.size(); ++nRow) {
        const QStringList lstPlain = sampleRow(lstNames.at(nRow));
        const QStringList lstStored = storedRow(lstIds.at(nRow));
        QByteArray nonce;
        for (int i = 0; i < lstPlain.size(); ++i) {
            QCOMPARE(lstStored.at(i).isNull(), lstPlain.at(i).isNull());
            if (lstPlain.at(i).isNull())
                continue;
            QCOMPARE(serverDecrypt(lstStored.at(i)), lstPlain.at(i));
            const QByteArray block = serverFirstBlock(lstStored.at(i));
            QCOMPARE(int(quint8(block.at(15))), i);
            if (nonce.isEmpty())
                nonce = block.left(15);
            QCOMPARE(block.left(15), nonce);
        }
        nonces.insert(nonce);
    }
    QCOMPARE(nonces.size(), lstIds.size());

    // Without a data key: plain values are refused, encrypted ones need none.
    pManager->enableEncryption(TestDatabase::caFile(), QString());
    QVERIFY(m_pDb->exec(
        QStringLiteral("UPDATE \"PERSONALDATA\" SET \"Title\" = 'Dr' WHERE \"ID\" = %1").arg(lstIds.last())));
    QVERIFY(db.transaction());
    PersonalDataBatch keyless;
    QCOMPARE(batchPass(keyless).mid(3),
             (QList<PersonalDataBatch::AddResult>{PersonalDataBatch::Unchanged, PersonalDataBatch::NoDataKey}));
    QVERIFY(db.rollback());
}

void TestPersonalData::batchFailureNamesTheRecordAndUndoesAll_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<QString>("error");

    // One row cannot be saved: refused by a trigger, skipped by one, or its
    // ciphertext longer than the column takes (the others' are short enough).
    const QString szTrigger =
        QStringLiteral("CREATE FUNCTION obstacle() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN IF OLD.\"LastName\" = "
                       "'Failing-with-a-long-family-name' "
                       "THEN %1; END IF; RETURN NEW; END $$; CREATE TRIGGER obstacle BEFORE UPDATE ON \"PERSONALDATA\" "
                       "FOR EACH ROW EXECUTE FUNCTION obstacle()");
    QTest::newRow("refused") << szTrigger.arg("RAISE EXCEPTION 'record is read-only'") << "record is read-only";
    QTest::newRow("skipped") << szTrigger.arg("RETURN NULL") << "left the record unchanged";
    QTest::newRow("too long") << "ALTER TABLE \"PERSONALDATA\" ALTER COLUMN \"LastName\" TYPE varchar(60)"
                              << "value too long";
}

void TestPersonalData::batchFailureNamesTheRecordAndUndoesAll()
{
    QFETCH(QString, obstacle);
    QFETCH(QString, error);

    QVERIFY2(prepare(), qPrintable(m_pDb->errorText()));
    QVERIFY(m_pDb->exec(QStringLiteral("INSERT INTO \"PERSONALDATA\" (\"FirstName\", \"LastName\", \"City\", "
                                       "\"DateOfBirth\") SELECT 'First ' || n, 'Last', 'City', '1970-01-01' "
                                       "FROM generate_series(1, 300) AS n")));
    // Late in the table, after several rounds were saved.
    QStringList lstFailing = sampleRow(QStringLiteral("F"));
    lstFailing[1] = QStringLiteral("Failing-with-a-long-family-name");
    const qint64 nFailing = insertRow(lstFailing);
    QVERIFY(m_pDb->exec(QStringLiteral("INSERT INTO \"PERSONALDATA\" (\"FirstName\", \"LastName\", "
                                       "\"DateOfBirth\") SELECT 'After ' || n, 'Last', '1970-01-01' "
                                       "FROM generate_series(1, 20) AS n")));
    QVERIFY2(m_pDb->exec(obstacle), qPrintable(m_pDb->errorText()));
    const QString szCount =
        QStringLiteral("SELECT count(*) FROM \"PERSONALDATA\" WHERE starts_with(\"FirstName\", '$kiv1$')");

    DBManager::instance()->setEncryptionEnabled(false);
    QSqlDatabase db = QSqlDatabase::database();
    QVERIFY(db.transaction());
    QVERIFY(QSqlQuery(db).exec(QStringLiteral("CREATE TEMPORARY TABLE earlier AS SELECT 1 AS x")));
    PersonalDataTable table;
    QVERIFY(table.open());
    PersonalDataBatch batch;
    int nFlushes = 0;
    bool bFlushed = true;
    while (bFlushed && table.load()) {
        PersonalData record;
        record.setIdPersonalData(table.idPersonalData());
        QVERIFY(record.load());
        QCOMPARE(batch.add(record), PersonalDataBatch::Queued);
        if (batch.isFull()) {
            bFlushed = batch.flush();
            nFlushes += bFlushed ? 1 : 0;
        }
    }
    QVERIFY(!bFlushed || !batch.flush());
    QVERIFY(nFlushes >= 2);
    QCOMPARE(batch.failedId(), nFailing);
    QVERIFY2(batch.lastError().contains(error), qPrintable(batch.lastError()));

    // Inside the transaction, which is usable still: nothing of the batch,
    // the caller's earlier work intact.
    QCOMPARE(defaultScalar(szCount).toInt(), 0);
    QCOMPARE(defaultScalar(QStringLiteral("SELECT x FROM earlier")).toInt(), 1);
    QVERIFY(db.rollback());
    QCOMPARE(m_pDb->scalar(szCount).toInt(), 0);
}

void TestPersonalData::batchSkipsRowsRemovedMeanwhile()
{
    QVERIFY2(prepare(), qPrintable(m_pDb->errorText()));
    QList<qint64> lstIds;
    for (const char *szFirst : {"Anna", "Bruno", "Carla"})
        lstIds << insertRow(sampleRow(szFirst));

    DBManager::instance()->setEncryptionEnabled(false);
    QSqlDatabase db = QSqlDatabase::database();
    QVERIFY(db.transaction());
    PersonalDataTable table;
    QVERIFY(table.open());
    // Another workstation removes a row the table has read.
    QVERIFY(m_pDb->exec(QStringLiteral("DELETE FROM \"PERSONALDATA\" WHERE \"ID\" = %1").arg(lstIds.at(1))));
    PersonalDataBatch batch;
    while (table.load()) {
        PersonalData record;
        record.setIdPersonalData(table.idPersonalData());
        QVERIFY(record.load());
        QCOMPARE(batch.add(record), PersonalDataBatch::Queued);
    }
    QVERIFY2(batch.flush(), qPrintable(batch.lastError()));
    QCOMPARE(batch.takeMissingIds(), QVector<qint64>{lstIds.at(1)});
    QCOMPARE(batch.takeMissingIds(), QVector<qint64>());
    QVERIFY(db.commit());
    QCOMPARE(serverDecrypt(storedRow(lstIds.at(0)).at(0)), QStringLiteral("Anna"));
    QCOMPARE(serverDecrypt(storedRow(lstIds.at(2)).at(0)), QStringLiteral("Carla"));
}

QTEST_GUILESS_MAIN(TestPersonalData)
#include "tst_PersonalData.moc"
