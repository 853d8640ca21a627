#include "StartUp.h"

#include "AppContext.h"
#include "BackupService.h"
#include "CommandLine.h"
#include "DBManager.h"
#include "DbConnection.h"
#include "ProgramLog.h"
#include "UICnfProgram.h"
#include "UIMessageBox.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QLoggingCategory>

namespace {

const QString kCaChainFileName = QStringLiteral("telvorCA-chain.pem");

} // namespace

// The program's own logging category; its messages are logged only when
// device logging is enabled.
Q_LOGGING_CATEGORY(lcDevice, "lc.device")

const QString StartUp::kApplicationName = QStringLiteral("Kiv DataBase Updater");
const QString StartUp::kApplicationVersion = QStringLiteral("1.13.0.568");

QString StartUp::suiteFolder(const QString &szApplicationDirPath)
{
    const QString szPath = QDir::fromNativeSeparators(szApplicationDirPath);
    const int nSlash = szPath.lastIndexOf(QLatin1Char('/'));
    return nSlash < 0 ? szPath : szPath.left(nSlash);
}

QString StartUp::programBaseName(const QString &szApplicationFilePath)
{
    const QString szPath = QDir::fromNativeSeparators(szApplicationFilePath);
    const QString szName = szPath.mid(szPath.lastIndexOf(QLatin1Char('/')) + 1);
    const int nDot = szName.lastIndexOf(QLatin1Char('.'));
    return nDot < 0 ? szName : szName.left(nDot);
}

QString StartUp::caChainFilePath(const QString &szSuiteFolder)
{
    const QString szSslFolder = szSuiteFolder + QStringLiteral("/") + QStringLiteral("OpenSSL");
    return QStringLiteral("%1/%2").arg(szSslFolder, kCaChainFileName);
}

QString StartUp::backupFolder(const QString &szSuiteFolder)
{
    return BackupService::backupFolder(szSuiteFolder);
}

QString StartUp::logFolder(const QString &szSuiteFolder)
{
    return szSuiteFolder + QStringLiteral("/") + QStringLiteral("Log") + QStringLiteral("/");
}

QString StartUp::languageFolder(const QString &szSuiteFolder)
{
    return szSuiteFolder + QStringLiteral("/") + QStringLiteral("Language");
}

int StartUp::logFileSize(int nFileDimension)
{
    return nFileDimension < 1 || nFileDimension > 9 ? 1 : nFileDimension;
}

QString StartUp::logFileName(const QDate &date)
{
    return QStringLiteral("KivDataBaseUpdater-%1-%2-%3")
        .arg(date.year())
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

QString StartUp::translationFileName(const QString &szPrefix, const QString &szLanguage)
{
    const QString szCode = szLanguage.isEmpty() ? QLocale::system().name() : szLanguage;
    return QStringLiteral("%1_%2.qm").arg(szPrefix, szCode);
}

QString StartUp::versionText()
{
    return QStringLiteral("%1 %2\n").arg(kApplicationName, kApplicationVersion);
}

QStringList StartUp::argumentList(int argc, char **argv)
{
    QStringList lstArguments;
    for (int i = 0; i < argc; ++i)
        lstArguments << QString::fromLocal8Bit(argv[i]);
    return lstArguments;
}

void StartUp::chooseHeadlessPlatform(int argc, char **argv)
{
    if (hasDisplay())
        return;
    const CommandLine commandLine = CommandLine::parse(argumentList(argc, argv));
    if (commandLine.isUnattended())
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

bool StartUp::hasDisplay()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
           qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

bool connectDatabase(bool unattended)
{
    DBManager *pDbManager = DBManager::instance();
    bool bTriedGivingBack = false;
    for (;;) {
        // Each attempt reads the parameters afresh: the operator may have
        // changed them in the configuration dialog.
        if (DbConnection::openWithFallbacks(AppContext::instance().cnfProgram().dataBase()))
            break;
        // A restore killed on its way leaves the database refusing
        // connections: they are given back once, and the round repeated.
        if (!bTriedGivingBack) {
            bTriedGivingBack = true;
            bool bGivenBack = false;
            for (const bool bEncryption : {true, false}) {
                pDbManager->setEncryptionEnabled(bEncryption);
                bGivenBack = BackupService::giveConnectionsBack();
                if (bGivenBack)
                    break;
            }
            if (bGivenBack)
                continue;
        }
        if (unattended)
            return false;

        const QString szQuestion = QStringLiteral(
            "An error has occurred during the connection to the DataBase.\nWould you change the parameters used for "
            "the connection ?");
        ProgramLog::error(szQuestion);
        if (UIMessageBox::question(nullptr,
                                   QCoreApplication::translate("OpenDataBase",
                                                               "An error has occurred during the connection to the "
                                                               "DataBase.\nWould you change the parameters used for "
                                                               "the connection ?")) == QMessageBox::No)
            return false;
        UICnfProgram dialog(&AppContext::instance().cnfProgram(), nullptr);
        dialog.exec();
    }

    const CnfDataBase &cnf = AppContext::instance().cnfProgram().dataBase();
    ProgramLog::info(QStringLiteral("Connect to DataBase: %1").arg(cnf.dataSource()));
    ProgramLog::info(QStringLiteral("DataBase name: %1").arg(cnf.initialCatalog()));
    ProgramLog::info(QStringLiteral("SSL enabled: %1").arg(pDbManager->encryptionEnabled() ? 1 : 0));
    return true;
}

void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &szText)
{
    const CnfLogFile &logFile = AppContext::instance().cnfProgram().logFile();
    const QString szCategory = QString::fromLatin1(context.category ? context.category : "");
    if (!logFile.databaseEnabled() &&
        szCategory.compare(QLatin1String(g_lcDatabase().categoryName()), Qt::CaseInsensitive) == 0)
        return;
    if (!logFile.deviceEnabled() && szCategory.compare(QLatin1String("lc.device"), Qt::CaseInsensitive) == 0)
        return;

    LogSeverity severity = LogSevInformation;
    switch (type) {
    case QtWarningMsg:
        severity = LogSevWarning;
        break;
    case QtCriticalMsg:
    case QtFatalMsg:
        severity = LogSevError;
        break;
    default:
        break;
    }
    // An error line always says something.
    if (severity == LogSevError && szText.trimmed().isEmpty()) {
        ProgramLog::error(QStringLiteral("A critical message without a text was reported."));
        return;
    }
    ProgramLog::write(szText, LogCatGeneral, severity);
}
