#include "AppContext.h"
#include "AppTestEnvironment.h"
#include "BackupService.h"
#include "BackupSidecar.h"
#include "BackupTestData.h"
#include "Clock.h"
#include "DBManager.h"
#include "DatabaseBackup.h"
#include "PsqlSession.h"
#include "TestDatabase.h"
#include "UIFileDialog.h"
#include "UIMessageBox.h"
#include "UIRehearsal.h"
#include "UpdaterTestDatabase.h"
#include "UpdaterTestLog.h"

#include <QLabel>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace {

const QString kDumpFailed = QStringLiteral("Error during the backup process.\nThe database backup was aborted.");
const QString kDamaged = QStringLiteral("The backup file is incomplete or damaged.\nThe database restore was aborted.");
const QString kRestoreFailed = QStringLiteral("Error during the restore process.\nThe database restore was aborted.");
const QDateTime kBackupTime(QDate(2026, 12, 6), QTime(14, 3, 7));

using Boxes = QList<QPair<QMessageBox::Icon, QString>>;

Boxes takeBoxes()
{
    Boxes boxes;
    for (const UIMessageBox::Shown &shown : UIMessageBox::takeShown())
        boxes << qMakePair(shown.icon, shown.szText);
    return boxes;
}

// A command-line value as the client programs are handed it.
QString quotedArgument(QString szValue)
{
    return QLatin1Char('"') + szValue.replace(QLatin1Char('"'), QStringLiteral("\"\"\"")) + QLatin1Char('"');
}

QStringList backupFiles()
{
    return QDir(DatabaseBackup::backupFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestDatabaseBackup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void backupAndRestoreRoundTrip_data();
    void backupAndRestoreRoundTrip();
    void failingDumpLeavesNoFile_data();
    void failingDumpLeavesNoFile();
    void damagedBackupLeavesDatabaseUntouched_data();
    void damagedBackupLeavesDatabaseUntouched();
    void restoreNotAskedForSessionItCannotEnd();
    void cleaningRemovesOnlyOldTarFiles();
    void cleaningNeverLosesTheLastGoodBackup_data();
    void cleaningNeverLosesTheLastGoodBackup();
    void rehearsalShowsEachStepAndChangesNothing();

private:
    // A database of that name with rows and large objects, configured and open.
    bool makeDatabase(const QString &szName, int nLargeObjects);

    AppTestEnvironment m_env;
    UpdaterTestLog m_log;
    std::unique_ptr<TestDatabase> m_pAdmin;
    QStringList m_lstDatabases;
    QWidget m_window;
};

void TestDatabaseBackup::initTestCase()
{
    if (!TestDatabase::missingEnvironment().isEmpty())
        QSKIP("The test database server is not configured");
    QString szError;
    QVERIFY2(AppTestEnvironment::provisionCredentials(QStringLiteral("tools-test-data-key"), szError),
             qPrintable(szError));
    QVERIFY(m_log.open(false));
    m_pAdmin = std::make_unique<TestDatabase>(QStringLiteral("backupadmin"));
    KIV_VERIFY_TEST_DATABASE(*m_pAdmin);
}

void TestDatabaseBackup::cleanupTestCase()
{
    DBManager::instance()->closeDatabase();
    m_pAdmin.reset();
    m_log.close();
}

void TestDatabaseBackup::init()
{
    // Only the configured folder: a fake program must not be passed over for
    // the server's own installation.
    BackupService::setClientSearchRoots({});
    UIMessageBox::setScripted(true);
    UIFileDialog::setScripted(true);
    m_log.mark();
}

void TestDatabaseBackup::cleanup()
{
    Clock::set({});
    DBManager::instance()->closeDatabase();
    for (const QString &szName : qAsConst(m_lstDatabases))
        m_pAdmin->dropDatabase(szName);
    m_lstDatabases.clear();
}

bool TestDatabaseBackup::makeDatabase(const QString &szName, int nLargeObjects)
{
    m_lstDatabases << szName;
    if (!BackupTestData::create(*m_pAdmin, szName, nLargeObjects))
        return false;
    m_env.configure(szName);
    return BackupTestData::openDefault(szName);
}

void TestDatabaseBackup::backupAndRestoreRoundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("largeObjects");
    const qint64 nPid = QCoreApplication::applicationPid();
    QTest::newRow("blanks, quotes, accents") << QStringLiteral("kiv \"b\u00e4ck\" 'up' %1").arg(nPid) << 20;
    // More locks than this server's lock table holds in one transaction.
    QTest::newRow("thousands of large objects") << QStringLiteral("kivbackup_lo_%1").arg(nPid) << 12000;
}

