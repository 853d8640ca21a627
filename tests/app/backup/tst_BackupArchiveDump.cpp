#include "BackupArchive.h"
#include "BackupSidecar.h"
#include "PgClientProcess.h"
#include "PgClientPrograms.h"
#include "TestDatabase.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QString clientFolder()
{
    return qEnvironmentVariable("KIV_PG_BIN", QStringLiteral("/usr/lib/postgresql/15/bin"));
}

// Runs a program to its end; its standard output, or an empty array and the
// reason in szError.
QByteArray runProgram(const QString &szProgram, const QStringList &lstArguments, QString &szError)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PGPASSWORD"), TestDatabase::password());
    process.setProcessEnvironment(environment);
    process.start(szProgram, lstArguments);
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        szError = QStringLiteral("%1 failed: %2 %3")
                      .arg(szProgram, process.errorString(), QString::fromLocal8Bit(process.readAllStandardError()));
        return QByteArray();
    }
    szError.clear();
    return process.readAllStandardOutput();
}

} // namespace

// The check against what the real pg_dump writes and pg_restore reads.
class TestBackupArchiveDump : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void matchesPgRestoreList();
    void refusesRetarredArchive_data();
    void refusesRetarredArchive();
    void refusesCutDump();
    void dumpsThroughClientProcess_data();
    void dumpsThroughClientProcess();

private:
    // The dump's members in their order, and the archive made of them
    // without the one named (and, with bWithItsLine, without its line in
    // blobs.toc).
    QString retar(const QString &szLeftOut, bool bWithItsLine);

    std::unique_ptr<TestDatabase> m_pDatabase;
    QTemporaryDir m_dir;
    QString m_szDump;
    QString m_szListing;
    QStringList m_lstMembers;
    QStringList m_lstLargeObjects;
    QString m_szImagesMember;
    int m_nRetarred = 0;
};

void TestBackupArchiveDump::initTestCase()
{
    if (!TestDatabase::missingEnvironment().isEmpty())
        QSKIP(qPrintable(QStringLiteral("no test server: %1 not set").arg(TestDatabase::missingEnvironment())));
    QVERIFY(m_dir.isValid());
    m_pDatabase = std::make_unique<TestDatabase>(QStringLiteral("archive"));
    KIV_VERIFY_TEST_DATABASE(*m_pDatabase);

    // Tables with and without rows, a sequence, a view, and large objects:
    // one with content, an empty one, one of several pages.
    for (const char *pszSql : {"CREATE TABLE images (id integer PRIMARY KEY, picture oid, thumb bytea)",
                               "CREATE TABLE \"Patienten Ä\" (name text)",
                               "CREATE TABLE empty_table (a integer)",
                               "CREATE SEQUENCE counter",
                               "CREATE VIEW image_ids AS SELECT id FROM images",
                               "INSERT INTO \"Patienten Ä\" VALUES ('Zoë'), ('Jürgen')"}) {
        QVERIFY2(m_pDatabase->exec(QString::fromUtf8(pszSql)), pszSql);
    }
    for (const char *pszContent : {"'hello'", "''", "decode(repeat('ab', 40000), 'hex')"}) {
        const QVariant oid =
            m_pDatabase->scalar(QStringLiteral("SELECT lo_from_bytea(0, %1)").arg(QLatin1String(pszContent)));
        QVERIFY(oid.isValid());
        m_lstLargeObjects << oid.toString();
    }
    QVERIFY(m_pDatabase->exec(
        QStringLiteral("INSERT INTO images SELECT g, %1, decode(repeat('ff', g), 'hex') FROM generate_series(1, 50) g")
            .arg(m_lstLargeObjects.first())));

    QString szError;
    m_szDump = m_dir.filePath(QStringLiteral("dump.tar"));
    runProgram(clientFolder() + QStringLiteral("/pg_dump"),
               {QStringLiteral("--host"),
                TestDatabase::host(),
                QStringLiteral("--port"),
                QString::number(TestDatabase::port()),
                QStringLiteral("--username"),
                TestDatabase::user(),
                QStringLiteral("--no-password"),
                QStringLiteral("--format"),
                QStringLiteral("tar"),
                QStringLiteral("--blobs"),
                QStringLiteral("--file"),
                m_szDump,
                m_pDatabase->name()},
               szError);
    QVERIFY2(szError.isEmpty(), qPrintable(szError));

    m_szListing = QString::fromUtf8(
        runProgram(clientFolder() + QStringLiteral("/pg_restore"), {QStringLiteral("--list"), m_szDump}, szError));
    QVERIFY2(szError.isEmpty(), qPrintable(szError));
    m_lstMembers = QString::fromUtf8(runProgram(QStringLiteral("tar"), {QStringLiteral("-tf"), m_szDump}, szError))
                       .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY2(szError.isEmpty(), qPrintable(szError));

    // "3350; 0 16386 TABLE DATA public images marlek": its member is 3350.dat.
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^(\\d+); \\d+ \\d+ TABLE DATA public images "),
                           QRegularExpression::MultilineOption)
            .match(m_szListing);
    QVERIFY2(match.hasMatch(), qPrintable(m_szListing));
    m_szImagesMember = match.captured(1) + QStringLiteral(".dat");
    QVERIFY2(m_lstMembers.contains(m_szImagesMember), qPrintable(m_lstMembers.join(QLatin1Char(' '))));
}

