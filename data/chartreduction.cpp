#include "chartreduction.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>

namespace {

// Column of a time: negative before the span, `columns` or more after it.
struct Columns {
    double from;
    double width;
    qint64 of(qint64 time) const { return qint64(std::floor((double(time) - from) / width)); }
};

} // namespace

QList<QList<QPointF>> reduceSpan(const std::vector<qint64> &times, const std::vector<float> &values,
                                 double from, double to, int columns, qint64 gapSeconds)
{
    QList<QList<QPointF>> lines;
    const std::size_t n = qMin(times.size(), values.size());
    if (n == 0 || columns < 1 || !(to > from))
        return lines;
    const Columns grid{from, (to - from) / columns};

    std::size_t begin = std::size_t(std::lower_bound(times.begin(), times.begin() + qsizetype(n),
                                                     qint64(std::ceil(from)))
                                    - times.begin());
    std::size_t end = std::size_t(std::upper_bound(times.begin(), times.begin() + qsizetype(n),
                                                   qint64(std::floor(to)))
                                  - times.begin());
    // One value more on each side, skipping values that are not there.
    while (begin > 0) {
        --begin;
        if (!std::isnan(values[begin]))
            break;
    }
    while (end < n) {
        if (!std::isnan(values[end++]))
            break;
    }

    QList<QPointF> line;
    bool open = false;
    qint64 column = 0;
    std::size_t first = 0, lowest = 0, highest = 0, last = 0;
    auto flush = [&] {
        if (!open)
            return;
        std::size_t picked[4] = {first, lowest, highest, last};
        std::sort(picked, picked + 4);
        const std::size_t *unique = std::unique(picked, picked + 4);
        for (const std::size_t *i = picked; i != unique; ++i)
            line << QPointF(double(times[*i]), double(values[*i]));
        open = false;
    };

    bool havePrevious = false;
    std::size_t previous = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const float v = values[i];
        if (std::isnan(v))
            continue;
        const qint64 c = grid.of(times[i]);
        if (havePrevious) {
            const bool hole = gapSeconds > 0 && times[i] - times[previous] > gapSeconds;
            if (hole && c - grid.of(times[previous]) >= 2) {
                flush();
                if (!line.isEmpty())
                    lines << line;
                line.clear();
            } else if (c != column) {
                flush();
            }
        }
        if (!open) {
            open = true;
            column = c;
            first = lowest = highest = last = i;
        } else {
            if (v < values[lowest])
                lowest = i;
            if (v > values[highest])
                highest = i;
            last = i;
        }
        previous = i;
        havePrevious = true;
    }
    flush();
    if (!line.isEmpty())
        lines << line;
    return lines;
}

qint64 middleOfDay(qint64 time)
{
    constexpr qint64 day = 86400;
    const qint64 start = time >= 0 ? time / day * day : -((-time + day - 1) / day) * day;
    return start + day / 2;
}

QList<QPointF> reduceMarkers(const std::vector<ArchiveSeries::Summary> &summaries, int type,
                             int channel, double from, double to, int columns)
{
    QList<QPointF> points;
    if (columns < 1 || !(to > from))
        return points;
    const Columns grid{from, (to - from) / columns};
    // Sorted by time, the summaries are sorted by their day's middle too.
    const auto begin = std::lower_bound(
        summaries.begin(), summaries.end(), qint64(std::ceil(from)),
        [](const ArchiveSeries::Summary &s, qint64 t) { return middleOfDay(s.time) < t; });
    bool open = false;
    qint64 column = 0;
    QPointF kept;
    for (auto it = begin; it != summaries.end() && double(middleOfDay(it->time)) <= to; ++it) {
        if (it->type != type || it->channel != channel || std::isnan(it->value))
            continue;
        const qint64 x = middleOfDay(it->time);
        const qint64 c = grid.of(x);
        const QPointF point(double(x), double(it->value));
        if (open && c == column) {
            if ((type == 1 && point.y() > kept.y()) || (type == 2 && point.y() < kept.y()))
                kept = point;
            continue;
        }
        if (open)
            points << kept;
        open = true;
        column = c;
        kept = point;
    }
    if (open)
        points << kept;
    return points;
}

