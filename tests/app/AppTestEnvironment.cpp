#include "AppTestEnvironment.h"

#include "AppContext.h"
#include "TestDatabase.h"
#include "UIFileDialog.h"
#include "UIMessageBox.h"
#include "Vesper.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSettings>
#include <QStandardPaths>

AppTestEnvironment::AppTestEnvironment()
{
    UIMessageBox::setScripted(true);
    UIFileDialog::setScripted(true);
}

AppTestEnvironment::~AppTestEnvironment() = default;

bool AppTestEnvironment::provisionCredentials(QString &szError)
{
    // Vesper looks first in the second generic data location, which the test
    // runner places below the test's own HOME.
    const QStringList lstLocations = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    if (lstLocations.size() < 2) {
        szError = QStringLiteral("no second generic data location");
        return false;
    }
    const QString szOrgFolder = lstLocations.at(1) + QStringLiteral("/Marlek Telvor Group");
    if (!QDir().mkpath(szOrgFolder + QStringLiteral("/Halvex")) ||
        !QDir().mkpath(szOrgFolder + QStringLiteral("/Vesper"))) {
        szError = QStringLiteral("cannot create the folders of Vesper");
        return false;
    }
    {
        // Mixed layout: "I" is the IV and the key's first 8 bytes, "K" the rest.
        QByteArray iv(24, '\0');
        QByteArray key(24, '\0');
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(iv.data()), iv.size() / 4);
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(key.data()), key.size() / 4);
        QSettings setup(szOrgFolder + QStringLiteral("/Halvex/setup.ini"), QSettings::IniFormat);
        setup.setValue(QStringLiteral("Vesper/I"), QString::fromLatin1(iv.toBase64()));
        setup.setValue(QStringLiteral("Vesper/K"), QString::fromLatin1(key.toBase64()));
    }
    QFile dataFile(szOrgFolder + QStringLiteral("/Vesper/data.ini"));
    if (!dataFile.open(QIODevice::WriteOnly)) {
        szError = dataFile.errorString();
        return false;
    }
    dataFile.close();
    {
        Vesper vesper;
        vesper.setCredentials(CreDbUser, TestDatabase::user());
        vesper.setCredentials(CreDbPassword, TestDatabase::password());
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
}

QString AppTestEnvironment::suiteFolder() const
{
    return m_pSuiteDir ? m_pSuiteDir->path() : QString();
}

QString AppTestEnvironment::clientFolder()
{
    return qEnvironmentVariable("KIV_PG_BIN", QStringLiteral("/usr/lib/postgresql/15/bin"));
}
