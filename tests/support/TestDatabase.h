#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

// A scratch database on the private PostgreSQL test server that
// scripts/pgserver.sh starts (connection in the KIV_TEST_PG* variables).
//
// The constructor creates a uniquely named, empty database owned by the test
// role; the destructor drops it again, after closing DBManager's connection
// to it and ending every other session on it. Check isValid() first:
//
//     TestDatabase db(QStringLiteral("personal"));
//     KIV_VERIFY_TEST_DATABASE(db);
//     QVERIFY(db.openWithDBManager(true));
//
// The SQL helpers run on a private connection of this object, not on Qt's
// default connection.
class TestDatabase
{
public:
    // szPrefix (letters, digits, '_') becomes part of the database name.
    explicit TestDatabase(const QString &szPrefix = QStringLiteral("kivtest"));
    ~TestDatabase();
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    // The database exists; otherwise errorText() says why.
    bool isValid() const;
    QString errorText() const;
    QString name() const;

    // The server from the environment; missingEnvironment() names the unset
    // KIV_TEST_PG* variables (empty when all are set).
    static QString missingEnvironment();
    static QString host();
    static int port();
    static QString user();
    static QString password();
    static QString caFile();

    // DBManager::openDatabase() on this database with the server's CA chain
    // file and the given encryption switch. The data key set together with
    // that CA file is kept; when another CA file was set, there is none.
    bool openWithDBManager(bool bEncryption, int nTimeout = 10);

    // SQL on the private connection to this database.
    bool exec(const QString &szSql);
    QVariant scalar(const QString &szSql);
    QList<QVariantList> rows(const QString &szSql);
    QSqlDatabase connection();

    // SQL on a private connection to the maintenance database "postgres".
    bool execAdmin(const QString &szSql);
    QVariant scalarAdmin(const QString &szSql);

    // True when the server has a database with that exact name.
    bool databaseExists(const QString &szName);
    // Drops a database made by a test (other sessions are ended); true when
    // it is gone afterwards.
    bool dropDatabase(const QString &szName);
    // "name" as an SQL identifier.
    static QString quoted(const QString &szName);

private:
    QSqlDatabase adminConnection();
    QSqlDatabase openConnection(const QString &szConnection, const QString &szDatabase);
    void closeConnection(const QString &szConnection);

    QString m_szName;
    QString m_szConnection;
    QString m_szAdminConnection;
    QString m_szError;
    bool m_bValid = false;
};

// Fails the running test with the reason when the scratch database is missing.
#define KIV_VERIFY_TEST_DATABASE(db) QVERIFY2((db).isValid(), qPrintable((db).errorText()))
