#include "BackupSidecar.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// SHA-256 of "abc" (FIPS 180-2, appendix B.1).
const QByteArray kAbcHash = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

bool writeFile(const QString &szPath, const QByteArray &data)
{
    QFile file(szPath);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QByteArray readFile(const QString &szPath)
{
    QFile file(szPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs sha256sum in szFolder; its exit code, its output in *pOutput.
int sha256sum(const QString &szFolder, const QStringList &lstArguments, QByteArray *pOutput = nullptr)
{
    QProcess process;
    process.setWorkingDirectory(szFolder);
    process.start(QStringLiteral("sha256sum"), lstArguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    if (pOutput)
        *pOutput = process.readAllStandardOutput();
    return process.exitCode();
}

} // namespace

class TestBackupSidecar : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void writesWhatSha256sumChecks_data();
    void writesWhatSha256sumChecks();
    void verifiesAgainstSidecar_data();
    void verifiesAgainstSidecar();
    void replacesOldSidecar();

private:
    QTemporaryDir m_dir;
    int m_nFolder = 0;
    QString newFolder();
};

void TestBackupSidecar::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QByteArray output;
    if (sha256sum(m_dir.path(), {QStringLiteral("--version")}, &output) != 0)
        QSKIP("sha256sum is not installed");
}

QString TestBackupSidecar::newFolder()
{
    const QString szFolder = m_dir.filePath(QString::number(++m_nFolder));
    QDir().mkpath(szFolder);
    return szFolder;
}

void TestBackupSidecar::writesWhatSha256sumChecks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("backup name") << QStringLiteral("pelq_backup_20261206_140307.tar") << QByteArray("abc");
    QTest::newRow("blanks and accents") << QStringLiteral("Studio Müller é backup.tar") << QByteArray(100000, '\x01');
    QTest::newRow("empty file") << QStringLiteral("empty.tar") << QByteArray();
    // Larger than the pieces the file is read in.
    QByteArray large;
    for (int i = 0; i < 3 * 1024 * 1024 + 17; ++i)
        large += char(i * 7);
    QTest::newRow("several MiB") << QStringLiteral("large.tar") << large;
#ifndef Q_OS_WIN
    // sha256sum escapes such names and marks the line.
    QTest::newRow("backslash in the name") << QStringLiteral("back\\slash.tar") << QByteArray("abc");
#endif
}

void TestBackupSidecar::writesWhatSha256sumChecks()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);

    const QString szFolder = newFolder();
    const QString szFile = szFolder + QLatin1Char('/') + name;
    QVERIFY(writeFile(szFile, content));

    QString szError;
    QString szHash;
    QVERIFY2(BackupSidecar::write(szFile, szError, &szHash), qPrintable(szError));
    QCOMPARE(BackupSidecar::sidecarPath(szFile), szFile + QStringLiteral(".sha256"));

    // Byte for byte what sha256sum writes for the file in its folder.
    QByteArray expected;
    QCOMPARE(sha256sum(szFolder, {name}, &expected), 0);
    QCOMPARE(readFile(BackupSidecar::sidecarPath(szFile)), expected);
    QVERIFY(expected.contains(szHash.toLatin1()));
    if (content == "abc")
        QCOMPARE(szHash.toLatin1(), kAbcHash);

    // And sha256sum accepts it.
    QCOMPARE(sha256sum(szFolder, {QStringLiteral("-c"), name + QStringLiteral(".sha256")}), 0);
    const BackupSidecar::Check check = BackupSidecar::verify(szFile);
    QVERIFY2(check.matches(), qPrintable(check.szReason));
    QCOMPARE(check.szExpected, szHash);
    QCOMPARE(check.szActual, szHash);
}

