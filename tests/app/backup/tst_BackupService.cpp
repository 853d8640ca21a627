#include "AppContext.h"
#include "AppTestEnvironment.h"
#include "BackupArchive.h"
#include "BackupService.h"
#include "BackupSidecar.h"
#include "BackupTestData.h"
#include "Clock.h"
#include "DBManager.h"
#include "PsqlSession.h"
#include "TestDatabase.h"
#include "UpdaterTestLog.h"

#include <QScopeGuard>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <csignal>
#include <memory>

namespace {

const QString kDamaged = QStringLiteral("The backup file is incomplete or damaged.\nThe database restore was aborted.");
const QString kTerminateFailed = QStringLiteral("Restore database: Unable to termiante the database activity.");
const QString kRestoreMismatch =
    QStringLiteral("The restore program does not fit this backup or the database server:\n");
const QString kBackupMismatch = QStringLiteral("The backup program does not fit the database server:\n");
const QString kAborted = QStringLiteral("\nThe database restore was aborted.");
const QString kRefused = QStringLiteral("is not currently accepting connections");
const QString kReplacedMark = QStringLiteral("KivDataBaseUpdater: replaced by a restore; may be dropped.");
const QString kStampFormat = QStringLiteral("yyyyMMdd_hhmmss");
const QDateTime kNow(QDate(2026, 12, 6), QTime(12, 0));

// A tar archive without one member; empty when it has no such member.
QByteArray withoutMember(const QByteArray &archive, const QString &szName)
{
    QByteArray result;
    bool bFound = false;
    int nPos = 0;
    while (nPos + 512 <= archive.size()) {
        const QByteArray header = archive.mid(nPos, 512);
        if (header.count('\0') == 512)
            break;
        const QString szMember = QString::fromUtf8(header.left(100).constData());
        const qint64 nSize = header.mid(124, 12).trimmed().toLongLong(nullptr, 8);
        const int nLength = 512 + int((nSize + 511) / 512 * 512);
        if (szMember == szName)
            bFound = true;
        else
            result += archive.mid(nPos, nLength);
        nPos += nLength;
    }
    return bFound ? result + archive.mid(nPos) : QByteArray();
}

// Where the data of a tar member starts; -1 when there is none.
int memberOffset(const QByteArray &archive, const QString &szName)
{
    int nPos = 0;
    while (nPos + 512 <= archive.size()) {
        const QByteArray header = archive.mid(nPos, 512);
        if (header.count('\0') == 512)
            return -1;
        const qint64 nSize = header.mid(124, 12).trimmed().toLongLong(nullptr, 8);
        if (QString::fromUtf8(header.left(100).constData()) == szName)
            return nPos + 512;
        nPos += 512 + int((nSize + 511) / 512 * 512);
    }
    return -1;
}

QByteArray readAll(const QString &szPath)
{
    QFile file(szPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &szPath, const QByteArray &data)
{
    QFile file(szPath);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}

QStringList folderEntries(const QString &szFolder)
{
    return QDir(szFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

// BackupService against the test server with the real pg_dump and
// pg_restore, and fake client programs where a fault is needed: the swap of a
// restore failing at each rename, sessions on the database during a restore,
// client programs and archives of the wrong version, a slow and a stalled
// pg_dump, archives with a member missing, and what killed runs leave behind.
class TestBackupService : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void swapFailureLeavesOneCopyUnderTheName_data();
    void swapFailureLeavesOneCopyUnderTheName();
    void restoreEndsSessionsAndRefusesNewOnes_data();
    void restoreEndsSessionsAndRefusesNewOnes();
    void sessionItCannotEndStopsRestoreBeforeAnyEnds();
    void mismatchedVersionsRefusedBeforeAnyChange_data();
    void mismatchedVersionsRefusedBeforeAnyChange();
    void archiveWithoutMemberRefusedBeforeAnyChange_data();
    void archiveWithoutMemberRefusedBeforeAnyChange();
    void slowDumpSucceedsStalledDumpEnded_data();
    void slowDumpSucceedsStalledDumpEnded();
    void leftoversRemovedWhenOldAndIdle_data();
    void leftoversRemovedWhenOldAndIdle();
    void connectionsGivenBack_data();
    void connectionsGivenBack();

private:
    // The configured database m_szName with rows and large objects, open as
    // the default connection, and a verified backup of it in m_szBackup; then
    // rows changed, so that the database differs from the backup.
    // szBefore is SQL run on it before the backup.
    void prepareBackup(const QString &szBefore = QString());
    // The databases of the server that restores make or set aside.
    QStringList restoreDatabases();
    int allowsConnections(const QString &szName);
    int sessionsOf(const QString &szDatabase, const QString &szApplication);
    // A folder of fake client programs; the real ones in KIV_REAL_BIN.
    QString fakeFolder();

    AppTestEnvironment m_env;
    UpdaterTestLog m_log;
    std::unique_ptr<TestDatabase> m_pAdmin;
    std::unique_ptr<QTemporaryDir> m_pFakeDir;
    QString m_szName;
    QString m_szBackup;
    QStringList m_lstBackedUp;
    QStringList m_lstChanged;
};

void TestBackupService::initTestCase()
{
    if (!TestDatabase::missingEnvironment().isEmpty())
        QSKIP("The test database server is not configured");
    QString szError;
    QVERIFY2(AppTestEnvironment::provisionCredentials(QStringLiteral("service-test-data-key"), szError),
             qPrintable(szError));
    QVERIFY(m_log.open(false));
    m_pAdmin = std::make_unique<TestDatabase>(QStringLiteral("serviceadmin"));
    KIV_VERIFY_TEST_DATABASE(*m_pAdmin);
    m_szName = QStringLiteral("kivservice_%1").arg(QCoreApplication::applicationPid());
    qputenv("KIV_REAL_BIN", AppTestEnvironment::clientFolder().toLocal8Bit());
    DBManager::instance()->setEncryptionEnabled(false);
}

void TestBackupService::cleanupTestCase()
{
    DBManager::instance()->closeDatabase();
    m_pAdmin.reset();
    m_log.close();
}

void TestBackupService::init()
{
    // Only the configured folder: a fake program must not be passed over for
    // the server's own installation.
    BackupService::setClientSearchRoots({});
    m_log.mark();
}

void TestBackupService::cleanup()
{
    BackupService::setSwapHook({});
    Clock::set({});
    DBManager::instance()->closeDatabase();
    const QStringList lstLeft = restoreDatabases();
    for (const QString &szName : lstLeft)
        m_pAdmin->dropDatabase(szName);
    m_pAdmin->dropDatabase(m_szName);
    m_pFakeDir.reset();
    m_szBackup.clear();
}

void TestBackupService::prepareBackup(const QString &szBefore)
{
    QVERIFY(BackupTestData::create(*m_pAdmin, m_szName, 5));
    if (!szBefore.isEmpty())
        QVERIFY(BackupTestData::sql(m_szName, szBefore));
    m_env.configure(m_szName);
    QVERIFY(BackupTestData::openDefault(m_szName));
    BackupService service;
    const BackupService::Outcome outcome = service.backup();
    QVERIFY2(outcome.bOk, qPrintable(outcome.message.english()));
    m_szBackup = outcome.szFile;
    m_lstBackedUp = BackupTestData::fingerprint(m_szName);
    QVERIFY(BackupTestData::sql(m_szName,
                                "DELETE FROM t WHERE id % 2 = 0; INSERT INTO t VALUES (-1, 'after the backup'); "
                                "SELECT lo_unlink(min(oid)) FROM pg_largeobject_metadata"));
    m_lstChanged = BackupTestData::fingerprint(m_szName);
    QVERIFY(m_lstChanged != m_lstBackedUp);
    m_log.mark();
}

QStringList TestBackupService::restoreDatabases()
{
    QStringList lstNames;
    QSqlQuery query(m_pAdmin->connection());
    query.exec(QStringLiteral("SELECT datname FROM pg_database WHERE datname ~ '^kiv_(restore|verify|rehearse)_' OR "
                              "datname LIKE '%\\_before\\_restore\\_%' ORDER BY datname"));
    while (query.next())
        lstNames << query.value(0).toString();
    return lstNames;
}

int TestBackupService::allowsConnections(const QString &szName)
{
    QSqlQuery query(m_pAdmin->connection());
    query.prepare(QStringLiteral("SELECT datallowconn FROM pg_database WHERE datname = ?"));
    query.addBindValue(szName);
    return query.exec() && query.next() ? int(query.value(0).toBool()) : -1;
}

int TestBackupService::sessionsOf(const QString &szDatabase, const QString &szApplication)
{
    QSqlQuery query(m_pAdmin->connection());
    query.prepare(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE datname = ? AND application_name = ?"));
    query.addBindValue(szDatabase);
    query.addBindValue(szApplication);
    return query.exec() && query.next() ? query.value(0).toInt() : -1;
}

QString TestBackupService::fakeFolder()
{
    m_pFakeDir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/kiv fake bin-XXXXXX"));
    qputenv("KIV_FAKE_DIR", m_pFakeDir->path().toLocal8Bit());
    return m_pFakeDir->path();
}

void TestBackupService::swapFailureLeavesOneCopyUnderTheName_data()
{
    // Which name a test takes (makes a database of) just before a rename:
    // "aside" the name the configured database is set aside under;
    // "between" the configured name after it was set aside, given back
    // before the rename back; "for good" the same, kept.
    QTest::addColumn<QString>("take");
    QTest::addColumn<QStringList>("steps");
    // What the configured name holds afterwards: "restored", "old", or
    // "other" (the database the test put there).
    QTest::addColumn<QString>("holds");

    QTest::newRow("no failure") << QString() << QStringList{"SetAside", "PutRestored"} << "restored";
    QTest::newRow("set-aside name taken") << "aside" << QStringList{"SetAside"} << "old";
    QTest::newRow("configured name taken between the renames")
        << "between" << QStringList{"SetAside", "PutRestored", "PutBack"} << "old";
    QTest::newRow("configured name taken for good")
        << "for good" << QStringList{"SetAside", "PutRestored", "PutBack"} << "other";
}

void TestBackupService::swapFailureLeavesOneCopyUnderTheName()
{
    QFETCH(QString, take);
    QFETCH(QStringList, steps);
    QFETCH(QString, holds);
    prepareBackup();
    if (QTest::currentTestFailed())
        return;

    QStringList lstSteps;
    QString szTaken;
    QString szAside;
    QString szTemporary;
    BackupService::setSwapHook([&](BackupService::SwapStep eStep, const QString &szFrom, const QString &szTo) {
        switch (eStep) {
        case BackupService::SwapStep::SetAside:
            lstSteps << QStringLiteral("SetAside");
            szAside = szTo;
            if (take == QLatin1String("aside"))
                szTaken = szTo;
            break;
        case BackupService::SwapStep::PutRestored:
            lstSteps << QStringLiteral("PutRestored");
            szTemporary = szFrom;
            if (take == QLatin1String("between") || take == QLatin1String("for good"))
                szTaken = szTo;
            break;
        case BackupService::SwapStep::PutBack:
            lstSteps << QStringLiteral("PutBack");
            if (take == QLatin1String("between")) {
                QVERIFY(m_pAdmin->dropDatabase(szTaken));
                szTaken.clear();
            }
            return;
        }
        if (!szTaken.isEmpty() && !m_pAdmin->databaseExists(szTaken))
            QVERIFY(m_pAdmin->execAdmin(QStringLiteral("CREATE DATABASE %1").arg(TestDatabase::quoted(szTaken))));
    });

    BackupService service;
    QSignalSpy changed(&service, &BackupService::databaseChanged);
    const BackupService::Outcome outcome = service.restore(m_szBackup);
    QCOMPARE(lstSteps, steps);
    QVERIFY(szAside.startsWith(m_szName + QStringLiteral("_before_restore_")));
    QCOMPARE(outcome.bOk, holds == QLatin1String("restored"));

    QStringList lstLeft = restoreDatabases();
    if (take == QLatin1String("aside"))
        lstLeft.removeOne(szTaken);
    if (holds == QLatin1String("restored")) {
        QCOMPARE(outcome.message.english(), QStringLiteral("Restore successfully executed."));
        QCOMPARE(BackupTestData::fingerprint(m_szName), m_lstBackedUp);
        QCOMPARE(lstLeft, QStringList());
    } else if (holds == QLatin1String("old")) {
        QCOMPARE(outcome.message.english(),
                 QStringLiteral("The restored data could not take the place of the database %1, which keeps its "
                                "data as before.\nThe database restore was aborted.")
                     .arg(m_szName));
        QCOMPARE(BackupTestData::fingerprint(m_szName), m_lstChanged);
        // The restored copy is gone: the configured database has the data.
        QCOMPARE(lstLeft, QStringList());
    } else {
        // Neither copy is under the name: both stay, and the message says
        // where each one is.
        QCOMPARE(outcome.message.english(),
                 QStringLiteral("The database %1 could not be put back under its name: its data is in the database "
                                "%2, the restored data in the database %3.\nNo data was deleted. Call the service "
                                "engineer.")
                     .arg(m_szName, szAside, szTemporary));
        QStringList lstBoth{szAside, szTemporary};
        lstBoth.sort();
        QCOMPARE(lstLeft, lstBoth);
        QCOMPARE(BackupTestData::fingerprint(szAside), m_lstChanged);
        QCOMPARE(BackupTestData::fingerprint(szTemporary), m_lstBackedUp);
        QCOMPARE(allowsConnections(szAside), 1);
        QCOMPARE(allowsConnections(szTemporary), 1);
        // The program is not left on the maintenance database, where an
        // update would run its scripts.
        QCOMPARE(BackupTestData::defaultDatabaseName(), QString());
        QCOMPARE(changed.count(), 1);

        // Days later neither copy is taken for a leftover.
        QVERIFY(m_pAdmin->openWithDBManager(false));
        Clock::set([] { return QDateTime::currentDateTime().addDays(3); });
        service.removeLeftovers();
        QCOMPARE(restoreDatabases(), lstBoth);
        return;
    }
    QCOMPARE(allowsConnections(m_szName), 1);
    QCOMPARE(BackupTestData::defaultDatabaseName(), m_szName);
    QCOMPARE(changed.count(), 1);
}

void TestBackupService::restoreEndsSessionsAndRefusesNewOnes_data()
{
    QTest::addColumn<bool>("fails");
    QTest::newRow("restore succeeds") << false;
    QTest::newRow("pg_restore fails") << true;
}

void TestBackupService::restoreEndsSessionsAndRefusesNewOnes()
{
    QFETCH(bool, fails);
    prepareBackup(QStringLiteral("CREATE TABLE writes (id serial PRIMARY KEY)"));
    if (QTest::currentTestFailed())
        return;

    // pg_restore takes its time before it starts; it fails when asked to.
    const QString szFolder = fakeFolder();
    QVERIFY(BackupTestData::writeProgram(szFolder + QStringLiteral("/pg_restore"),
                                         "case \"$1\" in --version|--list) exec \"$KIV_REAL_BIN/pg_restore\" \"$@\";; "
                                         "esac\n"
                                         "sleep 2\n"
                                         "if [ -n \"$KIV_FAKE_FAIL\" ]; then\n"
                                         "    echo 'pg_restore: error: could not execute query' >&2\n"
                                         "    exit 1\n"
                                         "fi\n"
                                         "exec \"$KIV_REAL_BIN/pg_restore\" \"$@\"\n"));
    qputenv("KIV_FAKE_FAIL", fails ? "1" : "");
    AppContext::instance().cnfProgram().varie().setDbServerPath(szFolder);

    // Another program of the suite writes into the database all the time,
    // and connects again whenever its session ends.
    const QString szStop = szFolder + QStringLiteral("/stop");
    const QString szErrors = szFolder + QStringLiteral("/writer errors");
    QProcess writer;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PGHOST"), TestDatabase::host());
    environment.insert(QStringLiteral("PGPORT"), QString::number(TestDatabase::port()));
    environment.insert(QStringLiteral("PGUSER"), TestDatabase::user());
    environment.insert(QStringLiteral("PGPASSWORD"), TestDatabase::password());
    environment.insert(QStringLiteral("PGDATABASE"), m_szName);
    environment.insert(QStringLiteral("PGAPPNAME"), QStringLiteral("kiv-writer"));
    environment.insert(QStringLiteral("PGSSLMODE"), QStringLiteral("disable"));
    environment.insert(QStringLiteral("KIV_STOP"), szStop);
    environment.insert(QStringLiteral("KIV_ERRORS"), szErrors);
    environment.insert(QStringLiteral("KIV_PSQL"), AppTestEnvironment::clientFolder() + QStringLiteral("/psql"));
    writer.setProcessEnvironment(environment);
    writer.start(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"),
         QStringLiteral("while [ ! -e \"$KIV_STOP\" ]; do\n"
                        "  \"$KIV_PSQL\" -X -q -c 'DO $$ BEGIN FOR i IN 1..6000 LOOP INSERT INTO writes "
                        "DEFAULT VALUES; COMMIT; PERFORM pg_sleep(0.01); END LOOP; END $$' 2>>\"$KIV_ERRORS\"\n"
                        "  sleep 0.1\n"
                        "done\n")});
    const auto stopWriter = qScopeGuard([&] {
        QFile(szStop).open(QIODevice::WriteOnly);
        m_pAdmin->execAdmin(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE "
                                           "application_name = 'kiv-writer'"));
        if (!writer.waitForFinished(30000))
            writer.kill();
        writer.waitForFinished();
    });
    QTRY_COMPARE_WITH_TIMEOUT(sessionsOf(m_szName, QStringLiteral("kiv-writer")), 1, 20000);

    // While pg_restore runs, nobody is on the database and nobody gets in,
    // the superuser neither.
    int nWritersDuring = -1;
    QString szRefusal;
    QString szSuperuserRefusal;
    BackupService service;
    connect(&service, &BackupService::childStarted, this, [&](const QString &szTitle) {
        if (szTitle != QLatin1String("Database restore"))
            return;
        nWritersDuring = sessionsOf(m_szName, QStringLiteral("kiv-writer"));
        {
            QSqlDatabase db = BackupTestData::connectTo(QStringLiteral("during"), m_szName);
            szRefusal = db.isOpen() ? QStringLiteral("connected") : db.lastError().text();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("during"));
        if (PsqlSession::superuserAvailable()) {
            PsqlSession superuser;
            szSuperuserRefusal = superuser.start(PsqlSession::Role::Superuser, m_szName, QStringLiteral("kiv-admin"))
                                     ? QStringLiteral("connected")
                                     : superuser.errorText();
        }
    });
    const BackupService::Outcome outcome = service.restore(m_szBackup);
    QCOMPARE(outcome.bOk, !fails);
    QCOMPARE(nWritersDuring, 0);
    QVERIFY2(szRefusal.contains(kRefused), qPrintable(szRefusal));
    if (PsqlSession::superuserAvailable())
        QVERIFY2(szSuperuserRefusal.contains(kRefused), qPrintable(szSuperuserRefusal));
    QVERIFY2(
        !m_log.entries()
             .filter(QStringLiteral("Ending the sessions on the database %1: application \"kiv-writer\" of user %2")
                         .arg(m_szName, TestDatabase::user()))
             .isEmpty(),
        qPrintable(m_log.entries().join(QLatin1Char('\n'))));
    const QString szWriterErrors = QString::fromLocal8Bit(readAll(szErrors));
    QVERIFY2(szWriterErrors.contains(QStringLiteral("terminating connection due to administrator command")),
             qPrintable(szWriterErrors));

    // Afterwards the database has the backup's data or its own, and the
    // writer gets in again.
    QCOMPARE(BackupTestData::fingerprint(m_szName), fails ? m_lstChanged : m_lstBackedUp);
    QCOMPARE(allowsConnections(m_szName), 1);
    QCOMPARE(restoreDatabases(), QStringList());
    QTRY_COMPARE_WITH_TIMEOUT(sessionsOf(m_szName, QStringLiteral("kiv-writer")), 1, 20000);
}

void TestBackupService::sessionItCannotEndStopsRestoreBeforeAnyEnds()
{
    if (!PsqlSession::superuserAvailable())
        QSKIP("The superuser of the test server is not reachable (KIV_TEST_PGSUPERUSER)");
    prepareBackup();
    if (QTest::currentTestFailed())
        return;
    // A workstation of the program's own role, which the restore could end,
    // and the superuser's session, which it cannot.
    PsqlSession workstation;
    QVERIFY2(workstation.start(PsqlSession::Role::TestRole, m_szName, QStringLiteral("kiv-workstation")),
             qPrintable(workstation.errorText()));
    PsqlSession superuser;
    QVERIFY2(superuser.start(PsqlSession::Role::Superuser, m_szName, QStringLiteral("kiv-admin")),
             qPrintable(superuser.errorText()));

    BackupService service;
    const QList<DatabaseSession> lstSessions = service.sessionsOnDatabase();
    QCOMPARE(lstSessions.size(), 2);
    for (const DatabaseSession &session : lstSessions)
        QCOMPARE(session.bCanEnd, session.szUser != PsqlSession::superuserName());

    const BackupService::Outcome outcome = service.restore(m_szBackup);
    QVERIFY(!outcome.bOk);
    const QString szSession = QStringLiteral("application \"kiv-admin\" of user %1 at a local or hidden address "
                                             "(process %2)")
                                  .arg(PsqlSession::superuserName())
                                  .arg(superuser.processId());
    QCOMPARE(outcome.message.english(),
             QStringLiteral("These connections to the database cannot be ended by this program:\n%1\nClose them and "
                            "start the restore again.\nThe database restore was aborted.")
                 .arg(szSession));
    const QStringList lstErrors = m_log.entries().filter(QStringLiteral("ERROR: "));
    QCOMPARE(lstErrors.size(), 1);
    QVERIFY2(lstErrors.first().endsWith(QStringLiteral("the restore does not start: ") + szSession),
             qPrintable(lstErrors.first()));

    // The workstation was not disconnected for a restore that cannot happen.
    QVERIFY(workstation.isRunning());
    QCOMPARE(sessionsOf(m_szName, QStringLiteral("kiv-workstation")), 1);

    // Nothing changed, and everyone may connect again.
    QCOMPARE(BackupTestData::fingerprint(m_szName), m_lstChanged);
    QCOMPARE(allowsConnections(m_szName), 1);
    QCOMPARE(restoreDatabases(), QStringList());
    QCOMPARE(BackupTestData::defaultDatabaseName(), m_szName);
    QVERIFY(superuser.isRunning());
    QCOMPARE(sessionsOf(m_szName, QStringLiteral("kiv-admin")), 1);
}

void TestBackupService::mismatchedVersionsRefusedBeforeAnyChange_data()
{
    // "backup" or "restore"; the fake program's script (empty: the real
    // ones); the change made to the backup file; the start of the message.
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<QString>("archive");
    QTest::addColumn<QString>("message");

    QTest::newRow("pg_dump 13, older than the server")
        << "backup"
        << "pg_dump" << QByteArray("pg_dump (PostgreSQL) 13.4") << QString() << kBackupMismatch;
    QTest::newRow("pg_restore 13, older than the server")
        << "restore"
        << "pg_restore" << QByteArray("pg_restore (PostgreSQL) 13.4") << QString() << kRestoreMismatch;
    QTest::newRow("pg_restore without a version")
        << "restore"
        << "pg_restore" << QByteArray("pg_restore (PostgreSQL)") << QString()
        << QStringLiteral("Unable to start the restore program.\nThe database restore was aborted.");
    QTest::newRow("archive format 1.17, checksum file written again")
        << "restore" << QString() << QByteArray() << "sidecar" << kRestoreMismatch;
    QTest::newRow("archive format 1.17, no checksum file")
        << "restore" << QString() << QByteArray() << "no sidecar" << kRestoreMismatch;
}

void TestBackupService::mismatchedVersionsRefusedBeforeAnyChange()
{
    QFETCH(QString, operation);
    QFETCH(QString, program);
    QFETCH(QByteArray, version);
    QFETCH(QString, archive);
    QFETCH(QString, message);
    prepareBackup();
    if (QTest::currentTestFailed())
        return;

    if (!program.isEmpty()) {
        // The fake says its version and nothing else: it must not be run for
        // anything else.
        const QString szFolder = fakeFolder();
        QVERIFY(BackupTestData::writeProgram(szFolder + QLatin1Char('/') + program,
                                             "[ \"$1\" = --version ] && { echo '" + version +
                                                 "'; exit 0; }\n"
                                                 "touch \"$KIV_FAKE_DIR/ran\"\nexit 1\n"));
        AppContext::instance().cnfProgram().varie().setDbServerPath(szFolder);
    }
    if (!archive.isEmpty()) {
        // pg_dump's header at the start of toc.dat: "PGDMP", then the format
        // version's major, minor and revision bytes.
        QByteArray content = readAll(m_szBackup);
        const int nToc = memberOffset(content, QStringLiteral("toc.dat"));
        QVERIFY(nToc > 0);
        QCOMPARE(content.mid(nToc, 6), QByteArray("PGDMP\x01"));
        content[nToc + 6] = char(17);
        QVERIFY(writeAll(m_szBackup, content));
        QString szError;
        if (archive == QLatin1String("sidecar"))
            QVERIFY2(BackupSidecar::write(m_szBackup, szError), qPrintable(szError));
        else
            QVERIFY(QFile::remove(BackupSidecar::sidecarPath(m_szBackup)));
    }
    const QString szFolder = BackupService::backupFolder();
    const QStringList lstFiles = folderEntries(szFolder);
    const QByteArray backupBytes = readAll(m_szBackup);

    BackupService service;
    const BackupService::Outcome outcome =
        operation == QLatin1String("backup") ? service.backup() : service.restore(m_szBackup);
    QVERIFY(!outcome.bOk);
    QVERIFY2(outcome.message.english().startsWith(message), qPrintable(outcome.message.english()));
    if (message == kRestoreMismatch)
        QVERIFY(outcome.message.english().endsWith(kAborted));

    QCOMPARE(BackupTestData::fingerprint(m_szName), m_lstChanged);
    QCOMPARE(allowsConnections(m_szName), 1);
    QCOMPARE(restoreDatabases(), QStringList());
    QCOMPARE(folderEntries(szFolder), lstFiles);
    QCOMPARE(readAll(m_szBackup), backupBytes);
    QCOMPARE(BackupTestData::defaultDatabaseName(), m_szName);
    if (m_pFakeDir)
        QVERIFY(!QFile::exists(m_pFakeDir->filePath(QStringLiteral("ran"))));
    // The log says which versions did not fit.
    if (!archive.isEmpty())
        QVERIFY(!m_log.entries().filter(QStringLiteral("1.17")).isEmpty());
    else if (version.endsWith("13.4"))
        QVERIFY(!m_log.entries().filter(QStringLiteral("%1 13 in").arg(program)).isEmpty());
}

void TestBackupService::archiveWithoutMemberRefusedBeforeAnyChange_data()
{
    QTest::addColumn<QString>("member");
    QTest::newRow("a table's data") << "table";
    QTest::newRow("a large object") << "blob";
    QTest::newRow("the table of contents") << "toc.dat";
}

void TestBackupService::archiveWithoutMemberRefusedBeforeAnyChange()
{
    QFETCH(QString, member);
    prepareBackup();
    if (QTest::currentTestFailed())
        return;

    BackupArchive archive;
    QVERIFY(archive.readFile(m_szBackup));
    QString szMember = member;
    for (const BackupArchive::Entry &entry : archive.entries()) {
        if (member == QLatin1String("table") && entry.szDesc == QLatin1String("TABLE DATA") &&
            entry.szTag == QLatin1String("t"))
            szMember = entry.szMember;
    }
    const QByteArray content = readAll(m_szBackup);
    if (member == QLatin1String("blob")) {
        const int nBlob = content.indexOf("blob_");
        QVERIFY(nBlob >= 0);
        szMember = QString::fromLatin1(content.mid(nBlob, content.indexOf(".dat", nBlob) + 4 - nBlob));
    }
    const QByteArray cut = withoutMember(content, szMember);
    QVERIFY2(!cut.isEmpty(), qPrintable(szMember));
    QVERIFY(writeAll(m_szBackup, cut));
    // The checksum file fits the cut archive: the archive itself must tell.
    QString szError;
    QVERIFY(BackupSidecar::write(m_szBackup, szError));

    BackupService service;
    const BackupService::Outcome outcome = service.restore(m_szBackup);
    QVERIFY(!outcome.bOk);
    QCOMPARE(outcome.message.english(), kDamaged);
    QVERIFY2(!m_log.entries().filter(szMember).isEmpty(), qPrintable(m_log.entries().join(QLatin1Char('\n'))));
    QCOMPARE(BackupTestData::fingerprint(m_szName), m_lstChanged);
    QCOMPARE(allowsConnections(m_szName), 1);
    QCOMPARE(restoreDatabases(), QStringList());
    // pg_restore never ran on it.
    QVERIFY(m_log.entries().filter(QStringLiteral("--single-transaction")).isEmpty());
}

void TestBackupService::slowDumpSucceedsStalledDumpEnded_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<bool>("succeeds");

    // The real pg_dump writes into a file of the fake's own; the fake copies
    // it into place in eight pieces, one every 0.4 s: three seconds with a
    // stall time-out of one.
    const QByteArray head = "[ \"$1\" = --version ] && exec \"$KIV_REAL_BIN/pg_dump\" --version\n"
                            "whole=\"$KIV_FAKE_DIR/whole.tar\"\n"
                            "target=\n"
                            "previous=\n"
                            "for argument do\n"
                            "    shift\n"
                            "    if [ \"$previous\" = --file ]; then target=$argument; argument=$whole; fi\n"
                            "    set -- \"$@\" \"$argument\"\n"
                            "    previous=$argument\n"
                            "done\n"
                            "\"$KIV_REAL_BIN/pg_dump\" \"$@\" || exit $?\n"
                            "echo $$ > \"$KIV_FAKE_DIR/pid\"\n";
    QTest::newRow("slow but steady") << head + "piece=$(( $(stat -c %s \"$whole\") / 8 + 1 ))\n"
                                               "for i in 0 1 2 3 4 5 6 7; do\n"
                                               "    dd if=\"$whole\" of=\"$target\" bs=$piece skip=$i seek=$i count=1 "
                                               "conv=notrunc status=none\n"
                                               "    echo \"pg_dump: piece $i written\" >&2\n"
                                               "    sleep 0.4\n"
                                               "done\n"
                                     << true;
    QTest::newRow("stalled") << head + "head -c 10240 \"$whole\" > \"$target\"\n"
                                       "echo 'pg_dump: dumping contents of table t' >&2\n"
                                       "exec sleep 60\n"
                             << false;
}

void TestBackupService::slowDumpSucceedsStalledDumpEnded()
{
    QFETCH(QByteArray, script);
    QFETCH(bool, succeeds);
    QVERIFY(BackupTestData::create(*m_pAdmin, m_szName, 20));
    m_env.configure(m_szName);
    QVERIFY(BackupTestData::openDefault(m_szName));
    const QString szFolder = fakeFolder();
    QVERIFY(BackupTestData::writeProgram(szFolder + QStringLiteral("/pg_dump"), script));
    QVERIFY(QFile::link(AppTestEnvironment::clientFolder() + QStringLiteral("/pg_restore"),
                        szFolder + QStringLiteral("/pg_restore")));
    CnfVarie &varie = AppContext::instance().cnfProgram().varie();
    varie.setDbServerPath(szFolder);
    varie.setTimeoutProcessExecution(1);

    BackupService service;
    QStringList lstObjects;
    connect(&service, &BackupService::progress, this, [&lstObjects](const QString &szObject) {
        if (lstObjects.isEmpty() || lstObjects.last() != szObject)
            lstObjects << szObject;
    });
    const BackupService::Outcome outcome = service.backup();
    QCOMPARE(outcome.bOk, succeeds);
    const QString szBackupFolder = BackupService::backupFolder();
    if (succeeds) {
        // Every piece was written, and the backup is whole.
        QVERIFY2(lstObjects.contains(QStringLiteral("pg_dump: piece 7 written")), qPrintable(lstObjects.join('|')));
        const QString szName = QFileInfo(outcome.szFile).fileName();
        QCOMPARE(folderEntries(szBackupFolder), (QStringList{szName, szName + QStringLiteral(".sha256")}));
        QCOMPARE(readAll(outcome.szFile), readAll(szFolder + QStringLiteral("/whole.tar")));
        QVERIFY(BackupSidecar::verify(outcome.szFile).matches());
    } else {
        QCOMPARE(outcome.message.english(),
                 QStringLiteral("Error during the backup process.\nThe database backup was aborted."));
        QCOMPARE(m_log.entries().filter(QStringLiteral("ERROR: pg_dump made no progress for 1 s")).size(), 1);
        // Neither the partial file nor the child stays.
        QCOMPARE(folderEntries(szBackupFolder), QStringList());
        const int nPid = readAll(szFolder + QStringLiteral("/pid")).trimmed().toInt();
        QVERIFY(nPid > 0);
        QVERIFY(::kill(nPid, 0) != 0);
    }
}

void TestBackupService::leftoversRemovedWhenOldAndIdle_data()
{
    // What a killed run left: "kind:age:state" with kind partial (a backup
    // file being written), restore, verify, rehearse (temporary databases) or
    // aside (a configured database set aside by a swap); age old (two days)
    // or fresh (an hour); state idle, busy (somebody connected) and, for an
    // aside copy, marked (the comment of a finished swap).
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<QStringList>("remaining");

    QTest::newRow("unfinished backup files")
        << QStringList{"partial:old:idle", "partial:fresh:idle"} << QStringList{"partial:fresh:idle"};
    QTest::newRow("idle temporary databases") << QStringList{"restore:old:idle",
                                                             "verify:old:idle",
                                                             "rehearse:old:idle",
                                                             "restore:fresh:idle",
                                                             "verify:fresh:idle"}
                                              << QStringList{"restore:fresh:idle", "verify:fresh:idle"};
    QTest::newRow("temporary databases in use")
        << QStringList{"restore:old:busy", "verify:old:busy", "rehearse:old:busy", "rehearse:old:idle"}
        << QStringList{"restore:old:busy", "verify:old:busy", "rehearse:old:busy"};
    QTest::newRow("copies set aside by finished swaps")
        << QStringList{"aside:old:marked", "aside:fresh:marked", "aside:old:marked+busy"}
        << QStringList{"aside:fresh:marked", "aside:old:marked+busy"};
    QTest::newRow("an unfinished swap keeps its copies")
        << QStringList{"aside:old:idle", "restore:old:idle", "verify:old:idle", "aside:old:marked", "partial:old:idle"}
        << QStringList{"aside:old:idle", "restore:old:idle", "verify:old:idle"};
}

void TestBackupService::leftoversRemovedWhenOldAndIdle()
{
    QFETCH(QStringList, left);
    QFETCH(QStringList, remaining);
    m_env.configure(m_szName);
    const QString szFolder = BackupService::backupFolder();
    QVERIFY(QDir().mkpath(szFolder));

    // Each thing left, under its name.
    QStringList lstNames;
    std::vector<std::unique_ptr<QSqlDatabase>> lstBusy;
    const auto release = qScopeGuard([&lstBusy] {
        QStringList lstConnections;
        for (const auto &pDb : lstBusy) {
            lstConnections << pDb->connectionName();
            pDb->close();
        }
        lstBusy.clear();
        for (const QString &szConnection : qAsConst(lstConnections))
            QSqlDatabase::removeDatabase(szConnection);
    });
    for (int i = 0; i < left.size(); ++i) {
        const QStringList lstParts = left.at(i).split(QLatin1Char(':'));
        const QDateTime time = lstParts.at(1) == QLatin1String("old") ? kNow.addDays(-2) : kNow.addSecs(-3600);
        const QString szStamp = time.toString(kStampFormat);
        const QString szKind = lstParts.at(0);
        if (szKind == QLatin1String("partial")) {
            const QString szPath = QStringLiteral("%1/kivleft_backup_%2_%3.tar.partial").arg(szFolder, szStamp).arg(i);
            QFile file(szPath);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("partial") > 0 && file.flush());
            QVERIFY(file.setFileTime(time, QFileDevice::FileModificationTime));
            lstNames << szPath;
            continue;
        }
        const QString szName =
            szKind == QLatin1String("aside")
                ? QStringLiteral("kivleft_%1_before_restore_%2").arg(i).arg(szStamp)
                : QStringLiteral("kiv_%1_%2_%3").arg(szKind, szStamp).arg(i, 6, 16, QLatin1Char('0'));
        QVERIFY2(m_pAdmin->execAdmin(QStringLiteral("CREATE DATABASE %1").arg(TestDatabase::quoted(szName))),
                 qPrintable(m_pAdmin->errorText()));
        lstNames << szName;
        if (lstParts.at(2).contains(QLatin1String("marked")))
            QVERIFY(m_pAdmin->execAdmin(
                QStringLiteral("COMMENT ON DATABASE %1 IS '%2'").arg(TestDatabase::quoted(szName), kReplacedMark)));
        if (lstParts.at(2).contains(QLatin1String("busy"))) {
            lstBusy.push_back(
                std::make_unique<QSqlDatabase>(BackupTestData::connectTo(QStringLiteral("busy-%1").arg(i), szName)));
            QVERIFY(lstBusy.back()->isOpen());
        }
    }

