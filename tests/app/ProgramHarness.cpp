#include "ProgramHarness.h"

#include "AppTestEnvironment.h"
#include "TestDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString kProgram = QStringLiteral("KivDataBaseUpdater");

} // namespace

QJsonObject ProgramHarness::Run::json() const
{
    return QJsonDocument::fromJson(standardOutput).object();
}

QString ProgramHarness::Run::text() const
{
    return QStringLiteral("exit code %1\n--- stdout\n%2\n--- stderr\n%3\n--- log\n%4")
        .arg(nExitCode)
        .arg(QString::fromLocal8Bit(standardOutput),
             QString::fromLocal8Bit(standardError),
             lstLog.join(QLatin1Char('\n')));
}

ProgramHarness::ProgramHarness() = default;

ProgramHarness::~ProgramHarness() = default;

bool ProgramHarness::setUp(QString &szError)
{
    if (!m_suite.isValid()) {
        szError = m_suite.errorString();
        return false;
    }
    // As an installer lays it out: the program and its libraries in a folder
    // below the suite root, the CA chain in OpenSSL beside it.
    const QDir bin(QCoreApplication::applicationDirPath());
    const QString szUpdater = m_suite.filePath(QStringLiteral("Updater"));
    if (!QDir().mkpath(szUpdater) || !QDir().mkpath(m_suite.filePath(QStringLiteral("OpenSSL")))) {
        szError = QStringLiteral("cannot make the suite's folders");
        return false;
    }
    QStringList lstFiles = bin.entryList({QStringLiteral("lib*.so*")}, QDir::Files);
    lstFiles << kProgram;
    for (const QString &szFile : qAsConst(lstFiles)) {
        if (!QFile::copy(bin.filePath(szFile), szUpdater + QLatin1Char('/') + szFile)) {
            szError = QStringLiteral("cannot copy %1").arg(szFile);
            return false;
        }
    }
    const QString szCa = TestDatabase::caFile();
    if (!QFile::copy(szCa, m_suite.filePath(QStringLiteral("OpenSSL/telvorCA-chain.pem")))) {
        szError = QStringLiteral("cannot copy the CA chain %1").arg(szCa);
        return false;
    }
    m_szProgram = szUpdater + QLatin1Char('/') + kProgram;
    newSettings();
    return true;
}

void ProgramHarness::newSettings()
{
    m_pConfigHome = std::make_unique<QTemporaryDir>();
}

QString ProgramHarness::settingsFile() const
{
    return m_pConfigHome->filePath(QStringLiteral("Marlek Telvor Group/Telvor Imaging Suite.conf"));
}

void ProgramHarness::configure(const QString &szHost, int nPort, const QString &szDatabase)
{
    QSettings settings(settingsFile(), QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("tools/common"));
    settings.setValue(QStringLiteral("dbInfo/dataSource"), szHost);
    settings.setValue(QStringLiteral("dbInfo/portNumber"), nPort);
    settings.setValue(QStringLiteral("dbInfo/initialCatalog"), szDatabase);
    settings.setValue(QStringLiteral("dbInfo/connectionTimeout"), 10);
    settings.setValue(QStringLiteral("logFile/databaseEnabled"), true);
    settings.setValue(QStringLiteral("miscellaneous/dbServerPath"), AppTestEnvironment::clientFolder());
    settings.setValue(QStringLiteral("miscellaneous/timeoutProcessExecution"), 300);
}

void ProgramHarness::setValue(const QString &szKey, const QVariant &value)
{
    QSettings settings(settingsFile(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("tools/common/") + szKey, value);
}

QProcessEnvironment ProgramHarness::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_pConfigHome->path());
    // A run from a scheduler: no screen, and the program finds out itself.
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return env;
}

QString ProgramHarness::suiteFolder() const
{
    return m_suite.path();
}

QString ProgramHarness::backupFolder() const
{
    return m_suite.filePath(QStringLiteral("DataBaseBackUp"));
}

QString ProgramHarness::reportFile() const
{
    return m_suite.filePath(QStringLiteral("Log/KivDataBaseUpdater-last-run.json"));
}

QString ProgramHarness::logText() const
{
    QString szText;
    const QDir logDir(m_suite.filePath(QStringLiteral("Log")));
    for (const QString &szName : logDir.entryList({QStringLiteral("*.log")}, QDir::Files, QDir::Name)) {
        QFile file(logDir.filePath(szName));
        if (file.open(QIODevice::ReadOnly))
            szText += QString::fromUtf8(file.readAll());
    }
    return szText;
}

ProgramHarness::Run ProgramHarness::run(const QStringList &lstArguments, int nTimeoutMs) const
{
    const int nBefore = logText().size();
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(m_szProgram, lstArguments);
    Run result;
    if (!process.waitForStarted(10000) || !process.waitForFinished(nTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.nExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -200;
    result.standardOutput = process.readAllStandardOutput();
    result.standardError = process.readAllStandardError();
    // Lines of the text log: a head "KIV00000001<stamp> " before each text.
    for (const QString &szLine : logText().mid(nBefore).split(QLatin1Char('\n'))) {
        const int nHead = szLine.indexOf(QLatin1String("> "));
        if (szLine.startsWith(QLatin1String("KIV")) && nHead > 0)
            result.lstLog << szLine.mid(nHead + 2);
    }
    return result;
}

bool ProgramHarness::matchesSchema(const QByteArray &json,
                                   const QString &szSchemaFile,
                                   QString &szError,
                                   bool *pbChecked)
{
    if (pbChecked)
        *pbChecked = false;
    const QString szPython = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (!QFile::exists(szSchemaFile) || szPython.isEmpty())
        return true;
    QProcess python;
    python.start(szPython,
                 {QStringLiteral("-c"),
                  QStringLiteral("import json, sys\n"
                                 "try:\n"
                                 "    import jsonschema\n"
                                 "except ImportError:\n"
                                 "    sys.exit(3)\n"
                                 "schema = json.load(open(sys.argv[1]))\n"
                                 "jsonschema.validate(json.load(sys.stdin), schema, "
                                 "format_checker=jsonschema.FormatChecker())\n"),
                  szSchemaFile});
    if (!python.waitForStarted(10000)) {
        szError = python.errorString();
        return false;
    }
    python.write(json);
    python.closeWriteChannel();
    if (!python.waitForFinished(60000)) {
        szError = QStringLiteral("the validator did not end");
        return false;
    }
    if (python.exitCode() == 3)
        return true;
    if (pbChecked)
        *pbChecked = true;
    szError = QString::fromLocal8Bit(python.readAllStandardError());
    return python.exitStatus() == QProcess::NormalExit && python.exitCode() == 0;
}
