#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

class SchemaCatalog;

// Writes the expected schema of every version (SchemaDrift): makes a scratch
// database from the initial schema ":/SqlScript/pelq.sql" on a server, brings
// it from "1.0.0" to the newest version with the real update driver
// (DbUpdater: its steps, their transactions and the default parameters saved
// at the end) and takes the canonical schema (SchemaCatalog) after each step.
// The text of the newest version is taken once the whole run has ended.
// The scratch database is dropped again however the run ends.
//
// It works through DBManager on Qt's default connection, which is closed at
// the end, and needs a QApplication: the personal-data pass of "1.8.0" shows
// its progress dialog. The role given must be allowed to create databases.
class SchemaExpectationGenerator
{
public:
    struct Server
    {
        QString szHost;
        int nPort = 5432;
        QString szUser;
        QString szPassword;
    };

    explicit SchemaExpectationGenerator(const Server &server);

    // Runs the chain and keeps the text of every version; nothing is written.
    bool run();
    // Writes "<version>.schema" of every version into szFolder (made when
    // missing); run() first. False (errorText()) when a file cannot be written.
    bool write(const QString &szFolder);

    // The versions taken by run(), oldest first, and the text of each.
    QStringList versions() const { return m_lstVersions; }
    QString text(const QString &szVersion) const { return m_mapTexts.value(szVersion); }
    QString errorText() const { return m_szError; }

    // The content of a version's file for a catalog.
    static QString expectationText(const QString &szVersion, const SchemaCatalog &catalog);

private:
    bool takeVersion();
    bool runChain();
    void dropScratchDatabase();

    Server m_server;
    QString m_szScratch;
    QStringList m_lstVersions;
    QMap<QString, QString> m_mapTexts;
    QString m_szError;
};