void TestDatabaseBackup::backupAndRestoreRoundTrip()
{
    QFETCH(QString, name);
    QFETCH(int, largeObjects);
    QVERIFY(makeDatabase(name, largeObjects));
    const QStringList original = BackupTestData::fingerprint(name);
    QCOMPARE(original.at(1).section(QLatin1Char(' '), 0, 0), QString::number(largeObjects));

    // The connection is open: the configured host is used by nobody else.
    AppContext::instance().cnfProgram().dataBase().setDataSource(QStringLiteral("db.invalid"));
    DatabaseBackup backup;
    Clock::set([] { return kBackupTime; });
    UIMessageBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(backup.backup(&m_window));
    const QString szFile = DatabaseBackup::backupFolder() + QLatin1Char('/') + name + "_backup_20261206_140307.tar";
    QCOMPARE(backup.lastBackupFile(), szFile);
    // The backup and its checksum file, which sha256sum checks too.
    QCOMPARE(backupFiles(), (QStringList{QFileInfo(szFile).fileName(), QFileInfo(szFile).fileName() + ".sha256"}));
    QCOMPARE(
        takeBoxes(),
        (Boxes{{QMessageBox::Question, QStringLiteral("Are you sure you want to backup the database %1 ?").arg(name)},
               {QMessageBox::Information, QStringLiteral("Backup successfully executed.")}}));
    const QString szCommand =
        QStringLiteral("\"%1/pg_dump\" --host localhost --port %2 --username \"%3\" --role \"marlek\" "
                       "--no-password --format tar --blobs --verbose --file %4 %5")
            .arg(AppTestEnvironment::clientFolder())
            .arg(TestDatabase::port())
            .arg(TestDatabase::user(), quotedArgument(szFile + ".partial"), quotedArgument(name));
    QVERIFY2(m_log.entries().contains(szCommand), qPrintable(m_log.entries().join(QLatin1Char('\n'))));

    // Changes after the backup, and another session on the database.
    QVERIFY(
        BackupTestData::sql(name,
                            "DELETE FROM t WHERE id % 2 = 0; SELECT lo_unlink(min(oid)) FROM pg_largeobject_metadata; "
                            "CREATE TABLE later (x integer)"));
    QVERIFY(BackupTestData::fingerprint(name) != original);
    QSqlDatabase other = BackupTestData::connectTo(QStringLiteral("other"), name);
    QVERIFY(other.isOpen());

    AppContext::instance().cnfProgram().dataBase().setDataSource(TestDatabase::host());
    QSignalSpy changed(&backup, &DatabaseBackup::databaseChanged);
    UIMessageBox::setNextAnswer(QMessageBox::Yes);
    UIFileDialog::setNextName(szFile);
    QVERIFY(backup.restore(&m_window));
    QCOMPARE(UIFileDialog::takeCaptions(), QStringList{QStringLiteral("Select backup file")});
    // The question names the session that the restore ends.
    const Boxes restoreBoxes = takeBoxes();
    QCOMPARE(restoreBoxes.size(), 2);
    QVERIFY2(restoreBoxes.first().second.startsWith(
                 QStringLiteral("Are you sure you want to restore the database %1 ?\n\nThese connections to the "
                                "database will be ended:\nan unnamed application of user %2")
                     .arg(name, TestDatabase::user())),
             qPrintable(restoreBoxes.first().second));
    QCOMPARE(restoreBoxes.last(),
             qMakePair(QMessageBox::Information, QStringLiteral("Restore successfully executed.")));
    QCOMPARE(BackupTestData::fingerprint(name), original);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(BackupTestData::defaultDatabaseName(), name);
    QVERIFY(!QSqlQuery(other).exec(QStringLiteral("SELECT 1")));
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    QCOMPARE(m_pAdmin->scalarAdmin("SELECT count(*) FROM pg_database WHERE datname LIKE 'kiv\\_restore\\_%'").toInt(),
             0);

    const QStringList lstEntries = m_log.entries();
    for (const QString &szEntry : lstEntries)
        QVERIFY2(!szEntry.contains(TestDatabase::password()), qPrintable(szEntry));
    if (largeObjects < 100)
        QVERIFY(!lstEntries.filter(QStringLiteral("--single-transaction --exit-on-error")).isEmpty());
}

