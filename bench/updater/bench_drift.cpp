// Measures the schema drift check (SchemaDrift::check) of a database at
// "1.9.0" on the private test server, against the round trip of "SELECT 1"
// over the same connection, measured in the same run. The check reads the
// whole catalog in one query (plus the search path set and put back) and
// compares it with the expected text compiled in; it should end well within
// 100 ms, so that it can run before every update and in the status command.
// Usage: bench_drift [ROUNDS]   (31 by default)
// Each figure is the median of its rounds, with the spread (lowest-highest).

#include "BenchSupport.h"
#include "DBManager.h"
#include "SchemaCatalog.h"
#include "SchemaDrift.h"
#include "TestDatabase.h"
#include "UpdaterTestDatabase.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlQuery>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

const char *const kDataKey = "bench-drift-data-key-0123456789ab";
constexpr double kTargetMs = 100.0;

// Milliseconds of each of nRounds runs of work, after two runs to warm up.
QVector<double> timed(int nRounds, const std::function<void()> &work)
{
    work();
    work();
    QVector<double> values;
    QElapsedTimer timer;
    for (int i = 0; i < nRounds; ++i) {
        timer.start();
        work();
        values << timer.nsecsElapsed() / 1e6;
    }
    return values;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The personal-data pass of "1.8.0" shows its progress dialog.
    QApplication app(argc, argv);
    if (!UpdaterTestDatabase::isConfigured())
        fail(QStringLiteral("KIV_TEST_PG* not set: start scripts/pgserver.sh and source its env.sh"));
    bool bOk = true;
    const int nRounds = app.arguments().size() > 1 ? app.arguments().at(1).toInt(&bOk) : 31;
    if (!bOk || nRounds < 1)
        fail(QStringLiteral("bad round count %1").arg(app.arguments().value(1)));

    DBManager::instance()->enableEncryption(TestDatabase::caFile(), QString::fromLatin1(kDataKey));
    UpdaterTestDatabase db;
    if (!db.prepare(QStringLiteral("driftbench")) || !db.createAndOpen(QStringLiteral("drift")) ||
        !db.bringTo(QStringLiteral("1.9.0")))
        fail(db.lastError());

    const SchemaDriftResult first = SchemaDrift::check(QStringLiteral("1.9.0"));
    if (!first.isCompared() || first.hasDrift() || !first.extra().isEmpty())
        fail(QStringLiteral("the database is not as expected: %1").arg(first.summary()));

    QSqlDatabase connection = QSqlDatabase::database();
    const QVector<double> baseline = timed(nRounds, [&connection] {
        QSqlQuery query(connection);
        if (!query.exec(QStringLiteral("SELECT 1")) || !query.next())
            fail(QStringLiteral("SELECT 1 failed"));
    });
    const QVector<double> check = timed(nRounds, [] {
        if (!SchemaDrift::check(QStringLiteral("1.9.0")).isCompared())
            fail(QStringLiteral("the check failed"));
    });
    // Its two halves: the catalog of the server, the expected text.
    const QVector<double> catalog = timed(nRounds, [&connection] {
        SchemaCatalog found;
        if (!found.read(connection))
            fail(found.errorText());
    });
    const QVector<double> expected = timed(nRounds, [] {
        SchemaCatalog catalog;
        if (!SchemaDrift::expectedCatalog(QStringLiteral("1.9.0"), catalog))
            fail(QStringLiteral("no expected schema for 1.9.0"));
    });

    const double dCheck = median(check);
    SchemaCatalog expectedCatalog;
    SchemaDrift::expectedCatalog(QStringLiteral("1.9.0"), expectedCatalog);
    say(QStringLiteral("schema drift check of a 1.9.0 database (%1 objects), %2 rounds")
            .arg(expectedCatalog.objects().size())
            .arg(nRounds));
    say(QStringLiteral("  baseline SELECT 1 round trip: %1").arg(figure(baseline)));
    say(QStringLiteral("  drift check:                  %1  = %2 x baseline")
            .arg(figure(check))
            .arg(dCheck / median(baseline), 0, 'f', 1));
    say(QStringLiteral("    catalog read:               %1").arg(figure(catalog)));
    say(QStringLiteral("    expected text parsed:       %1").arg(figure(expected)));
    say(QStringLiteral("  target under %1 ms: %2")
            .arg(kTargetMs, 0, 'f', 0)
            .arg(dCheck < kTargetMs ? QStringLiteral("met") : QStringLiteral("NOT met")));

    connection = QSqlDatabase();
    db.release();
    return 0;
}
