#include "AppContext.h"
#include "Clock.h"
#include "CommandLine.h"
#include "CommandRunner.h"
#include "DBManager.h"
#include "KivDataBaseUpdater.h"
#include "KivResources.h"
#include "LogFileManager.h"
#include "ProgramLog.h"
#include "RunReport.h"
#include "SingleInstanceGuard.h"
#include "StartUp.h"
#include "StatusCommand.h"
#include "UIMessageBox.h"
#include "Vesper.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QTextStream>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <memory>

namespace {

const QString kInstanceKey = QStringLiteral("KivDataBaseUpdater-61BB200D-3579-453e-9044");

void installTranslator(QTranslator &translator, const QString &szFileName, const QString &szFolder)
{
    // Installed whether or not the file was found: a missing translation
    // leaves the English texts.
    translator.load(szFileName, szFolder, QString(), QString());
    QCoreApplication::installTranslator(&translator);
}

QString logFilePath(const QString &szSuiteFolder)
{
    return StartUp::logFolder(szSuiteFolder) + StartUp::logFileName(Clock::today()) + QStringLiteral(".log");
}

void setUpLog(const QString &szSuiteFolder, const CnfLogFile &cnfLogFile, QObject *pOwner)
{
    LogFileManager *pLog = LogFileManager::Instance();
    pLog->SetOwner(pOwner);
    const QString szLogFolder = StartUp::logFolder(szSuiteFolder);
    QDir().mkpath(szLogFolder);
    const int nFileSize = StartUp::logFileSize(cnfLogFile.fileDimension());
    pLog->DeleteOldFiles(szLogFolder, QStringLiteral("log"), cnfLogFile.validityDays());
    pLog->AddLogFile(ProgramLog::kLogFileIdx,
                     QStringLiteral("KIV"),
                     szLogFolder,
                     StartUp::logFileName(Clock::today()),
                     QStringLiteral("log"),
                     nFileSize,
                     5,
                     false,
                     true);
    pLog->SetSeparateFiles(true, 5, 10, true);
    pLog->SetCategoryFilters(cnfLogFile.databaseEnabled(), cnfLogFile.deviceEnabled());
    pLog->OpenFiles();
}

void print(FILE *pStream, const QString &szText)
{
    const QByteArray bytes = szText.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), pStream);
    std::fflush(pStream);
}

// The identity, the folders and the configuration; with bLog also the log
// file with its first lines and Qt's messages routed into it.
void startUp(QCoreApplication &app, bool bLog)
{
    QCoreApplication::setApplicationName(StartUp::kApplicationName);
    QCoreApplication::setApplicationVersion(StartUp::kApplicationVersion);
    AppContext &context = AppContext::instance();
    const QString szSuiteFolder = StartUp::suiteFolder(QCoreApplication::applicationDirPath());
    context.setSuiteFolder(szSuiteFolder);
    context.setProgramBaseName(StartUp::programBaseName(QCoreApplication::applicationFilePath()));
    context.setCaChainFilePath(StartUp::caChainFilePath(szSuiteFolder));
    context.loadConfiguration();
    if (!bLog)
        return;
    QDir().mkpath(StartUp::backupFolder(szSuiteFolder));
    setUpLog(szSuiteFolder, context.cnfProgram().logFile(), &app);
    qInstallMessageHandler(messageHandler);
    ProgramLog::info(QStringLiteral("*** Start Program ***"));
}

void endLog()
{
    ProgramLog::info(QStringLiteral("*** Close Program ***\n"));
    LogFileManager::Release();
    qInstallMessageHandler(nullptr);
}

// Arguments after a known command that mean nothing to it are ignored, and
// said so once.
void warnIgnored(const CommandLine &commandLine, bool bLog)
{
    if (commandLine.ignored().isEmpty())
        return;
    const QString szWarning = QStringLiteral("Ignored arguments: %1").arg(commandLine.ignored().join(QLatin1Char(' ')));
    if (bLog)
        ProgramLog::warning(szWarning);
    else
        print(stderr, QStringLiteral("WARNING: ") + szWarning + QLatin1Char('\n'));
}

// The end of an unattended run: the report file beside the log (whole or
// not at all), the JSON on standard output when asked for.
int finishRun(RunReport &report, const CommandLine &commandLine, int nExitCode, bool bWriteFile)
{
    // What the process returns is what a caller sees: -1 as 255.
    for (const QString &szError : ProgramLog::errors())
        report.addError(szError);
    report.finish(nExitCode & 0xff, nExitCode == CommandLine::ExitOk);
    if (bWriteFile) {
        const QString szPath = StartUp::logFolder(AppContext::instance().suiteFolder()) + RunReport::kFileName;
        QString szError;
        if (!report.writeFile(szPath, &szError))
            print(stderr, QStringLiteral("ERROR: Unable to write the report %1: %2\n").arg(szPath, szError));
    }
    if (commandLine.json())
        print(stdout, QString::fromUtf8(report.toJsonText()));
    return nExitCode;
}

