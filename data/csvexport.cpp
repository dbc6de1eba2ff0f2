#include "csvexport.h"

#include "archiveseries.h"
#include "savefile.h"
#include "textexport.h"
#include "vlxfile.h"

#include <QDateTime>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <vector>

namespace CsvExport {

namespace {

QByteArray field(const QString &text, char separator)
{
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(separator) && !bytes.contains('"') && !bytes.contains('\r') && !bytes.contains('\n'))
        return bytes;
    bytes.replace("\"", "\"\"");
    return '"' + bytes + '"';
}

QByteArray column(const ArchiveSeries &series, int channel, char separator)
{
    return field(QStringLiteral("%1 [%2]").arg(series.channelName[channel], series.channelUnit[channel]),
                 separator);
}

// One line of the document: a record slot's time and the index of its
// record, -1 where the record is missing.
struct Slot {
    qint64 time;
    qint64 record;
};

std::vector<Slot> slotsOf(const ArchiveSeries &series, double from, double to)
{
    std::vector<Slot> lines;
    const std::vector<qint64> &times = series.times;
    const qint64 step = series.intervalSeconds;
    const qint64 low = qint64(std::ceil(from));
    const qint64 high = qint64(std::floor(to));
    if (times.empty() || high < low)
        return lines;
    // The records around the span too: a hole across its edges has slots
    // inside it.
    auto begin = std::lower_bound(times.begin(), times.end(), low);
    auto end = std::upper_bound(times.begin(), times.end(), high);
    if (begin != times.begin())
        --begin;
    if (end != times.end())
        ++end;
    for (auto it = begin; it != end; ++it) {
        if (*it >= low && *it <= high)
            lines.push_back({*it, qint64(it - times.begin())});
        if (step <= 0 || it + 1 == end)
            continue;
        // A slot less than half an interval before the next record is that
        // record's own, come early or late.
        const qint64 next = *(it + 1);
        qint64 t = *it + step * qMax<qint64>(1, (low - *it + step - 1) / step);
        for (; 2 * (next - t) > step && t <= high; t += step)
            lines.push_back({t, -1});
    }
    return lines;
}

QByteArray valueText(float value, char decimal)
{
    QByteArray text = TextExport::valueText(value);
    if (decimal != '.')
        text.replace('.', decimal);
    return text;
}

// Flows of a small stream are a few litres a second: three decimals of m³/s.
QByteArray flowText(float value, char decimal)
{
    QByteArray text = QByteArray::number(double(value), 'f', 3);
    if (decimal != '.')
        text.replace('.', decimal);
    return text;
}

} // namespace

Format spreadsheetFormat() { return Format{';', ','}; }

QByteArray document(const ArchiveSeries &series, double from, double to, const Format &format,
                    const FlowColumn *flow)
{
    const char sep = format.separator;
    QByteArray out = "time" + QByteArray(1, sep) + column(series, 0, sep) + sep + column(series, 1, sep);
    if (flow)
        out += sep + field(QStringLiteral("Debi [%1]").arg(flow->unit), sep);
    out += "\r\n";
    for (const Slot &slot : slotsOf(series, from, to)) {
        out += QDateTime::fromSecsSinceEpoch(slot.time, Qt::UTC).toString(QStringLiteral("yyyy-MM-ddThh:mm")).toLatin1();
        for (int c = 0; c < 2; ++c) {
            out += sep;
            if (slot.record >= 0 && !std::isnan(series.values[c][std::size_t(slot.record)]))
                out += valueText(series.values[c][std::size_t(slot.record)], format.decimal);
        }
        if (flow) {
            out += sep;
            const std::size_t i = std::size_t(slot.record);
            if (slot.record >= 0 && i < flow->values.size() && !std::isnan(flow->values[i]))
                out += flowText(flow->values[i], format.decimal);
        }
        out += "\r\n";
    }
    return out;
}

bool write(const QString &path, const QByteArray &document, QString *errorText)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(document) != document.size()) {
        if (errorText)
            *errorText = SaveFile::errorText(out);
        return false;
    }
    return SaveFile::commit(out, errorText);
}

QString defaultFileName(const ArchiveSeries &series, double from, double to)
{
    const std::vector<Slot> lines = slotsOf(series, from, to);
    const qint64 first = lines.empty() ? qint64(std::ceil(from)) : lines.front().time;
    const qint64 last = lines.empty() ? qint64(std::floor(to)) : lines.back().time;
    auto stamp = [](qint64 t) {
        return QDateTime::fromSecsSinceEpoch(t, Qt::UTC).toString(QStringLiteral("ddMMyyhhmm"));
    };
    return QStringLiteral("%1_%2_%3.csv").arg(VLXFile::fileNamePart(series.stationNo), stamp(first), stamp(last));
}

} // namespace CsvExport
