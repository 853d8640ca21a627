#include "ExpectedScripts.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

// Loads the initial schema into scratch databases of the private test server,
// connected as the service role (the database owner, not a superuser), runs
// the upgrade scripts over it and looks at what the schema text of each
// version (tst_SchemaExpectations, against updater/SqlScript/expected) does
// not show: the rows the scripts insert, the owner of every object, the rights
// on schema public, and the version each step reports.
namespace {
const char *const kMaintenanceConnection = "sqlscript-maintenance";

QString sorted(QStringList list)
{
    list.sort();
    return list.join(QLatin1Char('\n'));
}

// Every row of the query's first column; a failing query gives one line with
// its error, so that comparisons show it.
QStringList firstColumn(const QSqlDatabase &db, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery query(db);
    bool ok = true;
    if (values.isEmpty()) {
        ok = query.exec(sql);
    } else {
        ok = query.prepare(sql);
        for (const QVariant &value : values)
            query.addBindValue(value);
        ok = ok && query.exec();
    }
    if (!ok)
        return {QStringLiteral("query failed: ") + query.lastError().text()};
    QStringList rows;
    while (query.next())
        rows << query.value(0).toString();
    return rows;
}

QString singleValue(const QSqlDatabase &db, const QString &sql)
{
    return firstColumn(db, sql).join(QLatin1Char('\n'));
}

// One execution of one text, as the updater sends a script. QPSQL reports
// only the first statement's result from exec(); the results of the later
// statements are walked with nextResult(), which stops at a failed one and
// leaves its error behind.
bool executeText(const QSqlDatabase &db, const QString &text, QString *error)
{
    QSqlQuery query(db);
    bool ok = query.exec(text);
    while (ok && query.nextResult()) {
    }
    if (!ok || query.lastError().isValid()) {
        *error = query.lastError().text();
        return false;
    }
    return true;
}

QStringList tablesOf(const QSqlDatabase &db)
{
    return firstColumn(db,
                       QStringLiteral("SELECT relname FROM pg_class"
                                      " WHERE relnamespace = 'public'::regnamespace AND relkind = 'r'"));
}
} // namespace

class TestSqlScriptDatabase : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void laterFailingStatementIsDetected();
    void initialSchemaReportsFirstVersion();
    void initialSchemaIsEmptyAndOwnedByServiceRole();
    void schemaPublicIsReservedToServiceRole();
    void upgradedRows_data();
    void upgradedRows();
    void upgradeKeepsAnExistingDefaultProfile();
    void upgradedSchemaIsOwnedByServiceRole();

private:
    QString createDatabase(const QString &suffix, QString *error);
    bool loadInitialSchema(const QSqlDatabase &db, QString *error);
    bool runUpgradeChain(const QSqlDatabase &db, QString *error);
    QSqlDatabase database(const QString &name) const;
    QSqlDatabase upgradedDatabase();

    QStringList m_created;
    QString m_initial;
    QString m_upgraded;
    QString m_upgradeError;
};

QSqlDatabase TestSqlScriptDatabase::database(const QString &name) const
{
    return QSqlDatabase::database(name);
}

// Creates a fresh database owned by the service role and opens a connection
// named after it; returns the name, or an empty text with the error.
QString TestSqlScriptDatabase::createDatabase(const QString &suffix, QString *error)
{
    const QString name = QStringLiteral("kivsql_%1_%2").arg(QCoreApplication::applicationPid()).arg(suffix);
    QSqlDatabase maintenance = QSqlDatabase::database(QLatin1String(kMaintenanceConnection));
    if (!executeText(maintenance, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name), error) ||
        !executeText(maintenance, QStringLiteral("CREATE DATABASE %1").arg(name), error))
        return QString();
    m_created << name;

    QSqlDatabase db = QSqlDatabase::cloneDatabase(maintenance, name);
    db.setDatabaseName(name);
    if (!db.open()) {
        *error = db.lastError().text();
        return QString();
    }
    return name;
}

bool TestSqlScriptDatabase::loadInitialSchema(const QSqlDatabase &db, QString *error)
{
    const QString text = readScriptText(initialSchemaPath());
    if (text.isEmpty()) {
        *error = QStringLiteral("cannot read ") + initialSchemaPath();
        return false;
    }
    return executeText(db, text, error);
}