void TestDatabaseBackup::failingDumpLeavesNoFile_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<int>("timeout");
    QTest::addColumn<bool>("beforeUpdate");
    QTest::addColumn<QStringList>("errors");
    QTest::addColumn<QStringList>("boxes");

    // Every fake records its arguments and password, then writes part of
    // the file that it was given.
    const QByteArray record = "[ \"$1\" = --version ] && { echo 'pg_dump (PostgreSQL) 99.1'; exit 0; }\n"
                              "printf '%s\\n' \"$@\" > \"$KIV_FAKE_DIR/args\"\n"
                              "printf '%s' \"$PGPASSWORD\" > \"$KIV_FAKE_DIR/password\"\n"
                              "while [ \"$1\" != --file ]; do shift; done\n"
                              "printf 'partial' > \"$2\"\n";
    const QString szNotStarted =
        QStringLiteral("Unable to start the backup program.\nThe database backup was aborted.");
    const QString szMissing = QStringLiteral("Unable to find the backup program.\nThe database backup was aborted.");
    const QString szNoUpdate =
        QStringLiteral("The backup before the update failed.\nThe database update was not started.");
    QTest::newRow("exit code") << record + "echo 'dump went wrong' >&2\nexit 3\n"
                               << 300 << false
                               << QStringList{"Backup process exit code = 3", "dump went wrong", kDumpFailed}
                               << QStringList{kDumpFailed};
    QTest::newRow("crash") << record + "kill -KILL $$\n"
                           << 300 << false
                           << QStringList{"pg_dump ended abnormally (it crashed or was killed).", kDumpFailed}
                           << QStringList{kDumpFailed};
    QTest::newRow("run time-out")
        << record + "echo $$ > \"$KIV_FAKE_DIR/pid\"\necho 'pg_dump: dumping table t' >&2\nexec sleep 60\n"
        << 1 << false << QStringList{"pg_dump: dumping table t", QString(), kDumpFailed} << QStringList{kDumpFailed};
    // The reason names the folder and the versions; the sentence says what
    // the operator reads.
    QTest::newRow("not executable") << QByteArray("noexec") << 300 << false << QStringList{QString(), szNotStarted}
                                    << QStringList{szNotStarted};
    QTest::newRow("missing") << QByteArray() << 300 << false << QStringList{QString(), szMissing}
                             << QStringList{szMissing};
    QTest::newRow("before update, unattended")
        << record + "exit 1\n"
        << 300 << true << QStringList{"Backup process exit code = 1", kDumpFailed, szNoUpdate} << QStringList();
}

