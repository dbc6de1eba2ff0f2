#ifndef COLLECTSCHEDULE_H
#define COLLECTSCHEDULE_H

#include "stationfile.h"

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>

#include <vector>

// When each station is visited, as a plain calculation the collector asks
// whenever something changed. A station is due at start, then every
// `interval` minutes from the start of its last visit (at once after a visit
// that took longer). A failed attempt leaves its place for retry_wait
// seconds, so a station that waits to try again blocks no one. At most
// `parallel` attempts run at once, and never two on one lane (the same
// serial port, modem or TCP target); a modem search runs while no serial
// line is in use.
//
//   CollectSchedule schedule(stations, /*once=*/true, /*parallel=*/4, now);
//   for (int i : schedule.start(now)) runAttempt(i);
//   ...
//   schedule.attemptEnded(i, now, /*retryInSeconds=*/ok ? -1 : 60);
//   if (schedule.done()) quit();
class CollectSchedule
{
public:
    CollectSchedule(const QList<StationConfig> &stations, bool once, int parallel, const QDateTime &start);

    // The stations whose attempt starts now (their indices), each marked running.
    QList<int> start(const QDateTime &now);
    // An attempt ended: a retry in that many seconds, or (negative) the visit is over.
    void attemptEnded(int station, const QDateTime &now, int retryInSeconds);

    // Whether the station's visit has begun and not ended (running or waiting to retry).
    bool inVisit(int station) const;
    bool running(int station) const;
    int runningCount() const;
    // The earliest time after `after` that a station not running is due;
    // invalid when none. (One due already is started by the next start()
    // that finds its lane free and a place.)
    QDateTime nextDue(const QDateTime &after) const;
    // Once: every visit is over. A service is never done.
    bool done() const;

private:
    enum class State { Due, Running, Retrying, Done };
    struct Entry {
        State state = State::Due;
        QDateTime due;
        QDateTime visitStart;
        QString lane;
    };

    std::vector<Entry> m_entries;
    QList<int> m_intervals;
    bool m_once;
    int m_parallel;
};

#endif // COLLECTSCHEDULE_H
