#ifndef CHARTREDUCTION_H
#define CHARTREDUCTION_H

#include <QList>
#include <QPointF>
#include <QString>

#include "archiveseries.h"

#include <cmath>
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

// Where a daily summary is drawn: at noon of its day. The logger stamps a
// day's summary 23:59, which on a chart reads as the next day's.
qint64 middleOfDay(qint64 time);

// Markers of a span's daily summary values of one type (1 MAX, 2 MIN,
// 3 ORT) and channel (1 or 2), each at the middle of its day: per column the
// one value that matters for its type, the highest maximum, the lowest
// minimum or the first average.
QList<QPointF> reduceMarkers(const std::vector<ArchiveSeries::Summary> &summaries, int type,
                             int channel, double from, double to, int columns);

// The bands of a span where records are missing or the logger's time jumps
// ahead: from the record before each hole (two records further apart than
// gapSeconds) to the record after it. A band narrower than a column is
// widened to one column around its middle, so that every hole can be seen
// at every zoom, and bands that then touch are drawn as one.
struct TimeBand {
    double from = 0;
    double to = 0;
};
QList<TimeBand> gapBands(const std::vector<qint64> &times, qint64 gapSeconds, double from, double to,
                         int columns);

// The record the read-out under the chart describes for a time under the
// mouse: the nearest one; -1 inside a hole (the time is further than half a
// record interval from both records around it, and they lie more than
// gapSeconds apart) and when there are no records.
qint64 recordAt(const std::vector<qint64> &times, double time, qint64 intervalSeconds,
                qint64 gapSeconds);

// Labels of the time axis for a span (seconds of the logger's clock): at
// most about maxTicks ticks at round times (minutes, hours, days, months),
// each labelled with what its step needs: "dd.MM hh:mm" for steps within a
// day, "dd.MM" for day steps, "MM.yyyy" for month steps. The first label,
// and the first of a new year, carry the year too ("dd.MM.yyyy hh:mm",
// "dd.MM.yyyy"), so that no label leaves the date to guess.
struct TimeTick {
    double time = 0;
    QString label;
};
QList<TimeTick> timeTicks(double from, double to, int maxTicks);

// A value axis at round numbers: a step of 1, 2 or 5 times a power of ten,
// the smallest that shows [low, high] in at most maxTicks - 1 steps, and the
// range widened to whole steps. A single value gets a range around it.
//
//   ValueScale s = valueScale(101.4, 138.7, 6);   // 100 .. 140 step 10, 0 decimals
struct ValueScale {
    double min = 0;
    double max = 1;
    double step = 1;
    int decimals = 0;   // what a label needs to show the step
    int ticks() const { return int(std::llround((max - min) / step)) + 1; }
};
ValueScale valueScale(double low, double high, int maxTicks);

// The lowest, highest and mean value of the records with from <= time <= to
// (values that are NaN left out); count 0 when there are none.
struct SpanSummary {
    qint64 count = 0;
    double min = 0;
    double max = 0;
    double mean = 0;
};
SpanSummary summarizeSpan(const std::vector<qint64> &times, const std::vector<float> &values, double from,
                          double to);

// The integral over [from, to] of the line through the values (value ×
// seconds): a flow in m³/s gives the volume in m³. Holes (two records further
// apart than gapSeconds, or a NaN) add nothing: no flow is made up where the
// logger recorded none.
double integrateSpan(const std::vector<qint64> &times, const std::vector<float> &values, double from,
                     double to, qint64 gapSeconds);

#endif // CHARTREDUCTION_H
