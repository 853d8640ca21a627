// Takes the single-instance guard with the key of its first argument, prints
// "running" or "first", then waits until its standard input closes (or is
// killed), holding the guard like a running program.
#include "SingleInstanceGuard.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    SingleInstanceGuard guard(args.value(1));
    std::printf("%s\n", guard.isRunning() ? "running" : "first");
    std::fflush(stdout);
    char buffer[16];
    while (std::fread(buffer, 1, sizeof(buffer), stdin) > 0) {
    }
    return guard.isRunning() ? 1 : 0;
}
