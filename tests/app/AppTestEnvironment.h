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

    // Writes the setup and data files and stores the test server's user name
    // and password through Vesper; false (and the reason) on failure.
    bool provisionCredentials(QString &szError);
    // Configuration of AppContext: the test server, szDatabase, the client
    // programs of the server's installation, a fresh suite folder each time.
    void configure(const QString &szDatabase);
    QString suiteFolder() const;

    // Folder of the real pg_dump and pg_restore.
    static QString clientFolder();

private:
    std::unique_ptr<QTemporaryDir> m_pSuiteDir;
};
