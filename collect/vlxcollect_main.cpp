// vlxcollect: the unattended collection of a station network, for cron, a
// systemd timer or a long-running service. It visits every station of a
// station file at its interval through the station engine, exactly as the
// program's "Veri Aktar" would (kept copy, exports, archive), retries failed
// visits, logs every visit in data.db and reports one line per visit.
//
//   vlxcollect --stations FILE [--once] [--station NAME]... [--parallel N] [--json]
//   vlxcollect --stations FILE --status [--json]
//   ... [--archive postgresql://user@host:port/dbname]   the archive, log and copies on a server
//
// Exit status: 0 every visited station ok (or a service stopped by a
// signal), 1 a visit failed, 2 bad station file, command line or data root,
// 3 another collector holds the data root.

#include "archiveconnection.h"
#include "archivelocation.h"
#include "collectionlog.h"
#include "collector.h"
#include "collectorlock.h"
#include "collectreport.h"
#include "options.h"
#include "paths.h"
#include "stationfile.h"
#include "stationstatus.h"
#include "waits.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QMap>
#include <QSqlDatabase>
#include <QTemporaryFile>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

enum ExitCode { AllOk = 0, SomeFailed = 1, BadInput = 2, Locked = 3 };

// How often the progress of running transfers is told on standard error.
constexpr int progressEveryMs = 5000;

std::atomic<bool> stopSignalled {false};

void onStopSignal(int)
{
    stopSignalled = true;
}

const char *const description =
    "Collects the data of a network of loggers without a person: visits each station of the "
    "station file at its interval, downloads only what is new (through the same kept copy, "
    "exports and archive as VLXLogger, in the data root of VLXLOGGER_DATA_ROOT or the default "
    "one), retries failed visits and logs every visit in the table `collection` of data.db.\n"
    "\n"
    "Without --once it runs until SIGTERM or SIGINT, visiting each enabled station every "
    "`interval` minutes, the first visit at start. Each finished visit prints one line on "
    "standard output (one JSON object with --json); the progress of long transfers goes to "
    "standard error.\n"
    "\n"
    "The station file is an INI file, one group per station, the group's name being the "
    "station's name:\n"
    "  [Baraj-1]\n"
    "  link = gprs              rs232 | gprs | gsm (required)\n"
    "  host = 10.1.2.3:8080     gprs: host, host:port or [v6-address]:port (port 80 if none)\n"
    "  port = /dev/ttyUSB0      rs232: the serial port (required)\n"
    "  baud = 115200            rs232: 9600 or 115200 (default 115200)\n"
    "  phone = +905551234567    gsm: the logger's number (required)\n"
    "  modem = /dev/ttyACM0     gsm: the modem's port (default: searched for, as the "
    "program's modem finder does)\n"
    "  interval = 60            minutes between visits (default 60)\n"
    "  retries = 2              attempts after a failed one (default 2)\n"
    "  retry_wait = 60          seconds before a retry (default 60)\n"
    "  timeout = 14400          seconds one attempt may take (default 14400: a whole memory "
    "at 300 ms a block)\n"
    "  enabled = true           false leaves the station out of collections (default true)\n"
    "A missing required key, an unknown key, a bad value or a station named twice stops the "
    "collector before anything is collected.\n"
    "\n"
    "Stations on the same serial port or modem are visited one after another.\n"
    "\n"
    "Exit status: 0 every visited station ok (a service stopped by SIGTERM or SIGINT: 0 too), "
    "1 a visit failed, 2 a bad station file, command line or data root, 3 another collector "
    "holds the data root.\n"
    "\n"
    "Environment: VLXLOGGER_DATA_ROOT moves the data root; VLXLOGGER_WAITS=name=ms,... sets "
    "fixed waits by name (tests and benchmarks only, never for a real logger).";

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

int fail(const QString &message, int code)
{
    err() << "vlxcollect: " << message << Qt::endl;
    return code;
}