QList<TimeBand> gapBands(const std::vector<qint64> &times, qint64 gapSeconds, double from, double to,
                         int columns)
{
    QList<TimeBand> bands;
    if (gapSeconds <= 0 || times.size() < 2 || columns < 1 || !(to > from))
        return bands;
    const double width = (to - from) / columns;
    // From the last record at or before the span to the first one after it.
    auto begin = std::upper_bound(times.begin(), times.end(), qint64(std::floor(from)));
    if (begin != times.begin())
        --begin;
    auto end = std::upper_bound(begin, times.end(), qint64(std::floor(to)));
    if (end != times.end())
        ++end;
    for (auto it = begin; it + 1 < end; ++it) {
        if (*(it + 1) - *it <= gapSeconds)
            continue;
        TimeBand band{double(*it), double(*(it + 1))};
        if (band.to - band.from < width) {
            const double middle = (band.from + band.to) / 2;
            band = {middle - width / 2, middle + width / 2};
        }
        if (!bands.isEmpty() && band.from <= bands.last().to)
            bands.last().to = qMax(bands.last().to, band.to);
        else
            bands << band;
    }
    return bands;
}

qint64 recordAt(const std::vector<qint64> &times, double time, qint64 intervalSeconds,
                qint64 gapSeconds)
{
    if (times.empty())
        return -1;
    auto after = std::lower_bound(times.begin(), times.end(), qint64(std::ceil(time)));
    if (after == times.begin())
        return 0;
    if (after == times.end())
        return qint64(times.size()) - 1;
    const auto before = after - 1;
    const double toBefore = time - double(*before);
    const double toAfter = double(*after) - time;
    const double reach = double(intervalSeconds) / 2;
    if (gapSeconds > 0 && *after - *before > gapSeconds && toBefore > reach && toAfter > reach)
        return -1;
    return qint64((toBefore <= toAfter ? before : after) - times.begin());
}

QList<TimeTick> timeTicks(double from, double to, int maxTicks)
{
    QList<TimeTick> ticks;
    if (!(to > from) || maxTicks < 1)
        return ticks;
    constexpr qint64 minute = 60, hour = 3600, day = 86400;
    static const qint64 steps[] = {minute,     2 * minute, 5 * minute, 10 * minute, 15 * minute,
                                   30 * minute, hour,       2 * hour,   3 * hour,    6 * hour,
                                   12 * hour,   day,        2 * day,    3 * day,     7 * day,
                                   14 * day};
    const double span = to - from;
    auto timeOf = [](qint64 seconds) { return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC); };

    for (qint64 step : steps) {
        if (span / double(step) > maxTicks)
            continue;
        const QString format = step >= day ? QStringLiteral("dd.MM") : QStringLiteral("dd.MM hh:mm");
        const QString withYear = step >= day ? QStringLiteral("dd.MM.yyyy") : QStringLiteral("dd.MM.yyyy hh:mm");
        // Whole steps since the epoch: midnights for day steps (the logger's
        // clock is kept as UTC), and Mondays for weeks.
        const qint64 offset = step >= 7 * day ? 4 * day : 0;   // 1970-01-01 was a Thursday
        qint64 t = qint64(std::ceil((from - double(offset)) / double(step))) * step + offset;
        int year = 0;
        for (; double(t) <= to; t += step) {
            const QDateTime time = timeOf(t);
            const bool newYear = time.date().year() != year;
            year = time.date().year();
            ticks << TimeTick{double(t), time.toString(newYear ? withYear : format)};
        }
        return ticks;
    }
    // Months: the first of every n-th month.
    const int months = int(std::ceil(span / (30.4 * day) / maxTicks));
    const int every = months <= 1 ? 1 : months <= 2 ? 2 : months <= 3 ? 3 : months <= 6 ? 6 : 12 * ((months + 11) / 12);
    QDate date = timeOf(qint64(std::floor(from))).date();
    date = QDate(date.year(), date.month(), 1);
    while (QDateTime(date, QTime(0, 0), Qt::UTC).toSecsSinceEpoch() < from)
        date = date.addMonths(1);
    while ((date.month() - 1) % qMin(every, 12) != 0)
        date = date.addMonths(1);
    for (;; date = date.addMonths(every)) {
        const qint64 t = QDateTime(date, QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
        if (double(t) > to)
            break;
        ticks << TimeTick{double(t), date.toString(QStringLiteral("MM.yyyy"))};
    }
    return ticks;
}

