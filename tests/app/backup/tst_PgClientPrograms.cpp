#include "PgClientPrograms.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestPgClientPrograms : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void parsesVersionOutput_data();
    void parsesVersionOutput();
    void knowsArchiveFormats_data();
    void knowsArchiveFormats();
    void choosesProgram_data();
    void choosesProgram();
    void findsInstalledPrograms();

private:
    // A fake client program in szFolder that answers every call with
    // "<name> (PostgreSQL) <version>", or with szVersion itself when it
    // starts with '='.
    bool fakeProgram(const QString &szFolder, PgClientPrograms::Program eProgram, const QString &szVersion);

    QTemporaryDir m_dir;
    int m_nCase = 0;
};

void TestPgClientPrograms::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

bool TestPgClientPrograms::fakeProgram(const QString &szFolder,
                                       PgClientPrograms::Program eProgram,
                                       const QString &szVersion)
{
    if (!QDir().mkpath(szFolder))
        return false;
    const QString szAnswer = szVersion.startsWith(QLatin1Char('=')) ? szVersion.mid(1)
                                                                    : PgClientPrograms::programName(eProgram) +
                                                                          QStringLiteral(" (PostgreSQL) ") + szVersion;
    QFile file(PgClientPrograms::programPath(szFolder, eProgram));
    if (!file.open(QIODevice::WriteOnly) || file.write("#!/bin/sh\nprintf '%s\\n' '" + szAnswer.toUtf8() + "'\n") < 0)
        return false;
    file.close();
    return file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestPgClientPrograms::parsesVersionOutput_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("major");

    QTest::newRow("Debian") << "pg_dump (PostgreSQL) 15.18\n" << 15;
    QTest::newRow("PGDG package") << "pg_dump (PostgreSQL) 16.2 (Debian 16.2-1.pgdg120+2)\n" << 16;
    QTest::newRow("beta") << "pg_restore (PostgreSQL) 17beta1\n" << 17;
    QTest::newRow("development") << "pg_dump (PostgreSQL) 18devel\n" << 18;
    QTest::newRow("Windows") << "pg_dump (PostgreSQL) 15.4\r\n" << 15;
    QTest::newRow("Windows with suffix") << "pg_dump.exe (PostgreSQL) 14.10\r\n" << 14;
    QTest::newRow("before 10") << "pg_dump (PostgreSQL) 9.6.24\n" << 9;
    QTest::newRow("other distribution") << "pg_dump (EnterpriseDB) 13.2\n" << 13;
    QTest::newRow("without parentheses") << "pg_dump 12.1\n" << 12;
    QTest::newRow("after a warning") << "WARNING: locale not found\npg_dump (PostgreSQL) 15.3\n" << 15;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("no version") << "pg_dump (PostgreSQL)\n" << 0;
    QTest::newRow("an error") << "pg_dump: error: unrecognized option '--version'\n" << 0;
    QTest::newRow("another program") << "GNU tar 1.34\n" << 0;
}

void TestPgClientPrograms::parsesVersionOutput()
{
    QFETCH(QString, output);
    QFETCH(int, major);
    QCOMPARE(PgClientPrograms::parseMajorVersion(output), major);
}

void TestPgClientPrograms::knowsArchiveFormats_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<QVersionNumber>("format");
    QTest::addColumn<bool>("reads");

    QTest::newRow("12 reads 1.14") << 12 << QVersionNumber(1, 14, 0) << true;
    QTest::newRow("15 reads 1.14") << 15 << QVersionNumber(1, 14, 0) << true;
    QTest::newRow("15 reads 1.12") << 15 << QVersionNumber(1, 12, 0) << true;
    QTest::newRow("15 reads any revision of 1.14") << 15 << QVersionNumber(1, 14, 9) << true;
    QTest::newRow("15 does not read 1.15") << 15 << QVersionNumber(1, 15, 0) << false;
    QTest::newRow("16 reads 1.15") << 16 << QVersionNumber(1, 15, 0) << true;
    QTest::newRow("16 does not read 1.16") << 16 << QVersionNumber(1, 16, 0) << false;
    QTest::newRow("17 reads 1.16") << 17 << QVersionNumber(1, 16, 0) << true;
    QTest::newRow("a newer major reads 1.16") << 19 << QVersionNumber(1, 16, 0) << true;
    QTest::newRow("nobody known reads 1.17") << 19 << QVersionNumber(1, 17, 0) << false;
    QTest::newRow("11 does not read 1.14") << 11 << QVersionNumber(1, 14, 0) << false;
    QTest::newRow("9 is not known") << 9 << QVersionNumber(1, 12, 0) << false;
    QTest::newRow("no format") << 15 << QVersionNumber() << false;
}

