#include "BackupTestData.h"

#include "DBManager.h"
#include "TestDatabase.h"

#include <QDebug>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

QSqlDatabase BackupTestData::connectTo(const QString &szConnection, const QString &szDatabase)
{
    QSqlDatabase db = QSqlDatabase::contains(szConnection)
                          ? QSqlDatabase::database(szConnection, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), szConnection);
    db.setHostName(TestDatabase::host());
    db.setPort(TestDatabase::port());
    db.setDatabaseName(szDatabase);
    db.setUserName(TestDatabase::user());
    db.setPassword(TestDatabase::password());
    db.setConnectOptions(QStringLiteral("sslmode=disable"));
    db.open();
    return db;
}

bool BackupTestData::sql(const QString &szDatabase, const QString &szSql)
{
    bool bResult = false;
    {
        QSqlQuery query(connectTo(QStringLiteral("backuptestdata-sql"), szDatabase));
        bResult = query.exec(szSql);
        if (!bResult)
            qWarning().noquote() << szSql << query.lastError().text();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("backuptestdata-sql"));
    return bResult;
}

bool BackupTestData::create(TestDatabase &admin, const QString &szName, int nLargeObjects)
{
    admin.dropDatabase(szName);
    return admin.execAdmin(QStringLiteral("CREATE DATABASE %1").arg(TestDatabase::quoted(szName))) &&
           sql(szName,
               QStringLiteral("CREATE TABLE t (id integer PRIMARY KEY, v text); "
                              "INSERT INTO t SELECT g, 'r\u00e9cord ' || md5(g::text) FROM generate_series(1, 2000) g; "
                              "INSERT INTO t VALUES (424242, 'needle'); "
                              "SELECT count(lo_from_bytea(0, convert_to(repeat(g::text, 50), 'UTF8'))) "
                              "FROM generate_series(1, %1) g")
                   .arg(nLargeObjects));
}

QStringList BackupTestData::fingerprint(const QString &szDatabase)
{
    QStringList lstResult;
    {
        QSqlDatabase db = connectTo(QStringLiteral("backuptestdata-fingerprint"), szDatabase);
        if (!db.isOpen())
            lstResult << db.lastError().text();
        QSqlQuery query(db);
        for (const char *pszSql : {"SELECT count(*) || ' ' || md5(string_agg(v, ',' ORDER BY id)) FROM t",
                                   "SELECT count(*) || ' ' || coalesce(md5(string_agg(md5(lo_get(oid)), ',' ORDER BY "
                                   "oid)), '') FROM pg_largeobject_metadata",
                                   "SELECT string_agg(tablename, ',' ORDER BY tablename) FROM pg_tables WHERE "
                                   "schemaname = 'public'"}) {
            if (db.isOpen())
                lstResult << ((query.exec(QString::fromLatin1(pszSql)) && query.next()) ? query.value(0).toString()
                                                                                        : query.lastError().text());
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("backuptestdata-fingerprint"));
    return lstResult;
}

bool BackupTestData::openDefault(const QString &szDatabase)
{
    return DBManager::instance()->openDatabase(
        TestDatabase::host(), TestDatabase::port(), szDatabase, TestDatabase::user(), TestDatabase::password(), 30);
}

QString BackupTestData::defaultDatabaseName()
{
    if (!DBManager::instance()->isDatabaseOpen())
        return QString();
    return QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false).databaseName();
}

bool BackupTestData::writeProgram(const QString &szPath, const QByteArray &script, bool bExecutable)
{
    QFile file(szPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("#!/bin/sh\n" + script);
    file.close();
    return file.setPermissions(QFile::ReadOwner | QFile::WriteOwner |
                               (bExecutable ? QFile::ExeOwner : QFile::ReadOwner));
}
