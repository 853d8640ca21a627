#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class QTextStream;

// Provisions the credentials store: writes a setup file with a fresh key and IV (mixed layout) and
// stores the database user name, password and data key through Vesper into the data file, in the
// places where Vesper objects look for them. Secrets come from standard input, never from the
// command line.
class VesperSetup
{
    Q_DECLARE_TR_FUNCTIONS(VesperSetup)

public:
    // Runs the tool with the process's arguments and returns its exit code.
    int run(const QStringList &arguments);

private:
    bool readSecrets(QString &user, QString &password, QString &dataKey);
    bool promptSecret(QTextStream &in, const QString &label, QString &value);
    bool writeSetupFile(const QString &path);
    bool createDataFile(const QString &path);
    bool createOwnerOnlyFile(const QString &path);
    bool restrictToOwner(const QString &path);
    bool storeCredentials(const QString &setupPath,
                          const QString &dataPath,
                          const QString &user,
                          const QString &password,
                          const QString &dataKey);
    // Print the message on standard error; false and the exit code 1 for the caller to pass on.
    bool reportError(const QString &message);
    int exitWithError(const QString &message);
};