void TestDatabaseBackup::failingDumpLeavesNoFile()
{
    QFETCH(QByteArray, script);
    QFETCH(int, timeout);
    QFETCH(bool, beforeUpdate);
    QFETCH(QStringList, errors);
    QFETCH(QStringList, boxes);

    const QString szName = QStringLiteral("kivbackup_fail_%1").arg(QCoreApplication::applicationPid());
    QVERIFY(makeDatabase(szName, 0));
    QVERIFY(BackupTestData::sql(szName,
                                "CREATE FUNCTION \"kivVersion\"() RETURNS text LANGUAGE sql AS $$SELECT '1.2.0'$$"));
    QTemporaryDir fakeDir(QDir::tempPath() + QStringLiteral("/kiv fake bin-XXXXXX"));
    qputenv("KIV_FAKE_DIR", fakeDir.path().toLocal8Bit());
    if (!script.isEmpty())
        QVERIFY(BackupTestData::writeProgram(fakeDir.filePath("pg_dump"), script, script != "noexec"));
    CnfVarie &varie = AppContext::instance().cnfProgram().varie();
    varie.setDbServerPath(fakeDir.path());
    varie.setTimeoutProcessExecution(timeout);
    varie.setBackupBeforeUpdate(beforeUpdate);

    DatabaseBackup backup;
    Clock::set([] { return kBackupTime; });
    UIMessageBox::setNextAnswer(QMessageBox::Yes);
    // Events are handled while the child runs: the progress dialog shows the
    // time and the child's last line. Every label it showed is collected.
    QStringList lstLabels;
    QTimer progressProbe;
    connect(&progressProbe, &QTimer::timeout, [&lstLabels] {
        auto *pDialog = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
        if (pDialog && (lstLabels.isEmpty() || lstLabels.last() != pDialog->labelText()))
            lstLabels << pDialog->labelText();
    });
    progressProbe.start(0);
    QVERIFY(!(beforeUpdate ? backup.backupBeforeUpdate(&m_window, true) : backup.backup(&m_window)));
    progressProbe.stop();
    if (timeout == 1) {
        // The child's line shows up, and the elapsed time never goes back.
        const QRegularExpression reLabel(
            QStringLiteral("^Database backup\nElapsed time: (\\d\\d:\\d\\d:\\d\\d)\n(.*)$"));
        QString szLastTime;
        bool bLineShown = false;
        for (const QString &szLabel : qAsConst(lstLabels)) {
            const QRegularExpressionMatch match = reLabel.match(szLabel);
            QVERIFY2(match.hasMatch(), qPrintable(szLabel));
            QVERIFY(match.captured(1) >= szLastTime);
            szLastTime = match.captured(1);
            bLineShown = bLineShown || match.captured(2) == QLatin1String("pg_dump: dumping table t");
        }
        QVERIFY2(bLineShown, qPrintable(lstLabels.join(QLatin1Char('|'))));
    }

    QCOMPARE(backupFiles(), QStringList());
    QStringList lstShown;
    for (const auto &box : takeBoxes())
        lstShown << box.second;
    if (!beforeUpdate)
        lstShown.removeFirst(); // the question
    QCOMPARE(lstShown, boxes);
    // The error lines in their order; a null entry is the child's own output.
    QStringList lstErrors = m_log.entries().filter(QRegularExpression(QStringLiteral("^ERROR: ")));
    for (QString &szEntry : lstErrors)
        szEntry.remove(0, 7);
    if (errors.contains(QString())) {
        QCOMPARE(lstErrors.size(), errors.size());
        errors.replace(errors.indexOf(QString()), lstErrors.at(errors.indexOf(QString())));
    }
    QCOMPARE(lstErrors, errors);
    QCOMPARE(DBManager::instance()->kivDatabaseVersion(), QStringLiteral("1.2.0"));

    QFile args(fakeDir.filePath("args"));
    if (args.open(QIODevice::ReadOnly)) {
        // Unquoted, whole, in order; the password only in the environment.
        const QString szPartial = DatabaseBackup::backupFolder() + "/" + szName + "_backup_20261206_140307.tar.partial";
        QCOMPARE(QString::fromLocal8Bit(args.readAll()).split('\n', Qt::SkipEmptyParts),
                 (QStringList{"--host",
                              "localhost",
                              "--port",
                              QString::number(TestDatabase::port()),
                              "--username",
                              TestDatabase::user(),
                              "--role",
                              "marlek",
                              "--no-password",
                              "--format",
                              "tar",
                              "--blobs",
                              "--verbose",
                              "--file",
                              szPartial,
                              szName}));
        QFile password(fakeDir.filePath("password"));
        QVERIFY(password.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLocal8Bit(password.readAll()), TestDatabase::password());
    }
    QFile pid(fakeDir.filePath("pid"));
    if (pid.open(QIODevice::ReadOnly))
        QVERIFY(::kill(pid.readAll().trimmed().toInt(), 0) != 0); // killed, not left running
}

void TestDatabaseBackup::damagedBackupLeavesDatabaseUntouched_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("error");
    QTest::newRow("cut in half") << "half" << kDamaged;
    QTest::newRow("end blocks missing") << "tail" << kDamaged;
    QTest::newRow("header overwritten") << "header" << kDamaged;
    QTest::newRow("empty file") << "empty" << kDamaged;
    QTest::newRow("data the server refuses") << "data" << kRestoreFailed;
    QTest::newRow("checksum file disagrees") << "sidecar" << kDamaged;
    QTest::newRow("file dialog cancelled") << "cancel" << QString();
}

