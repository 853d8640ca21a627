#include "AppTestSupport.h"

#include "TestDatabase.h"

#include <QCoreApplication>
#include <QProcess>

bool AppTestSupport::provisionCredentials(const QString &szDataKey, QString &szError)
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
    return true;
}
