// The one place that opens the archive's SQLite file for the collector and
// the station overview, so that every connection gets WAL and the same busy
// time-out.
#include "archiveconnection.h"

#include "archivetables.h"
#include "collectionlog.h"
#include "paths.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>

QSqlDatabase openArchiveConnection(const QString &connectionName, QString *error)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(QDir::toNativeSeparators(Paths::databaseFile()));
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(archiveBusyTimeoutMs));
    if (!db.open()) {
        *error = QStringLiteral("%1: %2").arg(Paths::databaseFile(), db.lastError().text());
        return db;
    }
    QSqlQuery wal(db);
    if (!wal.exec(QStringLiteral("PRAGMA journal_mode=WAL"))) {
        *error = QStringLiteral("%1: %2").arg(Paths::databaseFile(), wal.lastError().text());
        db.close();
        return db;
    }
    wal.finish();
    createTables(db);
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
