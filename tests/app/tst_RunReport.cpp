#include "Clock.h"
#include "ReportSchema.h"
#include "RunReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A report with every field filled, as the program could write it.
RunReport fullReport()
{
    RunReport report;
    report.setCommand(QStringLiteral("autoUpdate"));
    report.setServer(QStringLiteral("db.clinic.example"), 6543);
    report.setDatabase(QStringLiteral("pelq"));
    report.setServerVersion(QStringLiteral("15.6 (Debian 15.6-0+deb12u1)"));
    report.setTls(true);
    report.setVersionBefore(QStringLiteral("1.7.0"));
    report.setVersionAfter(QStringLiteral("1.8.0"));
    report.setPendingSteps({QStringLiteral("1.8.0"), QStringLiteral("1.9.0")});
    report.addStep({QStringLiteral("1.8.0"), 1834, true});
    report.addStep({QStringLiteral("1.9.0"), 12, false});
    report.setBackup({QStringLiteral("/opt/telvor/DataBaseBackUp/pelq_backup_20260105_021500.tar"),
                      123456789,
                      QStringLiteral("9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08")});
    report.setNewestBackup(QStringLiteral("/opt/telvor/DataBaseBackUp/pelq_backup_20260105_021500.tar"),
                           QDateTime(QDate(2026, 1, 5), QTime(2, 15, 7), Qt::OffsetFromUTC, 3600),
                           123456789,
                           QStringLiteral("matches"));
    report.setDrift({{QStringLiteral("missing"), QStringLiteral("column \"USERS\".\"Level\""), "integer", QString()},
                     {QStringLiteral("changed"), QStringLiteral("index ix"), "btree (a)", "btree (b)"},
                     {QStringLiteral("extra"), QStringLiteral("table notes_backup"), QString(), QString()}});
    report.setLockHolder({4711, QStringLiteral("marlek"), QStringLiteral("KivDataBaseUpdater"), "10.0.0.7"});
    report.setSessions({{4711, QStringLiteral("marlek"), QStringLiteral("KivDataBaseUpdater"), "10.0.0.7"},
                        {4712, QStringLiteral("viewer"), QString(), QString()}});
    report.setDetails(QJsonObject{{QStringLiteral("rehearsedOn"), QStringLiteral("x.tar")}});
    report.addError(QStringLiteral("Error during database update."));
    report.setLogFile(QStringLiteral("/opt/telvor/Log/KivDataBaseUpdater-2026-01-05.log"));
    report.finish(1, false);
    return report;
}

// Sets the value at a path of keys and indexes ("stepsRun/0/result"); an
// undefined value removes the key.
void setAt(QJsonObject &object, const QStringList &lstPath, const QJsonValue &value);

void setAt(QJsonArray &array, const QStringList &lstPath, const QJsonValue &value)
{
    const int nIndex = lstPath.first().toInt();
    if (lstPath.size() == 1) {
        array[nIndex] = value;
        return;
    }
    QJsonObject child = array.at(nIndex).toObject();
    setAt(child, lstPath.mid(1), value);
    array[nIndex] = child;
}

void setAt(QJsonObject &object, const QStringList &lstPath, const QJsonValue &value)
{
    const QString &szKey = lstPath.first();
    if (lstPath.size() == 1) {
        if (value.isUndefined())
            object.remove(szKey);
        else
            object.insert(szKey, value);
        return;
    }
    if (object.value(szKey).isArray()) {
        QJsonArray child = object.value(szKey).toArray();
        setAt(child, lstPath.mid(1), value);
        object.insert(szKey, child);
    } else {
        QJsonObject child = object.value(szKey).toObject();
        setAt(child, lstPath.mid(1), value);
        object.insert(szKey, child);
    }
}

QByteArray text(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

// The run report as the program writes it, against the JSON Schema that
// distribution tools validate it with (docs/run-report.schema.json).
class RunReportTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void everyFieldFilledFitsTheSchema();
    void emptyReportFitsTheSchema_data();
    void emptyReportFitsTheSchema();
    void schemaRefusesWhatTheProgramNeverWrites_data();
    void schemaRefusesWhatTheProgramNeverWrites();
    void emptyTextsAreNull();
    void timesCarryTheirOffset_data();
    void timesCarryTheirOffset();
    void fileHoldsTheSameReport();
    void fileInAMissingFolderFailsAndSaysWhy();
};

void RunReportTest::initTestCase()
{
    if (ReportSchema::interpreter().isEmpty())
        QSKIP("python3-jsonschema is missing (scripts/setup.sh installs it): nothing to validate with");
}

void RunReportTest::cleanup()
{
    Clock::set({});
}