    QVERIFY(m_pAdmin->openWithDBManager(false));
    Clock::set([] { return kNow; });
    BackupService service;
    service.removeLeftovers();

    for (int i = 0; i < left.size(); ++i) {
        const bool bExists = left.at(i).startsWith(QLatin1String("partial:"))
                                 ? QFile::exists(lstNames.at(i))
                                 : m_pAdmin->databaseExists(lstNames.at(i));
        QVERIFY2(bExists == remaining.contains(left.at(i)), qPrintable(left.at(i) + QLatin1Char(' ') + lstNames.at(i)));
    }
    // An unmarked copy is named in the log each time.
    for (int i = 0; i < left.size(); ++i) {
        if (left.at(i) == QLatin1String("aside:old:idle"))
            QVERIFY(!m_log.entries()
                         .filter(QStringLiteral("WARNING: The database %1 holds").arg(lstNames.at(i)))
                         .isEmpty());
    }
}

void TestBackupService::connectionsGivenBack_data()
{
    QTest::addColumn<bool>("refusing");
    QTest::addColumn<bool>("restoreAtWork");
    QTest::addColumn<bool>("givenBack");

    QTest::newRow("left refusing by a killed restore") << true << false << true;
    QTest::newRow("refusing while a restore is at work") << true << true << false;
    QTest::newRow("allowing") << false << false << false;
    QTest::newRow("allowing, a restore at work") << false << true << false;
}