void TestPgClientPrograms::knowsArchiveFormats()
{
    QFETCH(int, major);
    QFETCH(QVersionNumber, format);
    QFETCH(bool, reads);
    QCOMPARE(PgClientPrograms::readsArchiveFormat(major, format), reads);
}

void TestPgClientPrograms::choosesProgram_data()
{
    QTest::addColumn<QString>("configured");
    // "<root>/<folder>=<version>": an installation below a search root.
    QTest::addColumn<QStringList>("installations");
    QTest::addColumn<int>("serverMajor");
    QTest::addColumn<bool>("restore");
    QTest::addColumn<QVersionNumber>("format");
    // "configured", or the installation chosen, or empty.
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("major");
    // "%1" is the configured folder.
    QTest::addColumn<QString>("reason");

    const QVersionNumber none;
    QTest::newRow("configured fits") << "15.18" << QStringList{"a/16=16.2", "a/17=17.0"} << 15 << false << none
                                     << "configured" << 15 << QString();
    QTest::newRow("configured is newer") << "17.2" << QStringList{"a/16=16.2"} << 15 << false << none << "configured"
                                         << 17 << QString();
    QTest::newRow("configured beta") << "17beta1" << QStringList() << 17 << false << none << "configured" << 17
                                     << QString();
    QTest::newRow("configured too old: the newest that fits")
        << "13.4" << QStringList{"a/14=14.1", "a/17=17.0", "a/16=16.2"} << 15 << false << none << "a/17" << 17
        << QString();
    QTest::newRow("configured too old, nothing fits")
        << "13.4" << QStringList{"a/14=14.1", "a/12=12.9"} << 15 << false << none << QString() << 0
        << "pg_dump 13 in %1 cannot back up a server of version 15; no pg_dump of version 15 or newer was found.";
    QTest::newRow("restore: configured too old, nothing fits")
        << "13.4" << QStringList{"a/14=14.1"} << 15 << true << none << QString() << 0
        << "pg_restore 13 in %1 cannot restore into a server of version 15; no pg_restore of version 15 or newer "
           "was found.";
    QTest::newRow("configured missing") << QString() << QStringList{"a/15=15.2"} << 15 << false << none << "a/15" << 15
                                        << QString();
    QTest::newRow("configured missing, nothing found")
        << QString() << QStringList() << 15 << false << none << QString() << 0
        << "There is no pg_dump in %1; no pg_dump of version 15 or newer was found.";
    QTest::newRow("configured does not tell its version")
        << "=hello" << QStringList() << 15 << false << none << QString() << 0
        << "pg_dump in %1 does not tell its version (it answered \"hello\"); no pg_dump of version 15 or newer was "
           "found.";
    QTest::newRow("the version the program tells, not its folder's name")
        << QString() << QStringList{"a/99=14.1", "a/13=16.2"} << 15 << false << none << "a/13" << 16 << QString();
    QTest::newRow("several roots") << "12.1" << QStringList{"a/16=16.2", "b/17=17.1", "b/11=11.0"} << 15 << false
                                   << none << "b/17" << 17 << QString();
    QTest::newRow("restore: the configured one does not read the format")
        << "16.2" << QStringList{"a/17=17.1"} << 15 << true << QVersionNumber(1, 16, 0) << "a/17" << 17 << QString();
    QTest::newRow("restore: nobody reads the format")
        << "16.2" << QStringList{"a/15=15.8"} << 15 << true << QVersionNumber(1, 16, 0) << QString() << 0
        << "pg_restore 16 in %1 cannot read the archive format 1.16.0; no pg_restore of version 15 or newer that "
           "reads the archive format 1.16.0 was found.";
    QTest::newRow("restore: the configured one reads the format")
        << "15.8" << QStringList{"a/17=17.1"} << 15 << true << QVersionNumber(1, 14, 0) << "configured" << 15
        << QString();
}

