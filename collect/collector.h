#ifndef COLLECTOR_H
#define COLLECTOR_H

#include "collectschedule.h"
#include "stationfile.h"
#include "stationoutcome.h"
#include "visitreport.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <vector>

class AttemptThread;
class CollectionLog;

// The collection of a station network: visits every station of its list as
// the schedule says, each attempt in a thread of its own (the engine blocks
// its thread on purpose: 300 ms before every block reply is handled), retries
// failed attempts, and writes every finished visit into the collection log.
// vlxcollect runs one for its station file, the program's station overview
// one for a single "Şimdi topla"; they report through the signals below and
// print nothing themselves.
//
//   Collector collector(stations, /*once=*/true, /*parallel=*/4);
//   connect(&collector, &Collector::visitFinished, ...);
//   connect(&collector, &Collector::finished, &app, &QCoreApplication::quit);
//   if (!collector.start(&error)) ...
//   ...
//   collector.stop();   // SIGTERM: running attempts are abandoned, their rows written
class Collector : public QObject
{
    Q_OBJECT
public:
    Collector(const QList<StationConfig> &stations, bool once, int parallel, QObject *parent = nullptr);
    // Stops, and waits for attempts still running.
    ~Collector() override;

    // Opens the collection log and starts the first visits; false, with the
    // reason in *error, when the log cannot be opened.
    bool start(QString *error);
    // Ends the collection: running attempts are abandoned (their accepted
    // blocks stay kept), every visit in progress is written to the log as
    // failed, then finished() comes, after at most stopGraceMs.
    void stop();

    bool anyFailed() const { return m_anyFailed; }
    // Attempts that had not ended when finished() came after a stop: their
    // threads still run (a TCP connect or write can block for its whole wait).
    bool hasStragglers() const { return m_stragglers; }

    static constexpr int stopGraceMs = 3000;

signals:
    void visitStarted(const QString &station);
    void stage(const QString &station, const QString &text);
    void progressed(const QString &station, const TransferProgress &progress);
    void attemptFailed(const QString &station, int attempt, const QString &error, int retryInSeconds);
    void visitFinished(const VisitReport &report);
    // A visit's row could not be written to the collection log.
    void logFailed(const QString &station, const QString &error);
    // Once: every visit is over. After stop(): everything has wound down.
    void finished();

private:
    void schedule();
    void onAttemptEnded(int station);
    void finishVisit(int station);
    void endWhenIdle();
    void emitFinished();

    QList<StationConfig> m_stations;
    CollectSchedule m_schedule;
    std::vector<VisitReport> m_visits;      // the visit in progress of each station
    std::vector<AttemptThread *> m_threads; // the attempt running for each station, or null
    QTimer m_timer;
    QString m_logConnection;
    std::unique_ptr<CollectionLog> m_log;
    bool m_started = false;
    bool m_stopping = false;
    bool m_finished = false;
    bool m_anyFailed = false;
    bool m_stragglers = false;
};

#endif // COLLECTOR_H