// Runs every upgrade script in the updater's order, leaving out the default
// profile's script when "PROFILES" already has ID 1, and checks after each
// step that the database reports that step's version.
bool TestSqlScriptDatabase::runUpgradeChain(const QSqlDatabase &db, QString *error)
{
    for (const ExpectedStep &step : expectedSteps()) {
        const bool profileExists =
            !firstColumn(db, QStringLiteral("SELECT \"ID\" FROM \"PROFILES\" WHERE (\"ID\" = 1)")).isEmpty();
        for (const QString &script : step.scripts) {
            if (script == defaultProfileScript() && profileExists)
                continue;
            const QString path = scriptPath(step, script);
            const QString text = readScriptText(path);
            if (text.isEmpty()) {
                *error = QStringLiteral("cannot read ") + path;
                return false;
            }
            if (!executeText(db, text, error)) {
                *error = path + QStringLiteral(": ") + *error;
                return false;
            }
        }
        const QString version = singleValue(db, QStringLiteral("SELECT \"kivVersion\"()"));
        if (version != step.version) {
            *error = QStringLiteral("after %1 the database reports %2").arg(step.directory, version);
            return false;
        }
    }
    return true;
}

// The database after the whole chain, built on first use.
QSqlDatabase TestSqlScriptDatabase::upgradedDatabase()
{
    if (m_upgraded.isEmpty() && m_upgradeError.isEmpty()) {
        QString error;
        const QString name = createDatabase(QStringLiteral("upgraded"), &error);
        if (name.isEmpty() || !loadInitialSchema(database(name), &error) || !runUpgradeChain(database(name), &error))
            m_upgradeError = error.isEmpty() ? QStringLiteral("unknown failure") : error;
        else
            m_upgraded = name;
    }
    return m_upgraded.isEmpty() ? QSqlDatabase() : database(m_upgraded);
}

void TestSqlScriptDatabase::initTestCase()
{
    Q_INIT_RESOURCE(SqlScript);

    const QByteArray host = qgetenv("KIV_TEST_PGHOST");
    if (host.isEmpty())
        QSKIP("KIV_TEST_PG* not set: start scripts/pgserver.sh and source its env.sh");
    QVERIFY(QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")));

    QSqlDatabase maintenance =
        QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QLatin1String(kMaintenanceConnection));
    maintenance.setHostName(QString::fromLocal8Bit(host));
    maintenance.setPort(qEnvironmentVariableIntValue("KIV_TEST_PGPORT"));
    maintenance.setUserName(qEnvironmentVariable("KIV_TEST_PGUSER"));
    maintenance.setPassword(qEnvironmentVariable("KIV_TEST_PGPASSWORD"));
    maintenance.setDatabaseName(QStringLiteral("postgres"));
    QVERIFY2(maintenance.open(), qPrintable(maintenance.lastError().text()));
    // The schema must load with the rights of a database owner alone.
    QCOMPARE(singleValue(maintenance, QStringLiteral("SELECT rolsuper FROM pg_roles WHERE rolname = current_user")),
             QStringLiteral("false"));

    QString error;
    m_initial = createDatabase(QStringLiteral("initial"), &error);
    QVERIFY2(!m_initial.isEmpty(), qPrintable(error));
    QVERIFY2(loadInitialSchema(database(m_initial), &error), qPrintable(error));
}

void TestSqlScriptDatabase::cleanupTestCase()
{
    const QStringList names = m_created;
    for (const QString &name : names) {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
    if (!QSqlDatabase::contains(QLatin1String(kMaintenanceConnection)))
        return;
    {
        QSqlDatabase maintenance = QSqlDatabase::database(QLatin1String(kMaintenanceConnection));
        for (const QString &name : names) {
            QString error;
            if (!executeText(maintenance, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name), &error))
                qWarning("cannot drop %s: %s", qPrintable(name), qPrintable(error));
        }
        maintenance.close();
    }
    QSqlDatabase::removeDatabase(QLatin1String(kMaintenanceConnection));
}

// The checks of this test rely on a failing statement being reported even when
// it is not the first statement of the text.
void TestSqlScriptDatabase::laterFailingStatementIsDetected()
{
    QString error;
    QVERIFY(executeText(database(m_initial), QStringLiteral("SELECT 1; SELECT 2;"), &error));
    QVERIFY(!executeText(
        database(m_initial), QStringLiteral("SELECT 1; SELECT * FROM \"NOSUCHTABLE\"; SELECT 3;"), &error));
    QVERIFY2(error.contains(QLatin1String("NOSUCHTABLE")), qPrintable(error));
    QVERIFY(
        !executeText(database(m_initial),
                     QStringLiteral("CREATE TABLE kiv_probe (x integer);\nALTER TABLE kiv_probe ADD COLUMN x integer;"),
                     &error));
    // The text ran as one implicit transaction: the first statement is undone.
    QCOMPARE(singleValue(database(m_initial), QStringLiteral("SELECT to_regclass('kiv_probe') IS NULL")),
             QStringLiteral("true"));
}

