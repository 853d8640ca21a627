#pragma once

#include <QString>

// Small text helpers for building SQL and libpq connection strings.
namespace SqlText {

// Longest identifier PostgreSQL keeps; longer names are cut by the server.
constexpr int kMaxIdentifierBytes = 63;

// "name" with embedded double quotes doubled: the text is taken verbatim as
// one identifier and never read as SQL.
QString quoteIdentifier(const QString &szName);

// True when szName can be used verbatim as a database name: not empty, no NUL
// character and not longer than the server keeps (a longer name would be cut
// and could then designate another database).
bool isUsableDatabaseName(const QString &szName);

// A string constant for a statement that takes no parameters ('it''s'), for
// a server with standard_conforming_strings on (the default): backslashes
// stand for themselves; NUL characters, which the server refuses, are left
// out.
QString quoteLiteral(const QString &szValue);

// Value for a libpq "key=value" connection option: in single quotes, with
// backslashes and single quotes escaped by a backslash.
QString quoteConnectValue(const QString &szValue);

} // namespace SqlText
