// The one place that opens the archive's database for the collector and
// the station overview, so that every connection gets WAL and the same busy
// time-out, or, for an archive on a server, connects to it.
#include "archiveconnection.h"

#include "archivelocation.h"
#include "archivetables.h"
#include "collectionlog.h"
#include "paths.h"
#include "pgconnection.h"
#include "pgschema.h"

#include <QDir>
#include <QSqlError>

// The archive on a server: its tables made where the user may, then a Qt
// connection for the collection log.
QSqlDatabase openServerConnection(const QString &connectionName, QString *error)
{
    const std::shared_ptr<PgConnection> server = ArchiveLocation::serverConnection();
    if (!server->isOpen()) {
        *error = server->errorText();
        return QSqlDatabase();
    }
    if (!PgSchema::ensure(*server, error))
        return QSqlDatabase();
    QSqlDatabase db = ArchiveLocation::openServerDatabase(connectionName);
    if (!db.isOpen())
        *error = QStringLiteral("%1: %2").arg(ArchiveLocation::current().displayName(), db.lastError().text());
    return db;
}

QSqlDatabase openArchiveConnection(const QString &connectionName, QString *error)
{
    if (ArchiveLocation::current().isServer())
        return openServerConnection(connectionName, error);
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