void TestBackupService::connectionsGivenBack()
{
    QFETCH(bool, refusing);
    QFETCH(bool, restoreAtWork);
    QFETCH(bool, givenBack);
    QVERIFY(BackupTestData::create(*m_pAdmin, m_szName, 0));
    m_env.configure(m_szName);
    if (refusing)
        QVERIFY(m_pAdmin->execAdmin(
            QStringLiteral("ALTER DATABASE %1 ALLOW_CONNECTIONS false").arg(TestDatabase::quoted(m_szName))));
    // pg_restore of a running restore is connected to its temporary database.
    const QString szTemporary = QStringLiteral("kiv_restore_%1_0000ab").arg(kNow.toString(kStampFormat));
    std::unique_ptr<PsqlSession> pRestore;
    if (restoreAtWork) {
        QVERIFY(m_pAdmin->execAdmin(QStringLiteral("CREATE DATABASE %1").arg(szTemporary)));
        pRestore = std::make_unique<PsqlSession>();
        QVERIFY2(pRestore->start(PsqlSession::Role::TestRole, szTemporary, QStringLiteral("pg_restore")),
                 qPrintable(pRestore->errorText()));
    }

    QCOMPARE(BackupService::giveConnectionsBack(), givenBack);
    QCOMPARE(allowsConnections(m_szName), int(!refusing || givenBack));
    QCOMPARE(
        m_log.entries().filter(QStringLiteral("WARNING: The database %1 refused connections").arg(m_szName)).size(),
        int(givenBack));
    // It leaves no connection behind.
    QVERIFY(!DBManager::instance()->isDatabaseOpen());
    if (pRestore)
        QVERIFY(pRestore->isRunning());
}

QTEST_GUILESS_MAIN(TestBackupService)
#include "tst_BackupService.moc"
