#ifndef VISITREPORT_H
#define VISITREPORT_H

#include <QDateTime>
#include <QString>

#include <optional>

// What the collector knows of a station, as plain values: one finished
// visit (a row of the collection log, a line of the report) and what the log
// says of a station's visits so far (its status).

struct VisitReport {
    QString station;
    QDateTime started;           // the computer's clock
    QDateTime finished;
    bool ok = false;
    int attempts = 0;
    int requests = 0;            // block requests of all attempts, checks of the kept copy included
    qint64 newRows = 0;          // rows added to the archive
    QDateTime newest;            // the newest record, the logger's clock (UTC as decoded); invalid: none
    std::optional<double> level;
    std::optional<double> temperature;
    std::optional<qint64> clockDriftSeconds;   // logger clock minus computer clock
    QString error;               // empty when ok
};

struct StationHistory {
    QDateTime lastAttempt;       // when the last visit finished; invalid: never visited
    QDateTime lastSuccess;
    int failures = 0;            // visits failed since the last success
    QString lastError;           // of the last visit, empty when it was ok
    QDateTime newest;            // as the last visit that brought records left it
    std::optional<double> level;
    std::optional<double> temperature;
    std::optional<qint64> clockDriftSeconds;   // as last read
};

#endif // VISITREPORT_H
