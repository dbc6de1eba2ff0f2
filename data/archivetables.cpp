#include "archivetables.h"

#include "sqlitefile.h"
#include "stationarchive.h"

#include <QDebug>
#include <QSqlError>
#include <QSqlQuery>

namespace {
// The statements stand exactly as the tables were first created in the
// field; SQLite stores this text, so it must not change.
const char *const createData =
    "CREATE TABLE IF NOT EXISTS[data] (     [id] INTEGER  NOT NULL PRIMARY KEY,    "
    "[istasyonadi] VARCHAR(14)  NOT NULL,   [istasyonno] VARCHAR(14)  NOT NULL,    "
    "[kurulumtarihi] TIMESTAMP  NOT NULL,   [page] INTEGER DEFAULT '0' NOT NULL,   "
    "[buff] INTEGER DEFAULT '0' NOT NULL    )";

const char *const createDataDetay =
    "CREATE TABLE IF NOT EXISTS [datadetay] (    [id] INTEGER  PRIMARY KEY NOT NULL,         "
    "[data] INTEGER  NOT NULL,                   [tarih] DATE  NOT NULL,                     "
    "[saat] TIME  NOT NULL,                      [tip] INTEGER DEFAULT '1' NOT NULL,         "
    "[deger] NUMERIC(18,4) DEFAULT '0' NOT NULL, [chno] INTEGER DEFAULT '1' NOT NULL,        "
    "[chname] VARCHAR(255),                      [timeset] INTEGER DEFAULT '1' NOT NULL      )";

bool execute(const QSqlDatabase &db, const char *statement)
{
    QSqlQuery query(db);
    if (query.exec(QString::fromLatin1(statement)))
        return true;
    qDebug() << query.lastError().text();
    return false;
}
} // namespace

bool createTables(const QSqlDatabase &db)
{
    return execute(db, createData) && execute(db, createDataDetay);
}

ArchiveOpen openArchive(QSqlDatabase &db, QString *error)
{
    db.setConnectOptions(SqliteFile::connectOptions());
    if (!db.open()) {
        *error = db.lastError().text();
        return ArchiveOpen::NotOpened;
    }
    // Checked before anything (the log's mode, a missing table) is written.
    if (!StationArchive(db).checkDatabase(error))
        return ArchiveOpen::Damaged;
    QString walError;
    if (!SqliteFile::useWriteAheadLog(db, &walError))
        qDebug() << walError;
    createTables(db);
    SqliteFile::releaseLog(db);
    return ArchiveOpen::Opened;
}
