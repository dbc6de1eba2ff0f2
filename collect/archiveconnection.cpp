// The one place that opens the archive's SQLite file for the collector and
// the station overview, so that every connection gets WAL and the same busy
// time-out.
#include "archiveconnection.h"

#include "archivetables.h"
#include "collectionlog.h"
#include "paths.h"

#include <QDir>

QSqlDatabase openArchiveConnection(const QString &connectionName, QString *error)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(QDir::toNativeSeparators(Paths::databaseFile()));
    // As the program and vlxdecode open it: the busy time-out, the quick
    // check (nothing is written into a damaged file), the log, the tables.
    QString problem;
    if (openArchive(db, &problem) != ArchiveOpen::Opened) {
        *error = QStringLiteral("%1: %2").arg(Paths::databaseFile(), problem);
        db.close();
        return db;
    }
    if (!CollectionLog::createTable(db, error)) {
        *error = QStringLiteral("%1: %2").arg(Paths::databaseFile(), *error);
        db.close();
    }
    return db;
}

void closeArchiveConnection(const QString &connectionName)
{
    if (!QSqlDatabase::contains(connectionName))
        return;
    QSqlDatabase::database(connectionName, false).close();
    QSqlDatabase::removeDatabase(connectionName);
}
