#pragma once

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class TestDatabase;

// The data of the backup and restore tests on the private test server: a
// database with a table of rows and large objects, SQL on private
// connections, a fingerprint of what a restore must bring back, and fake
// client programs.
class BackupTestData
{
public:
    // A private connection (not DBManager's) to a database of the test server.
    static QSqlDatabase connectTo(const QString &szConnection, const QString &szDatabase);
    // One SQL text on a private connection that is closed again.
    static bool sql(const QString &szDatabase, const QString &szSql);
    // A new database (an old one of that name is dropped first) with the
    // table t of 2001 rows, among them (424242, 'needle'), and nLargeObjects
    // large objects.
    static bool create(TestDatabase &admin, const QString &szName, int nLargeObjects);
    // Rows of t, large objects with their contents, and the tables there are.
    static QStringList fingerprint(const QString &szDatabase);
    // Opens DBManager's default connection on that database.
    static bool openDefault(const QString &szDatabase);
    // The database the default connection is open on; empty when none is.
    static QString defaultDatabaseName();

    // A shell script as a program file; not executable with bExecutable false.
    static bool writeProgram(const QString &szPath, const QByteArray &script, bool bExecutable = true);
};
