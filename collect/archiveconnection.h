#ifndef ARCHIVECONNECTION_H
#define ARCHIVECONNECTION_H

#include <QSqlDatabase>
#include <QString>

// The station archive, <data root>/data.db, as a connection of the calling
// thread: Qt's SQL connections belong to the thread that made them, so every
// visit thread of the collector opens its own, and so do the collection log
// and the program's station overview. It is opened as the program opens its
// own (openArchive: WAL, the long busy time-out, the quick check); the
// collection log's table is created when missing. When the archive is on a
// PostgreSQL server (ArchiveLocation::current()) the connection is a QPSQL
// one to it, after the server's tables were made where missing.
//
//   QString error;
//   QSqlDatabase db = openArchiveConnection(QStringLiteral("visit-3"), &error);
//   if (!db.isOpen()) { /* error names the file */ }
//   ...
//   closeArchiveConnection(QStringLiteral("visit-3"));

QSqlDatabase openArchiveConnection(const QString &connectionName, QString *error);
void closeArchiveConnection(const QString &connectionName);

#endif // ARCHIVECONNECTION_H
