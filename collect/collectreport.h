#ifndef COLLECTREPORT_H
#define COLLECTREPORT_H

#include "stationstatus.h"
#include "visitreport.h"

#include <QJsonObject>
#include <QString>

// The collector's report lines: one per finished visit, one per station of
// --status, as text for a person or as one JSON object per line for a
// program. Times of the computer are local ISO 8601 with their offset; the
// logger's clock, which knows no zone, has none.
namespace CollectReport {

QString visitText(const VisitReport &visit);
QJsonObject visitJson(const VisitReport &visit);

QString statusText(const QString &station, StationState state, const StationHistory &history);
QJsonObject statusJson(const QString &station, StationState state, const StationHistory &history);

// The logger's clock as ISO 8601 without an offset; empty when invalid.
QString loggerTime(const QDateTime &time);
// A measured value as the logger's single-precision number reads.
double measured(double value);

} // namespace CollectReport

#endif // COLLECTREPORT_H