void TestBackupArchiveDump::matchesPgRestoreList()
{
    BackupArchive archive;
    QVERIFY2(archive.readFile(m_szDump), qPrintable(archive.reason()));

    // What pg_restore says about the archive in the head of its listing.
    const auto header = [this](const char *pszLabel) {
        const QRegularExpression line(QStringLiteral("^;\\s+%1:? (.*)$").arg(QLatin1String(pszLabel)),
                                      QRegularExpression::MultilineOption);
        return line.match(m_szListing).captured(1).trimmed();
    };
    QCOMPARE(archive.databaseName(), header("dbname"));
    QCOMPARE(archive.serverVersion(), header("Dumped from database version"));
    QCOMPARE(archive.dumpVersion(), header("Dumped by pg_dump version"));
    QCOMPARE(QStringLiteral("%1.%2-%3")
                 .arg(archive.formatVersion().majorVersion())
                 .arg(archive.formatVersion().minorVersion())
                 .arg(archive.formatVersion().microVersion()),
             header("Dump Version"));
    QCOMPARE(QString::number(archive.entries().size()), header("TOC Entries"));
    QCOMPARE(archive.intSize(), header("Integer").section(QLatin1Char(' '), 0, 0).toInt());
    QCOMPARE(archive.offsetSize(), header("Offset").section(QLatin1Char(' '), 0, 0).toInt());

    // One line per entry pg_restore restores; large objects are "BLOB".
    int nEntries = 0;
    int nLargeObjects = 0;
    QStringList lstListed;
    for (const QString &szLine : m_szListing.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (szLine.startsWith(QLatin1Char(';')))
            continue;
        ++nEntries;
        lstListed << szLine.section(QLatin1Char(';'), 0, 0);
        if (szLine.section(QLatin1Char(' '), 3, 3) == QLatin1String("BLOB"))
            ++nLargeObjects;
    }
    QCOMPARE(nLargeObjects, m_lstLargeObjects.size());
    QCOMPARE(archive.entryCount(), nEntries);
    QCOMPARE(archive.largeObjectCount(), nLargeObjects);
    QStringList lstRestored;
    for (const BackupArchive::Entry &entry : archive.entries()) {
        if (entry.bRestored)
            lstRestored << QString::number(entry.nDumpId);
    }
    QCOMPARE(lstRestored, lstListed);
}

