#pragma once

#include <QString>

// Shared by the program's tests: the credentials store filled the way an
// installer fills it, with the test server's user and password.
class AppTestSupport
{
public:
    // Runs the VesperSetup tool built beside the tests with the given data
    // key; false (and the reason in szError) when it failed.
    static bool provisionCredentials(const QString &szDataKey, QString &szError);
};
