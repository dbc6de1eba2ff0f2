#include "sqlitefile.h"

#include "waits.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace SqliteFile {

namespace {

bool run(QSqlDatabase &db, const QString &statement, QString *error)
{
    QSqlQuery query(db);
    if (query.exec(statement))
        return true;
    if (error)
        *error = query.lastError().text();
    return false;
}

} // namespace

QString connectOptions()
{
    return QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(Waits::current().databaseBusy);
}

bool useWriteAheadLog(QSqlDatabase &db, QString *error)
{
    return run(db, QStringLiteral("PRAGMA journal_mode=WAL"), error);
}

bool begin(QSqlDatabase &db, QString *error)
{
    return run(db, QStringLiteral("BEGIN IMMEDIATE"), error);
}

bool commit(QSqlDatabase &db, QString *error)
{
    return run(db, QStringLiteral("COMMIT"), error);
}

void rollback(QSqlDatabase &db)
{
    // SQLite has already rolled back by itself after some failures (a full
    // disk among them); the ROLLBACK then fails harmlessly.
    run(db, QStringLiteral("ROLLBACK"), nullptr);
    releaseLog(db);
}

void releaseLog(QSqlDatabase &db)
{
    // The log holds every page a transaction wrote, a whole memory's worth
    // after a large store, and SQLite reuses it from its start rather than
    // shrinking it while the file is open.
    run(db, QStringLiteral("PRAGMA busy_timeout=%1").arg(Waits::current().databaseCheckpoint), nullptr);
    run(db, QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"), nullptr);
    run(db, QStringLiteral("PRAGMA busy_timeout=%1").arg(Waits::current().databaseBusy), nullptr);
}

bool isDamage(const QSqlError &error)
{
    bool number = false;
    const int code = error.nativeErrorCode().toInt(&number);
    return number && isDamageCode(code);
}

bool isDamageCode(int code)
{
    constexpr int corrupt = 11;
    constexpr int notADatabase = 26;
    return (code & 0xFF) == corrupt || (code & 0xFF) == notADatabase;
}

} // namespace SqliteFile
