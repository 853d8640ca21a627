#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

// What the tools of the main window need around them in a test: the database
// credentials in Vesper's files below the test's HOME, the configuration of
// AppContext pointing at the private test server and a suite folder of its
// own, the PostgreSQL client programs, and scripted message boxes and file
// dialogs.
class AppTestEnvironment
{
public:
    AppTestEnvironment();
    ~AppTestEnvironment();

    // Stores the test server's user name and password and the data key the
    // way an installer does, with the VesperSetup tool built beside the
    // tests; false (and the reason) on failure.
    static bool provisionCredentials(const QString &szDataKey, QString &szError);
    // Configuration of AppContext: the test server, szDatabase, the client
    // programs of the server's installation, a fresh suite folder each time.
    void configure(const QString &szDatabase);
    QString suiteFolder() const;

    // Folder of the real pg_dump and pg_restore.
    static QString clientFolder();

private:
    std::unique_ptr<QTemporaryDir> m_pSuiteDir;
};