void TestBackupArchiveDump::refusesRetarredArchive_data()
{
    QTest::addColumn<QString>("leftOut");
    QTest::addColumn<bool>("withItsLine");
    QTest::addColumn<QString>("reason");

    // Re-tarred whole, the archive passes: the refusals below come from the
    // member left out, not from the re-tarring.
    QTest::newRow("nothing left out") << QString() << false << QString();
    QTest::newRow("table data")
        << m_szImagesMember << false
        << QStringLiteral("member %1 of TABLE DATA public.images is missing").arg(m_szImagesMember);
    for (const QString &szOid : qAsConst(m_lstLargeObjects)) {
        const QString szMember = QStringLiteral("blob_%1.dat").arg(szOid);
        QTest::addRow("large object %s", qPrintable(szOid))
            << szMember << false << QStringLiteral("large object %1 (%2) is missing").arg(szOid, szMember);
        QTest::addRow("large object %s with its line", qPrintable(szOid))
            << szMember << true
            << QStringLiteral("large object %1 has no data in the archive: no blobs TOC member lists it").arg(szOid);
    }
    QTest::newRow("blobs.toc") << QStringLiteral("blobs.toc") << false
                               << QStringLiteral("member blobs.toc of BLOBS is missing");
    QTest::newRow("toc.dat") << QStringLiteral("toc.dat") << false
                             << QStringLiteral("the archive holds no toc.dat: it is not a backup written by pg_dump");
}

void TestBackupArchiveDump::refusesRetarredArchive()
{
    QFETCH(QString, leftOut);
    QFETCH(bool, withItsLine);
    QFETCH(QString, reason);

    const QString szArchive = retar(leftOut, withItsLine);
    QVERIFY(!szArchive.isEmpty());
    BackupArchive archive;
    QCOMPARE(archive.readFile(szArchive), reason.isEmpty());
    QCOMPARE(archive.reason(), reason);
}

void TestBackupArchiveDump::refusesCutDump()
{
    QFile dump(m_szDump);
    QVERIFY(dump.open(QIODevice::ReadOnly));
    const QByteArray whole = dump.readAll();
    for (const int nLength : {int(whole.size() / 2), int(whole.size() - 1024), int(whole.size() - 1)}) {
        QFile cut(m_dir.filePath(QStringLiteral("cut-%1.tar").arg(nLength)));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        QCOMPARE(cut.write(whole.left(nLength)), qint64(nLength));
        cut.close();
        BackupArchive archive;
        QVERIFY2(!archive.readFile(cut.fileName()), qPrintable(QString::number(nLength)));
        QVERIFY(!archive.reason().isEmpty());
    }
}

void TestBackupArchiveDump::dumpsThroughClientProcess_data()
{
    QTest::addColumn<bool>("rightPassword");
    QTest::newRow("right password") << true;
    QTest::newRow("wrong password") << false;
}

