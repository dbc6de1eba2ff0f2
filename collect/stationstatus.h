#ifndef STATIONSTATUS_H
#define STATIONSTATUS_H

#include "visitreport.h"

#include <QDateTime>
#include <QString>

// A station's state at a glance, from what the collection log says of it:
// down when its last three visits failed, late when it has had no success
// for more than two of its intervals (or never had one), ok otherwise. The
// collector's --status and the program's station overview show the same.
enum class StationState { Ok, Late, Down };

StationState stationState(const StationHistory &history, int intervalMinutes, const QDateTime &now);

// "ok", "late", "down": the words of --status and its JSON.
QString stateName(StationState state);

#endif // STATIONSTATUS_H
