#include "AppContext.h"
#include "Clock.h"
#include "DBManager.h"
#include "KivDataBaseUpdater.h"
#include "KivResources.h"
#include "LogFileManager.h"
#include "ProgramLog.h"
#include "SingleInstanceGuard.h"
#include "StartUp.h"
#include "UIMessageBox.h"
#include "Vesper.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QTextStream>
#include <QTimer>
#include <QTranslator>

#include <memory>

namespace {

void installTranslator(QTranslator &translator, const QString &szFileName, const QString &szFolder)
{
    // Installed whether or not the file was found: a missing translation
    // leaves the English texts.
    translator.load(szFileName, szFolder, QString(), QString());
    QCoreApplication::installTranslator(&translator);
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

} // namespace

int main(int argc, char *argv[])
{
    // --help and --version answer before anything else: no window, no
    // display needed, no configuration, log or database touched.
    const StartUp::InfoOption infoOption = StartUp::infoOption(StartUp::argumentList(argc, argv));
    if (infoOption != StartUp::InfoOption::None) {
        QTextStream out(stdout);
        if (infoOption == StartUp::InfoOption::Help)
            out << StartUp::usageText(StartUp::programBaseName(QString::fromLocal8Bit(argv[0])));
        else
            out << StartUp::versionText();
        out.flush();
        return 0;
    }

    StartUp::chooseHeadlessPlatform(argc, argv);
    QApplication app(argc, argv);
    initKivResources();
    QCoreApplication::setApplicationName(StartUp::kApplicationName);
    QCoreApplication::setApplicationVersion(StartUp::kApplicationVersion);

    AppContext &context = AppContext::instance();
    const QString szSuiteFolder = StartUp::suiteFolder(QCoreApplication::applicationDirPath());
    context.setSuiteFolder(szSuiteFolder);
    context.setProgramBaseName(StartUp::programBaseName(QCoreApplication::applicationFilePath()));
    context.setCaChainFilePath(StartUp::caChainFilePath(szSuiteFolder));

    context.loadConfiguration();
    QDir().mkpath(StartUp::backupFolder(szSuiteFolder));
    setUpLog(szSuiteFolder, context.cnfProgram().logFile(), &app);
    qInstallMessageHandler(messageHandler);
    ProgramLog::info(QStringLiteral("*** Start Program ***"));

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

    const QStringList lstArguments = QCoreApplication::arguments();
    const bool bUnattended = StartUp::isUnattended(lstArguments);
    SingleInstanceGuard guard(QStringLiteral("KivDataBaseUpdater-61BB200D-3579-453e-9044"));
    if (guard.isRunning()) {
        ProgramLog::warning(QStringLiteral("The application is already running !"));
        // An unattended run has nobody to press Ok: the log line says it.
        if (!bUnattended)
            UIMessageBox::warning(
                nullptr, QCoreApplication::translate("Initialization", "The application is already running !"));
        pWindow.reset();
        LogFileManager::Release();
        qInstallMessageHandler(nullptr);
        return -1;
    }

    ProgramLog::info(QStringLiteral("CommandLine = %1").arg(lstArguments.join(QLatin1Char(' '))));

    Vesper vesper;
    DBManager::instance()->enableEncryption(context.caChainFilePath(), vesper.getCredentials(CreDbKey));

    const StartUp::AutoMode autoMode = StartUp::autoMode(lstArguments);
    if (!connectDatabase(bUnattended) && autoMode == StartUp::AutoMode::Update)
        ProgramLog::error(QStringLiteral("Unable to connect to the database at start-up: %1")
                              .arg(DBManager::instance()->lastError().trimmed()));

    pWindow->show();
    pWindow->updateDbVersionDisplay();
    pWindow->updateConnectionLabels();

    if (autoMode == StartUp::AutoMode::Update)
        QTimer::singleShot(300, pWindow.get(), &KivDataBaseUpdater::autoUpdateDataBase);
    else if (autoMode == StartUp::AutoMode::Create)
        QTimer::singleShot(300, pWindow.get(), &KivDataBaseUpdater::autoCreateDataBase);

    const int nResult = app.exec();
    // An unattended run that failed ends with its own code, which installers
    // check.
    return nResult != 0 ? nResult : pWindow->autoExitCode();
}
