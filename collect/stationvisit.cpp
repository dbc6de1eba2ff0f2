// One attempt at a visit: the engine driven through connect, read and
// download with a local event loop, its time-out and its stop request, the
// link closed whatever happened.
#include "stationvisit.h"

#include "modemsearch.h"
#include "records.h"
#include "stationdecisions.h"
#include "stationsession.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHash>
#include <QThread>
#include <QTimer>

namespace {

// How often a running attempt looks whether its thread was asked to stop.
constexpr int stopCheckMs = 100;

} // namespace

std::optional<qint64> clockDrift(const QString &deviceTime, const QDateTime &computerTime)
{
    const QDate date = dateOfTwoDigitYear(deviceTime.left(8));
    const QTime time = QTime::fromString(deviceTime.mid(9, 8), QStringLiteral("hh:mm:ss"));
    if (!date.isValid() || !time.isValid() || deviceTime.at(8) != QLatin1Char(' '))
        return std::nullopt;
    // Both as wall clocks: the logger knows no time zone, and a
    // daylight-saving change must not show up as drift.
    const QDateTime logger(date, time, Qt::UTC);
    const QDateTime computer(computerTime.date(), computerTime.time(), Qt::UTC);
    return computer.secsTo(logger);
}

StationVisit::StationVisit(const StationConfig &station, QObject *parent)
    : QObject(parent), m_station(station)
{
}

AttemptResult StationVisit::run()
{
    AttemptResult result;
    DeclineEverything answers;
    StationSession session(&answers);
    if (m_database)
        session.setArchiveDatabase(m_database);
    // Visits run side by side: no shared raw_data.txt.
    session.setRawDumpFile(QString());

    QEventLoop loop;
    QHash<int, StationOutcome> ends;
    bool timedOut = false;
    QString lineError;
    connect(&session, &StationSession::finished, &loop,
            [&](StationSession::Operation operation, const StationOutcome &outcome) {
                ends.insert(operation, outcome);
                loop.quit();
            });
    connect(&session, &StationSession::parametersRead, &loop, [&](const ParameterRecord &record) {
        result.clockDriftSeconds = clockDrift(record.deviceTime, QDateTime::currentDateTime());
    });
    connect(&session, &StationSession::linkError, &loop,
            [&](int, const QString &text, const QString &) { lineError = text; });
    connect(&session, &StationSession::busy, this, &StationVisit::stage);
    connect(&session, &StationSession::busyLabel, this, &StationVisit::stage);
    connect(&session, &StationSession::transferPlanned, this, &StationVisit::progressed);
    connect(&session, &StationSession::transferProgressed, this, &StationVisit::progressed);
    connect(&session, &StationSession::analysisProgress, this,
            [this](const QString &label, qint64, qint64) {
                if (!label.isNull())
                    emit stage(label);
            });

    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    deadline.start(m_station.timeoutSeconds * 1000);   // at most a week: within an int
    QTimer stopCheck;
    connect(&stopCheck, &QTimer::timeout, &loop, [&] {
        if (QThread::currentThread()->isInterruptionRequested()) {
            result.abandoned = true;
            loop.quit();
        }
    });
    stopCheck.start(stopCheckMs);

    auto stopped = [&] {
        result.abandoned = result.abandoned || QThread::currentThread()->isInterruptionRequested();
        return timedOut || result.abandoned;
    };
    // The outcome of `operation`, or nothing when the attempt was stopped first.
    auto await = [&](StationSession::Operation operation) -> std::optional<StationOutcome> {
        while (!ends.contains(operation)) {
            if (stopped())
                return std::nullopt;
            loop.exec();
        }
        return ends.take(operation);
    };
    auto failed = [&](const std::optional<StationOutcome> &outcome) {
        if (!outcome)
            return true;
        if (!outcome->ok())
            result.error = outcome->error;
        return !outcome->ok();
    };

    switch (m_station.link) {
    case StationConfig::Rs232:
        session.connectRs232(m_station.port, m_station.baud);
        break;
    case StationConfig::Gprs:
        session.connectGprs(m_station.host, m_station.tcpPort);
        break;
    case StationConfig::Gsm: {
        QString modem = m_station.modem;
        if (modem.isEmpty()) {
            emit stage(tr("Modem aranıyor"));
            modem = ModemSearch::findModem(&result.error);
        }
        if (!modem.isEmpty())
            session.connectGsm(modem, m_station.phone);
        break;
    }
    }

    if (result.error.isEmpty() && !failed(await(StationSession::Connect))
        && !failed(await(StationSession::ReadParameters))) {
        session.download();
        const std::optional<StationOutcome> downloaded = await(StationSession::Download);
        if (!failed(downloaded)) {
            result.ok = true;
            result.newRows = downloaded->summary.rowsAdded;
            result.newest = downloaded->newestRecord;
            result.level = downloaded->newestLevel;
            result.temperature = downloaded->newestTemperature;
        }
    }
    result.requests = session.blockRequests();

    if (!result.ok && stopped()) {
        result.error = result.abandoned ? tr("Toplayıcı durduruldu; ziyaret yarıda bırakıldı.")
                                        : tr("Ziyaret %1 saniyede bitmedi.").arg(m_station.timeoutSeconds);
    } else if (!result.ok && result.error.isEmpty()) {
        result.error = tr("Bağlantı kurulamadı.");
    }
    // Why the line went down, when the link said.
    if (!result.ok && !lineError.isEmpty() && !result.error.contains(lineError))
        result.error += QStringLiteral(" (%1)").arg(lineError);

    session.cancel();
    if (session.isOpen())
        session.disconnectLink();
    return result;
}
