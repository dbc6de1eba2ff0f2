// The text and JSON forms of the collector's report lines, so that a person
// and a program read the same figures.
#include "collectreport.h"

#include <QJsonValue>

namespace CollectReport {

namespace {

// Local time with its offset ("+03:00", "Z" at UTC): Qt writes a local
// time without one.
QString computerTime(const QDateTime &time)
{
    if (!time.isValid())
        return QString();
    const QDateTime local = time.toLocalTime();
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
}

template <typename T>
QJsonValue jsonOf(const std::optional<T> &value)
{
    return value ? QJsonValue(double(*value)) : QJsonValue(QJsonValue::Null);
}

QJsonValue measuredJson(const std::optional<double> &value)
{
    return value ? QJsonValue(measured(*value)) : QJsonValue(QJsonValue::Null);
}

template <typename T>
QString textOf(const std::optional<T> &value)
{
    return value ? QString::number(*value) : QStringLiteral("-");
}

QString measuredText(const std::optional<double> &value)
{
    return value ? QString::number(measured(*value)) : QStringLiteral("-");
}

QString orDash(const QString &text) { return text.isEmpty() ? QStringLiteral("-") : text; }

// Quoted, so that an error with blanks stays one field of the line.
QString quoted(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\""));
    escaped.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

} // namespace

QString loggerTime(const QDateTime &time)
{
    return time.isValid() ? time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) : QString();
}

double measured(double value)
{
    // The float's own digits: 12.35 rather than 12.350000381469727.
    return QString::number(float(value), 'g', 7).toDouble();
}

QString visitText(const VisitReport &visit)
{
    QString line = QStringLiteral("%1 %2 attempts=%3 requests=%4 new_rows=%5 newest=%6 clock_drift_s=%7")
                       .arg(visit.station, visit.ok ? QStringLiteral("ok") : QStringLiteral("failed"))
                       .arg(visit.attempts)
                       .arg(visit.requests)
                       .arg(visit.newRows)
                       .arg(orDash(loggerTime(visit.newest)), textOf(visit.clockDriftSeconds));
    if (!visit.ok)
        line += QStringLiteral(" error=") + quoted(visit.error);
    return line;
}

QJsonObject visitJson(const VisitReport &visit)
{
    return QJsonObject{
        {QStringLiteral("station"), visit.station},
        {QStringLiteral("result"), visit.ok ? QStringLiteral("ok") : QStringLiteral("failed")},
        {QStringLiteral("attempts"), visit.attempts},
        {QStringLiteral("requests"), visit.requests},
        {QStringLiteral("new_rows"), double(visit.newRows)},
        {QStringLiteral("newest"), loggerTime(visit.newest)},
        {QStringLiteral("level"), measuredJson(visit.level)},
        {QStringLiteral("temperature"), measuredJson(visit.temperature)},
        {QStringLiteral("clock_drift_s"), jsonOf(visit.clockDriftSeconds)},
        {QStringLiteral("started"), computerTime(visit.started)},
        {QStringLiteral("finished"), computerTime(visit.finished)},
        {QStringLiteral("error"), visit.ok ? QString() : visit.error},
    };
}

QString statusText(const QString &station, StationState state, const StationHistory &history)
{
    QString line = QStringLiteral("%1 %2 last_attempt=%3 last_success=%4 failures=%5 newest=%6 level=%7 "
                                  "temperature=%8 clock_drift_s=%9")
                       .arg(station, stateName(state), orDash(computerTime(history.lastAttempt)),
                            orDash(computerTime(history.lastSuccess)))
                       .arg(history.failures)
                       .arg(orDash(loggerTime(history.newest)), measuredText(history.level),
                            measuredText(history.temperature), textOf(history.clockDriftSeconds));
    if (!history.lastError.isEmpty())
        line += QStringLiteral(" error=") + quoted(history.lastError);
    return line;
}

QJsonObject statusJson(const QString &station, StationState state, const StationHistory &history)
{
    return QJsonObject{
        {QStringLiteral("station"), station},
        {QStringLiteral("state"), stateName(state)},
        {QStringLiteral("last_attempt"), computerTime(history.lastAttempt)},
        {QStringLiteral("last_success"), computerTime(history.lastSuccess)},
        {QStringLiteral("failures"), history.failures},
        {QStringLiteral("newest"), loggerTime(history.newest)},
        {QStringLiteral("level"), measuredJson(history.level)},
        {QStringLiteral("temperature"), measuredJson(history.temperature)},
        {QStringLiteral("clock_drift_s"), jsonOf(history.clockDriftSeconds)},
        {QStringLiteral("error"), history.lastError},
    };
}

} // namespace CollectReport
