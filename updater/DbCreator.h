#pragma once

#include <QString>

// Creates the database szDatabase on the server szHost:nPort and loads the
// initial schema into it, leaving the program connected to the new database
// and the program configuration pointing at it. True when the database exists
// afterwards at version "1.0.0". A database of that name that can already be
// reached is never touched. Shows nothing; the caller reports the outcome,
// with the cause of a failure in *pszReason when given.
bool createNewDatabase(const QString &szHost, const QString &szDatabase, int nPort, QString *pszReason = nullptr);