void RunReportTest::everyFieldFilledFitsTheSchema()
{
    const QByteArray json = fullReport().toJsonText();
    QVERIFY(json.endsWith('\n'));
    QCOMPARE(json.count('\n'), 1);
    const QString szProblems = ReportSchema::problems(json);
    QVERIFY2(szProblems.isEmpty(), qPrintable(szProblems + QLatin1Char('\n') + QString::fromUtf8(json)));

    // Nothing of the schema's list is left out, and nothing beyond it is in.
    const QJsonObject object = fullReport().toJson();
    QCOMPARE(object.value(QStringLiteral("exitCode")).toInt(), 1);
    QCOMPARE(object.value(QStringLiteral("stepsRun")).toArray().size(), 2);
    QCOMPARE(object.value(QStringLiteral("backup")).toObject().value(QStringLiteral("bytes")).toDouble(), 123456789.0);
    QCOMPARE(object.value(QStringLiteral("newestBackup")).toObject().value(QStringLiteral("modifiedAt")).toString(),
             QStringLiteral("2026-01-05T02:15:07.000+01:00"));
    QCOMPARE(object.value(QStringLiteral("lockHolder")).toObject().value(QStringLiteral("processId")).toInt(), 4711);
}

void RunReportTest::emptyReportFitsTheSchema_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("success");
    QTest::addColumn<bool>("valid");

    // A run that ended before it read anything (a refused second copy), or
    // a status that found something to report.
    QTest::newRow("refused copy") << "autoUpdate" << 255 << false << true;
    QTest::newRow("status, steps pending") << "status" << 2 << true << true;
    QTest::newRow("status, lock held") << "status" << 3 << true << true;
    QTest::newRow("status, drift") << "status" << 4 << true << true;
    QTest::newRow("update, success") << "autoCreate" << 0 << true << true;
    // What contradicts itself.
    QTest::newRow("update, success with code 2") << "autoUpdate" << 2 << true << false;
    QTest::newRow("update, failure with code 0") << "autoUpdate" << 0 << false << false;
    QTest::newRow("status, failure with code 2") << "status" << 2 << false << false;
    QTest::newRow("status, success with code 1") << "status" << 1 << true << false;
}

void RunReportTest::emptyReportFitsTheSchema()
{
    QFETCH(QString, command);
    QFETCH(int, exitCode);
    QFETCH(bool, success);
    QFETCH(bool, valid);

    RunReport report;
    report.setCommand(command);
    if (!success)
        report.addError(QStringLiteral("The application is already running !"));
    report.finish(exitCode, success);
    const QJsonObject object = report.toJson();
    for (const char *pszKey : {"server", "database", "tls", "versionBefore", "backup", "lockHolder", "logFile"})
        QVERIFY2(object.value(QLatin1String(pszKey)).isNull(), pszKey);
    const QString szProblems = ReportSchema::problems(report.toJsonText());
    QVERIFY2(szProblems.isEmpty() == valid, qPrintable(szProblems));
}

void RunReportTest::schemaRefusesWhatTheProgramNeverWrites_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("value"); // JSON text; empty: the key removed

    QTest::newRow("format missing") << "format"
                                    << "";
    QTest::newRow("exitCode missing") << "exitCode"
                                      << "";
    QTest::newRow("errors missing") << "errors"
                                    << "";
    QTest::newRow("field beyond the list") << "note"
                                           << "\"x\"";
    QTest::newRow("another format") << "format"
                                    << "2";
    QTest::newRow("unknown command") << "command"
                                     << "\"window\"";
    QTest::newRow("exit code -1") << "exitCode"
                                  << "-1";
    QTest::newRow("exit code as text") << "exitCode"
                                       << "\"1\"";
    QTest::newRow("tls as text") << "tls"
                                 << "\"on\"";
    QTest::newRow("server without port") << "server"
                                         << "\"db.clinic.example\"";
    QTest::newRow("empty version") << "versionBefore"
                                   << "\"\"";
    QTest::newRow("start without offset") << "startedAt"
                                          << "\"2026-01-05T02:15:07.000\"";
    QTest::newRow("end without milliseconds") << "endedAt"
                                              << "\"2026-01-05T02:15:07+01:00\"";
    QTest::newRow("end as a date") << "endedAt"
                                   << "\"2026-01-05\"";
    QTest::newRow("pending step not a version") << "pendingSteps/0"
                                                << "\"next\"";
    QTest::newRow("step result unknown") << "stepsRun/0/result"
                                         << "\"skipped\"";
    QTest::newRow("step without duration") << "stepsRun/0/milliseconds"
                                           << "";
    QTest::newRow("step with fractional duration") << "stepsRun/0/milliseconds"
                                                   << "1.5";
    QTest::newRow("checksum in capitals") << "backup/sha256"
                                          << "\"9F86D081884C7D659A2FEAA0C55AD015A3BF4F1B2B0B822CD15D6C15B0F00A08\"";
    QTest::newRow("checksum cut short") << "backup/sha256"
                                        << "\"9f86d081\"";
    QTest::newRow("negative size") << "backup/bytes"
                                   << "-1";
    QTest::newRow("newest backup state unknown") << "newestBackup/checksum"
                                                 << "\"ok\"";
    QTest::newRow("drift kind unknown") << "drift/0/kind"
                                        << "\"removed\"";
    QTest::newRow("drift without object") << "drift/0/object"
                                          << "";
    QTest::newRow("lock holder without process") << "lockHolder/processId"
                                                 << "";
    QTest::newRow("session with a further field") << "sessions/0/database"
                                                  << "\"pelq\"";
    QTest::newRow("empty error text") << "errors/0"
                                      << "\"\"";
    QTest::newRow("error of two lines") << "errors/0"
                                        << "\"Unable to connect\\nQPSQL: Unable to connect\"";
    QTest::newRow("error with a tab") << "errors/0"
                                      << "\"Unable to connect\\tagain\"";
    QTest::newRow("error ending in a blank") << "errors/0"
                                             << "\"Unable to connect \"";
    QTest::newRow("failure without an error") << "errors"
                                              << "[]";
    QTest::newRow("details as a list") << "details"
                                       << "[]";
}

