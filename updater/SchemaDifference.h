#pragma once

#include <QString>

// One difference between the schema expected at a version and the schema
// the database has.
struct SchemaDifference
{
    enum Change
    {
        Missing, // expected, not found
        Changed, // found with another definition
        Extra    // found, not expected (not drift)
    };

    Change eChange = Missing;
    QString szKind;     // "table", "column", "constraint", "index", "function", ...
    QString szObject;   // as SQL writes it, without the schema: "USERS"."Level", "kivVersion"()
    QString szExpected; // the expected definition; empty for an extra object
    QString szFound;    // the definition found; empty for a missing object

    // One line in English for logs and the command line:
    //   missing column "USERS"."Level": integer NOT NULL
    //   changed column "USERS"."PasswordTermTime": expected integer DEFAULT 1 NOT NULL; found integer NOT NULL
    //   extra table "notes_backup"
    QString text() const;
};
