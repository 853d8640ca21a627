// Measures the update engine against the floor that the PostgreSQL tools set
// for the same work, in one run on the private test server:
//   chain      full chain "1.0.0" -> "1.9.0" on a new database, vs psql running
//              the same scripts in one session;
//   pass       the "1.8.0" personal-data pass over 100,000 and over 1,000,000
//              records, vs one set-based UPDATE doing the same encryption in
//              SQL with pgcrypto (as the server did it before the library
//              encrypted), both checked by decrypting a sample of the records
//              through the library; the pass over 1,000,000 records is
//              expected to end within 60 s;
//   populated  full chain on a database with 200,000 patients and 1,000,000
//              images, vs psql with the same scripts.
// Usage: bench_updater [chain] [pass[=ROWS]] [populated]   (all three by default;
//        ROWS runs the pass over that record count only, e.g. for a profiler run)
// Each figure is the median of its rounds, with the spread (lowest-highest).

#include "BenchSupport.h"
#include "DBManager.h"
#include "DbUpdateToVersion_1_8_0.h"
#include "DbUpdater.h"
#include "PersonalData.h"
#include "PgcryptoReference.h"
#include "TestDatabase.h"
#include "UpdaterTestDatabase.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

const char *const kDataKey = "bench-data-key-0123456789abcdef";

// The upgrade scripts of every version after "1.0.0", in the order the steps
// run them, written out without their byte-order mark (psql reads it as text).
QStringList extractScripts(const QString &szFolder)
{
    QStringList lstFiles;
    QDir root(QStringLiteral(":/SqlScript"));
    const QStringList lstVersions = root.entryList(QStringList{QStringLiteral("v.*")}, QDir::Dirs, QDir::Name);
    for (const QString &szVersion : lstVersions) {
        QDir dir(root.filePath(szVersion));
        for (const QString &szName : dir.entryList(QStringList{QStringLiteral("*.sql")}, QDir::Files, QDir::Name)) {
            QFile in(dir.filePath(szName));
            if (!in.open(QIODevice::ReadOnly | QIODevice::Text))
                fail(QStringLiteral("cannot read %1").arg(in.fileName()));
            QTextStream stream(&in);
            const QString szText = stream.readAll();
            const QString szOut = QStringLiteral("%1/%2-%3").arg(szFolder, szVersion, szName);
            QFile out(szOut);
            if (!out.open(QIODevice::WriteOnly) || out.write(szText.toUtf8()) < 0)
                fail(QStringLiteral("cannot write %1").arg(szOut));
            lstFiles << szOut;
        }
    }
    return lstFiles;
}

QString psqlProgram()
{
    QString szPsql =
        QStandardPaths::findExecutable(QStringLiteral("psql"), {QStringLiteral("/usr/lib/postgresql/15/bin")});
    if (szPsql.isEmpty())
        szPsql = QStandardPaths::findExecutable(QStringLiteral("psql"));
    if (szPsql.isEmpty())
        fail(QStringLiteral("psql not found"));
    return szPsql;
}

// Runs psql in one session over the files; the elapsed time in seconds.
double runPsql(const QString &szDatabase, const QStringList &lstFiles)
{
    QStringList lstArgs{QStringLiteral("-X"),
                        QStringLiteral("-q"),
                        QStringLiteral("-v"),
                        QStringLiteral("ON_ERROR_STOP=1"),
                        QStringLiteral("host=%1 port=%2 dbname=%3 user=%4 sslmode=verify-ca sslrootcert=%5")
                            .arg(TestDatabase::host())
                            .arg(TestDatabase::port())
                            .arg(szDatabase, TestDatabase::user(), TestDatabase::caFile())};
    for (const QString &szFile : lstFiles)
        lstArgs << QStringLiteral("-f") << szFile;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGPASSWORD"), TestDatabase::password());
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(psqlProgram(), lstArgs);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        fail(QStringLiteral("psql failed on %1").arg(szDatabase));
    return timer.nsecsElapsed() / 1e9;
}

bool open(const QString &szDatabase)
{
    return DBManager::instance()->openDatabase(
        TestDatabase::host(), TestDatabase::port(), szDatabase, TestDatabase::user(), TestDatabase::password(), 30);
}

// Our full run: connect, then the update driver from "1.0.0".
double runUpdater(UpdaterTestDatabase &db, const QString &szDatabase)
{
    QElapsedTimer timer;
    timer.start();
    if (!open(szDatabase))
        fail(QStringLiteral("cannot connect to %1").arg(szDatabase));
    DbUpdater updater;
    bool bStepsDone = false;
    QObject::connect(&updater, &DbUpdater::updateCompleted, [&bStepsDone](bool bResult) { bStepsDone = bResult; });
    updater.setCurrentVersion(QStringLiteral("1.0.0"));
    if (!updater.updateDatabase() || !bStepsDone)
        fail(QStringLiteral("the update of %1 failed").arg(szDatabase));
    const double dSeconds = timer.nsecsElapsed() / 1e9;
    if (db.version() != QLatin1String("1.9.0"))
        fail(QStringLiteral("%1 is not at 1.9.0").arg(szDatabase));
    DBManager::instance()->closeDatabase();
    return dSeconds;
}