void TestSqlScriptDatabase::initialSchemaReportsFirstVersion()
{
    const QSqlDatabase db = database(m_initial);
    QCOMPARE(singleValue(db, QStringLiteral("SELECT \"kivVersion\"()")), QStringLiteral("1.0.0"));
    QCOMPARE(singleValue(db,
                         QStringLiteral("SELECT l.lanname || ' ' || p.provolatile::text || ' ' || p.procost"
                                        " FROM pg_proc p JOIN pg_language l ON l.oid = p.prolang"
                                        " WHERE p.proname = 'kivVersion'")),
             QStringLiteral("plpgsql v 100"));
}

void TestSqlScriptDatabase::initialSchemaIsEmptyAndOwnedByServiceRole()
{
    const QSqlDatabase db = database(m_initial);
    const QStringList tables = tablesOf(db);
    QCOMPARE(tables.size(), 38);
    for (const QString &table : tables) {
        QCOMPARE(singleValue(db, QStringLiteral("SELECT count(*) FROM public.\"%1\"").arg(table)), QStringLiteral("0"));
    }
    QCOMPARE(firstColumn(db,
                         QStringLiteral("SELECT relname || ' ' || relowner::regrole FROM pg_class"
                                        " WHERE relnamespace = 'public'::regnamespace"
                                        " AND relowner <> 'marlek'::regrole")),
             QStringList());
    // tables, sequences, primary key indexes, other indexes
    QCOMPARE(singleValue(db,
                         QStringLiteral("SELECT count(*) FROM pg_class WHERE relnamespace = 'public'::regnamespace"
                                        " AND relowner = 'marlek'::regrole")),
             QString::number(38 + 32 + 31 + 5));
    QCOMPARE(firstColumn(db,
                         QStringLiteral("SELECT proname || ' ' || proowner::regrole FROM pg_proc"
                                        " WHERE pronamespace = 'public'::regnamespace")),
             QStringList{"kivVersion marlek"});
}

// Nobody but the service role may use or create objects in schema public.
void TestSqlScriptDatabase::schemaPublicIsReservedToServiceRole()
{
    const QSqlDatabase db = database(m_initial);
    QCOMPARE(sorted(firstColumn(db,
                                QStringLiteral("SELECT CASE WHEN a.grantee = 0 THEN 'PUBLIC'"
                                               " ELSE a.grantee::regrole::text END || ' ' || a.privilege_type"
                                               " FROM pg_namespace n, aclexplode(n.nspacl) a"
                                               " WHERE n.nspname = 'public'"
                                               " AND a.grantee <> 'pg_database_owner'::regrole"))),
             sorted({"marlek CREATE", "marlek USAGE"}));
}

// What the scripts leave in the tables after the whole chain, and what of
// the extension and the version function only a query shows.
void TestSqlScriptDatabase::upgradedRows_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("version") << "SELECT \"kivVersion\"()" << QStringList{"1.9.0"};
    QTest::newRow("version function") << "SELECT l.lanname || ' ' || p.provolatile::text || ' ' || p.procost"
                                         " FROM pg_proc p JOIN pg_language l ON l.oid = p.prolang"
                                         " WHERE p.proname = 'kivVersion'"
                                      << QStringList{"plpgsql v 100"};
    QTest::newRow("default profile") << "SELECT format('%s|%s', \"ID\", \"IdDescription\") FROM \"PROFILES\""
                                     << QStringList{"1|1"};
    QTest::newRow("default personal data")
        << "SELECT concat_ws('|', \"FirstName\", \"LastName\", coalesce(\"Title\", 'NULL'),"
           " \"IdGender\", \"DateOfBirth\", quote_literal(\"Address\"),"
           " quote_literal(\"PostalCode\"), quote_literal(\"City\"),"
           " quote_literal(\"StateRegion\"), quote_literal(\"Country\"),"
           " quote_literal(\"Telephone\"), quote_literal(\"Mobile\"),"
           " quote_literal(\"eMail\"), \"IdNote\", \"IdImage\","
           " coalesce(guid, 'NULL'), coalesce(\"NationalNumber\", 'NULL'))"
           " FROM \"PERSONALDATA\""
        << QStringList{"DefaultFirstName|DefaultLastName|NULL|1|2000-01-01 00:00:00|' '|' '|' '|' '|' '|' '|' '|' '"
                       "|0|0|NULL|NULL"};
    // user, level, profile, on the default personal data, deleted, term, remind, password length
    QTest::newRow("default users") << "SELECT format('%s|%s|%s|%s|%s|%s|%s|%s', \"UserName\", \"Level\","
                                      " \"IdProfile\", \"IdPersonalData\" = (SELECT \"ID\" FROM \"PERSONALDATA\"),"
                                      " deleted, \"PasswordTermTime\", \"PasswordChangeRemindMe\","
                                      " char_length(\"Password\"))"
                                      " FROM \"USERS\" ORDER BY \"ID\""
                                   << QStringList{"marlek|10|1|t|f|1|t|10", "administrator|9|1|t|f|1|t|13"};
    QTest::newRow("transfer syntaxes") << "SELECT concat_ws('|', id, \"UID\", name, deleted)"
                                          " FROM \"dcmTransferSyntax\" ORDER BY id"
                                       << QStringList{"1|1.2.840.10008.1.2.1|Explicit VR Little Endian|f",
                                                      "2|1.2.840.10008.1.2.2|Explicit VR Big Endian|f",
                                                      "3|1.2.840.10008.1.2|Implicit VR Little Endian|f",
                                                      "4|1.2.840.10008.1.2.4.57|JPEG Lossless|f",
                                                      "5|1.2.840.10008.1.2.4.70|JPEG Lossless SV1|f",
                                                      "6|1.2.840.10008.1.2.5|RLE Lossless|f"};
    QTest::newRow("abstract syntaxes") << "SELECT concat_ws('|', \"UID\", \"IdTransferSyntax\")"
                                          " FROM \"dcmAbstractSyntax\" ORDER BY 1"
                                       << QStringList{"default|1", "default|2", "default|3"};
    // No table but those five received rows.
    QTest::newRow("other tables empty")
        << "SELECT c.relname FROM pg_class c WHERE c.relnamespace = 'public'::regnamespace AND c.relkind = 'r'"
           " AND c.relname NOT IN ('PERSONALDATA', 'PROFILES', 'USERS', 'dcmTransferSyntax', 'dcmAbstractSyntax')"
           " AND (xpath('/row/n/text()', query_to_xml(format('SELECT count(*) AS n FROM public.%I', c.relname),"
           " false, true, '')))[1]::text::bigint <> 0"
        << QStringList();
    // The cryptographic functions are there for the encrypted personal data.
    QTest::newRow("pgcrypto owner") << "SELECT extowner::regrole FROM pg_extension WHERE extname = 'pgcrypto'"
                                    << QStringList{"marlek"};
    QTest::newRow("pgcrypto works") << "SELECT encode(digest('abc', 'sha1'), 'hex')"
                                    << QStringList{"a9993e364706816aba3e25717850c26c9cd0d89d"};
}

