#ifndef ARCHIVECONNECTION_H
#define ARCHIVECONNECTION_H

#include <QSqlDatabase>
#include <QString>

// The station archive, <data root>/data.db, as a connection of the calling
// thread: Qt's SQL connections belong to the thread that made them, so every
// visit thread of the collector opens its own, and so do the collection log
// and the program's station overview. The file is put in WAL mode (readers
// never wait for a writer, a writer commits without blocking them) with a
// busy time-out long enough for another program's store of a whole memory;
// the archive's tables and the collection log's are created when missing.
//
//   QString error;
//   QSqlDatabase db = openArchiveConnection(QStringLiteral("visit-3"), &error);
//   if (!db.isOpen()) { /* error names the file */ }
//   ...
//   closeArchiveConnection(QStringLiteral("visit-3"));

// How long a write waits for another writer's transaction to end.
constexpr int archiveBusyTimeoutMs = 60000;

QSqlDatabase openArchiveConnection(const QString &connectionName, QString *error);
void closeArchiveConnection(const QString &connectionName);

#endif // ARCHIVECONNECTION_H