void checkPsqlResult(const QString &szDatabase, UpdaterTestDatabase &db)
{
    if (!open(szDatabase) || db.version() != QLatin1String("1.9.0"))
        fail(QStringLiteral("psql left %1 below 1.9.0").arg(szDatabase));
    DBManager::instance()->closeDatabase();
}

QString copyOf(UpdaterTestDatabase &db, const QString &szTemplate, const QString &szName)
{
    if (!db.copyDatabase(szTemplate, szName))
        fail(db.lastError());
    return db.prefixed(szName);
}

// Runs the update chain and psql with the same scripts on fresh copies of
// szSource, nRounds times each, and prints the medians and their ratio.
void compareWithPsql(UpdaterTestDatabase &db,
                     const QString &szSource,
                     const QString &szLabel,
                     const QStringList &lstScripts,
                     int nRounds)
{
    QVector<double> ours;
    QVector<double> floor;
    for (int i = 0; i < nRounds; ++i) {
        const QString szA = copyOf(db, szSource, szLabel + QStringLiteral("_ours"));
        ours << runUpdater(db, szA);
        const QString szB = copyOf(db, szSource, szLabel + QStringLiteral("_psql"));
        floor << runPsql(szB, lstScripts);
        checkPsqlResult(szB, db);
    }
    const double dOurs = median(ours);
    const double dFloor = median(floor);
    say(QStringLiteral("updater (connect + run): %1 s   psql (start + connect + scripts): %2 s   ratio %3")
            .arg(dOurs, 0, 'f', 3)
            .arg(dFloor, 0, 'f', 3)
            .arg(dOurs / dFloor, 0, 'f', 2));
}

void benchChain(UpdaterTestDatabase &db, const QStringList &lstScripts, int nRounds)
{
    say(QStringLiteral("== chain: 1.0.0 -> 1.9.0 on a new database, %1 rounds").arg(nRounds));
    compareWithPsql(db, db.templateName(), QStringLiteral("chain"), lstScripts, nRounds);
}

// Plain values of a few records spread over the table (first, last and some
// in between), by ID, read with the encryption switch off.
QMap<qint64, QStringList> plainSamples(UpdaterTestDatabase &db)
{
    const QStringList lstIds = db.column(QStringLiteral("SELECT \"ID\" FROM \"PERSONALDATA\" ORDER BY \"ID\""));
    if (lstIds.isEmpty())
        fail(QStringLiteral("no personal data to sample"));
    DBManager *pManager = DBManager::instance();
    pManager->setEncryptionEnabled(false);
    QMap<qint64, QStringList> samples;
    const int nSamples = 9;
    for (int i = 0; i < nSamples; ++i) {
        const qint64 nId = lstIds.at(int(qint64(lstIds.size() - 1) * i / (nSamples - 1))).toLongLong();
        PersonalData record;
        record.setIdPersonalData(nId);
        if (!record.load())
            fail(QStringLiteral("cannot read the personal data %1").arg(nId));
        QStringList lstValues;
        for (const QString &szColumn : PersonalData::encryptedColumns())
            lstValues << record.value(szColumn);
        samples.insert(nId, lstValues);
    }
    pManager->setEncryptionEnabled(true);
    return samples;
}

// The sampled records read back through the library with encryption on give
// the plain values, and are not stored as plain text.
void checkDecrypts(UpdaterTestDatabase &db, const QMap<qint64, QStringList> &samples, const QString &szWho)
{
    DBManager::instance()->setEncryptionEnabled(true);
    const QStringList lstColumns = PersonalData::encryptedColumns();
    for (auto it = samples.cbegin(); it != samples.cend(); ++it) {
        PersonalData record;
        record.setIdPersonalData(it.key());
        if (!record.load())
            fail(QStringLiteral("%1: cannot read the personal data %2 decrypted").arg(szWho).arg(it.key()));
        for (int i = 0; i < lstColumns.size(); ++i) {
            if (record.value(lstColumns.at(i)) != it.value().at(i))
                fail(QStringLiteral("%1: personal data %2, %3 does not decrypt to %4")
                         .arg(szWho)
                         .arg(it.key())
                         .arg(lstColumns.at(i), it.value().at(i)));
        }
        if (!db.scalar(QStringLiteral("SELECT left(\"LastName\", 6) = '$kiv1$' FROM \"PERSONALDATA\" "
                                      "WHERE \"ID\" = %1")
                           .arg(it.key()))
                 .toBool())
            fail(QStringLiteral("%1: personal data %2 is stored as plain text").arg(szWho).arg(it.key()));
    }
}

