#include "DBManager.h"
#include "DbUpdater.h"
#include "SchemaCatalog.h"
#include "SchemaDrift.h"
#include "TestDatabase.h"
#include "UpdaterTestDatabase.h"
#include "UpdaterTestLog.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>
#include <QtTest>

namespace {

const char *const kDataKey = "drift-test-data-key-0123456789ab";

// "kind|object|expected|found" of each difference of a list.
QStringList rows(const QList<SchemaDifference> &lstDifferences)
{
    QStringList lstRows;
    for (const SchemaDifference &diff : lstDifferences)
        lstRows << QStringList{diff.szKind, diff.szObject, diff.szExpected, diff.szFound}.join(QLatin1Char('|'));
    return lstRows;
}

// Every difference of a result, for failure messages.
QString described(const SchemaDriftResult &result)
{
    QStringList lstLines{result.summary()};
    for (const QList<SchemaDifference> *pList : {&result.missing(), &result.changed(), &result.extra()}) {
        for (const SchemaDifference &diff : *pList)
            lstLines << diff.text();
    }
    return lstLines.join(QLatin1Char('\n'));
}

QString md5(const QString &szText)
{
    return QString::fromLatin1(QCryptographicHash::hash(szText.toUtf8(), QCryptographicHash::Md5).toHex());
}

// The body of "kivVersion"() as the script of version 1.9.0 writes it.
QString versionFunctionBody()
{
    QFile file(QStringLiteral(":/SqlScript/v.01.09.00/01-09-999-kivVersion-CreateOrReplace.sql"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream stream(&file);
    const QString szText = stream.readAll();
    const QString szQuote = QStringLiteral("$BODY$");
    const int nStart = szText.indexOf(szQuote) + szQuote.size();
    return szText.mid(nStart, szText.indexOf(szQuote, nStart) - nStart);
}

} // namespace

// The drift check against databases of the test server, made from the
// initial schema by the real version steps: untouched ones show nothing,
// changed ones show each change in its list.
class TestSchemaDrift : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void untouchedDatabaseShowsNothing_data();
    void untouchedDatabaseShowsNothing();
    void changesLandInTheirList_data();
    void changesLandInTheirList();
    void realUpdateRunLeavesNoDrift_data();
    void realUpdateRunLeavesNoDrift();
    void sessionSearchPathChangesNothing_data();
    void sessionSearchPathChangesNothing();
    void unknownVersionComparesNothing_data();
    void unknownVersionComparesNothing();
    void noConnectionIsNeverOpened();
    void canonicalTextRoundTrip_data();
    void canonicalTextRoundTrip();
    void malformedTextIsRefused_data();
    void malformedTextIsRefused();

private:
    UpdaterTestDatabase m_db;
    UpdaterTestLog m_log;
    QString m_szBase;
};

void TestSchemaDrift::initTestCase()
{
    if (!UpdaterTestDatabase::isConfigured())
        QSKIP("KIV_TEST_PG* not set: start scripts/pgserver.sh and source its env.sh");
    QVERIFY(m_log.open(false));
    DBManager::instance()->enableEncryption(TestDatabase::caFile(), QString::fromLatin1(kDataKey));
    QVERIFY2(m_db.prepare(QStringLiteral("drifttest")), qPrintable(m_db.lastError()));

    // A database at 1.9.0, copied for each change.
    QVERIFY2(m_db.createAndOpen(QStringLiteral("base")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(QStringLiteral("1.9.0")), qPrintable(m_db.lastError()));
    m_szBase = m_db.currentName();
    DBManager::instance()->closeDatabase();
}

void TestSchemaDrift::cleanupTestCase()
{
    m_db.release();
    m_log.close();
}

void TestSchemaDrift::untouchedDatabaseShowsNothing_data()
{
    QTest::addColumn<QString>("version");
    for (const QString &szVersion : UpdaterTestDatabase::knownVersions())
        QTest::newRow(qPrintable(szVersion)) << szVersion;
}

void TestSchemaDrift::untouchedDatabaseShowsNothing()
{
    QFETCH(QString, version);

    // One database taken forward from row to row; made afresh when it is
    // not open or already past the version.
    const QStringList lstVersions = UpdaterTestDatabase::knownVersions();
    if (m_db.currentName() != m_db.prefixed(QStringLiteral("chain")) || !DBManager::instance()->isDatabaseOpen() ||
        lstVersions.indexOf(m_db.version()) > lstVersions.indexOf(version))
        QVERIFY2(m_db.createAndOpen(QStringLiteral("chain")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(version), qPrintable(m_db.lastError()));

    const SchemaDriftResult result = SchemaDrift::check(version);
    QVERIFY2(result.isCompared(), qPrintable(result.errorText()));
    QCOMPARE(result.version(), version);
    QVERIFY2(result.missing().isEmpty() && result.changed().isEmpty() && result.extra().isEmpty(),
             qPrintable(described(result)));
    QVERIFY(!result.hasDrift());
}

void TestSchemaDrift::changesLandInTheirList_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("missing");
    QTest::addColumn<QStringList>("changed");
    QTest::addColumn<QStringList>("extra");

    const QString szFunction = QStringLiteral("function|\"kivVersion\"()|RETURNS text LANGUAGE plpgsql %1 COST 100 "
                                              "BODY md5 %2|RETURNS text LANGUAGE plpgsql %3 COST 100 BODY md5 %4");
    const QString szBody = versionFunctionBody();

    QTest::newRow("column dropped") << "ALTER TABLE \"USERS\" DROP COLUMN \"TextHeader\""
                                    << QStringList{"column|\"USERS\".\"TextHeader\"|text|"} << QStringList()
                                    << QStringList();
    QTest::newRow("default changed")
        << "ALTER TABLE \"USERS\" ALTER COLUMN \"PasswordTermTime\" SET DEFAULT 90" << QStringList()
        << QStringList{"column|\"USERS\".\"PasswordTermTime\"|integer DEFAULT 1 NOT NULL|integer DEFAULT 90 NOT NULL"}
        << QStringList();
    QTest::newRow("not null dropped")
        << "ALTER TABLE patients ALTER COLUMN scheduled DROP NOT NULL" << QStringList()
        << QStringList{"column|patients.scheduled|boolean DEFAULT false NOT NULL|boolean DEFAULT false"}
        << QStringList();
    QTest::newRow("type changed") << "ALTER TABLE \"acqLog\" ALTER COLUMN dap TYPE numeric(18,6)" << QStringList()
                                  << QStringList{"column|\"acqLog\".dap|double precision DEFAULT 0|numeric(18,6) "
                                                 "DEFAULT 0"}
                                  << QStringList();
    QTest::newRow("function body replaced")
        << "CREATE OR REPLACE FUNCTION \"kivVersion\"() RETURNS text AS $$BEGIN RETURN '1.9.0'; END$$ LANGUAGE plpgsql"
        << QStringList()
        << QStringList{szFunction.arg(QStringLiteral("VOLATILE"), md5(szBody), QStringLiteral("VOLATILE"))
                           .arg(md5(QStringLiteral("BEGIN RETURN '1.9.0'; END")))}
        << QStringList();
    QTest::newRow("function made stable")
        << "ALTER FUNCTION \"kivVersion\"() STABLE" << QStringList()
        << QStringList{szFunction.arg(QStringLiteral("VOLATILE"), md5(szBody), QStringLiteral("STABLE"), md5(szBody))}
        << QStringList();
    QTest::newRow("index dropped") << "DROP INDEX \"CALHUVALIDITYPARAMS_Auto_Increment_Key\""
                                   << QStringList{"index|\"CALHUVALIDITYPARAMS\".\"CALHUVALIDITYPARAMS_Auto_Increment_"
                                                  "Key\"|CREATE INDEX \"CALHUVALIDITYPARAMS_Auto_Increment_Key\" ON "
                                                  "public.\"CALHUVALIDITYPARAMS\" USING btree (\"ID\")|"}
                                   << QStringList() << QStringList();
    QTest::newRow("foreign key dropped")
        << "ALTER TABLE \"USERS\" DROP CONSTRAINT \"FK_USERS_PROFILES\""
        << QStringList{"constraint|\"USERS\".\"FK_USERS_PROFILES\"|FOREIGN KEY (\"IdProfile\") REFERENCES "
                       "\"PROFILES\"(\"ID\")|"}
        << QStringList() << QStringList();
    QTest::newRow("foreign key action changed")
        << "ALTER TABLE \"dcmAbstractSyntax\" DROP CONSTRAINT \"dcmAbstractSyntax_IdTransferSyntax_fkey\", "
           "ADD CONSTRAINT \"dcmAbstractSyntax_IdTransferSyntax_fkey\" FOREIGN KEY (\"IdTransferSyntax\") "
           "REFERENCES \"dcmTransferSyntax\"(id) ON DELETE CASCADE"
        << QStringList()
        << QStringList{"constraint|\"dcmAbstractSyntax\".\"dcmAbstractSyntax_IdTransferSyntax_fkey\"|FOREIGN KEY "
                       "(\"IdTransferSyntax\") REFERENCES \"dcmTransferSyntax\"(id)|FOREIGN KEY (\"IdTransferSyntax\") "
                       "REFERENCES \"dcmTransferSyntax\"(id) ON DELETE CASCADE"}
        << QStringList();
    // The table alone, not each of its columns and keys; its sequence went
    // with it.
    QTest::newRow("table dropped") << "DROP TABLE \"acqLog\""
                                   << QStringList{"table|\"acqLog\"||",
                                                  "sequence|\"acqLog_id_seq\"|AS integer START 1 INCREMENT 1 MINVALUE "
                                                  "1 MAXVALUE 2147483647 CACHE 1 OWNED BY \"acqLog\".id|"}
                                   << QStringList() << QStringList();
    QTest::newRow("extension dropped") << "DROP EXTENSION pgcrypto" << QStringList{"extension|pgcrypto||"}
                                       << QStringList() << QStringList();
    QTest::newRow("table added") << "CREATE TABLE notes_backup (id integer PRIMARY KEY, note text NOT NULL)"
                                 << QStringList() << QStringList() << QStringList{"table|notes_backup||"};
    QTest::newRow("index added") << "CREATE INDEX patients_code ON patients (patient_code)" << QStringList()
                                 << QStringList()
                                 << QStringList{"index|patients.patients_code||CREATE INDEX patients_code ON "
                                                "public.patients USING btree (patient_code)"};
    QTest::newRow("function added") << "CREATE FUNCTION clinic_count(integer) RETURNS bigint LANGUAGE sql STABLE "
                                       "AS 'SELECT count(*) FROM patients WHERE id_user = $1'"
                                    << QStringList() << QStringList()
                                    << QStringList{"function|clinic_count(integer)||RETURNS bigint LANGUAGE sql STABLE "
                                                   "COST 100 BODY md5 " +
                                                   md5(QStringLiteral("SELECT count(*) FROM patients WHERE id_user = "
                                                                      "$1"))};
    QTest::newRow("name to quote") << "ALTER TABLE \"USERS\" ADD COLUMN \"Note \"\"A.B\"\"\" text" << QStringList()
                                   << QStringList() << QStringList{"column|\"USERS\".\"Note \"\"A.B\"\"\"||text"};
}

void TestSchemaDrift::changesLandInTheirList()
{
    QFETCH(QString, change);
    QFETCH(QStringList, missing);
    QFETCH(QStringList, changed);
    QFETCH(QStringList, extra);

    QVERIFY2(m_db.openCopy(m_szBase, QStringLiteral("changed")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.exec(change), qPrintable(m_db.lastError()));

    const SchemaDriftResult result = SchemaDrift::check(QStringLiteral("1.9.0"));
    QVERIFY2(result.isCompared(), qPrintable(result.errorText()));
    QCOMPARE(rows(result.missing()), missing);
    QCOMPARE(rows(result.changed()), changed);
    QCOMPARE(rows(result.extra()), extra);
    // Extra objects are not drift.
    QCOMPARE(result.hasDrift(), !missing.isEmpty() || !changed.isEmpty());
}

void TestSchemaDrift::realUpdateRunLeavesNoDrift_data()
{
    QTest::addColumn<QString>("start");
    QTest::newRow("from 1.0.0") << "1.0.0";
    QTest::newRow("from 1.4.0") << "1.4.0";
    QTest::newRow("from 1.8.0") << "1.8.0";
}

void TestSchemaDrift::realUpdateRunLeavesNoDrift()
{
    QFETCH(QString, start);

    QVERIFY2(m_db.createAndOpen(QStringLiteral("run")), qPrintable(m_db.lastError()));
    QVERIFY2(m_db.bringTo(start), qPrintable(m_db.lastError()));
    // A clinic's data, which the personal-data pass encrypts.
    QVERIFY(m_db.exec(QStringLiteral(
        "INSERT INTO \"PERSONALDATA\" (\"FirstName\", \"LastName\", \"DateOfBirth\", \"Address\", \"PostalCode\", "
        "\"City\", \"StateRegion\", \"Country\") SELECT 'First ' || n, 'Last ' || n, '1970-01-01', 'Street', '1', "
        "'City', 'Region', 'Country' FROM generate_series(1, 20) AS n")));

    DbUpdater updater;
    bool bCompleted = false;
    connect(&updater, &DbUpdater::updateCompleted, this, [&bCompleted](bool bResult) { bCompleted = bResult; });
    updater.setCurrentVersion(start);
    QVERIFY(updater.updateDatabase());
    QVERIFY(bCompleted);
    QCOMPARE(m_db.version(), QStringLiteral("1.9.0"));
    // The database library saved its default parameters.
    QCOMPARE(m_db.scalar(QStringLiteral("SELECT count(*) FROM \"CALIBRATIONVALIDITY\"")).toInt(), 2);

    const SchemaDriftResult result = SchemaDrift::check(QStringLiteral("1.9.0"));
    QVERIFY2(result.isCompared(), qPrintable(result.errorText()));
    QVERIFY2(result.missing().isEmpty() && result.changed().isEmpty() && result.extra().isEmpty(),
             qPrintable(described(result)));
}

void TestSchemaDrift::sessionSearchPathChangesNothing_data()
{
    QTest::addColumn<QString>("searchPath");
    QTest::newRow("catalog only") << "pg_catalog";
    QTest::newRow("server default") << "\"$user\", public";
    QTest::newRow("other schema first") << "information_schema, public";
}

void TestSchemaDrift::sessionSearchPathChangesNothing()
{
    QFETCH(QString, searchPath);

    QVERIFY2(m_db.openCopy(m_szBase, QStringLiteral("path")), qPrintable(m_db.lastError()));
    QVERIFY(m_db.exec(QStringLiteral("SET search_path = %1").arg(searchPath)));

    const SchemaDriftResult result = SchemaDrift::check(QStringLiteral("1.9.0"));
    QVERIFY2(result.isCompared(), qPrintable(result.errorText()));
    QVERIFY2(result.missing().isEmpty() && result.changed().isEmpty() && result.extra().isEmpty(),
             qPrintable(described(result)));
    // The session has its own search path back.
    QCOMPARE(m_db.scalar(QStringLiteral("SELECT current_setting('search_path')")).toString(), searchPath);
}

void TestSchemaDrift::unknownVersionComparesNothing_data()
{
    QTest::addColumn<QString>("version");
    QTest::newRow("newer") << "2.0.0";
    QTest::newRow("unreleased") << "1.8.5";
    QTest::newRow("short form") << "1.9";
    QTest::newRow("blank after") << "1.9.0 ";
    QTest::newRow("path") << "../SqlScript/pelq.sql";
    QTest::newRow("empty") << "";
}

void TestSchemaDrift::unknownVersionComparesNothing()
{
    QFETCH(QString, version);

    QVERIFY2(m_db.openCopy(m_szBase, QStringLiteral("unknown")), qPrintable(m_db.lastError()));
    const SchemaDriftResult result = SchemaDrift::check(version);
    QCOMPARE(result.status(), SchemaDriftResult::UnknownVersion);
    QVERIFY(!result.isKnownVersion());
    QVERIFY(!result.isCompared());
    QVERIFY(!result.hasDrift());
    QVERIFY(result.missing().isEmpty() && result.changed().isEmpty() && result.extra().isEmpty());
    QCOMPARE(result.version(), version);
    QVERIFY2(result.errorText().contains(version.isEmpty() ? QStringLiteral("no version") : version),
             qPrintable(result.errorText()));
    QCOMPARE(result.summary(), result.errorText());
}

// The check works on the connection there is: without one it fails and
// leaves it closed, so that nothing reopens a connection behind an update.
void TestSchemaDrift::noConnectionIsNeverOpened()
{
    QVERIFY2(m_db.openCopy(m_szBase, QStringLiteral("closed")), qPrintable(m_db.lastError()));
    DBManager::instance()->closeDatabase();

    const SchemaDriftResult result = SchemaDrift::check(QStringLiteral("1.9.0"));
    QCOMPARE(result.status(), SchemaDriftResult::Failed);
    QVERIFY(result.isKnownVersion());
    QVERIFY(!result.hasDrift());
    QCOMPARE(result.errorText(),
             QStringLiteral("Unable to read the schema of the database: No open connection to the database."));
    QVERIFY(!DBManager::instance()->isDatabaseOpen());
}

// Known lines of the canonical text and the object each stands for.
void TestSchemaDrift::canonicalTextRoundTrip_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("definition");
    QTest::newRow("plain") << "column\t\"USERS\".\"Level\"\tinteger NOT NULL"
                           << "\"USERS\".\"Level\""
                           << "integer NOT NULL";
    QTest::newRow("empty definition") << "table\t\"USERS\"\t"
                                      << "\"USERS\""
                                      << "";
    QTest::newRow("tab and line breaks") << "column\t\"a\\tb\".c\tDEFAULT 'x\\ny\\r\\n'::text"
                                         << "\"a\tb\".c"
                                         << "DEFAULT 'x\ny\r\n'::text";
    QTest::newRow("backslashes") << "column\t\"c\\\\d\".e\tDEFAULT '\\\\t is no tab'::text \\\\"
                                 << "\"c\\d\".e"
                                 << "DEFAULT '\\t is no tab'::text \\";
    QTest::newRow("hash and non-ASCII") << "column\t\"#Änderung\".x\ttext COLLATE \"de-x-icu\""
                                        << "\"#Änderung\".x"
                                        << "text COLLATE \"de-x-icu\"";
}

void TestSchemaDrift::canonicalTextRoundTrip()
{
    QFETCH(QString, line);
    QFETCH(QString, name);
    QFETCH(QString, definition);

    SchemaCatalog catalog;
    QVERIFY2(catalog.parse(QStringLiteral("# comment\n\n") + line + QLatin1Char('\n')),
             qPrintable(catalog.errorText()));
    QCOMPARE(catalog.objects().size(), 1);
    QCOMPARE(catalog.objects().first().szName, name);
    QCOMPARE(catalog.objects().first().szDefinition, definition);
    // Written back as the same single line, after the comment lines.
    QCOMPARE(catalog.toText(QStringLiteral("two\nlines")), QStringLiteral("# two\n# lines\n") + line + '\n');
}

void TestSchemaDrift::malformedTextIsRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::newRow("two fields") << "table\t\"USERS\"\t\ncolumn\t\"USERS\".\"ID\"" << 2;
    QTest::newRow("four fields") << "# head\ncolumn\ta\tb\tc" << 2;
    QTest::newRow("unknown escape") << "column\ta\\x\tb" << 1;
    QTest::newRow("backslash at the end") << "column\ta\tb\\" << 1;
    QTest::newRow("no name") << "column\t\ttext" << 1;
}

void TestSchemaDrift::malformedTextIsRefused()
{
    QFETCH(QString, text);
    QFETCH(int, line);

    SchemaCatalog catalog;
    QVERIFY(catalog.parse(QStringLiteral("table\tx\t")));
    QVERIFY(!catalog.parse(text));
    QVERIFY(catalog.objects().isEmpty());
    QVERIFY2(catalog.errorText().startsWith(QStringLiteral("line %1 ").arg(line)), qPrintable(catalog.errorText()));
}

QTEST_MAIN(TestSchemaDrift)

#include "tst_SchemaDrift.moc"