void TestDatabaseBackup::damagedBackupLeavesDatabaseUntouched()
{
    QFETCH(QString, damage);
    QFETCH(QString, error);
    const QString szName = QStringLiteral("kivbackup_damaged_%1").arg(QCoreApplication::applicationPid());
    QVERIFY(makeDatabase(szName, 5));
    // pg_restore may spin on a cut archive: a fault here must not hang the run.
    AppContext::instance().cnfProgram().varie().setTimeoutProcessExecution(60);
    DatabaseBackup backup;
    UIMessageBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(backup.backup(&m_window));

    QFile file(backup.lastBackupFile());
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray content = file.readAll();
    if (damage == "half")
        content.truncate(content.size() / 2);
    else if (damage == "tail")
        content.chop(1024);
    else if (damage == "header")
        content.replace(0, 512, QByteArray(512, 'x'));
    else if (damage == "empty")
        content.clear();
    else if (damage == "data" || damage == "sidecar")
        content.replace("424242\tneedle", "x24242\tneedle");
    QVERIFY(file.resize(0) && file.seek(0) && file.write(content) == content.size());
    file.close();
    // Without its checksum file the archive's own checks and the server
    // decide; with it, one byte changed is enough to refuse the backup.
    if (damage != "sidecar")
        QVERIFY(QFile::remove(file.fileName() + ".sha256"));
    QVERIFY(BackupTestData::sql(szName, "INSERT INTO t VALUES (-1, 'after the backup')"));
    const QStringList before = BackupTestData::fingerprint(szName);
    takeBoxes();

    UIMessageBox::setNextAnswer(QMessageBox::Yes);
    UIFileDialog::setNextName(damage == "cancel" ? QString() : file.fileName());
    QVERIFY(!backup.restore(&m_window));
    QCOMPARE(UIFileDialog::takeCaptions().size(), 1);
    const Boxes boxes = takeBoxes();
    QCOMPARE(boxes.size(), error.isEmpty() ? 1 : 2); // the question, and the error
    if (!error.isEmpty())
        QCOMPARE(boxes.last(), qMakePair(QMessageBox::Warning, error));
    QCOMPARE(BackupTestData::fingerprint(szName), before);
    QCOMPARE(BackupTestData::defaultDatabaseName(), szName);
    QCOMPARE(m_pAdmin->scalarAdmin("SELECT count(*) FROM pg_database WHERE datname LIKE 'kiv\\_restore\\_%'").toInt(),
             0);
    if (damage == "data")
        QVERIFY(m_log.entries().contains(QStringLiteral("ERROR: Restore process exit code = 1")));
}

void TestDatabaseBackup::restoreNotAskedForSessionItCannotEnd()
{
    if (!PsqlSession::superuserAvailable())
        QSKIP("The superuser of the test server is not reachable (KIV_TEST_PGSUPERUSER)");
    const QString szName = QStringLiteral("kivbackup_super_%1").arg(QCoreApplication::applicationPid());
    QVERIFY(makeDatabase(szName, 0));
    PsqlSession superuser;
    QVERIFY2(superuser.start(PsqlSession::Role::Superuser, szName, QStringLiteral("kiv-admin")),
             qPrintable(superuser.errorText()));

    // The operator learns who must leave first; nothing is asked, no file
    // is chosen.
    DatabaseBackup backup;
    QVERIFY(!backup.restore(&m_window));
    QCOMPARE(takeBoxes(),
             (Boxes{{QMessageBox::Warning,
                     QStringLiteral("These connections to the database cannot be ended by this program:\napplication "
                                    "\"kiv-admin\" of user %1 at a local or hidden address (process %2)\nClose them "
                                    "and start the restore again.\nThe database restore was aborted.")
                         .arg(PsqlSession::superuserName())
                         .arg(superuser.processId())}}));
    QCOMPARE(UIFileDialog::takeCaptions(), QStringList());
    QVERIFY(superuser.isRunning());
}

