#ifndef RATINGCURVE_H
#define RATINGCURVE_H

#include <QDateTime>
#include <QString>

#include <vector>

// The flow of a station as a hydrologist derives it from the level: the
// station's rating, interpolated between the points of its table, with no
// flow outside the rated range. A rating changes when a flood reshapes the
// bed, so a table may hold several validity periods; the one that applies
// at a record's time is the latest that began at or before it.
//
//   RatingCurve curve;                         // from RatingTable::loadCurve
//   double q = curve.flowAt(123.4, time);      // NaN: no flow at that level or time
//   std::vector<float> flows = curve.flowSeries(series.times, series.values[0]);
//
// This is not the "Anlık Debi" label's lookup (AbakReader, an exact match on
// the level's whole part in the table's first period), which stays as it is.
class RatingCurve
{
public:
    enum class Interpolation {
        Linear,   // straight lines between the points
        LogLog,   // straight lines between the points on log scales: Q = C·h^b per segment
    };
    struct Point {
        double level = 0;
        double flow = 0;
    };
    struct Period {
        QDateTime from;   // UTC like the logger's records; invalid: from the beginning of time
        Interpolation interpolation = Interpolation::Linear;
        std::vector<Point> points;   // ascending level, no level twice
    };

    // The flow unit of a table that names none.
    static QString defaultUnit();

    QString unit = defaultUnit();
    std::vector<Period> periods;   // ascending start, the one from the beginning first

    // True when no period has a point: there is no flow at all.
    bool isEmpty() const;

    // The period that applies at a time (seconds since the epoch, the
    // logger's clock); nullptr before the first period began.
    const Period *periodAt(qint64 time) const;

    // The flow at a level by a period's points: exact at a point, interpolated
    // between two, NaN below the lowest and above the highest point. A log
    // segment whose ends are not both above zero in level and flow (the level
    // where the flow stops, say) is interpolated linearly.
    static double flowOf(const Period &period, double level);
    double flowAt(double level, qint64 time) const;

    // The flow of every record of a series; NaN where the level is NaN or
    // out of range, or no period applies.
    std::vector<float> flowSeries(const std::vector<qint64> &times, const std::vector<float> &levels) const;

    // What flow integrated over seconds gives: "m³" for "m³/s", "l" for
    // "l/s"; empty for a unit that is not per second.
    QString volumeUnit() const;
};

#endif // RATINGCURVE_H
