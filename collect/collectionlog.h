#ifndef COLLECTIONLOG_H
#define COLLECTIONLOG_H

#include "visitreport.h"

#include <QSqlDatabase>
#include <QString>

#include <memory>

// The collection log: one row per finished visit in the table `collection`
// of the archive's database, written by the collector and by the program's
// "Şimdi topla", read by --status and the station overview. This class is
// the only code that touches the table. Its SQL is plain enough for SQLite
// and PostgreSQL alike; times are ISO 8601 texts in UTC with milliseconds,
// so that their order as text is their order in time.
//
//   CollectionLog log(db);
//   if (!log.record(report)) { /* log.lastError() */ }
//   const StationHistory h = log.history(QStringLiteral("Baraj-1"));
class CollectionLog
{
public:
    explicit CollectionLog(const QSqlDatabase &db);
    ~CollectionLog();
    CollectionLog(const CollectionLog &) = delete;
    CollectionLog &operator=(const CollectionLog &) = delete;

    // Creates the table and its index when missing.
    static bool createTable(const QSqlDatabase &db, QString *error);

    bool record(const VisitReport &report);
    // Invalid times and empty figures for a station never visited; the
    // error of a failed read in lastError().
    StationHistory history(const QString &station);

    QString lastError() const { return m_error; }

private:
    struct Statements;
    bool prepare();

    QSqlDatabase m_db;
    std::unique_ptr<Statements> m_statements;
    QString m_error;
};

#endif // COLLECTIONLOG_H
