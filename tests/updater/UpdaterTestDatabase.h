#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

class TestDatabase;

// Databases of the private test server for the update tests: a scratch
// database made once from the initial schema and used as template, fresh
// copies of it opened as the default connection through DBManager, and a way
// to bring a copy to any version by running the version steps one by one.
// The SQL helpers run on the default connection.
class UpdaterTestDatabase
{
public:
    UpdaterTestDatabase();
    ~UpdaterTestDatabase();

    // The KIV_TEST_PG* variables of scripts/pgserver.sh are set.
    static bool isConfigured();
    // The twelve known versions, oldest first.
    static QStringList knownVersions();

    // Connects to the maintenance database and makes the template database
    // from ":/SqlScript/pelq.sql". szPrefix names every database made.
    bool prepare(const QString &szPrefix);
    // Drops every database made (the template last) and closes the connections.
    void release();

    // A fresh copy of the template, opened as the default connection.
    bool createAndOpen(const QString &szName);
    // Opens the database last opened again as the default connection.
    bool reopen();
    // A fresh copy of szSource (no connection to it may be open), not opened.
    bool copyDatabase(const QString &szSource, const QString &szName);
    // A fresh copy of szSource, opened as the default connection.
    bool openCopy(const QString &szSource, const QString &szName);
    QString prefixed(const QString &szName) const;
    QString templateName() const;
    // Runs the steps after the current version up to szVersion, each in its
    // transaction, on the default connection.
    bool bringTo(const QString &szVersion);

    // Client sessions ever opened on the database last opened, as the
    // server counts them; read through the maintenance database.
    qint64 sessionCount() const;
    QString version() const;
    QVariant scalar(const QString &szSql) const;
    QStringList column(const QString &szSql) const;
    bool exec(const QString &szSql) const;
    // A second connection, outside DBManager, to the database last opened.
    QSqlDatabase otherConnection(const QString &szConnectionName) const;
    // Columns of every table (name, type, default, nullability) and the row
    // counts of the tables the scripts fill: a fingerprint of the schema.
    QStringList fingerprint() const;

    QString lastError() const { return m_szLastError; }
    QString currentName() const { return m_szCurrent; }

private:
    bool dropDatabase(const QString &szName);
    bool runText(QSqlDatabase db, const QString &szText);
    bool openDefault(const QString &szName);

    std::unique_ptr<TestDatabase> m_pTemplate;
    QString m_szPrefix;
    QString m_szCurrent;
    QStringList m_lstCreated;
    mutable QString m_szLastError;
};
