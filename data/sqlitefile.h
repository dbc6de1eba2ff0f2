#ifndef SQLITEFILE_H
#define SQLITEFILE_H

#include <QString>

class QSqlDatabase;
class QSqlError;

// How the program's SQLite files (data.db, memory.db) are opened and written.
// Two programs may write one file at once (the program and vlxdecode, later
// the collector): with the write-ahead log and a long busy time-out the
// second writer waits for the first one's transaction and then writes, where
// SQLite's defaults let it fail at once with "database is locked". A write
// that fails (a full disk) gives the log's space back at once, not when the
// program next opens the file.
//
//   db.setConnectOptions(SqliteFile::connectOptions());
//   db.open(); SqliteFile::useWriteAheadLog(db, &error);
//   if (SqliteFile::begin(db, &error)) { ...; ok = SqliteFile::commit(db, &error); }
//   if (!ok) SqliteFile::rollback(db);
namespace SqliteFile {

// The connection options to set before open: the busy time-out.
QString connectOptions();

// Switches the file to the write-ahead log (kept in the file from then on).
// A file system without it keeps the rollback journal, which is no failure.
bool useWriteAheadLog(QSqlDatabase &db, QString *error);

// BEGIN IMMEDIATE: takes the write lock before anything is read. A deferred
// transaction that reads first cannot wait for another writer's commit (its
// snapshot would be stale) and fails with "database is locked" instead.
bool begin(QSqlDatabase &db, QString *error);
bool commit(QSqlDatabase &db, QString *error);

// Rolls back whatever is left of the transaction and gives the log back.
void rollback(QSqlDatabase &db);

// Copies the log into the file and truncates it to nothing; waits only
// briefly for other readers and writers. Committed pages still in the log
// must reach the file first, which a full disk refuses: a writer empties the
// log before it begins, so that after a failure only the rolled-back pages
// are in it, and those are given back.
void releaseLog(QSqlDatabase &db);

// The file is damaged or not a database at all (SQLite's CORRUPT, NOTADB).
bool isDamage(const QSqlError &error);
// The same for one of SQLite's (extended) result codes.
bool isDamageCode(int code);

} // namespace SqliteFile

#endif // SQLITEFILE_H