void TestDatabaseBackup::cleaningRemovesOnlyOldTarFiles()
{
    m_env.configure(QStringLiteral("pelq"));
    const QString szFolder = DatabaseBackup::backupFolder();
    QVERIFY(QDir().mkpath(szFolder + QStringLiteral("/x.tar")));
    // Midnight at the start of the day 30 days before "now".
    const QDateTime now(QDate::currentDate(), QTime(12, 0));
    const QDateTime limit(now.date().addDays(-30), QTime(0, 0));
    const QList<QPair<QString, QDateTime>> files{{"before.tar", limit.addSecs(-60)},
                                                 {"at.tar", limit},
                                                 {"OLD.TAR", limit.addDays(-3)},
                                                 {"new.tar", now},
                                                 {"old.sql", limit.addDays(-3)},
                                                 {"x.tar/inner.tar", limit.addDays(-3)}};
    for (const auto &file : files) {
        QFile f(szFolder + QLatin1Char('/') + file.first);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.setFileTime(file.second, QFileDevice::FileModificationTime));
    }
    // The newest is verified; a checksum file goes with its backup.
    QString szError;
    QVERIFY(BackupSidecar::write(szFolder + QStringLiteral("/new.tar"), szError));
    QVERIFY(BackupSidecar::write(szFolder + QStringLiteral("/OLD.TAR"), szError));
    const QByteArray folder = QFile::encodeName(szFolder + QStringLiteral("/x.tar"));
    const struct timespec times[2] = {{0, UTIME_OMIT}, {limit.addDays(-3).toSecsSinceEpoch(), 0}};
    QVERIFY(::utimensat(AT_FDCWD, folder.constData(), times, 0) == 0);
    DatabaseBackup backup;
    Clock::set([now] { return now; });
    UIMessageBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(backup.cleanBackups(&m_window));
    QCOMPARE(backupFiles(), (QStringList{"at.tar", "new.tar", "new.tar.sha256", "old.sql", "x.tar"}));
    QVERIFY(QFile::exists(szFolder + QStringLiteral("/x.tar/inner.tar")));
    QCOMPARE(m_log.entries(),
             (QStringList{"Clean database backup process started.",
                          "Removing file " + szFolder + "/before.tar",
                          "Removing file " + szFolder + "/OLD.TAR",
                          "Removing file " + szFolder + "/OLD.TAR.sha256",
                          "Clean database backup file process completed."}));
    QCOMPARE(takeBoxes().last(),
             qMakePair(QMessageBox::Information, QStringLiteral("Clean database backup file process completed.")));
}

void TestDatabaseBackup::cleaningNeverLosesTheLastGoodBackup_data()
{
    // Backups by age in days (0 = today), the newest first; "v" marks one
    // with a matching checksum file, "x" one whose file changed after it.
    QTest::addColumn<QStringList>("backups");
    QTest::addColumn<int>("keepCount");
    QTest::addColumn<QStringList>("remaining");
    QTest::addColumn<bool>("cleaned");

    QTest::newRow("the only backup, however old") << QStringList{"a.tar:90:v"} << 0 << QStringList{"a.tar"} << true;
    QTest::newRow("old ones go, the newest stays")
        << QStringList{"a.tar:40:v", "b.tar:50", "c.tar:60:v"} << 0 << QStringList{"a.tar"} << true;
    QTest::newRow("newest without checksum file")
        << QStringList{"a.tar:0", "b.tar:50:v"} << 0 << QStringList{"a.tar", "b.tar"} << false;
    QTest::newRow("newest changed after its checksum")
        << QStringList{"a.tar:0:x", "b.tar:50:v"} << 0 << QStringList{"a.tar", "b.tar"} << false;
    QTest::newRow("each database keeps its newest")
        << QStringList{"other_backup_20261206_110000.tar:0:v",
                       "pelq_backup_20261001_120000.tar:60:v",
                       "pelq_backup_20260901_120000.tar:90"}
        << 0 << QStringList{"other_backup_20261206_110000.tar", "pelq_backup_20261001_120000.tar"} << true;
    QTest::newRow("keep the newest three") << QStringList{"a.tar:40:v", "b.tar:41", "c.tar:42", "d.tar:43"} << 3
                                           << QStringList{"a.tar", "b.tar", "c.tar"} << true;
}

