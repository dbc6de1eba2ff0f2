// The rating curve's arithmetic: which period applies at a time and the
// flow between two of its points. Loading and checking live in ratingtable.cpp.

#include "ratingcurve.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double noFlow = std::numeric_limits<double>::quiet_NaN();

} // namespace

QString RatingCurve::defaultUnit() { return QStringLiteral("m³/s"); }

bool RatingCurve::isEmpty() const
{
    return std::all_of(periods.cbegin(), periods.cend(), [](const Period &p) { return p.points.empty(); });
}

const RatingCurve::Period *RatingCurve::periodAt(qint64 time) const
{
    const Period *applies = nullptr;
    for (const Period &period : periods) {
        if (period.from.isValid() && period.from.toSecsSinceEpoch() > time)
            break;
        applies = &period;
    }
    return applies;
}

double RatingCurve::flowOf(const Period &period, double level)
{
    const std::vector<Point> &points = period.points;
    if (points.empty() || std::isnan(level) || level < points.front().level || level > points.back().level)
        return noFlow;
    const auto upper = std::lower_bound(points.begin(), points.end(), level,
                                        [](const Point &p, double h) { return p.level < h; });
    if (upper->level == level)
        return upper->flow;
    const Point &a = *(upper - 1);
    const Point &b = *upper;
    if (period.interpolation == Interpolation::LogLog && a.level > 0 && a.flow > 0 && b.flow > 0) {
        const double share = std::log(level / a.level) / std::log(b.level / a.level);
        return a.flow * std::pow(b.flow / a.flow, share);
    }
    return a.flow + (b.flow - a.flow) * (level - a.level) / (b.level - a.level);
}

double RatingCurve::flowAt(double level, qint64 time) const
{
    const Period *period = periodAt(time);
    return period ? flowOf(*period, level) : noFlow;
}

std::vector<float> RatingCurve::flowSeries(const std::vector<qint64> &times, const std::vector<float> &levels) const
{
    std::vector<float> flows(times.size(), std::numeric_limits<float>::quiet_NaN());
    const std::size_t n = qMin(times.size(), levels.size());
    for (std::size_t i = 0; i < n; ++i)
        flows[i] = float(flowAt(double(levels[i]), times[i]));
    return flows;
}

QString RatingCurve::volumeUnit() const
{
    const QString perSecond = QStringLiteral("/s");
    return unit.endsWith(perSecond) && unit.size() > perSecond.size() ? unit.chopped(perSecond.size()) : QString();
}
