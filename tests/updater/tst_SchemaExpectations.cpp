#include "DBManager.h"
#include "SchemaCatalog.h"
#include "SchemaDrift.h"
#include "SchemaExpectationGenerator.h"
#include "TestDatabase.h"
#include "UpdaterTestDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The folder of the expected schema texts in the sources.
QString committedFolder()
{
    return QStringLiteral(KIV_SOURCE_ROOT "/updater/SqlScript/expected");
}

QByteArray readFile(const QString &szPath)
{
    QFile file(szPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The lines of szLeft that szRight lacks, in the order of szLeft.
QStringList linesMissingFrom(const QString &szLeft, const QString &szRight)
{
    const QStringList lstRight = szRight.split(QLatin1Char('\n'));
    QStringList lstMissing;
    for (const QString &szLine : szLeft.split(QLatin1Char('\n'))) {
        if (!lstRight.contains(szLine))
            lstMissing << QStringLiteral("    ") + szLine;
    }
    return lstMissing;
}

} // namespace

// Runs the generator of the expected schema texts, as the schema_expectations
// target does, into a temporary folder and compares what it writes with the
// texts kept in the sources and compiled into the program: a script changed
// without its expected schema fails here with the version and the lines.
class TestSchemaExpectations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void everyVersionHasItsText();
    void generatedMatchesCommitted_data();
    void generatedMatchesCommitted();
    void committedTextIsCompiledIn_data();
    void committedTextIsCompiledIn();
    void generatorLeavesNothingBehind();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SchemaExpectationGenerator> m_pGenerator;
    bool m_bGenerated = false;
};

void TestSchemaExpectations::initTestCase()
{
    if (!UpdaterTestDatabase::isConfigured())
        QSKIP("KIV_TEST_PG* not set: start scripts/pgserver.sh and source its env.sh");
    QVERIFY(m_dir.isValid());

    SchemaExpectationGenerator::Server server;
    server.szHost = TestDatabase::host();
    server.nPort = TestDatabase::port();
    server.szUser = TestDatabase::user();
    server.szPassword = TestDatabase::password();
    m_pGenerator = std::make_unique<SchemaExpectationGenerator>(server);
    QVERIFY2(m_pGenerator->run(), qPrintable(m_pGenerator->errorText()));
    QVERIFY2(m_pGenerator->write(m_dir.path()), qPrintable(m_pGenerator->errorText()));
    m_bGenerated = true;
}

void TestSchemaExpectations::cleanupTestCase()
{
    DBManager::instance()->closeDatabase();
}

void TestSchemaExpectations::everyVersionHasItsText()
{
    QVERIFY(m_bGenerated);
    const QStringList lstVersions = UpdaterTestDatabase::knownVersions();
    QCOMPARE(m_pGenerator->versions(), lstVersions);
    QCOMPARE(SchemaDrift::knownVersions(), lstVersions);
    const QStringList lstFiles = QDir(committedFolder()).entryList(QStringList{"*.schema"}, QDir::Files, QDir::Name);
    QCOMPARE(lstFiles.size(), lstVersions.size());
    for (const QString &szVersion : lstVersions)
        QVERIFY2(lstFiles.contains(SchemaDrift::expectationFileName(szVersion)), qPrintable(szVersion));
}

void TestSchemaExpectations::generatedMatchesCommitted_data()
{
    QTest::addColumn<QString>("version");
    for (const QString &szVersion : UpdaterTestDatabase::knownVersions())
        QTest::newRow(qPrintable(szVersion)) << szVersion;
}

void TestSchemaExpectations::generatedMatchesCommitted()
{
    QFETCH(QString, version);
    QVERIFY(m_bGenerated);

    const QString szFile = SchemaDrift::expectationFileName(version);
    const QByteArray baGenerated = readFile(QDir(m_dir.path()).filePath(szFile));
    const QByteArray baCommitted = readFile(QDir(committedFolder()).filePath(szFile));
    QVERIFY2(!baGenerated.isEmpty(), qPrintable(szFile));
    if (baGenerated == baCommitted)
        return;
    const QString szGenerated = QString::fromUtf8(baGenerated);
    const QString szCommitted = QString::fromUtf8(baCommitted);
    QStringList lstReport;
    lstReport << QStringLiteral("version %1: the scripts give another schema than updater/SqlScript/expected/%2; "
                                "review the lines, then build the schema_expectations target")
                     .arg(version, szFile);
    lstReport << QStringLiteral("  only in the schema the scripts give:") << linesMissingFrom(szGenerated, szCommitted);
    lstReport << QStringLiteral("  only in the committed text:") << linesMissingFrom(szCommitted, szGenerated);
    QFAIL(qPrintable(lstReport.join(QLatin1Char('\n'))));
}

void TestSchemaExpectations::committedTextIsCompiledIn_data()
{
    generatedMatchesCommitted_data();
}

void TestSchemaExpectations::committedTextIsCompiledIn()
{
    QFETCH(QString, version);
    const QString szFile = SchemaDrift::expectationFileName(version);
    const QByteArray baCommitted = readFile(QDir(committedFolder()).filePath(szFile));
    QVERIFY(!baCommitted.isEmpty());
    QCOMPARE(readFile(SchemaDrift::expectationResourceFolder() + QLatin1Char('/') + szFile), baCommitted);

    SchemaCatalog catalog;
    QString szError;
    QVERIFY2(SchemaDrift::expectedCatalog(version, catalog, &szError), qPrintable(szError));
    // A schema of the suite: its tables, the version function, nothing empty.
    QVERIFY(catalog.objects().size() > 300);
    QVERIFY(std::any_of(catalog.objects().cbegin(), catalog.objects().cend(), [](const SchemaCatalog::Object &object) {
        return object.szKind == QLatin1String("function") && object.szName == QLatin1String("\"kivVersion\"()");
    }));
}

void TestSchemaExpectations::generatorLeavesNothingBehind()
{
    QVERIFY(m_bGenerated);
    TestDatabase admin(QStringLiteral("schemaexp"));
    KIV_VERIFY_TEST_DATABASE(admin);
    QCOMPARE(admin
                 .scalarAdmin(QStringLiteral("SELECT count(*) FROM pg_database WHERE datname = "
                                             "'kiv_schema_expectations_%1'")
                                  .arg(QCoreApplication::applicationPid()))
                 .toInt(),
             0);
    // The throwaway data key of the personal-data pass is gone again.
    QVERIFY(!DBManager::instance()->hasDataKey());
    QVERIFY(!DBManager::instance()->isDatabaseOpen());
}

QTEST_MAIN(TestSchemaExpectations)

#include "tst_SchemaExpectations.moc"