// -Status: read-only and quick. No window, no log file, no report file (the
// report of the last real run stays), one connection.
int runStatus(int argc, char *argv[], const CommandLine &commandLine)
{
    QCoreApplication app(argc, argv);
    startUp(app, false);
    // Nothing of the libraries' chatter: the status says what it found.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    warnIgnored(commandLine, false);
    DBManager::instance()->enableEncryption(AppContext::instance().caChainFilePath(), QString());

    RunReport report;
    report.setCommand(commandLine.name());
    QStringList lstText;
    const int nExitCode = StatusCommand::run(report, lstText);
    if (commandLine.json()) {
        print(stdout, QString::fromUtf8(report.toJsonText()));
    } else {
        print(stdout, lstText.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        for (const QString &szError : report.errors())
            print(stderr, QStringLiteral("ERROR: ") + szError + QLatin1Char('\n'));
    }
    return nExitCode;
}

// The backup commands and the rehearsal: no window, but a QApplication on
// the offscreen platform (an update step shows a progress dialog).
int runCommand(int argc, char *argv[], const CommandLine &commandLine)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    startUp(app, true);
    ProgramLog::info(QStringLiteral("CommandLine = %1").arg(QCoreApplication::arguments().join(QLatin1Char(' '))));
    warnIgnored(commandLine, true);

    RunReport report;
    report.setCommand(commandLine.name());
    report.setLogFile(logFilePath(AppContext::instance().suiteFolder()));

    // A restore replaces the database: not while another copy works on it.
    std::unique_ptr<SingleInstanceGuard> pGuard;
    if (commandLine.command() == CommandLine::Command::Restore) {
        pGuard = std::make_unique<SingleInstanceGuard>(kInstanceKey);
        if (pGuard->isRunning()) {
            ProgramLog::error(QStringLiteral("The application is already running !"));
            finishRun(report, commandLine, CommandLine::ExitAlreadyRunning, true);
            endLog();
            return CommandLine::ExitAlreadyRunning;
        }
    }

    Vesper vesper;
    DBManager::instance()->enableEncryption(AppContext::instance().caChainFilePath(), vesper.getCredentials(CreDbKey));
    // The first connection as at start-up: with TLS when the server offers
    // it, and connections given back that a killed restore left refused. It
    // is there before the command removes what killed runs left on the
    // server. A command that needs the server and finds none says so itself;
    // the cleaning of the backup folder needs none. A restore that is not
    // confirmed touches nothing, not even the server.
    if (commandLine.command() != CommandLine::Command::Restore || commandLine.confirmed())
        connectDatabase(true);
    QStringList lstText;
    const int nExitCode = CommandRunner::run(commandLine, report, lstText);
    finishRun(report, commandLine, nExitCode, true);
    if (!commandLine.json()) {
        if (!lstText.isEmpty())
            print(stdout, lstText.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        // One line per failure, so that whoever reads "ERROR: " lines gets all
        // of it: the operator's sentences come in two lines.
        for (const QString &szError : report.errors())
            print(stderr,
                  QStringLiteral("ERROR: ") + QString(szError).replace(QLatin1Char('\n'), QLatin1Char(' ')) +
                      QLatin1Char('\n'));
    }
    endLog();
    return nExitCode;
}

} // namespace

