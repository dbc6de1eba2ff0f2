#ifndef STATIONVISIT_H
#define STATIONVISIT_H

#include "stationfile.h"
#include "stationoutcome.h"

#include <QDateTime>
#include <QObject>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <optional>

// One attempt at a station's visit, in the calling thread and without a
// person: connect, read the parameters (serial number, logger clock) and the
// file list, download what the kept copy lacks exactly as the working form
// does (decoding, the text exports, the station archive), close the link.
// The collector runs each attempt in a thread of its own, with a database
// connection of that thread; the station overview runs one the same way.
//
//   StationVisit visit(station);
//   visit.setArchiveDatabase([] { return QSqlDatabase::database("visit-1"); });
//   const AttemptResult result = visit.run();   // returns when the attempt is over
//
// The attempt ends at the station's time-out, or at once when its thread is
// asked to stop (QThread::requestInterruption); the blocks accepted so far
// stay in the kept copy either way, so the next attempt goes on from them.
struct AttemptResult {
    bool ok = false;
    bool abandoned = false;      // its thread was asked to stop
    int requests = 0;            // block requests, checks of the kept copy included
    qint64 newRows = 0;          // rows added to the archive
    QDateTime newest;            // the newest record, the logger's clock (UTC as decoded); invalid: none
    float level = 0;
    float temperature = 0;
    std::optional<qint64> clockDriftSeconds;   // logger clock minus computer clock
    QString error;               // empty when ok
};

// The logger's clock ("dd/MM/yy hh:mm:ss", as the parameter record gives it)
// minus the computer's clock, both read as wall-clock times; nothing when the
// text is no time.
std::optional<qint64> clockDrift(const QString &deviceTime, const QDateTime &computerTime);

class StationVisit : public QObject
{
    Q_OBJECT
public:
    explicit StationVisit(const StationConfig &station, QObject *parent = nullptr);

    void setArchiveDatabase(std::function<QSqlDatabase()> database) { m_database = std::move(database); }
    AttemptResult run();

signals:
    // What the attempt does now, in the engine's words ("Bağlantı için bekleniyor...").
    void stage(const QString &text);
    void progressed(const TransferProgress &progress);

private:
    StationConfig m_station;
    std::function<QSqlDatabase()> m_database;
};

#endif // STATIONVISIT_H
