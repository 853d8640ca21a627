#include "AppTestEnvironment.h"

#include "AppContext.h"
#include "TestDatabase.h"
#include "UIFileDialog.h"
#include "UIMessageBox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

AppTestEnvironment::AppTestEnvironment()
{
    UIMessageBox::setScripted(true);
    UIFileDialog::setScripted(true);
}

AppTestEnvironment::~AppTestEnvironment() = default;

bool AppTestEnvironment::provisionCredentials(const QString &szDataKey, QString &szError)
{
    QProcess setup;
    setup.start(QCoreApplication::applicationDirPath() + QStringLiteral("/VesperSetup"), {QStringLiteral("--force")});
    if (!setup.waitForStarted(10000)) {
        szError = setup.errorString();
        return false;
    }
    setup.write(QStringLiteral("%1\n%2\n%3\n").arg(TestDatabase::user(), TestDatabase::password(), szDataKey).toUtf8());
    setup.closeWriteChannel();
    if (!setup.waitForFinished(30000) || setup.exitStatus() != QProcess::NormalExit || setup.exitCode() != 0) {
        szError = QString::fromLocal8Bit(setup.readAllStandardError());
        return false;
    }
    const CnfDataBase &cnf = AppContext::instance().cnfProgram().dataBase();
    if (cnf.userName() != TestDatabase::user() || cnf.password() != TestDatabase::password()) {
        szError = QStringLiteral("Vesper does not give the stored credentials back");
        return false;
    }
    return true;
}

void AppTestEnvironment::configure(const QString &szDatabase)
{
    // Blanks and a non-ASCII letter in every path the client programs see.
    m_pSuiteDir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/kiv suite \u00e9-XXXXXX"));
    AppContext &context = AppContext::instance();
    context.setSuiteFolder(m_pSuiteDir->path());
    CnfDataBase &cnf = context.cnfProgram().dataBase();
    cnf.setDataSource(TestDatabase::host());
    cnf.setPortNumber(TestDatabase::port());
    cnf.setInitialCatalog(szDatabase);
    cnf.setConnectionTimeout(30);
    CnfVarie &varie = context.cnfProgram().varie();
    varie.setDbServerPath(clientFolder());
    varie.setTimeoutProcessExecution(300);
    varie.setBackupValidityDays(30);
    varie.setBackupBeforeUpdate(false);
    varie.setBackupKeepCount(0);
}

QString AppTestEnvironment::suiteFolder() const
{
    return m_pSuiteDir ? m_pSuiteDir->path() : QString();
}

QString AppTestEnvironment::clientFolder()
{
    return qEnvironmentVariable("KIV_PG_BIN", QStringLiteral("/usr/lib/postgresql/15/bin"));
}
