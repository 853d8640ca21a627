// KivLogReader FILE: prints the text of an encrypted log file on standard
// output as UTF-8. A file that cannot be read or is not an encrypted log file
// gives a one-line error on standard error and exit code 1; a usage error 2.
// A file that could be read only in part (entries that do not decrypt or are
// too large, a damaged end, more text than the reader takes from one file)
// has what could be read printed, a one-line report on standard error and
// exit code 3.

#include "LogFileManager.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

namespace {

void printError(const QString &message)
{
    QTextStream err(stderr);
    err.setCodec("UTF-8");
    err << QStringLiteral("KivLogReader: ") << message << '\n';
}

QString describeGaps(const QString &path, const LogFileManager::ReadGaps &gaps)
{
    QStringList parts;
    if (gaps.unreadableEntries > 0)
        parts << QCoreApplication::translate("KivLogReader", "%1 entries could not be decrypted")
                     .arg(gaps.unreadableEntries);
    if (gaps.textLimitReached)
        parts << QCoreApplication::translate("KivLogReader", "stopped at the limit of %1 MiB of text")
                     .arg(LogFileManager::kMaxLogTextSize / (1024 * 1024));
    if (gaps.unreadBytes > 0)
        parts << QCoreApplication::translate("KivLogReader", "the last %1 bytes were not read").arg(gaps.unreadBytes);
    return QCoreApplication::translate("KivLogReader", "%1 was read only in part: %2")
        .arg(path, parts.join(QStringLiteral("; ")));
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
    LogFileManager::ReadGaps gaps;
    if (!LogFileManager::ReadEncryptedLog(path, text, &gaps) && !gaps.textLimitReached) {
        printError(QCoreApplication::translate("KivLogReader", "%1 is not an encrypted log file").arg(path));
        return 1;
    }

    const QByteArray bytes = text.toUtf8();
    text.clear();
    if (std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout) !=
            static_cast<size_t>(bytes.size()) ||
        std::fflush(stdout) != 0) {
        printError(QCoreApplication::translate("KivLogReader", "cannot write to standard output"));
        return 1;
    }
    if (gaps.unreadableEntries > 0 || gaps.unreadBytes > 0 || gaps.textLimitReached) {
        printError(describeGaps(path, gaps));
        return 3;
    }
    return 0;
}
