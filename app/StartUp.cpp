#include "StartUp.h"

#include "AppContext.h"
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
    return szSuiteFolder + QStringLiteral("/") + QStringLiteral("DataBaseBackUp");
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

StartUp::AutoMode StartUp::autoMode(const QStringList &lstArguments)
{
    if (lstArguments.size() < 2)
        return AutoMode::None;
    const QString &szFirst = lstArguments.at(1);
    if (szFirst.compare(QLatin1String("-AutoUpdate"), Qt::CaseInsensitive) == 0 ||
        szFirst.compare(QLatin1String("--AutoUpdate"), Qt::CaseInsensitive) == 0)
        return AutoMode::Update;
    if (szFirst.compare(QLatin1String("-AutoCreate"), Qt::CaseInsensitive) == 0 ||
        szFirst.compare(QLatin1String("--AutoCreate"), Qt::CaseInsensitive) == 0)
        return AutoMode::Create;
    return AutoMode::None;
}

bool StartUp::isUnattended(const QStringList &lstArguments)
{
    return lstArguments.size() >= 2;
}

StartUp::InfoOption StartUp::infoOption(const QStringList &lstArguments)
{
    if (lstArguments.size() < 2)
        return InfoOption::None;
    const QString &szFirst = lstArguments.at(1);
    if (szFirst.compare(QLatin1String("--help"), Qt::CaseInsensitive) == 0)
        return InfoOption::Help;
    if (szFirst.compare(QLatin1String("--version"), Qt::CaseInsensitive) == 0)
        return InfoOption::Version;
    return InfoOption::None;
}

// Printed before the configuration, and with it the language, is read: the
// text stays English.
QString StartUp::usageText(const QString &szProgramName)
{
    return QStringLiteral("Usage: %1 [-AutoUpdate | -AutoCreate | --help | --version]\n"
                          "\n"
                          "Brings the database of the Telvor Imaging Suite to version 1.9.0.\n"
                          "Without an option the program opens its window.\n"
                          "\n"
                          "  -AutoUpdate  update the configured database without asking anything, then end\n"
                          "  -AutoCreate  create the database \"pelq\" on 127.0.0.1:6543 and update it, then end\n"
                          "  --help       print this text and end\n"
                          "  --version    print the version and end\n"
                          "\n"
                          "Only the first argument counts, in any letter case; \"--AutoUpdate\" and\n"
                          "\"--AutoCreate\" work too. Exit codes of the unattended runs: 0 the database is\n"
                          "at 1.9.0, 1 the run failed (the log names the cause), 255 (-1) another copy\n"
                          "of the program is running.\n")
        .arg(szProgramName);
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
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (argc < 2 || qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
        qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        return;
    const QStringList lstArguments = argumentList(argc, argv);
    if (autoMode(lstArguments) != AutoMode::None)
        qputenv("QT_QPA_PLATFORM", "offscreen");
#else
    Q_UNUSED(argc)
    Q_UNUSED(argv)
#endif
}

bool connectDatabase(bool unattended)
{
    DBManager *pDbManager = DBManager::instance();
    for (;;) {
        // Each attempt reads the parameters afresh: the operator may have
        // changed them in the configuration dialog.
        bool bOpen = false;
        for (const bool bEncryption : {true, false}) {
            pDbManager->setEncryptionEnabled(bEncryption);
            const CnfDataBase &cnf = AppContext::instance().cnfProgram().dataBase();
            bOpen = DbConnection::open(cnf) || DbConnection::open(cnf, DbConnection::Password::Retry);
            if (bOpen)
                break;
        }
        if (bOpen)
            break;
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
