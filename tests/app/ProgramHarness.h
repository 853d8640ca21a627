#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>

class QProcess;

// The built program run as an installer runs it: copied with its libraries
// into the folder "Updater" of a private suite folder, the test server's CA
// chain in "OpenSSL" beside it, its settings in a private XDG_CONFIG_HOME
// that each test case makes afresh (newConfiguration()), and the
// credentials of Vesper's files below the test's own HOME. A run is judged
// by its exit code, its standard output and error, its log and the database.
class ProgramHarness
{
public:
    struct Run
    {
        // The process's exit code; -100 when it did not start or end in
        // time, -200 when it crashed (a signal, an abort).
        int nExitCode = -100;
        QByteArray stdOut;
        QByteArray stdErr;
        // Texts of the log lines the run wrote, without their head
        // ("KIV00000001<stamp> "): "ERROR: ...", "*** Close Program ***".
        QStringList lstLog;

        // Standard output parsed as one JSON object (empty when it is not).
        QJsonObject json() const;
        // Everything it said, for the message of a failed check.
        QString text() const;
    };

    ProgramHarness();
    ~ProgramHarness();

    // Lays out the suite folder; false (and why) on failure.
    bool setUp(QString &szError);
    // A settings store of its own for the next runs.
    bool newConfiguration();
    // The database connection of the settings store, with the log's database
    // category on.
    void configure(const QString &szHost, int nPort, const QString &szDatabase);
    // A further key of the group "tools/common" ("miscellaneous/...").
    void setSetting(const QString &szKey, const QVariant &value);

    // The environment of a run: the private settings store; bHeadless
    // removes DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM, so that the
    // program has to find out by itself that there is no screen.
    QProcessEnvironment environment(bool bHeadless = true) const;
    // Runs the program to its end (at most five minutes).
    Run run(const QStringList &lstArguments) const;
    Run run(const QStringList &lstArguments, const QProcessEnvironment &environment) const;
    // Starts the program without waiting for its end.
    void start(QProcess &process, const QStringList &lstArguments, const QProcessEnvironment &environment) const;

    QString programPath() const { return m_szProgram; }
    QString suiteFolder() const { return m_suite.path(); }
    QString logFolder() const;
    // Log/KivDataBaseUpdater-last-run.json
    QString reportFilePath() const;
    QString backupFolder() const;
    // Every log file of the suite, oldest name first, as one text.
    QString logText() const;
    // The texts of the log lines in szText (see Run::lstLog).
    static QStringList logLines(const QString &szText);

private:
    QTemporaryDir m_suite;
    std::unique_ptr<QTemporaryDir> m_pConfigHome;
    QString m_szProgram;
};
