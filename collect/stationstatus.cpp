// A station's state from its history: the rule --status and the station
// overview share.
#include "stationstatus.h"

namespace {
constexpr int failuresForDown = 3;
}

StationState stationState(const StationHistory &history, int intervalMinutes, const QDateTime &now)
{
    if (history.failures >= failuresForDown)
        return StationState::Down;
    if (!history.lastSuccess.isValid()
        || history.lastSuccess.secsTo(now) > 2 * qint64(intervalMinutes) * 60)
        return StationState::Late;
    return StationState::Ok;
}

QString stateName(StationState state)
{
    switch (state) {
    case StationState::Ok:
        return QStringLiteral("ok");
    case StationState::Late:
        return QStringLiteral("late");
    case StationState::Down:
        return QStringLiteral("down");
    }
    return QString();
}
