#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVector>

// The schema of a database in one canonical form, one line per object, so
// that two databases (or a database and the text kept for a version) compare
// line by line.
//
// What it holds: the extensions (name only: their versions differ between
// servers), and of schema public the tables, their columns (type, collation
// when not the type's, default, identity, nullability), constraints (primary,
// unique, foreign with referenced table, columns and actions, check,
// exclusion), the indexes that no constraint brings along, triggers that are
// not the server's own, sequences (type, limits, cache, owning column),
// views (a hash of their query) and functions (argument types, result,
// language, volatility, strictness, security, cost, and an md5 of the body).
// Objects that belong to an extension (pgcrypto's functions) are the
// extension's; nothing of pg_catalog or information_schema is read. Owners,
// privileges, statistics and the values of sequences and tables are not part
// of the schema here.
//
// Names are written as SQL writes them, quoted where needed, without the
// schema; the objects of a table are qualified by it ("USERS"."Level"). The
// definitions come from the server's own deparsing functions, with
// search_path set to public while they run, so that the text is the same for
// every session and every server of one major version.
class SchemaCatalog
{
public:
    struct Object
    {
        QString szKind;       // "extension", "table", "column", "constraint", "index", ...
        QString szName;       // "USERS", "USERS"."Level"
        QString szDefinition; // "integer DEFAULT 0 NOT NULL"; empty for tables and extensions
    };

    // Reads the schema of the database behind db in one query. False when it
    // could not be read (errorText() says why); the catalog is empty then.
    // The session's search_path is the same afterwards.
    bool read(QSqlDatabase db);
    // Takes a canonical text as toText() writes it; lines starting with '#'
    // and empty lines are comments. False on a malformed line, named in
    // errorText(); the catalog is empty then.
    bool parse(const QString &szText);
    // One line per object, "kind<TAB>name<TAB>definition", sorted by kind
    // and name; a tab, line break or backslash inside a field is written as
    // \t, \n, \r or \\. szComment, when given, comes first as '#' lines.
    QString toText(const QString &szComment = QString()) const;

    // Sorted as in toText().
    const QVector<Object> &objects() const { return m_lstObjects; }
    QString errorText() const { return m_szError; }

    // The table that a column, constraint, index or trigger belongs to
    // ("USERS" for "USERS"."Level"); empty for the other kinds.
    static QString owningTable(const Object &object);

private:
    void sortObjects();

    QVector<Object> m_lstObjects;
    QString m_szError;
};