void TestBackupSidecar::verifiesAgainstSidecar_data()
{
    QTest::addColumn<QByteArray>("sidecar");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("reason");

    const int nMatches = int(BackupSidecar::State::Matches);
    const int nMismatch = int(BackupSidecar::State::Mismatch);
    const int nUnreadable = int(BackupSidecar::State::SidecarUnreadable);
    const QByteArray hash = kAbcHash;
    // "%1" in a reason is the sidecar's path, "%2" the backup's.
    QTest::newRow("text mode") << hash + "  pelq.tar\n"
                               << QByteArray("abc") << nMatches << "The checksum of %2 matches its checksum file.";
    QTest::newRow("binary mode") << hash + " *pelq.tar\n" << QByteArray("abc") << nMatches << QString();
    QTest::newRow("CRLF") << hash + "  pelq.tar\r\n" << QByteArray("abc") << nMatches << QString();
    QTest::newRow("binary mode and CRLF") << hash + " *pelq.tar\r\n" << QByteArray("abc") << nMatches << QString();
    QTest::newRow("no line end") << hash + "  pelq.tar" << QByteArray("abc") << nMatches << QString();
    QTest::newRow("upper-case digits") << hash.toUpper() + "  pelq.tar\n" << QByteArray("abc") << nMatches << QString();
    QTest::newRow("name with ./") << hash + "  ./pelq.tar\n" << QByteArray("abc") << nMatches << QString();
    QTest::newRow("among other files") << QByteArray(64, '0') + "  other.tar\n\n" + hash + "  pelq.tar\n"
                                       << QByteArray("abc") << nMatches << QString();

    QTest::newRow("one byte changed") << hash + "  pelq.tar\n"
                                      << QByteArray("abd") << nMismatch
                                      << "The checksum of %2 is "
                                         "a52d159f262b2c6ddb724a61840befc36eb30c88877a4030b65cbe86298449c9, but its "
                                         "checksum file %1 expects "
                                         "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad.";
    QTest::newRow("one byte more") << hash + "  pelq.tar\n" << QByteArray("abc\n") << nMismatch << QString();

    QTest::newRow("empty") << QByteArray() << QByteArray("abc") << nUnreadable << "The checksum file %1 is empty.";
    QTest::newRow("blank lines") << QByteArray("\r\n\n") << QByteArray("abc") << nUnreadable
                                 << "The checksum file %1 is empty.";
    QTest::newRow("another file") << hash + "  pelq_backup_old.tar\n"
                                  << QByteArray("abc") << nUnreadable
                                  << "The checksum file %1 is about pelq_backup_old.tar, not about pelq.tar.";
    QTest::newRow("name in another folder")
        << hash + "  old/pelq.tar\n"
        << QByteArray("abc") << nUnreadable << "The checksum file %1 is about old/pelq.tar, not about pelq.tar.";
    QTest::newRow("not a checksum") << QByteArray("pelq.tar is fine\n") << QByteArray("abc") << nUnreadable
                                    << "The checksum file %1 is not in the format of sha256sum (line 1).";
    QTest::newRow("short hash") << hash.left(63) + "  pelq.tar\n"
                                << QByteArray("abc") << nUnreadable
                                << "The checksum file %1 is not in the format of sha256sum (line 1).";
    QTest::newRow("one blank") << hash + " pelq.tar\n"
                               << QByteArray("abc") << nUnreadable
                               << "The checksum file %1 is not in the format of sha256sum (line 1).";
    QTest::newRow("no name") << hash + "  \n"
                             << QByteArray("abc") << nUnreadable
                             << "The checksum file %1 is not in the format of sha256sum (line 1).";
    QTest::newRow("damaged second line") << hash + "  pelq.tar\nxyz\n"
                                         << QByteArray("abc") << nUnreadable
                                         << "The checksum file %1 is not in the format of sha256sum (line 2).";
    QTest::newRow("bad escape") << "\\" + hash + "  pel\\q.tar\n"
                                << QByteArray("abc") << nUnreadable
                                << "The checksum file %1 is not in the format of sha256sum (line 1).";
    QTest::newRow("far too large") << QByteArray(100 * 1024, 'x') << QByteArray("abc") << nUnreadable
                                   << "The checksum file %1 is too large for a checksum file.";
}