ValueScale valueScale(double low, double high, int maxTicks)
{
    ValueScale scale;
    if (!std::isfinite(low) || !std::isfinite(high))
        return scale;
    if (high < low)
        std::swap(low, high);
    if (high == low) {
        const double around = low == 0 ? 1.0 : std::abs(low) * 0.05;
        low -= around;
        high += around;
    }
    const int steps = qMax(1, maxTicks - 1);
    double step = std::pow(10.0, std::floor(std::log10((high - low) / steps)));
    for (int i = 0;; i = (i + 1) % 3) {
        static const double factors[3] = {1, 2, 5};
        const double candidate = step * factors[i];
        // Whole steps from below low to above high; a hair of rounding
        // error in low / step is not a step more.
        const double first = std::floor(low / candidate + 1e-9);
        const double last = std::ceil(high / candidate - 1e-9);
        if (last - first <= steps) {
            scale.step = candidate;
            scale.min = first * candidate;
            scale.max = qMax(last, first + 1) * candidate;
            break;
        }
        if (i == 2)
            step *= 10;
    }
    scale.decimals = qMax(0, int(-std::floor(std::log10(scale.step) + 1e-9)));
    return scale;
}

SpanSummary summarizeSpan(const std::vector<qint64> &times, const std::vector<float> &values, double from,
                          double to)
{
    SpanSummary summary;
    const std::size_t n = qMin(times.size(), values.size());
    const auto begin = std::lower_bound(times.begin(), times.begin() + qsizetype(n), qint64(std::ceil(from)));
    double sum = 0;
    for (std::size_t i = std::size_t(begin - times.begin()); i < n && double(times[i]) <= to; ++i) {
        const double v = double(values[i]);
        if (std::isnan(v))
            continue;
        if (summary.count == 0 || v < summary.min)
            summary.min = v;
        if (summary.count == 0 || v > summary.max)
            summary.max = v;
        sum += v;
        ++summary.count;
    }
    if (summary.count > 0)
        summary.mean = sum / double(summary.count);
    return summary;
}

double integrateSpan(const std::vector<qint64> &times, const std::vector<float> &values, double from,
                     double to, qint64 gapSeconds)
{
    const std::size_t n = qMin(times.size(), values.size());
    if (n < 2 || !(to > from))
        return 0;
    // From the last record at or before the span on.
    std::size_t i = std::size_t(std::upper_bound(times.begin(), times.begin() + qsizetype(n), qint64(std::floor(from)))
                                - times.begin());
    i = i > 0 ? i - 1 : 0;
    double total = 0;
    for (; i + 1 < n && double(times[i]) < to; ++i) {
        const double t0 = double(times[i]), t1 = double(times[i + 1]);
        const double v0 = double(values[i]), v1 = double(values[i + 1]);
        if (std::isnan(v0) || std::isnan(v1) || !(t1 > t0) || (gapSeconds > 0 && t1 - t0 > gapSeconds))
            continue;
        const double a = qMax(t0, from), b = qMin(t1, to);
        if (!(b > a))
            continue;
        auto at = [&](double t) { return v0 + (v1 - v0) * (t - t0) / (t1 - t0); };
        total += (at(a) + at(b)) / 2 * (b - a);
    }
    return total;
}