void RunReportTest::schemaRefusesWhatTheProgramNeverWrites()
{
    QFETCH(QString, path);
    QFETCH(QString, value);

    QJsonObject object = fullReport().toJson();
    QJsonValue newValue(QJsonValue::Undefined);
    if (!value.isEmpty()) {
        // Wrapped into a list: a bare value is no JSON document for Qt.
        const QJsonDocument document = QJsonDocument::fromJson("[" + value.toUtf8() + "]");
        QVERIFY2(document.isArray(), qPrintable(value));
        newValue = document.array().first();
    }
    setAt(object, path.split(QLatin1Char('/')), newValue);
    QVERIFY2(!ReportSchema::problems(text(object)).isEmpty(), qPrintable(QString::fromUtf8(text(object))));
}

void RunReportTest::emptyTextsAreNull()
{
    RunReport report;
    report.setCommand(QStringLiteral("restore"));
    report.setVersionBefore(QString(""));
    report.setDatabase(QString(""));
    // A backup file restored without a checksum file beside it.
    report.setBackup({QStringLiteral("/backups/pelq_backup_20260105_021500.tar"), 4096, QString(QLatin1String(""))});
    report.addError(QStringLiteral("  \n"));
    report.addError(QStringLiteral("  Unable to connect.\n"));
    // libpq's text with its hint, and Qt's driver text after it.
    report.addError(QStringLiteral("connection to server at \"127.0.0.1\", port 1 failed: Connection refused\n\tIs the "
                                   "server running on that host and accepting TCP/IP connections?\nQPSQL: Unable to "
                                   "connect"));
    report.finish(0, true);
    const QJsonObject object = report.toJson();
    QVERIFY(object.value(QStringLiteral("versionBefore")).isNull());
    QVERIFY(object.value(QStringLiteral("database")).isNull());
    QVERIFY(object.value(QStringLiteral("backup")).toObject().value(QStringLiteral("sha256")).isNull());
    QCOMPARE(
        object.value(QStringLiteral("errors")).toArray(),
        (QJsonArray{QStringLiteral("Unable to connect."),
                    QStringLiteral("connection to server at \"127.0.0.1\", port 1 failed: Connection refused Is the "
                                   "server running on that host and accepting TCP/IP connections? QPSQL: Unable to "
                                   "connect")}));
    QCOMPARE(ReportSchema::problems(report.toJsonText()), QString());
}

void RunReportTest::timesCarryTheirOffset_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("expected");

    QTest::newRow("UTC") << 0 << "2026-03-29T00:59:59.250Z";
    QTest::newRow("Rome, summer") << 7200 << "2026-03-29T02:59:59.250+02:00";
    QTest::newRow("Newfoundland") << -9000 << "2026-03-28T22:29:59.250-02:30";
}

void RunReportTest::timesCarryTheirOffset()
{
    QFETCH(int, offset);
    QFETCH(QString, expected);

    const QDateTime utc(QDate(2026, 3, 29), QTime(0, 59, 59, 250), Qt::UTC);
    Clock::set([&utc, offset] { return utc.toOffsetFromUtc(offset); });
    RunReport report;
    report.finish(0, true);
    const QJsonObject object = report.toJson();
    QCOMPARE(object.value(QStringLiteral("startedAt")).toString(), expected);
    QCOMPARE(object.value(QStringLiteral("endedAt")).toString(), expected);
    // What a collector reads back is the same moment.
    QCOMPARE(QDateTime::fromString(expected, Qt::ISODateWithMs).toUTC(), utc);
}

void RunReportTest::fileHoldsTheSameReport()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString szPath = folder.filePath(RunReport::kFileName);
    QFile old(szPath);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x'));
    old.close();

    const RunReport report = fullReport();
    QString szError;
    QVERIFY2(report.writeFile(szPath, &szError), qPrintable(szError));
    QFile file(szPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    QCOMPARE(QJsonDocument::fromJson(written).object(), report.toJson());
    QVERIFY(ReportSchema::problems(written).isEmpty());
    // Nothing else left in the folder (no temporary file).
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{RunReport::kFileName});
}

void RunReportTest::fileInAMissingFolderFailsAndSaysWhy()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QString szError;
    QVERIFY(!fullReport().writeFile(folder.filePath(QStringLiteral("Log/") + RunReport::kFileName), &szError));
    QVERIFY(!szError.isEmpty());
    QVERIFY(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

QTEST_GUILESS_MAIN(RunReportTest)
#include "tst_RunReport.moc"
