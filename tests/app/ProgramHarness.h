#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>

// The built program run as an installer or a scheduler runs it: copied with
// its libraries into a private suite folder (the program in Updater/ below
// the suite root, the test server's CA chain in OpenSSL/), started with a
// settings store of its own and without a display, and judged by its exit
// code, its output, its log, its report file and the database.
class ProgramHarness
{
public:
    struct Run
    {
        // -100: it did not start or did not end in time; -200: it crashed.
        int nExitCode = -100;
        QByteArray standardOutput;
        QByteArray standardError;
        // The log lines written during the run, without their heads.
        QStringList lstLog;

        // Standard output parsed as one JSON object (empty when it is not).
        QJsonObject json() const;
        // Everything it said, for the message of a failed check.
        QString text() const;
    };

    ProgramHarness();
    ~ProgramHarness();

    // Lays out the suite; false (and the reason) on failure.
    bool setUp(QString &szError);
    // A fresh settings store: every case starts with one of its own.
    void newSettings();
    // The connection settings, the client programs' folder and database
    // logging.
    void configure(const QString &szHost, int nPort, const QString &szDatabase);
    // One more key of the group "tools/common".
    void setValue(const QString &szKey, const QVariant &value);

    QProcessEnvironment environment() const;
    Run run(const QStringList &lstArguments, int nTimeoutMs = 600000) const;

    QString program() const { return m_szProgram; }
    QString suiteFolder() const;
    QString backupFolder() const;
    QString reportFile() const;
    // The text of every log file of the suite.
    QString logText() const;

    // Checks a report against the JSON Schema szSchemaFile with Python's
    // jsonschema. True when it is valid, and also when the schema file or
    // the validator is not there (bChecked false then).
    static bool
    matchesSchema(const QByteArray &json, const QString &szSchemaFile, QString &szError, bool *pbChecked = nullptr);

private:
    QString settingsFile() const;

    QTemporaryDir m_suite;
    std::unique_ptr<QTemporaryDir> m_pConfigHome;
    QString m_szProgram;
};
