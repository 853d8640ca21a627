#include "ReportSchema.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace {

// Reads the report from standard input, prints each problem on a line of
// its own ("path: message") and ends with 1 when there is one.
const char *const kValidator = R"(import json, sys
import jsonschema
with open(sys.argv[1], encoding='utf-8') as f:
    schema = json.load(f)
jsonschema.Draft202012Validator.check_schema(schema)
try:
    report = json.loads(sys.stdin.buffer.read().decode('utf-8'))
except ValueError as e:
    print('not JSON: %s' % e)
    sys.exit(1)
errors = sorted(jsonschema.Draft202012Validator(schema).iter_errors(report), key=lambda e: list(e.absolute_path))
for e in errors:
    print('/%s: %s' % ('/'.join(str(p) for p in e.absolute_path), e.message))
sys.exit(1 if errors else 0)
)";

} // namespace

QString ReportSchema::interpreter()
{
    static const QString szPython = [] {
        // Debian's own first: the package scripts/setup.sh installs.
        QStringList lstCandidates{
            QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")}),
            QStandardPaths::findExecutable(QStringLiteral("python3"))};
        for (const QString &szCandidate : qAsConst(lstCandidates)) {
            if (szCandidate.isEmpty())
                continue;
            QProcess probe;
            probe.start(szCandidate,
                        {QStringLiteral("-c"), QStringLiteral("import jsonschema; jsonschema.Draft202012Validator")});
            if (probe.waitForFinished(60000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0)
                return szCandidate;
        }
        return QString();
    }();
    return szPython;
}

QString ReportSchema::schemaFile()
{
    return QStringLiteral(KIV_SOURCE_ROOT "/docs/run-report.schema.json");
}

QString ReportSchema::problems(const QByteArray &json)
{
    if (!QFile::exists(schemaFile()))
        return QStringLiteral("no schema file %1").arg(schemaFile());
    const QString szPython = interpreter();
    if (szPython.isEmpty())
        return QStringLiteral("no python3 with jsonschema");
    QProcess validator;
    validator.start(szPython, {QStringLiteral("-c"), QString::fromUtf8(kValidator), schemaFile()});
    if (!validator.waitForStarted(30000))
        return QStringLiteral("the validator does not start: %1").arg(validator.errorString());
    validator.write(json);
    validator.closeWriteChannel();
    if (!validator.waitForFinished(60000) || validator.exitStatus() != QProcess::NormalExit)
        return QStringLiteral("the validator did not end");
    const QString szOut = QString::fromUtf8(validator.readAllStandardOutput()).trimmed();
    if (validator.exitCode() == 0)
        return QString();
    if (!szOut.isEmpty())
        return szOut;
    return QStringLiteral("the validator failed: %1").arg(QString::fromUtf8(validator.readAllStandardError()));
}
