// Lines per second through LogFileManager, text and encrypted, against the
// floor of writing the same text bytes with a plain QFile write + flush per
// line in the same run. Usage: BenchLogFileManager [lines]

#include "LogFileManager.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {

QString lineText(int i)
{
    return QStringLiteral("Script v.01.04.01/%1.sql executed on database telvor, %2 rows").arg(i % 37).arg(i);
}

double plainFloor(const QString &path, int lines)
{
    // The bytes a text log holds: the line text behind its stamp.
    QVector<QByteArray> entries;
    entries.reserve(lines);
    for (int i = 0; i < lines; ++i)
        entries << QByteArray("\nKIV00000001<2026-03-02 09:05:03:007> ") + lineText(i).toUtf8();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return 0;
    QElapsedTimer timer;
    timer.start();
    for (const QByteArray &entry : qAsConst(entries)) {
        file.write(entry);
        file.flush();
    }
    return lines / (timer.nsecsElapsed() / 1e9);
}

double throughManager(const QString &folder, const QString &name, bool encrypted, int lines)
{
    QVector<QString> texts;
    texts.reserve(lines);
    for (int i = 0; i < lines; ++i)
        texts << lineText(i);
    LogFileManager *manager = LogFileManager::Instance();
    manager->AddLogFile(1,
                        QStringLiteral("KIV"),
                        folder + QLatin1Char('/'),
                        name,
                        encrypted ? QStringLiteral("elf") : QStringLiteral("log"),
                        1000,
                        5,
                        encrypted,
                        true);
    manager->SetSeparateFiles(true, 5, 10, true);
    manager->SetCategoryFilters(false, false);
    if (!manager->OpenFiles())
        return 0;
    QElapsedTimer timer;
    timer.start();
    for (const QString &text : qAsConst(texts))
        manager->Log(1, text, LogCatGeneral, LogSevInformation);
    const double rate = lines / (timer.nsecsElapsed() / 1e9);
    LogFileManager::Release();
    return rate;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int lines = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;

    // Best of three rounds, alternating, so that both sides see the same machine load.
    double floor = 0, text = 0, encrypted = 0;
    for (int round = 0; round < 3; ++round) {
        floor = qMax(floor, plainFloor(dir.filePath(QStringLiteral("plain%1.log").arg(round)), lines));
        text = qMax(text, throughManager(dir.path(), QStringLiteral("text%1").arg(round), false, lines));
        encrypted = qMax(encrypted, throughManager(dir.path(), QStringLiteral("enc%1").arg(round), true, lines / 10));
    }

    std::printf("lines per run: %d (encrypted: %d)\n", lines, lines / 10);
    std::printf("plain QFile write+flush : %10.0f lines/s\n", floor);
    std::printf("text log                : %10.0f lines/s  (floor/text = %.2fx)\n", text, floor / text);
    std::printf("encrypted log           : %10.0f lines/s  (floor/encrypted = %.2fx)\n", encrypted, floor / encrypted);
    return 0;
}