void TestSqlScriptDatabase::upgradedRows()
{
    QFETCH(QString, query);
    QFETCH(QStringList, rows);

    const QSqlDatabase db = upgradedDatabase();
    QVERIFY2(db.isValid(), qPrintable(m_upgradeError));
    QCOMPARE(firstColumn(db, query), rows);
}

// A default profile made by hand before the suite made it stays as it is,
// and the default users are made all the same.
void TestSqlScriptDatabase::upgradeKeepsAnExistingDefaultProfile()
{
    QString error;
    const QString name = createDatabase(QStringLiteral("profile"), &error);
    QVERIFY2(!name.isEmpty(), qPrintable(error));
    const QSqlDatabase db = database(name);
    QVERIFY2(loadInitialSchema(db, &error), qPrintable(error));
    QVERIFY2(
        executeText(db, QStringLiteral("INSERT INTO \"PROFILES\" (\"ID\", \"IdDescription\") VALUES (1, 7)"), &error),
        qPrintable(error));
    QVERIFY2(runUpgradeChain(db, &error), qPrintable(error));

    QCOMPARE(singleValue(db, QStringLiteral("SELECT \"kivVersion\"()")), QStringLiteral("1.9.0"));
    QCOMPARE(firstColumn(db, QStringLiteral("SELECT format('%s|%s', \"ID\", \"IdDescription\") FROM \"PROFILES\"")),
             QStringList{"1|7"});
    QCOMPARE(
        firstColumn(
            db, QStringLiteral("SELECT format('%s|%s', \"UserName\", \"IdProfile\") FROM \"USERS\" ORDER BY \"ID\"")),
        (QStringList{"marlek|1", "administrator|1"}));
}

void TestSqlScriptDatabase::upgradedSchemaIsOwnedByServiceRole()
{
    const QSqlDatabase db = upgradedDatabase();
    QVERIFY2(db.isValid(), qPrintable(m_upgradeError));
    QCOMPARE(firstColumn(db,
                         QStringLiteral("SELECT relname || ' ' || relowner::regrole FROM pg_class"
                                        " WHERE relnamespace = 'public'::regnamespace"
                                        " AND relowner <> 'marlek'::regrole")),
             QStringList());
    QCOMPARE(singleValue(db, QStringLiteral("SELECT proowner::regrole FROM pg_proc WHERE proname = 'kivVersion'")),
             QStringLiteral("marlek"));
}

QTEST_GUILESS_MAIN(TestSqlScriptDatabase)

#include "tst_SqlScriptDatabase.moc"
