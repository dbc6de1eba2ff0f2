#ifndef CHARTREDUCTION_H
#define CHARTREDUCTION_H

#include <QList>
#include <QPointF>
#include <QString>

#include "archiveseries.h"

#include <vector>

// What a chart of a long series draws: for a shown span of time divided into
// columns, each column's first, lowest, highest and last value (in their
// order in time, each point once), so that a line through them looks exactly
// like the line through every record, at a few points per column instead of
// thousands. Gaps in the records stay breaks in the line.
//
//   QList<QList<QPointF>> lines = reduceSpan(times, values, from, to, columns, gapSeconds);
//   // one QList per unbroken piece of line; x in seconds, y the value
//
// times ascending (seconds); values of the same length, NaN where there is no
// value. Two neighbouring values further apart than gapSeconds (and a NaN
// between them) break the line when the hole reaches past the next column:
// a narrower hole lies within a column, where no break could be seen. The
// record just before and just after the span are taken too, so that the line
// runs to the edges of the chart.
QList<QList<QPointF>> reduceSpan(const std::vector<qint64> &times, const std::vector<float> &values,
                                 double from, double to, int columns, qint64 gapSeconds);

// Markers of a span's daily summary values of one type (1 MAX, 2 MIN,
// 3 ORT) and channel (1 or 2): per column the one value that matters for
// its type, the highest maximum, the lowest minimum or the first average.
QList<QPointF> reduceMarkers(const std::vector<ArchiveSeries::Summary> &summaries, int type,
                             int channel, double from, double to, int columns);

// Labels of the time axis for a span (seconds of the logger's clock): at
// most about maxTicks ticks at round times (minutes, hours, days, months),
// each labelled with what its step needs: "hh:mm" within a day,
// "dd.MM hh:mm" across days, "dd.MM" for day steps ("dd.MM.yy" across a
// new year), "MM.yyyy" for month steps.
struct TimeTick {
    double time = 0;
    QString label;
};
QList<TimeTick> timeTicks(double from, double to, int maxTicks);

#endif // CHARTREDUCTION_H
