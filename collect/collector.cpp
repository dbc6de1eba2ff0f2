// The collector's threads and bookkeeping: an attempt per thread, its result
// folded into the visit, retries scheduled, finished visits logged and
// reported, a stop that abandons what runs and writes what was begun.
#include "collector.h"

#include "archiveconnection.h"
#include "collectionlog.h"
#include "memorycopy.h"
#include "paths.h"
#include "stationvisit.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QThread>

namespace {

QAtomicInt connectionCount;

QString newConnectionName(const char *use)
{
    return QStringLiteral("collect-%1-%2").arg(QLatin1String(use)).arg(connectionCount.fetchAndAddRelaxed(1));
}

// Schedules are looked at again at least this often (the computer's clock
// may jump; a very long interval would not fit a timer).
constexpr qint64 longestSleepMs = 60000;

} // namespace

// One attempt of one station, with its own database connection and engine.
class AttemptThread : public QThread
{
public:
    AttemptThread(const StationConfig &station, Collector *collector)
        : m_station(station), m_collector(collector)
    {
    }
    AttemptResult result() const { return m_result; }

protected:
    void run() override
    {
        const QString connection = newConnectionName("visit");
        {
            QString error;
            const QSqlDatabase db = openArchiveConnection(connection, &error);
            if (!db.isOpen()) {
                m_result.error = error;
            } else {
                StationVisit visit(m_station);
                visit.setArchiveDatabase([connection] { return QSqlDatabase::database(connection); });
                // Reports cross to the collector's thread; they are dropped
                // if it is gone by then.
                Collector *collector = m_collector;
                const QString name = m_station.name;
                QObject::connect(&visit, &StationVisit::stage, &visit, [collector, name](const QString &text) {
                    QMetaObject::invokeMethod(collector, [collector, name, text] { emit collector->stage(name, text); },
                                              Qt::QueuedConnection);
                });
                QObject::connect(&visit, &StationVisit::progressed, &visit,
                                 [collector, name](const TransferProgress &progress) {
                                     QMetaObject::invokeMethod(
                                         collector, [collector, name, progress] { emit collector->progressed(name, progress); },
                                         Qt::QueuedConnection);
                                 });
                m_result = visit.run();
            }
        }
        closeArchiveConnection(connection);
    }

private:
    StationConfig m_station;
    Collector *m_collector;
    AttemptResult m_result;
};

Collector::Collector(const QList<StationConfig> &stations, bool once, int parallel, QObject *parent)
    : QObject(parent),
      m_stations(stations),
      m_schedule(stations, once, parallel, QDateTime::currentDateTimeUtc()),
      m_visits(std::size_t(stations.size())),
      m_threads(std::size_t(stations.size()), nullptr)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &Collector::schedule);
}

Collector::~Collector()
{
    for (AttemptThread *thread : m_threads) {
        if (thread) {
            thread->requestInterruption();
            thread->wait();
            delete thread;
        }
    }
    m_log.reset();
    closeArchiveConnection(m_logConnection);
}

bool Collector::start(QString *error)
{
    m_logConnection = newConnectionName("log");
    const QSqlDatabase db = openArchiveConnection(m_logConnection, error);
    if (!db.isOpen())
        return false;
    m_log = std::make_unique<CollectionLog>(db);
    // The kept copies' file is made (WAL, its table) here, before several
    // visit threads open it at once: a new file's set-up needs it to itself.
    { const std::unique_ptr<MemoryCopy> copies = MemoryCopy::forArchive(); }
    m_started = true;
    // The first visits start from the event loop, once the caller has
    // made its connections.
    QTimer::singleShot(0, this, &Collector::schedule);
    return true;
}