void TestBackupArchiveDump::dumpsThroughClientProcess()
{
    QFETCH(bool, rightPassword);

    // The blocks together, as a backup uses them: the programs for the
    // server, the dump with its progress, the check, the checksum file.
    const int nServerMajor = m_pDatabase->scalar(QStringLiteral("SHOW server_version_num")).toInt() / 10000;
    QVERIFY(nServerMajor >= 12);
    const PgClientPrograms::Choice choice =
        PgClientPrograms(clientFolder()).choose(PgClientPrograms::Program::Dump, nServerMajor);
    QVERIFY2(choice.bOk, qPrintable(choice.szReason));

    const QString szFile = m_dir.filePath(QStringLiteral("through process %1.tar").arg(rightPassword));
    PgClientProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("PGPASSWORD"));
    environment.remove(QStringLiteral("PGPASSFILE"));
    environment.insert(QStringLiteral("PGPASSFILE"), m_dir.filePath(QStringLiteral("no-passfile")));
    process.setEnvironment(environment);
    process.setPassword(rightPassword ? TestDatabase::password() : QStringLiteral("wrong"));
    process.setProgram(choice.szPath);
    process.setArguments({QStringLiteral("--host"),
                          TestDatabase::host(),
                          QStringLiteral("--port"),
                          QString::number(TestDatabase::port()),
                          QStringLiteral("--username"),
                          TestDatabase::user(),
                          QStringLiteral("--no-password"),
                          QStringLiteral("--format"),
                          QStringLiteral("tar"),
                          QStringLiteral("--blobs"),
                          QStringLiteral("--verbose"),
                          QStringLiteral("--file"),
                          szFile,
                          m_pDatabase->name()});
    process.setWatchedFile(szFile);
    process.setStallTimeout(60000);
    QStringList lstObjects;
    connect(
        &process, &PgClientProcess::progress, this, [&lstObjects](const QString &szObject) { lstObjects << szObject; });
    const PgClientProcess::Result result = process.run();

    if (!rightPassword) {
        QCOMPARE(result.eOutcome, PgClientProcess::Outcome::ExitCode);
        QCOMPARE(result.nExitCode, 1);
        QVERIFY2(result.szErrorOutput.contains(QStringLiteral("password authentication failed")),
                 qPrintable(result.szErrorOutput));
        return;
    }
    QVERIFY2(result.isOk(), qPrintable(result.szDescription + QLatin1Char('\n') + result.szErrorOutput));
    QVERIFY2(lstObjects.contains(QStringLiteral("pg_dump: dumping contents of table \"public.images\"")),
             qPrintable(lstObjects.join(QLatin1Char('\n'))));

    BackupArchive archive;
    QVERIFY2(archive.readFile(szFile), qPrintable(archive.reason()));
    BackupArchive first;
    QVERIFY2(first.readFile(m_szDump), qPrintable(first.reason()));
    QCOMPARE(archive.entryCount(), first.entryCount());
    QCOMPARE(archive.largeObjectCount(), m_lstLargeObjects.size());

    QString szError;
    QVERIFY2(BackupSidecar::write(szFile, szError), qPrintable(szError));
    const BackupSidecar::Check check = BackupSidecar::verify(szFile);
    QVERIFY2(check.matches(), qPrintable(check.szReason));
}

QString TestBackupArchiveDump::retar(const QString &szLeftOut, bool bWithItsLine)
{
    const QString szFolder = m_dir.filePath(QStringLiteral("retar-%1").arg(++m_nRetarred));
    if (!QDir().mkpath(szFolder))
        return QString();
    QString szError;
    runProgram(QStringLiteral("tar"), {QStringLiteral("-xf"), m_szDump, QStringLiteral("-C"), szFolder}, szError);
    if (!szError.isEmpty()) {
        qWarning().noquote() << szError;
        return QString();
    }
    if (bWithItsLine) {
        QFile blobsToc(szFolder + QStringLiteral("/blobs.toc"));
        if (!blobsToc.open(QIODevice::ReadWrite))
            return QString();
        QByteArray kept;
        for (const QByteArray &line : blobsToc.readAll().split('\n')) {
            if (!line.isEmpty() && !line.endsWith(' ' + szLeftOut.toUtf8()))
                kept += line + '\n';
        }
        blobsToc.resize(0);
        blobsToc.write(kept);
    }
    QStringList lstMembers = m_lstMembers;
    lstMembers.removeAll(szLeftOut);
    const QString szArchive = szFolder + QStringLiteral(".tar");
    runProgram(QStringLiteral("tar"),
               QStringList{
                   QStringLiteral("--format=ustar"), QStringLiteral("-cf"), szArchive, QStringLiteral("-C"), szFolder} +
                   lstMembers,
               szError);
    if (!szError.isEmpty()) {
        qWarning().noquote() << szError;
        return QString();
    }
    return szArchive;
}

QTEST_GUILESS_MAIN(TestBackupArchiveDump)
#include "tst_BackupArchiveDump.moc"