void TestDatabaseBackup::cleaningNeverLosesTheLastGoodBackup()
{
    QFETCH(QStringList, backups);
    QFETCH(int, keepCount);
    QFETCH(QStringList, remaining);
    QFETCH(bool, cleaned);

    m_env.configure(QStringLiteral("pelq"));
    AppContext::instance().cnfProgram().varie().setBackupKeepCount(keepCount);
    const QString szFolder = DatabaseBackup::backupFolder();
    QVERIFY(QDir().mkpath(szFolder));
    const QDateTime now(QDate(2026, 12, 6), QTime(12, 0));
    for (const QString &szBackup : qAsConst(backups)) {
        const QStringList lstParts = szBackup.split(QLatin1Char(':'));
        const QString szPath = szFolder + QLatin1Char('/') + lstParts.at(0);
        QFile file(szPath);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(lstParts.at(0).toLatin1()) > 0);
        file.close();
        QString szError;
        if (lstParts.value(2) == "v" || lstParts.value(2) == "x")
            QVERIFY(BackupSidecar::write(szPath, szError));
        if (lstParts.value(2) == "x") {
            QVERIFY(file.open(QIODevice::Append) && file.write("changed") > 0);
            file.close();
        }
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(now.addDays(-lstParts.at(1).toInt()), QFileDevice::FileModificationTime));
        file.close();
    }
    DatabaseBackup backup;
    Clock::set([now] { return now; });
    UIMessageBox::setNextAnswer(QMessageBox::Yes);
    QCOMPARE(backup.cleanBackups(&m_window), cleaned);
    QCOMPARE(backupFiles().filter(QRegularExpression(QStringLiteral("\\.tar$"))), remaining);
    // A checksum file goes with its backup, and only with it.
    for (const QString &szSidecar : backupFiles().filter(QStringLiteral(".sha256")))
        QVERIFY2(remaining.contains(szSidecar.chopped(7)), qPrintable(szSidecar));
    if (!cleaned)
        QCOMPARE(takeBoxes().last(),
                 qMakePair(QMessageBox::Warning,
                           QStringLiteral("The newest backup does not match its checksum file.\nNo backup file was "
                                          "removed: make a new backup first.")));
}

void TestDatabaseBackup::rehearsalShowsEachStepAndChangesNothing()
{
    // A database at 1.7.0 with its personal data, backed up and verified.
    UpdaterTestDatabase db;
    QVERIFY2(db.prepare(QStringLiteral("kivbackup_rehearse")), qPrintable(db.lastError()));
    QVERIFY2(db.createAndOpen(QStringLiteral("clinic")), qPrintable(db.lastError()));
    QVERIFY2(db.bringTo(QStringLiteral("1.7.0")), qPrintable(db.lastError()));
    const QString szName = db.prefixed(QStringLiteral("clinic"));
    m_env.configure(szName);
    DBManager::instance()->enableEncryption(TestDatabase::caFile(), QStringLiteral("tools-test-data-key"));
    QVERIFY(BackupTestData::openDefault(szName));
    DatabaseBackup backup;
    UIMessageBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(backup.backup(&m_window));
    const QStringList before = BackupTestData::fingerprint(szName);
    takeBoxes();

    // What the dialog shows, read while it is open, then closed.
    QStringList lstRows;
    QString szResult;
    QTimer reader;
    connect(&reader, &QTimer::timeout, [&] {
        auto *pDialog = qobject_cast<UIRehearsal *>(QApplication::activeModalWidget());
        if (!pDialog)
            return;
        auto *pTable = pDialog->findChild<QTableWidget *>(QStringLiteral("tableWidgetSteps"));
        for (int nRow = 0; pTable && nRow < pTable->rowCount(); ++nRow)
            lstRows << pTable->item(nRow, 0)->text() + QLatin1Char(' ') + pTable->item(nRow, 2)->text();
        szResult = pDialog->findChild<QLabel *>(QStringLiteral("labelResult"))->text();
        pDialog->reject();
    });
    reader.start(50);
    UIMessageBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(backup.rehearse(&m_window));
    reader.stop();

    QCOMPARE(lstRows, (QStringList{"1.8.0 Succeeded", "1.9.0 Succeeded"}));
    QCOMPARE(szResult, QStringLiteral("The update from version 1.7.0 to 1.9.0 succeeded on the copy of the database."));
    // The question came first; the database is as it was, the copy is gone.
    QVERIFY(takeBoxes().first().second.startsWith(QStringLiteral("The update will be rehearsed on a copy")));
    QCOMPARE(BackupTestData::fingerprint(szName), before);
    QCOMPARE(BackupTestData::defaultDatabaseName(), szName);
    QCOMPARE(m_pAdmin->scalarAdmin("SELECT count(*) FROM pg_database WHERE datname LIKE 'kiv\\_rehearse\\_%'").toInt(),
             0);
    DBManager::instance()->closeDatabase();
}

QTEST_MAIN(TestDatabaseBackup)
#include "tst_DatabaseBackup.moc"
