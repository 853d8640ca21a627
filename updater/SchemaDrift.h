#pragma once

#include "SchemaDriftResult.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class SchemaCatalog;

// Schema drift check: compares the schema of a database (SchemaCatalog) with
// the schema that the update chain leaves at the version the database
// reports. The expected schema of every version is a canonical text kept in
// the sources (updater/SqlScript/expected, written by the schema_expectations
// target from a real run of the update engine) and compiled in under
// ":/SchemaExpectation/<version>.schema".
//
// What the database library adds during an update belongs to the expected
// schema, because the texts are taken from a run of the real update driver,
// the library's default parameters included. Today the library creates no
// schema object at all: it writes rows only (the default calibration
// parameters, the encrypted personal data), and rows are not compared.
//
// Widget-free and silent: nothing is logged or shown; the caller decides what
// to do with the result. Runs on the GUI thread like the rest of the engine.
class SchemaDrift
{
public:
    // The versions with an expected schema, oldest first.
    static QStringList knownVersions();

    // Compares the database behind Qt's default connection with the expected
    // schema of szVersion, the text that "kivVersion"() returns. Never opens a
    // connection: without an open one the result is Failed.
    static SchemaDriftResult check(const QString &szVersion);
    // The same on the connection db.
    static SchemaDriftResult check(const QString &szVersion, QSqlDatabase db);

    // The differences between two catalogs. The objects of a missing table
    // (columns, constraints, indexes, triggers) are not listed besides the
    // table, nor those of an extra table.
    static SchemaDriftResult
    compare(const QString &szVersion, const SchemaCatalog &expected, const SchemaCatalog &found);

    // The embedded expected schema of szVersion (exact text, as "1.4.1").
    // False when there is none or it does not parse (pszError says which).
    static bool expectedCatalog(const QString &szVersion, SchemaCatalog &catalog, QString *pszError = nullptr);
    // "1.4.1.schema": the file of a version, in the sources and the resources.
    static QString expectationFileName(const QString &szVersion);
    // ":/SchemaExpectation"
    static QString expectationResourceFolder();
};