// The set-based floor: the same encryption of all rows in one UPDATE, done by
// the server with pgcrypto.
double encryptSetBased()
{
    QSqlQuery query(QSqlDatabase::database());
    if (!query.prepare(PgcryptoReference::encryptAllRowsSql(PersonalData::encryptedColumns())))
        fail(query.lastError().text());
    query.addBindValue(QString::fromLatin1(kDataKey));
    QSqlDatabase db = QSqlDatabase::database();
    QElapsedTimer timer;
    timer.start();
    if (!db.transaction() || !query.exec() || !db.commit())
        fail(query.lastError().text() + db.lastError().text());
    return timer.nsecsElapsed() / 1e9;
}

// The pass's median time in seconds.
double benchPass(UpdaterTestDatabase &db, int nRows, int nRounds)
{
    say(QStringLiteral("== pass: \"1.8.0\" personal-data pass over %1 records, %2 rounds").arg(nRows).arg(nRounds));
    if (!db.createAndOpen(QStringLiteral("pass_source")) || !db.bringTo(QStringLiteral("1.7.0")))
        fail(db.lastError());
    if (!db.exec(
            QStringLiteral(
                "INSERT INTO \"PERSONALDATA\" (\"FirstName\", \"LastName\", \"Title\", \"IdGender\", \"DateOfBirth\", "
                "\"Address\", \"PostalCode\", \"City\", \"StateRegion\", \"Country\", \"Telephone\", \"Mobile\", "
                "\"eMail\", "
                "\"NationalNumber\") SELECT 'First' || n, 'Last' || n, 'Dr', 1 + n % 2, '1950-01-01'::timestamp + "
                "n * interval '1 hour', n || ' Main Street', lpad((n % 99999)::text, 5, '0'), 'City ' || n % 500, "
                "'Region', "
                "'Country', '+39 02 ' || n, '+39 333 ' || n, 'person' || n || '@example.org', 'NN' || n "
                "FROM generate_series(1, %1) AS n")
                .arg(nRows - 1)) ||
        !db.exec(QStringLiteral("VACUUM ANALYZE \"PERSONALDATA\"")))
        fail(db.lastError());
    const QString szSource = db.currentName();
    const QMap<qint64, QStringList> samples = plainSamples(db);
    DBManager::instance()->closeDatabase();

    QVector<double> ours;
    QVector<double> floor;
    for (int i = 0; i < nRounds; ++i) {
        const QString szA = copyOf(db, szSource, QStringLiteral("pass_ours"));
        if (!open(szA))
            fail(QStringLiteral("cannot connect to %1").arg(szA));
        DbUpdateToVersion_1_8_0 step;
        QElapsedTimer timer;
        timer.start();
        if (!step.updateInTransaction())
            fail(QStringLiteral("the personal-data pass failed"));
        ours << timer.nsecsElapsed() / 1e9;
        if (db.scalar(QStringLiteral("SELECT count(*) FROM \"PERSONALDATA\" WHERE left(\"FirstName\", 6) = '$kiv1$'"))
                .toInt() != nRows)
            fail(QStringLiteral("the pass left records unencrypted"));
        checkDecrypts(db, samples, QStringLiteral("pass"));
        DBManager::instance()->closeDatabase();

        const QString szB = copyOf(db, szSource, QStringLiteral("pass_sql"));
        if (!open(szB) || !db.exec(QStringLiteral("CREATE EXTENSION IF NOT EXISTS pgcrypto")))
            fail(db.lastError());
        floor << encryptSetBased();
        if (db.scalar(QStringLiteral("SELECT count(*) FROM \"PERSONALDATA\" WHERE left(\"FirstName\", 6) = '$kiv1$'"))
                .toInt() != nRows)
            fail(QStringLiteral("the set-based UPDATE left records unencrypted"));
        checkDecrypts(db, samples, QStringLiteral("set-based UPDATE"));
        DBManager::instance()->closeDatabase();
    }
    const double dOurs = median(ours);
    const double dFloor = median(floor);
    say(QStringLiteral("updater pass: %1, %2 records/s   set-based UPDATE: %3   ratio %4 (target at most 2)")
            .arg(figure(ours, QStringLiteral("s"), 2))
            .arg(nRows / dOurs, 0, 'f', 0)
            .arg(figure(floor, QStringLiteral("s"), 2))
            .arg(dOurs / dFloor, 0, 'f', 2));
    return dOurs;
}

