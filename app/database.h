#ifndef DATABASE_H
#define DATABASE_H

#include "archivetables.h"

// The program's local SQLite database: one process-wide default connection
// to <data root>/data.db, with the tables of station files and measured
// values created when missing.

// Opens the default connection. On failure shows the "DBERROR" box and writes
// a diagnostic line; returns whether the connection is open. The result does
// not depend on creating the tables. A damaged database is named in a
// "Veritabanı" box and left as it is; the program goes on without archiving.
bool openDatabase();


#endif // DATABASE_H