void TestBackupSidecar::verifiesAgainstSidecar()
{
    QFETCH(QByteArray, sidecar);
    QFETCH(QByteArray, content);
    QFETCH(int, state);
    QFETCH(QString, reason);

    const QString szFolder = newFolder();
    const QString szFile = szFolder + QStringLiteral("/pelq.tar");
    const QString szSidecar = szFile + QStringLiteral(".sha256");
    QVERIFY(writeFile(szFile, content));
    QVERIFY(writeFile(szSidecar, sidecar));

    const BackupSidecar::Check check = BackupSidecar::verify(szFile);
    QCOMPARE(int(check.eState), state);
    if (!reason.isEmpty())
        QCOMPARE(check.szReason,
                 QString(reason).replace(QLatin1String("%1"), szSidecar).replace(QLatin1String("%2"), szFile));
    QCOMPARE(check.matches(), state == int(BackupSidecar::State::Matches));
    if (check.eState == BackupSidecar::State::Matches || check.eState == BackupSidecar::State::Mismatch) {
        QCOMPARE(check.szExpected.toLatin1(), kAbcHash);
        QByteArray output;
        QCOMPARE(sha256sum(szFolder, {QStringLiteral("pelq.tar")}, &output), 0);
        QCOMPARE(check.szActual.toLatin1(), output.left(64));
        // sha256sum agrees (where it has no other file to look for).
        if (!sidecar.contains("other.tar"))
            QCOMPARE(sha256sum(szFolder, {QStringLiteral("-c"), QStringLiteral("pelq.tar.sha256")}) == 0,
                     check.matches());
    }
}

void TestBackupSidecar::replacesOldSidecar()
{
    const QString szFolder = newFolder();
    const QString szFile = szFolder + QStringLiteral("/pelq.tar");
    const QString szSidecar = BackupSidecar::sidecarPath(szFile);

    // No sidecar yet.
    QVERIFY(writeFile(szFile, "abc"));
    BackupSidecar::Check check = BackupSidecar::verify(szFile);
    QCOMPARE(check.eState, BackupSidecar::State::Absent);
    QCOMPARE(check.szReason, QStringLiteral("There is no checksum file %1.").arg(szSidecar));

    // A longer old one is replaced whole.
    QVERIFY(writeFile(szSidecar, QByteArray(64, '0') + "  pelq.tar\n" + QByteArray(200, '#')));
    QString szError;
    QVERIFY2(BackupSidecar::write(szFile, szError), qPrintable(szError));
    QCOMPARE(readFile(szSidecar), kAbcHash + "  pelq.tar\n");
    QVERIFY(BackupSidecar::verify(szFile).matches());

    // The backup gone, its sidecar left.
    QVERIFY(QFile::remove(szFile));
    check = BackupSidecar::verify(szFile);
    QCOMPARE(check.eState, BackupSidecar::State::FileUnreadable);
    QCOMPARE(check.szExpected.toLatin1(), kAbcHash);
    QVERIFY2(check.szReason.startsWith(QStringLiteral("The file %1 cannot be read: ").arg(szFile)),
             qPrintable(check.szReason));
    QVERIFY(!BackupSidecar::write(szFile, szError));
    QVERIFY(szError.startsWith(QStringLiteral("The file %1 cannot be read: ").arg(szFile)));

    // A folder where the sidecar should be.
    QVERIFY(writeFile(szFile, "abc"));
    QVERIFY(QFile::remove(szSidecar));
    QVERIFY(QDir().mkpath(szSidecar));
    check = BackupSidecar::verify(szFile);
    QCOMPARE(check.eState, BackupSidecar::State::SidecarUnreadable);
    QVERIFY(!BackupSidecar::write(szFile, szError));
    QVERIFY2(szError.startsWith(QStringLiteral("The checksum file %1 cannot be written: ").arg(szSidecar)),
             qPrintable(szError));
}

QTEST_GUILESS_MAIN(TestBackupSidecar)
#include "tst_BackupSidecar.moc"