void benchPopulated(UpdaterTestDatabase &db, const QStringList &lstScripts, int nRounds)
{
    const int nPersons = 1000;
    const int nPatients = 200000;
    const int nImages = 1000000;
    say(QStringLiteral("== populated: chain on %1 patients, %2 images, %3 personal-data records, %4 rounds")
            .arg(nPatients)
            .arg(nImages)
            .arg(nPersons)
            .arg(nRounds));
    if (!db.createAndOpen(QStringLiteral("populated_source")))
        fail(db.lastError());
    const QStringList lstFill = {
        QStringLiteral("INSERT INTO \"PERSONALDATA\" (\"FirstName\", \"LastName\", \"IdGender\", \"DateOfBirth\", "
                       "\"Address\", \"PostalCode\", \"City\", \"StateRegion\", \"Country\") SELECT 'First' || n, "
                       "'Last' || n, 1, '1960-01-01', 'Street ' || n, '20100', 'Milano', 'MI', 'IT' "
                       "FROM generate_series(1, %1) AS n")
            .arg(nPersons),
        QStringLiteral("INSERT INTO patients (id_personal_data, patient_code, dcm_id) SELECT 1 + n % %1, 'P' || n, "
                       "'D' || n FROM generate_series(1, %2) AS n")
            .arg(nPersons)
            .arg(nPatients),
        QStringLiteral("INSERT INTO \"dcmStudy\" (\"PatientId\", \"DcmStudyUid\", \"AccessionNumber\") "
                       "SELECT n, '1.2.3.' || n, 'A' || n FROM generate_series(1, %1) AS n")
            .arg(nPatients),
        QStringLiteral("INSERT INTO \"dcmImageSeries\" (\"StudyId\", \"DcmSeriesUid\") "
                       "SELECT n, '1.2.3.4.' || n FROM generate_series(1, %1) AS n")
            .arg(nPatients),
        QStringLiteral("INSERT INTO dcmimage (\"ImageIndex\", \"AnodicCurrent\", \"AnodicVoltage\", \"SeriesId\", "
                       "\"DcmImageUid\", \"Type\", \"CommitmentStatus\", \"Description\") SELECT n % 5, 8, 90, "
                       "1 + n / 5, '1.2.3.4.5.' || n, 'image' || n || '.dcm', 'none', 'projection' "
                       "FROM generate_series(1, %1) AS n")
            .arg(nImages),
        QStringLiteral("VACUUM ANALYZE \"PERSONALDATA\", patients, \"dcmStudy\", \"dcmImageSeries\", dcmimage"),
    };
    for (const QString &szSql : lstFill) {
        if (!db.exec(szSql))
            fail(db.lastError());
    }
    const QString szSource = db.currentName();
    DBManager::instance()->closeDatabase();

    compareWithPsql(db, szSource, QStringLiteral("populated"), lstScripts, nRounds);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!UpdaterTestDatabase::isConfigured())
        fail(QStringLiteral("KIV_TEST_PG* not set: start scripts/pgserver.sh and source its env.sh"));

    QStringList lstWanted = app.arguments().mid(1);
    if (lstWanted.isEmpty())
        lstWanted = QStringList{QStringLiteral("chain"), QStringLiteral("pass"), QStringLiteral("populated")};

    DBManager::instance()->enableEncryption(TestDatabase::caFile(), QString::fromLatin1(kDataKey));
    DBManager::instance()->setEncryptionEnabled(true);
    UpdaterTestDatabase db;
    if (!db.prepare(QStringLiteral("updbench")))
        fail(db.lastError());
    QTemporaryDir scriptDir;
    const QStringList lstScripts = extractScripts(scriptDir.path());

    if (lstWanted.contains(QLatin1String("chain")))
        benchChain(db, lstScripts, 7);
    for (const QString &szWanted : qAsConst(lstWanted)) {
        if (szWanted == QLatin1String("pass") || szWanted.startsWith(QLatin1String("pass="))) {
            bool bOk = true;
            const int nRows =
                szWanted.contains(QLatin1Char('=')) ? szWanted.section(QLatin1Char('='), 1).toInt(&bOk) : 100000;
            if (!bOk || nRows < 1)
                fail(QStringLiteral("bad record count in %1").arg(szWanted));
            if (szWanted.contains(QLatin1Char('='))) {
                benchPass(db, nRows, 3);
                continue;
            }
            benchPass(db, nRows, 3);
            const int nMillion = 1000000;
            const double dSeconds = benchPass(db, nMillion, 3);
            say(QStringLiteral("pass over %1 records: %2 s (target under 60 s)")
                    .arg(nMillion)
                    .arg(dSeconds, 0, 'f', 1));
        }
    }
    if (lstWanted.contains(QLatin1String("populated")))
        benchPopulated(db, lstScripts, 3);
    db.release();
    return 0;
}
