// Writes the expected schema of every version (updater/SqlScript/expected) from
// a run of the update engine on the private test server:
//
//     source <build>/pgserver/env.sh
//     cmake --build <build> --target schema_expectations
//
// or directly: kivschemaexpectations FOLDER. The server comes from the
// KIV_TEST_PG* variables that scripts/pgserver.sh writes into env.sh.

#include "LogFileManager.h"
#include "SchemaExpectationGenerator.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    // The personal-data pass shows a progress dialog: no screen is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const QStringList lstArguments = QCoreApplication::arguments();
    if (lstArguments.size() != 2) {
        std::fprintf(stderr, "usage: kivschemaexpectations FOLDER\n");
        return 2;
    }
    QStringList lstMissing;
    for (const char *pszName : {"KIV_TEST_PGHOST", "KIV_TEST_PGPORT", "KIV_TEST_PGUSER", "KIV_TEST_PGPASSWORD"}) {
        if (qEnvironmentVariableIsEmpty(pszName))
            lstMissing << QString::fromLatin1(pszName);
    }
    if (!lstMissing.isEmpty()) {
        std::fprintf(stderr,
                     "kivschemaexpectations: %s not set: start scripts/pgserver.sh and source its env.sh\n",
                     qPrintable(lstMissing.join(QStringLiteral(", "))));
        return 2;
    }

    SchemaExpectationGenerator::Server server;
    server.szHost = qEnvironmentVariable("KIV_TEST_PGHOST");
    server.nPort = qEnvironmentVariableIntValue("KIV_TEST_PGPORT");
    server.szUser = qEnvironmentVariable("KIV_TEST_PGUSER");
    server.szPassword = qEnvironmentVariable("KIV_TEST_PGPASSWORD");

    SchemaExpectationGenerator generator(server);
    const bool bDone = generator.run() && generator.write(lstArguments.at(1));
    LogFileManager::Release();
    if (!bDone) {
        std::fprintf(stderr, "kivschemaexpectations: %s\n", qPrintable(generator.errorText()));
        return 1;
    }
    std::printf("kivschemaexpectations: versions %s written into %s\n",
                qPrintable(generator.versions().join(QStringLiteral(", "))),
                qPrintable(lstArguments.at(1)));
    return 0;
}
