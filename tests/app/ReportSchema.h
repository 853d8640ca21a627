#pragma once

#include <QByteArray>
#include <QString>

// Validation of run reports against docs/run-report.schema.json with the
// python3-jsonschema package of Debian (scripts/setup.sh installs it), the
// way a distribution tool would check what it collects.
class ReportSchema
{
public:
    // A python3 that imports jsonschema with draft 2020-12 support; empty
    // when there is none.
    static QString interpreter();
    // The schema file of the source tree.
    static QString schemaFile();
    // The problems of the JSON text against the schema, one per line; empty
    // when it is valid. A text that is not JSON, or a validator that does
    // not run, is a problem too.
    static QString problems(const QByteArray &json);
};
