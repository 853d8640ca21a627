// KivLogReader FILE: prints the text of an encrypted log file on standard
// output as UTF-8. A file that cannot be read or is not an encrypted log file
// gives a one-line error on standard error and exit code 1; a usage error 2.

#include "LogFileManager.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace {

void printError(const QString &message)
{
    QTextStream err(stderr);
    err.setCodec("UTF-8");
    err << QStringLiteral("KivLogReader: ") << message << '\n';
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("KivLogReader"));

    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        printError(QCoreApplication::translate("KivLogReader", "usage: KivLogReader FILE"));
        return 2;
    }

    const QString path = args.at(1);
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        const QString reason =
            QFileInfo::exists(path) ? file.errorString() : QCoreApplication::translate("KivLogReader", "no such file");
        printError(QCoreApplication::translate("KivLogReader", "cannot read %1: %2").arg(path, reason));
        return 1;
    }
    file.close();

    QString text;
    if (!LogFileManager::ReadEncryptedLog(path, text)) {
        printError(QCoreApplication::translate("KivLogReader", "%1 is not an encrypted log file").arg(path));
        return 1;
    }

    const QByteArray bytes = text.toUtf8();
    if (std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout) !=
            static_cast<size_t>(bytes.size()) ||
        std::fflush(stdout) != 0) {
        printError(QCoreApplication::translate("KivLogReader", "cannot write to standard output"));
        return 1;
    }
    return 0;
}
