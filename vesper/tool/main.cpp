#include "VesperSetup.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

// The library's progress lines are debug messages; the tool shows only warnings and errors.
void toolMessageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("VesperSetup"));
    qInstallMessageHandler(toolMessageHandler);

    VesperSetup setup;
    return setup.run(QCoreApplication::arguments());
}
