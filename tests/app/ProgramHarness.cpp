#include "ProgramHarness.h"

#include <QJsonDocument>

#include "TestDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>

namespace {

const QString kProgram = QStringLiteral("KivDataBaseUpdater");

} // namespace

ProgramHarness::ProgramHarness() = default;

ProgramHarness::~ProgramHarness() = default;

bool ProgramHarness::setUp(QString &szError)
{
    if (!m_suite.isValid()) {
        szError = m_suite.errorString();
        return false;
    }
    // The program and its libraries in a folder below the suite root, the CA
    // chain in OpenSSL beside it.
    const QDir bin(QCoreApplication::applicationDirPath());
    const QString szUpdater = m_suite.filePath(QStringLiteral("Updater"));
    if (!QDir().mkpath(szUpdater) || !QDir().mkpath(m_suite.filePath(QStringLiteral("OpenSSL")))) {
        szError = QStringLiteral("cannot make the folders of the suite in %1").arg(m_suite.path());
        return false;
    }
    QStringList lstFiles = bin.entryList({QStringLiteral("lib*.so*")}, QDir::Files);
    lstFiles << kProgram;
    for (const QString &szFile : qAsConst(lstFiles)) {
        if (!QFile::copy(bin.filePath(szFile), szUpdater + QLatin1Char('/') + szFile)) {
            szError = QStringLiteral("cannot copy %1 into the suite").arg(bin.filePath(szFile));
            return false;
        }
    }
    if (!QFile::copy(TestDatabase::caFile(), m_suite.filePath(QStringLiteral("OpenSSL/telvorCA-chain.pem")))) {
        szError = QStringLiteral("cannot copy the CA file %1").arg(TestDatabase::caFile());
        return false;
    }
    m_szProgram = szUpdater + QLatin1Char('/') + kProgram;
    return newConfiguration();
}

bool ProgramHarness::newConfiguration()
{
    m_pConfigHome = std::make_unique<QTemporaryDir>();
    return m_pConfigHome->isValid();
}

void ProgramHarness::configure(const QString &szHost, int nPort, const QString &szDatabase)
{
    setSetting(QStringLiteral("dbInfo/dataSource"), szHost);
    setSetting(QStringLiteral("dbInfo/portNumber"), nPort);
    setSetting(QStringLiteral("dbInfo/initialCatalog"), szDatabase);
    setSetting(QStringLiteral("dbInfo/connectionTimeout"), 10);
    setSetting(QStringLiteral("logFile/databaseEnabled"), true);
}

void ProgramHarness::setSetting(const QString &szKey, const QVariant &value)
{
    QSettings settings(m_pConfigHome->filePath(QStringLiteral("Marlek Telvor Group/Telvor Imaging Suite.conf")),
                       QSettings::IniFormat);
    settings.setValue(QStringLiteral("tools/common/") + szKey, value);
}

QProcessEnvironment ProgramHarness::environment(bool bHeadless) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_pConfigHome->path());
    if (bHeadless) {
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    }
    return env;
}

QString ProgramHarness::logFolder() const
{
    return m_suite.filePath(QStringLiteral("Log"));
}

QString ProgramHarness::reportFilePath() const
{
    return m_suite.filePath(QStringLiteral("Log/KivDataBaseUpdater-last-run.json"));
}

QString ProgramHarness::backupFolder() const
{
    return m_suite.filePath(QStringLiteral("DataBaseBackUp"));
}

QString ProgramHarness::logText() const
{
    QString szText;
    const QDir logDir(logFolder());
    for (const QString &szName : logDir.entryList({QStringLiteral("*.log")}, QDir::Files, QDir::Name)) {
        QFile file(logDir.filePath(szName));
        if (file.open(QIODevice::ReadOnly))
            szText += QString::fromUtf8(file.readAll());
    }
    return szText;
}

QStringList ProgramHarness::logLines(const QString &szText)
{
    // Each line: "KIV00000001<stamp> " before the text.
    QStringList lstLines;
    for (const QString &szLine : szText.split(QLatin1Char('\n'))) {
        const int nHead = szLine.indexOf(QLatin1String("> "));
        if (szLine.startsWith(QLatin1String("KIV")) && nHead > 0)
            lstLines << szLine.mid(nHead + 2);
    }
    return lstLines;
}

void ProgramHarness::start(QProcess &process,
                           const QStringList &lstArguments,
                           const QProcessEnvironment &environment) const
{
    process.setProcessEnvironment(environment);
    process.start(m_szProgram, lstArguments);
}

ProgramHarness::Run ProgramHarness::run(const QStringList &lstArguments) const
{
    return run(lstArguments, environment(true));
}

ProgramHarness::Run ProgramHarness::run(const QStringList &lstArguments, const QProcessEnvironment &environment) const
{
    const int nBefore = logText().size();
    QProcess process;
    start(process, lstArguments, environment);
    Run result;
    if (!process.waitForStarted(10000) || !process.waitForFinished(300000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.nExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -200;
    result.stdOut = process.readAllStandardOutput();
    result.stdErr = process.readAllStandardError();
    result.lstLog = logLines(logText().mid(nBefore));
    return result;
}

QJsonObject ProgramHarness::Run::json() const
{
    return QJsonDocument::fromJson(stdOut).object();
}

QString ProgramHarness::Run::text() const
{
    return QStringLiteral("exit code %1\nstandard output:\n%2\nstandard error:\n%3\nlog:\n%4")
        .arg(nExitCode)
        .arg(QString::fromLocal8Bit(stdOut), QString::fromLocal8Bit(stdErr), lstLog.join(QLatin1Char('\n')));
}
