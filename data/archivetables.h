#ifndef ARCHIVETABLES_H
#define ARCHIVETABLES_H

#include <QSqlDatabase>

// The two tables of the station archive, `data` (one row per station file)
// and `datadetay` (one row per record and channel), created when missing
// with exactly the statements of the first installations, which SQLite keeps.
// The program, vlxdecode and the collector all create them the same way.

// Creates both tables when missing; a failure is only written to the
// diagnostic output. Returns true when both statements succeeded.
bool createTables(const QSqlDatabase &db = QSqlDatabase::database());

enum class ArchiveOpen { Opened, NotOpened, Damaged };

// Opens db (its database name set) as the program and vlxdecode open the
// station archive: a busy time-out that waits out another program's store,
// SQLite's quick check, then (for a sound file only) the write-ahead log and
// the tables. `error` holds the driver's text, or for a damaged file the
// message to show.
ArchiveOpen openArchive(QSqlDatabase &db, QString *error);

#endif // ARCHIVETABLES_H