void Collector::schedule()
{
    if (m_stopping || m_finished)
        return;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int i : m_schedule.start(now)) {
        VisitReport &visit = m_visits[std::size_t(i)];
        if (!visit.started.isValid()) {
            visit = VisitReport();
            visit.station = m_stations.at(i).name;
            visit.started = now;
            emit visitStarted(visit.station);
        }
        auto *thread = new AttemptThread(m_stations.at(i), this);
        m_threads[std::size_t(i)] = thread;
        connect(thread, &QThread::finished, this, [this, i] { onAttemptEnded(i); });
        thread->start();
    }
    if (m_schedule.done()) {
        emitFinished();
        return;
    }
    const QDateTime next = m_schedule.nextDue(now);
    if (next.isValid())
        m_timer.start(int(qBound<qint64>(0, now.msecsTo(next), longestSleepMs)));
}

void Collector::onAttemptEnded(int station)
{
    AttemptThread *thread = m_threads[std::size_t(station)];
    if (!thread)
        return;   // written off as a straggler after a stop
    thread->wait();
    const AttemptResult result = thread->result();
    delete thread;
    m_threads[std::size_t(station)] = nullptr;

    VisitReport &visit = m_visits[std::size_t(station)];
    ++visit.attempts;
    visit.requests += result.requests;
    visit.newRows += result.newRows;
    if (result.newest.isValid()) {
        visit.newest = result.newest;
        visit.level = result.level;
        visit.temperature = result.temperature;
    }
    if (result.clockDriftSeconds)
        visit.clockDriftSeconds = result.clockDriftSeconds;
    visit.ok = result.ok;
    visit.error = result.error;

    const StationConfig &config = m_stations.at(station);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (!result.ok && !result.abandoned && !m_stopping && visit.attempts <= config.retries) {
        emit attemptFailed(config.name, visit.attempts, result.error, config.retryWaitSeconds);
        m_schedule.attemptEnded(station, now, config.retryWaitSeconds);
    } else {
        m_schedule.attemptEnded(station, now, -1);
        finishVisit(station);
    }
    if (m_stopping)
        endWhenIdle();
    else
        schedule();
}

void Collector::finishVisit(int station)
{
    VisitReport visit = m_visits[std::size_t(station)];
    m_visits[std::size_t(station)] = VisitReport();
    visit.finished = QDateTime::currentDateTimeUtc();
    if (!visit.ok)
        m_anyFailed = true;
    if (m_log && !m_log->record(visit))
        emit logFailed(visit.station, m_log->lastError());
    emit visitFinished(visit);
}

void Collector::stop()
{
    if (m_stopping || m_finished)
        return;
    m_stopping = true;
    m_timer.stop();
    for (std::size_t i = 0; i < m_threads.size(); ++i) {
        if (m_threads[i]) {
            m_threads[i]->requestInterruption();
        } else if (m_schedule.inVisit(int(i))) {
            // Waiting to try again: the visit ends with its last attempt's error.
            m_schedule.attemptEnded(int(i), QDateTime::currentDateTimeUtc(), -1);
            finishVisit(int(i));
        }
    }
    // An attempt blocked in a TCP connect or write cannot look at its stop
    // request before that wait ends; it is written off meanwhile.
    QTimer::singleShot(stopGraceMs, this, [this] {
        for (std::size_t i = 0; i < m_threads.size(); ++i) {
            if (!m_threads[i])
                continue;
            m_stragglers = true;
            VisitReport &visit = m_visits[i];
            ++visit.attempts;
            visit.ok = false;
            visit.error = QCoreApplication::translate("StationVisit", "Toplayıcı durduruldu; ziyaret yarıda bırakıldı.");
            // The thread object stays for the destructor to wait for.
            disconnect(m_threads[i], &QThread::finished, this, nullptr);
            finishVisit(int(i));
        }
        emitFinished();
    });
    endWhenIdle();
}

void Collector::endWhenIdle()
{
    for (const AttemptThread *thread : m_threads) {
        if (thread)
            return;
    }
    emitFinished();
}

void Collector::emitFinished()
{
    if (m_finished)
        return;
    m_finished = true;
    m_timer.stop();
    emit finished();
}
