#include "ExpectedScripts.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QTextCodec>
#include <QtTest>

namespace {
const QByteArray kUtf8Bom("\xEF\xBB\xBF");

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// "v.01.04.02" -> "1.4.2"
QString versionOfDirectory(const QString &directory)
{
    const QStringList parts = directory.mid(2).split(QLatin1Char('.'));
    QStringList numbers;
    for (const QString &part : parts)
        numbers << QString::number(part.toInt());
    return numbers.join(QLatin1Char('.'));
}
} // namespace

class TestSqlScriptFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void resourceTreeHoldsExactlyTheScripts();
    void fileForm_data();
    void fileForm();
    void namesFollowTheirDirectory_data();
    void namesFollowTheirDirectory();
    void versionScriptReturnsItsVersion_data();
    void versionScriptReturnsItsVersion();
    void lastStatementMayLackItsSemicolon();
    void newTablesAreOwnedByServiceRole_data();
    void newTablesAreOwnedByServiceRole();
    void initialSchemaIsSchemaOnlyDump();
};

void TestSqlScriptFiles::initTestCase()
{
    Q_INIT_RESOURCE(SqlScript);
}

void TestSqlScriptFiles::resourceTreeHoldsExactlyTheScripts()
{
    QStringList expected{initialSchemaPath()};
    for (const ExpectedStep &step : expectedSteps()) {
        for (const QString &script : step.scripts)
            expected << scriptPath(step, script);
    }
    expected.sort();

    QStringList actual;
    QDirIterator it(QStringLiteral(":/SqlScript"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        actual << it.next();
    actual.sort();

    QCOMPARE(actual, expected);
}

void TestSqlScriptFiles::fileForm_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("withBom");

    QTest::newRow("pelq.sql") << initialSchemaPath() << false;
    for (const ExpectedStep &step : expectedSteps()) {
        for (const QString &script : step.scripts) {
            const QString path = scriptPath(step, script);
            QTest::newRow(qPrintable(path.mid(12))) << path << true;
        }
    }
}

// Upgrade scripts are UTF-8 with a byte-order mark, the initial schema without
// one; every file has LF line ends only. The updater reads them through a
// QTextStream, which must drop the mark and leave non-empty SQL.
void TestSqlScriptFiles::fileForm()
{
    QFETCH(QString, path);
    QFETCH(bool, withBom);

    const QByteArray bytes = readBytes(path);
    QVERIFY2(!bytes.isEmpty(), qPrintable(path));
    QCOMPARE(bytes.startsWith(kUtf8Bom), withBom);
    QCOMPARE(bytes.count(kUtf8Bom), withBom ? 1 : 0);
    QVERIFY(!bytes.contains('\r'));

    const QByteArray body = withBom ? bytes.mid(kUtf8Bom.size()) : bytes;
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    const QString decoded = QTextCodec::codecForName("UTF-8")->toUnicode(body.constData(), body.size(), &state);
    QCOMPARE(state.invalidChars, 0);
    if (!withBom) {
        // Read without a byte-order mark, the text is decoded in the local 8-bit
        // code page, which agrees with UTF-8 only on ASCII.
        for (const QChar c : decoded)
            QVERIFY2(c.unicode() < 0x80,
                     qPrintable(QStringLiteral("non-ASCII character U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0'))));
    }

    const QString text = readScriptText(path);
    QVERIFY(!text.trimmed().isEmpty());
    QVERIFY(!text.contains(QChar(0xFEFF)));
    QCOMPARE(text, decoded);
}

void TestSqlScriptFiles::namesFollowTheirDirectory_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QStringList>("files");

    // The directories as they are in the resources, each with its files in
    // name order (which is also the order the updater runs them in).
    QDirIterator dirs(QStringLiteral(":/SqlScript"), QDir::Dirs | QDir::NoDotAndDotDot);
    QStringList directories;
    while (dirs.hasNext())
        directories << dirs.next();
    directories.sort();
    QCOMPARE(directories.size(), expectedSteps().size());
    for (const QString &dir : directories) {
        const QString name = QFileInfo(dir).fileName();
        QTest::newRow(qPrintable(name)) << name << QDir(dir).entryList(QDir::Files, QDir::Name);
    }
}

void TestSqlScriptFiles::namesFollowTheirDirectory()
{
    QFETCH(QString, directory);
    QFETCH(QStringList, files);

    const QRegularExpression dirPattern(QStringLiteral("^v\\.(\\d\\d)\\.(\\d\\d)\\.(\\d\\d)$"));
    const QRegularExpressionMatch dirMatch = dirPattern.match(directory);
    QVERIFY2(dirMatch.hasMatch(), qPrintable(directory));

    const QRegularExpression filePattern(
        QStringLiteral("^(\\d\\d)-(\\d\\d)-(\\d\\d\\d)-[A-Za-z]+-"
                       "(AlterTable|InsertInto|CreateTable|Update|CreateExtension|CreateOrReplace)\\.sql$"));
    QVERIFY(!files.isEmpty());
    for (const QString &file : files) {
        const QRegularExpressionMatch match = filePattern.match(file);
        QVERIFY2(match.hasMatch(), qPrintable(file));
        QCOMPARE(match.captured(1), dirMatch.captured(1));
        QCOMPARE(match.captured(2), dirMatch.captured(2));
        const bool versionScript = match.captured(3) == QLatin1String("999");
        QCOMPARE(versionScript, file.contains(QLatin1String("-kivVersion-CreateOrReplace")));
    }
    // The version function comes last, once per directory.
    QVERIFY(files.last().endsWith(QLatin1String("-999-kivVersion-CreateOrReplace.sql")));
    QCOMPARE(files.filter(QStringLiteral("-999-")).size(), 1);
}

void TestSqlScriptFiles::versionScriptReturnsItsVersion_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("version");

    for (const ExpectedStep &step : expectedSteps()) {
        QCOMPARE(versionOfDirectory(step.directory), step.version);
        QTest::newRow(qPrintable(step.version)) << scriptPath(step, step.scripts.last()) << step.version;
    }
}

// All version scripts share one text; only the literal differs.
void TestSqlScriptFiles::versionScriptReturnsItsVersion()
{
    QFETCH(QString, path);
    QFETCH(QString, version);

    const QString text = readScriptText(path);
    const QRegularExpression literal(QStringLiteral("RETURN '([^']*)';"));
    QRegularExpressionMatchIterator it = literal.globalMatch(text);
    QVERIFY(it.hasNext());
    QCOMPARE(it.next().captured(1), version);
    QVERIFY(!it.hasNext());

    QString reference = readScriptText(scriptPath(expectedSteps().first(), expectedSteps().first().scripts.last()));
    reference.replace(QStringLiteral("RETURN '1.1.0';"), QStringLiteral("RETURN '%1';").arg(version));
    QCOMPARE(text, reference);

    QVERIFY(text.contains(QLatin1String("CREATE OR REPLACE FUNCTION \"kivVersion\"()")));
    QCOMPARE(text.count(QLatin1String("$BODY$")), 2);
    QVERIFY(text.contains(QLatin1String("LANGUAGE plpgsql VOLATILE")));
    QVERIFY(text.contains(QLatin1String("COST 100;")));
    const QString simplified = text.simplified();
    QVERIFY(simplified.contains(QLatin1String("ALTER FUNCTION \"kivVersion\"() OWNER TO marlek;")));
}

// The script that renames dcmimage's column has one statement and no
// semicolon after it; it must stay so, and it must hold nothing else.
void TestSqlScriptFiles::lastStatementMayLackItsSemicolon()
{
    const QString text = readScriptText(QStringLiteral(":/SqlScript/v.01.01.00/01-01-008-DcmImage-AlterTable.sql"));
    QCOMPARE(text.trimmed(), QStringLiteral("ALTER TABLE dcmimage RENAME COLUMN \"Deleted\" TO deleted"));
}

void TestSqlScriptFiles::newTablesAreOwnedByServiceRole_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("table");

    const QRegularExpression create(QStringLiteral("CREATE TABLE\\s+(?:public\\.)?(\"[^\"]+\"|\\w+)"));
    int tables = 0;
    for (const ExpectedStep &step : expectedSteps()) {
        for (const QString &script : step.scripts) {
            const QString path = scriptPath(step, script);
            QRegularExpressionMatchIterator it = create.globalMatch(readScriptText(path));
            while (it.hasNext()) {
                const QString table = it.next().captured(1);
                QTest::newRow(qPrintable(script + QLatin1Char(' ') + table)) << path << table;
                ++tables;
            }
        }
    }
    // "CALHUVALIDITYPARAMS", "dcmAE", "dcmTransferSyntax", "dcmAbstractSyntax", "acqLog".
    QCOMPARE(tables, 5);
}

// Tables created by upgrade scripts are created without OIDs and handed to the
// service role, like those of the initial schema.
void TestSqlScriptFiles::newTablesAreOwnedByServiceRole()
{
    QFETCH(QString, path);
    QFETCH(QString, table);

    const QString text = readScriptText(path).simplified();
    QVERIFY(text.contains(QLatin1String("WITH ( OIDS=FALSE );")));
    const QRegularExpression owner(
        QStringLiteral("ALTER TABLE (public\\.)?%1 OWNER TO marlek;").arg(QRegularExpression::escape(table)));
    QVERIFY2(owner.match(text).hasMatch(), qPrintable(text));
}

// The initial schema is a schema dump: settings first, no data, the schema
// privileges last.
void TestSqlScriptFiles::initialSchemaIsSchemaOnlyDump()
{
    const QString text = readScriptText(initialSchemaPath());
    const QStringList settings{QStringLiteral("SET statement_timeout = 0;"),
                               QStringLiteral("SET client_encoding = 'UTF8';"),
                               QStringLiteral("SET standard_conforming_strings = on;"),
                               QStringLiteral("SET check_function_bodies = false;"),
                               QStringLiteral("SET client_min_messages = warning;"),
                               QStringLiteral("CREATE EXTENSION IF NOT EXISTS plpgsql WITH SCHEMA pg_catalog;"),
                               QStringLiteral("SET search_path = public, pg_catalog;"),
                               QStringLiteral("CREATE FUNCTION \"kivVersion\"() RETURNS text"),
                               QStringLiteral("SET default_tablespace = '';"),
                               QStringLiteral("SET default_with_oids = false;"),
                               QStringLiteral("CREATE TABLE"),
                               QStringLiteral("REVOKE ALL ON SCHEMA public FROM PUBLIC;\n"
                                              "REVOKE ALL ON SCHEMA public FROM marlek;\n"
                                              "GRANT ALL ON SCHEMA public TO marlek;\n")};
    int from = 0;
    for (const QString &line : settings) {
        const int at = text.indexOf(line, from);
        QVERIFY2(at >= 0, qPrintable(QStringLiteral("missing or out of order: ") + line));
        from = at + line.size();
    }
    QVERIFY(!text.mid(from).contains(QLatin1Char(';')));

    const QRegularExpression data(QStringLiteral("^\\s*(COPY|INSERT|UPDATE|DELETE|SELECT)\\b"),
                                  QRegularExpression::MultilineOption);
    QVERIFY2(!data.match(text).hasMatch(), qPrintable(data.match(text).captured(0)));
    QVERIFY(text.contains(QLatin1String("RETURN '1.0.0';")));
    QVERIFY(text.contains(QLatin1String("ALTER FUNCTION public.\"kivVersion\"() OWNER TO marlek;")));
}

QTEST_GUILESS_MAIN(TestSqlScriptFiles)

#include "tst_SqlScriptFiles.moc"
