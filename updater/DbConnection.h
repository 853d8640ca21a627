#pragma once

#include <QString>

class CnfDataBase;

// Opens Qt's default connection (through DBManager::openDatabase) with the
// parameters of a database section of the configuration and the credentials
// of the credentials store, read afresh for each attempt.
class DbConnection
{
public:
    // The server's maintenance database, on which databases are created,
    // dropped and renamed.
    static const QString kMaintenanceDatabase;

    enum class Password
    {
        Primary,
        // The second attempt of the start-up and update connections.
        Retry
    };

    // The section's database.
    static bool open(const CnfDataBase &cnf, Password password = Password::Primary);
    // Another database on the section's server, with the section's time-out.
    static bool open(const CnfDataBase &cnf, const QString &szDatabase, Password password = Password::Primary);
    // The start-up connection to the section's database: with TLS, then
    // without, each with the password and then the retry password. The
    // library's encryption switch stays as the attempt that succeeded (off
    // after a failure).
    static bool openWithFallbacks(const CnfDataBase &cnf);
    // The maintenance database on the section's server, with the default
    // connection time-out of a fresh section.
    static bool openMaintenance(const CnfDataBase &cnf);
};
