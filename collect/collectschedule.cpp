// Which station's attempt may start now: due, its lane free, a place left.
#include "collectschedule.h"

#include <algorithm>
#include <numeric>

namespace {

// Two visits on these lanes may not run at once. A modem search opens every
// free serial port: it waits for the visits on serial lines, and they for it.
bool clash(const QString &lane, const QSet<QString> &busy)
{
    if (busy.contains(lane))
        return true;
    const QString search = QStringLiteral("modem-search");
    const QString serial = QStringLiteral("serial:");
    if (lane == search)
        return std::any_of(busy.cbegin(), busy.cend(), [&](const QString &b) { return b.startsWith(serial); });
    return lane.startsWith(serial) && busy.contains(search);
}

} // namespace

CollectSchedule::CollectSchedule(const QList<StationConfig> &stations, bool once, int parallel,
                                 const QDateTime &start)
    : m_once(once), m_parallel(qMax(1, parallel))
{
    for (const StationConfig &station : stations) {
        Entry entry;
        entry.due = start;
        entry.lane = station.lane();
        m_entries.push_back(entry);
        m_intervals << station.intervalMinutes;
    }
}

QList<int> CollectSchedule::start(const QDateTime &now)
{
    QSet<QString> busy;
    int runningNow = 0;
    for (const Entry &entry : m_entries) {
        if (entry.state == State::Running) {
            busy.insert(entry.lane);
            ++runningNow;
        }
    }
    // The longest waiting first; among equals, the file's order.
    std::vector<int> order(m_entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [this](int a, int b) { return m_entries[std::size_t(a)].due < m_entries[std::size_t(b)].due; });

    QList<int> started;
    for (int i : order) {
        Entry &entry = m_entries[std::size_t(i)];
        if (runningNow >= m_parallel)
            break;
        if ((entry.state != State::Due && entry.state != State::Retrying) || entry.due > now
            || clash(entry.lane, busy))
            continue;
        if (entry.state == State::Due)
            entry.visitStart = now;
        entry.state = State::Running;
        busy.insert(entry.lane);
        ++runningNow;
        started << i;
    }
    return started;
}

void CollectSchedule::attemptEnded(int station, const QDateTime &now, int retryInSeconds)
{
    Entry &entry = m_entries[std::size_t(station)];
    if (retryInSeconds >= 0) {
        entry.state = State::Retrying;
        entry.due = now.addSecs(retryInSeconds);
    } else if (m_once) {
        entry.state = State::Done;
    } else {
        entry.state = State::Due;
        entry.due = qMax(entry.visitStart.addSecs(qint64(m_intervals.at(station)) * 60), now);
    }
}

bool CollectSchedule::inVisit(int station) const
{
    const State state = m_entries[std::size_t(station)].state;
    return state == State::Running || state == State::Retrying;
}

bool CollectSchedule::running(int station) const
{
    return m_entries[std::size_t(station)].state == State::Running;
}

int CollectSchedule::runningCount() const
{
    return int(std::count_if(m_entries.begin(), m_entries.end(),
                             [](const Entry &e) { return e.state == State::Running; }));
}

QDateTime CollectSchedule::nextDue(const QDateTime &after) const
{
    QDateTime next;
    for (const Entry &entry : m_entries) {
        if ((entry.state == State::Due || entry.state == State::Retrying) && entry.due > after
            && (!next.isValid() || entry.due < next))
            next = entry.due;
    }
    return next;
}

bool CollectSchedule::done() const
{
    return m_once && std::all_of(m_entries.begin(), m_entries.end(),
                                 [](const Entry &e) { return e.state == State::Done; });
}
