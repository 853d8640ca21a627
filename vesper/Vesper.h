#pragma once

#include "vesper_global.h"

#include <QString>

class SymmetricEncryption;

// Credential selected by getCredentials/setCredentials; other values select nothing.
// The underlying type is fixed, so that every int is a valid value of the type
// and such a value can be handed over and tested without undefined behaviour.
enum eCreType : int
{
    CreDbUser = 1,
    CreDbPassword = 2,
    CreDbKey = 3
};

// Hands out the database user name, password and data key, kept encrypted in an INI data file.
// The key and IV that decrypt them come from an INI setup file. Every object reads both files
// afresh: make one, ask for a credential, let it go.
class VESPER_EXPORT Vesper
{
public:
    Vesper();
    ~Vesper();

    // The object owns its cipher, so it is neither copied nor assigned.
    Vesper(const Vesper &) = delete;
    Vesper &operator=(const Vesper &) = delete;

    // The decrypted credential, or an empty string.
    QString getCredentials(eCreType type);
    // Encrypts the value and stores it in the data file (created when missing).
    void setCredentials(eCreType type, const QString &value);

    // Provisioning: fresh random key material as base64 text files in the application's directory.
    void saveI();
    void saveK();
    void saveMixedKI();

    static const bool dataBaseEnabled = false;
    static const bool deviceEnabled = false;
    static const int logFileMaxDimension = 1;
    static const int logIndexGeneral = 1;
    static const int validityDays = 30;

private:
    static const int BLOCK_SIZE = 16;
    static const int KEY_SIZE = 32;

    bool checkSetupFile();
    bool checkDataFile();
    void initMixedHalvex();
    void initHalvex();
    void initLogFileManager();

    // Entry 1 of the generic-data locations (the all-users data folder on Windows).
    static QString defaultBaseFolder();

    QString orgFolder;
    QString setupFileName;
    QString dataFileName;
    QString baseFolder;
    QString setupFilePath;
    QString dataFilePath;
    bool setupFileFound;
    bool dataFileFound;
    SymmetricEncryption *cipher;

    // The provisioning tool writes the files where an object reads them and checks the result;
    // the unit test reaches the private set-up operations.
    friend class VesperSetup;
    friend class VesperTest;
};