void TestPgClientPrograms::choosesProgram()
{
#ifndef Q_OS_UNIX
    QSKIP("the fake client programs are shell scripts");
#endif
    QFETCH(QString, configured);
    QFETCH(QStringList, installations);
    QFETCH(int, serverMajor);
    QFETCH(bool, restore);
    QFETCH(QVersionNumber, format);
    QFETCH(QString, chosen);
    QFETCH(int, major);
    QFETCH(QString, reason);

    const auto eProgram = restore ? PgClientPrograms::Program::Restore : PgClientPrograms::Program::Dump;
    // Each case in folders of its own; blanks in every path.
    const QString szCase = m_dir.filePath(QStringLiteral("case %1").arg(++m_nCase));
    const QString szConfigured = szCase + QStringLiteral("/configured bin");
    QVERIFY(QDir().mkpath(szConfigured));
    if (!configured.isEmpty())
        QVERIFY(fakeProgram(szConfigured, eProgram, configured));
    QStringList lstRoots{szCase + QStringLiteral("/root a"), szCase + QStringLiteral("/root b")};
    for (const QString &szInstallation : qAsConst(installations)) {
        const QString szRoot = szCase + QStringLiteral("/root ") + szInstallation.section(QLatin1Char('/'), 0, 0);
        const QString szFolder = szInstallation.section(QLatin1Char('/'), 1).section(QLatin1Char('='), 0, 0);
        const QString szVersion = szInstallation.section(QLatin1Char('='), 1);
        QVERIFY(fakeProgram(szRoot + QLatin1Char('/') + szFolder + QStringLiteral("/bin"), eProgram, szVersion));
        // The other program of the installation answers with another
        // version: only the one asked for counts.
        QVERIFY(fakeProgram(szRoot + QLatin1Char('/') + szFolder + QStringLiteral("/bin"),
                            restore ? PgClientPrograms::Program::Dump : PgClientPrograms::Program::Restore,
                            QStringLiteral("99.0")));
    }
    // An installation without the program, and a root that is not there.
    QVERIFY(QDir().mkpath(lstRoots.first() + QStringLiteral("/20/bin")));
    lstRoots << szCase + QStringLiteral("/no root");

    const PgClientPrograms programs(szConfigured, lstRoots);
    const PgClientPrograms::Choice choice = programs.choose(eProgram, serverMajor, format);
    QCOMPARE(choice.szReason, QString(reason).replace(QLatin1String("%1"), szConfigured));
    QCOMPARE(choice.bOk, !chosen.isEmpty());
    QCOMPARE(choice.nMajor, major);
    QCOMPARE(choice.bConfigured, chosen == QLatin1String("configured"));
    if (chosen == QLatin1String("configured")) {
        QCOMPARE(choice.szPath, PgClientPrograms::programPath(szConfigured, eProgram));
    } else if (!chosen.isEmpty()) {
        QCOMPARE(choice.szPath,
                 PgClientPrograms::programPath(szCase + QStringLiteral("/root ") +
                                                   chosen.section(QLatin1Char('/'), 0, 0) + QLatin1Char('/') +
                                                   chosen.section(QLatin1Char('/'), 1) + QStringLiteral("/bin"),
                                               eProgram));
    }
}

void TestPgClientPrograms::findsInstalledPrograms()
{
    // The installation the test server runs from.
    const QString szInstalled = qEnvironmentVariable("KIV_PG_BIN", QStringLiteral("/usr/lib/postgresql/15/bin"));
    const QString szDump = PgClientPrograms::programPath(szInstalled, PgClientPrograms::Program::Dump);
    if (!QFileInfo::exists(szDump))
        QSKIP("no PostgreSQL client programs installed");
    QString szError;
    const int nMajor = PgClientPrograms::majorVersion(szDump, &szError);
    QVERIFY2(nMajor >= 12, qPrintable(szError));

    // Found below the system's search roots when the configured folder is wrong.
    const PgClientPrograms programs(m_dir.filePath(QStringLiteral("nowhere")));
    const PgClientPrograms::Choice choice = programs.choose(PgClientPrograms::Program::Restore, nMajor);
    QVERIFY2(choice.bOk, qPrintable(choice.szReason));
    QVERIFY(!choice.bConfigured);
    QVERIFY(choice.nMajor >= nMajor);
    QVERIFY(QFileInfo(choice.szPath).isExecutable());

    const PgClientPrograms::Choice refused = programs.choose(PgClientPrograms::Program::Dump, 999);
    QVERIFY(!refused.bOk);
    QVERIFY2(refused.szReason.endsWith(QStringLiteral("; no pg_dump of version 999 or newer was found.")),
             qPrintable(refused.szReason));
}

QTEST_GUILESS_MAIN(TestPgClientPrograms)
#include "tst_PgClientPrograms.moc"
