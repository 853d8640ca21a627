#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

// Runs the program's SQL texts: an embedded script (":/SqlScript/...") read
// whole, or any text of one or more statements, sent to the server in one
// go. The server runs such a text as one implicit transaction unless the
// caller has one open. Every result of the text is walked, so that the error
// of a later statement is not missed (QSqlQuery::exec() reports only the
// first one). Never opens a connection.
class SqlScriptRunner
{
public:
    // The text of a script resource or file; an empty text (and the reason in
    // *pszError) when it cannot be read or holds nothing. No codec is set:
    // the byte-order mark of the UTF-8 scripts selects UTF-8.
    static QString readScript(const QString &szPath, QString *pszError = nullptr);

    // Runs szSql on db. False when db is not open or a statement failed; then
    // *pError is the driver's error as it came (its text may be empty when
    // the connection broke: describe() gives one).
    static bool run(const QSqlDatabase &db, const QString &szSql, QSqlError *pError = nullptr);

    // readScript() then run(); *pszError is describe()'s text of a failure.
    static bool runScript(const QSqlDatabase &db, const QString &szPath, QString *pszError = nullptr);

    // The text of a failure, never empty: the server's, or libpq's message
    // about a connection that broke, or a sentence saying there was none.
    static QString describe(const QSqlError &error);
};