QString jsonLine(const QJsonObject &object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

bool folderWritable(const QString &path)
{
    if (!QDir().mkpath(path))
        return false;
    QTemporaryFile probe(path + QStringLiteral("/.vlxcollect-XXXXXX"));
    return probe.open();
}

void printStatusLine(const StationConfig &station, const StationHistory &history, bool json)
{
    const StationState state = stationState(history, station.intervalMinutes, QDateTime::currentDateTimeUtc());
    out() << (json ? jsonLine(CollectReport::statusJson(station.name, state, history))
                   : CollectReport::statusText(station.name, state, history))
          << Qt::endl;
}

int printStatus(const QList<StationConfig> &stations, bool json)
{
    // Nothing collected yet on this data root: nothing is created for asking.
    if (!ArchiveLocation::current().isServer() && !QFileInfo::exists(Paths::databaseFile())) {
        for (const StationConfig &station : stations)
            printStatusLine(station, StationHistory(), json);
        return AllOk;
    }
    const QString connection = QStringLiteral("vlxcollect-status");
    int code = AllOk;
    {
        QString error;
        const QSqlDatabase db = openArchiveConnection(connection, &error);
        if (!db.isOpen()) {
            code = fail(error, BadInput);
        } else {
            CollectionLog log(db);
            for (const StationConfig &station : stations) {
                const StationHistory history = log.history(station.name);
                if (!log.lastError().isEmpty()) {
                    code = fail(QStringLiteral("%1: %2").arg(ArchiveLocation::current().displayName(), log.lastError()),
                                BadInput);
                    break;
                }
                printStatusLine(station, history, json);
            }
        }
    }
    closeArchiveConnection(connection);
    return code;
}

// One line on standard error now and then: where the running transfers stand.
class ProgressLine : public QObject
{
public:
    explicit ProgressLine(Collector *collector)
    {
        connect(collector, &Collector::progressed, this,
                [this](const QString &station, const TransferProgress &p) { m_latest[station] = p; });
        connect(collector, &Collector::visitFinished, this,
                [this](const VisitReport &visit) { m_latest.remove(visit.station); });
        connect(&m_timer, &QTimer::timeout, this, &ProgressLine::tell);
        m_timer.start(progressEveryMs);
    }

private:
    void tell()
    {
        QStringList parts;
        for (auto it = m_latest.cbegin(); it != m_latest.cend(); ++it) {
            const TransferProgress &p = it.value();
            QString part = QStringLiteral("%1 block %2/%3").arg(it.key()).arg(p.accepted).arg(p.blockCount);
            if (p.secondsLeft >= 0)
                part += QStringLiteral(" (%1 s left)").arg(p.secondsLeft);
            parts << part;
        }
        if (!parts.isEmpty())
            err() << "progress: " << parts.join(QStringLiteral(", ")) << Qt::endl;
        m_latest.clear();
    }

    QMap<QString, TransferProgress> m_latest;
    QTimer m_timer;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vlxcollect"));
    // The engine's developer diagnostics are not the collector's report;
    // QT_LOGGING_RULES="default.debug=true" shows them again.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(description));
    parser.addHelpOption();
    const QCommandLineOption stationsOption(QStringLiteral("stations"), QStringLiteral("The station file (required)."),
                                            QStringLiteral("FILE"));
    const QCommandLineOption onceOption(QStringLiteral("once"),
                                        QStringLiteral("Visit each enabled station (or each --station) once, then exit."));
    const QCommandLineOption stationOption(
        QStringLiteral("station"), QStringLiteral("Visit only this station, enabled or not. Repeatable."),
        QStringLiteral("NAME"));
    const QCommandLineOption parallelOption(QStringLiteral("parallel"),
                                            QStringLiteral("At most N visits at once (default 4)."), QStringLiteral("N"),
                                            QStringLiteral("4"));
    const QCommandLineOption jsonOption(QStringLiteral("json"),
                                        QStringLiteral("Report as JSON lines: one object per visit, or per station of --status."));
    const QCommandLineOption statusOption(
        QStringLiteral("status"),
        QStringLiteral("Print each station's last attempt, last success, consecutive failures, newest record, its "
                       "level and temperature, clock drift and state (ok; late: no success for more than two "
                       "intervals; down: the last three visits failed), then exit."));
    const QCommandLineOption portOption(
        QStringLiteral("port"),
        QStringLiteral("Also try serial port NAME when a modem is searched for (pseudo-terminals, "
                       "/dev/serial/by-id links). Repeatable."),
        QStringLiteral("NAME"));
    const QCommandLineOption archiveOption(
        QStringLiteral("archive"),
        QStringLiteral("Keep the archive, the collection log and the kept memory copies on the PostgreSQL "
                       "server of URL (postgresql://user@host:port/dbname; the password from PGPASSWORD or "
                       "the password file) instead of data.db and memory.db. Without it, VLXLOGGER_ARCHIVE "
                       "or Archive/url in settings.ini decide as for VLXLogger."),
        QStringLiteral("URL"));
    for (const QCommandLineOption &option :
         {stationsOption, onceOption, stationOption, parallelOption, jsonOption, statusOption, portOption, archiveOption})
        parser.addOption(option);

    if (!parser.parse(QCoreApplication::arguments()))
        return fail(parser.errorText(), BadInput);
    if (parser.isSet(QStringLiteral("help"))) {
        out() << parser.helpText() << Qt::flush;
        return AllOk;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first()), BadInput);
    if (!parser.isSet(stationsOption))
        return fail(QStringLiteral("--stations FILE is required (see --help)"), BadInput);
    bool parallelOk = false;
    const int parallel = parser.value(parallelOption).toInt(&parallelOk);
    if (!parallelOk || parallel < 1 || parallel > 64)
        return fail(QStringLiteral("--parallel: expected a number from 1 to 64, got \"%1\"").arg(parser.value(parallelOption)),
                    BadInput);
    const bool json = parser.isSet(jsonOption);
    Options::setExtraPorts(parser.values(portOption));

    // Tests and benchmarks shorten the fixed waits of the separate process.
    QString error;
    const QString waits = qEnvironmentVariable("VLXLOGGER_WAITS");
    if (!waits.isEmpty() && !Waits::setFromText(waits, &error))
        return fail(QStringLiteral("VLXLOGGER_WAITS: ") + error, BadInput);

    const ArchiveLocation where = ArchiveLocation::resolve(parser.value(archiveOption), ArchiveLocation::UrlOnly, &error);
    if (!error.isEmpty())
        return fail(error, BadInput);
    ArchiveLocation::setCurrent(where);

    const QList<StationConfig> all = readStationFile(parser.value(stationsOption), &error);
    if (!error.isEmpty())
        return fail(error, BadInput);

    if (parser.isSet(statusOption))
        return printStatus(all, json);

    QList<StationConfig> stations;
    const QStringList named = parser.values(stationOption);
    for (const QString &name : named) {
        auto found = std::find_if(all.cbegin(), all.cend(), [&](const StationConfig &s) { return s.name == name; });
        if (found == all.cend())
            return fail(QStringLiteral("--station: no station \"%1\" in %2").arg(name, parser.value(stationsOption)),
                        BadInput);
        stations << *found;
    }
    if (named.isEmpty()) {
        for (const StationConfig &station : all) {
            if (station.enabled)
                stations << station;
        }
    }
    if (stations.isEmpty())
        return fail(QStringLiteral("%1: no enabled station").arg(parser.value(stationsOption)), BadInput);

    if (!folderWritable(Paths::dataRoot()) || !folderWritable(Paths::exportDir()))
        return fail(QStringLiteral("cannot write the data root %1 (set VLXLOGGER_DATA_ROOT to move it)")
                        .arg(Paths::dataRoot()),
                    BadInput);
    CollectorLock lock;
    if (!lock.acquire())
        return fail(lock.errorText(), lock.heldByOther() ? Locked : BadInput);

    const bool once = parser.isSet(onceOption);
    Collector collector(stations, once, parallel);
    QObject::connect(&collector, &Collector::visitFinished, &app, [json](const VisitReport &visit) {
        out() << (json ? jsonLine(CollectReport::visitJson(visit)) : CollectReport::visitText(visit)) << Qt::endl;
    });
    QObject::connect(&collector, &Collector::attemptFailed, &app,
                     [](const QString &station, int attempt, const QString &why, int retryIn) {
                         err() << station << ": attempt " << attempt << " failed: " << why << "; trying again in "
                               << retryIn << " s" << Qt::endl;
                     });
    QObject::connect(&collector, &Collector::logFailed, &app, [](const QString &station, const QString &why) {
        err() << "vlxcollect: " << station << ": the visit could not be written to the collection log: " << why
              << Qt::endl;
    });
    QObject::connect(&collector, &Collector::finished, &app, &QCoreApplication::quit);
    ProgressLine progress(&collector);

    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
    QTimer signalCheck;
    QObject::connect(&signalCheck, &QTimer::timeout, &collector, [&collector] {
        if (stopSignalled)
            collector.stop();
    });
    signalCheck.start(100);

    if (!collector.start(&error))
        return fail(error, BadInput);
    QCoreApplication::exec();

    const int code = stopSignalled && !once ? AllOk : (collector.anyFailed() ? SomeFailed : AllOk);
    if (collector.hasStragglers()) {
        // A thread still blocked in a network wait cannot be joined; its
        // visit is written off and nothing of it is half-stored.
        out().flush();
        err().flush();
        lock.release();
        std::fflush(nullptr);
        std::_Exit(code);
    }
    return code;
}
