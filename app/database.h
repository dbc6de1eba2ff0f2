#ifndef DATABASE_H
#define DATABASE_H

#include "archivetables.h"

// The program's local SQLite database: one process-wide default connection
// to <data root>/data.db, with the tables of station files and measured
// values created when missing.

// Chooses the program's archive (ArchiveLocation: VLXLOGGER_ARCHIVE, then
// Archive/url in settings.ini, then data.db). For a server it connects,
// asking for the password when needed, and names a server it cannot reach
// in a "Veritabanı" box; the program goes on, and true is returned.
// For the local file it opens the default connection. On failure shows the "DBERROR" box and writes
// a diagnostic line; returns whether the connection is open. The result does
// not depend on creating the tables. A damaged database is named in a
// "Veritabanı" box and left as it is; the program goes on without archiving.
bool openDatabase();


#endif // DATABASE_H