int main(int argc, char *argv[])
{
    const QStringList lstRawArguments = StartUp::argumentList(argc, argv);
    const CommandLine commandLine = CommandLine::parse(lstRawArguments);
    const QString szProgramName = StartUp::programBaseName(QString::fromLocal8Bit(argv[0]));

    // --help, --version and a usage error answer before anything else: no
    // window, no display needed, no configuration, log or database touched.
    switch (commandLine.command()) {
    case CommandLine::Command::Help:
        print(stdout, CommandLine::usageText(szProgramName));
        return CommandLine::ExitOk;
    case CommandLine::Command::Version:
        print(stdout, StartUp::versionText());
        return CommandLine::ExitOk;
    case CommandLine::Command::UsageError:
        print(stderr,
              QStringLiteral("%1: %2\n\n%3")
                  .arg(szProgramName, commandLine.error(), CommandLine::usageText(szProgramName)));
        return CommandLine::ExitUsage;
    case CommandLine::Command::Status:
        return runStatus(argc, argv, commandLine);
    case CommandLine::Command::Window:
        // Qt would abort without a display: say so instead.
        if (!StartUp::hasDisplay()) {
            print(stderr,
                  QStringLiteral("%1: no display to open the window on (DISPLAY, WAYLAND_DISPLAY and "
                                 "QT_QPA_PLATFORM are not set). The options of --help need none.\n")
                      .arg(szProgramName));
            return CommandLine::ExitFailed;
        }
        break;
    default:
        if (commandLine.isHeadless())
            return runCommand(argc, argv, commandLine);
        break;
    }

    StartUp::chooseHeadlessPlatform(argc, argv);
    QApplication app(argc, argv);
    initKivResources();
    startUp(app, true);
    AppContext &context = AppContext::instance();
    const QString szSuiteFolder = context.suiteFolder();

    const QString szLanguage = context.cnfProgram().lingua().language();
    const QString szLanguageFolder = StartUp::languageFolder(szSuiteFolder);
    QTranslator appTranslator;
    const QString szAppTranslation = StartUp::translationFileName(context.programBaseName(), szLanguage);
    ProgramLog::info(QStringLiteral("Application language file : %1").arg(szAppTranslation));
    installTranslator(appTranslator, szAppTranslation, szLanguageFolder);
    QTranslator qtTranslator;
    const QString szQtTranslation = StartUp::translationFileName(QStringLiteral("qt"), szLanguage);
    ProgramLog::info(QStringLiteral("Qt language file : %1").arg(szQtTranslation));
    installTranslator(qtTranslator, szQtTranslation, szLanguageFolder);

    auto pWindow = std::make_unique<KivDataBaseUpdater>();
    pWindow->setWindowIcon(QIcon(QStringLiteral(":/KivDataBaseUpdater.ico")));
    if (context.cnfCommon().kivUI().enableStyleSheet()) {
        QFile styleSheet(QStringLiteral(":/qdarkstyle/style.qss"));
        if (styleSheet.open(QIODevice::ReadOnly | QIODevice::Text))
            pWindow->setStyleSheet(QTextStream(&styleSheet).readAll());
    }

    const bool bUnattended = commandLine.isUnattended();
    RunReport report;
    report.setCommand(commandLine.name());
    report.setLogFile(logFilePath(szSuiteFolder));
    SingleInstanceGuard guard(kInstanceKey);
    if (guard.isRunning()) {
        ProgramLog::warning(QStringLiteral("The application is already running !"));
        // An unattended run has nobody to press Ok: the log line says it.
        if (!bUnattended)
            UIMessageBox::warning(
                nullptr, QCoreApplication::translate("Initialization", "The application is already running !"));
        pWindow.reset();
        if (bUnattended) {
            report.addError(QStringLiteral("The application is already running !"));
            finishRun(report, commandLine, CommandLine::ExitAlreadyRunning, true);
        }
        LogFileManager::Release();
        qInstallMessageHandler(nullptr);
        return CommandLine::ExitAlreadyRunning;
    }

    ProgramLog::info(QStringLiteral("CommandLine = %1").arg(QCoreApplication::arguments().join(QLatin1Char(' '))));
    warnIgnored(commandLine, true);

    Vesper vesper;
    DBManager::instance()->enableEncryption(context.caChainFilePath(), vesper.getCredentials(CreDbKey));

    if (!connectDatabase(bUnattended) && commandLine.command() == CommandLine::Command::AutoUpdate)
        ProgramLog::error(QStringLiteral("Unable to connect to the database at start-up: %1")
                              .arg(DBManager::instance()->lastError().trimmed()));

    pWindow->show();
    pWindow->updateDbVersionDisplay();
    pWindow->updateConnectionLabels();

    if (commandLine.command() == CommandLine::Command::AutoUpdate) {
        pWindow->setRunReport(&report);
        QTimer::singleShot(300, pWindow.get(), &KivDataBaseUpdater::autoUpdateDataBase);
    } else if (commandLine.command() == CommandLine::Command::AutoCreate) {
        pWindow->setRunReport(&report);
        QTimer::singleShot(300, pWindow.get(), &KivDataBaseUpdater::autoCreateDataBase);
    }

    const int nResult = app.exec();
    // An unattended run that failed ends with its own code, which installers
    // check.
    const int nExitCode = nResult != 0 ? nResult : pWindow->autoExitCode();
    if (bUnattended)
        finishRun(report, commandLine, nExitCode, true);
    return nExitCode;
}
