#include "archiveseries.h"

#include "compactdownload.h"

#include "stationarchive.h"
#include "vlxfile.h"

#include <QBuffer>
#include <QDataStream>
#include <QHash>
#include <QIODevice>

#include <algorithm>
#include <cstring>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

constexpr quint32 magic = 0x564C5853;   // "VLXS"
constexpr quint16 formatVersion = 1;
constexpr float absent = std::numeric_limits<float>::quiet_NaN();

qint64 mostFrequentStep(const std::vector<qint64> &times)
{
    QHash<qint64, qint64> counts;
    for (std::size_t i = 1; i < times.size(); ++i) {
        const qint64 step = times[i] - times[i - 1];
        if (step > 0)
            ++counts[step];
    }
    qint64 best = 0;
    qint64 bestCount = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > bestCount || (it.value() == bestCount && it.key() < best)) {
            best = it.key();
            bestCount = it.value();
        }
    }
    return best;
}

// A 64-bit hash of the arrays (FNV-1a over 8-byte words, then the rest), so
// that a damaged cache file is never drawn. Word by word it costs a few
// milliseconds for a full memory's 20 MB, where byte by byte it cost tens.
quint64 checksum(const char *data, qsizetype size, quint64 hash)
{
    constexpr quint64 prime = 1099511628211ull;
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        quint64 word;
        std::memcpy(&word, data + i, 8);
        hash = (hash ^ word) * prime;
    }
    for (; i < size; ++i)
        hash = (hash ^ quint8(data[i])) * prime;
    return hash;
}

template<class T>
void writeArray(QDataStream &out, const std::vector<T> &values, quint64 &hash)
{
    const auto *bytes = reinterpret_cast<const char *>(values.data());
    const qsizetype size = qsizetype(values.size() * sizeof(T));
    out << quint64(values.size());
    out.writeRawData(bytes, int(size));
    hash = checksum(bytes, size, hash);
}

template<class T>
bool readArray(QDataStream &in, std::vector<T> &values, quint64 &hash, qint64 limit)
{
    quint64 count = 0;
    in >> count;
    if (in.status() != QDataStream::Ok || count > quint64(limit))
        return false;
    values.resize(std::size_t(count));
    const qsizetype size = qsizetype(count * sizeof(T));
    if (in.readRawData(reinterpret_cast<char *>(values.data()), int(size)) != size)
        return false;
    hash = checksum(reinterpret_cast<const char *>(values.data()), size, hash);
    return true;
}

} // namespace

ArchiveSeries ArchiveSeries::fromRows(const std::vector<ArchiveRow> &rows)
{
    ArchiveSeries s;
    // Sized once: grown row by row, a full memory's arrays would pass
    // through copies of half their size on the way.
    std::size_t points = 0;
    std::size_t summaries = 0;
    qint64 previousTime = -1;
    for (const ArchiveRow &row : rows) {
        if (row.type != 0) {
            ++summaries;
        } else if (row.msecs != previousTime) {
            ++points;
            previousTime = row.msecs;
        }
    }
    s.times.reserve(points);
    s.values[0].reserve(points);
    s.values[1].reserve(points);
    s.summaries.reserve(summaries);
    bool ordered = true;
    bool summariesOrdered = true;
    for (const ArchiveRow &row : rows) {
        const qint64 time = row.msecs / 1000;
        const int slot = row.channel == 2 ? 1 : 0;
        if (row.type != 0) {
            summariesOrdered = summariesOrdered && (s.summaries.empty() || s.summaries.back().time <= time);
            s.summaries.push_back({time, row.value, row.type, qint8(slot + 1)});
            continue;
        }
        if (!s.times.empty() && s.times.back() == time && std::isnan(s.values[slot].back())) {
            s.values[slot].back() = row.value;
            continue;
        }
        ordered = ordered && (s.times.empty() || s.times.back() <= time);
        s.times.push_back(time);
        s.values[slot].push_back(row.value);
        s.values[1 - slot].push_back(absent);
    }
    if (!ordered) {
        std::vector<std::size_t> order(s.times.size());
        std::iota(order.begin(), order.end(), std::size_t(0));
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return s.times[a] < s.times[b]; });
        ArchiveSeries sorted;
        for (std::size_t i : order) {
            sorted.times.push_back(s.times[i]);
            sorted.values[0].push_back(s.values[0][i]);
            sorted.values[1].push_back(s.values[1][i]);
        }
        s.times = std::move(sorted.times);
        s.values[0] = std::move(sorted.values[0]);
        s.values[1] = std::move(sorted.values[1]);
    }
    if (!summariesOrdered)
        std::stable_sort(s.summaries.begin(), s.summaries.end(),
                         [](const Summary &a, const Summary &b) { return a.time < b.time; });
    s.intervalSeconds = mostFrequentStep(s.times);
    return s;
}

void ArchiveSeries::nameAfter(const CompactFile &file)
{
    stationName = file.header.stationName;
    stationNo = file.header.stationNo;
    installTime = file.fileDate;
    channelName[0] = file.header.channel1Name;
    channelName[1] = file.header.channel2Name;
    channelUnit[0] = file.header.channel1Unit;
    channelUnit[1] = file.header.channel2Unit;
}

ArchiveSeries ArchiveSeries::fromFile(const CompactFile &file)
{
    ArchiveSeries series = fromRows(StationArchive::rowsOf(file));
    series.nameAfter(file);
    return series;
}

ArchiveSeries ArchiveSeries::fromFile(const VLXFile &file) { return fromFile(compactOf(file)); }

QByteArray ArchiveSeries::toBytes() const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    writeTo(&buffer);
    return bytes;
}

bool ArchiveSeries::writeTo(QIODevice *device) const
{
    QDataStream out(device);
    out.setVersion(QDataStream::Qt_6_0);
    out << magic << formatVersion << stationName << stationNo << installTime << channelName[0]
        << channelName[1] << channelUnit[0] << channelUnit[1] << intervalSeconds;
    quint64 hash = 14695981039346656037ull;
    writeArray(out, times, hash);
    writeArray(out, values[0], hash);
    writeArray(out, values[1], hash);
    writeArray(out, summaries, hash);
    out << hash;
    return out.status() == QDataStream::Ok;
}

ArchiveSeries::Overview ArchiveSeries::overview() const
{
    Overview o;
    o.records = qint64(times.size());
    o.summaries = qint64(summaries.size());
    if (!times.empty()) {
        o.firstTime = times.front();
        o.lastTime = times.back();
    }
    return o;
}

bool ArchiveSeries::overviewOf(const QByteArray &bytes, Overview *overview)
{
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 readMagic = 0;
    quint16 version = 0;
    in >> readMagic >> version;
    if (readMagic != magic || version != formatVersion)
        return false;
    ArchiveSeries s;
    in >> s.stationName >> s.stationNo >> s.installTime >> s.channelName[0] >> s.channelName[1]
        >> s.channelUnit[0] >> s.channelUnit[1] >> s.intervalSeconds;
    // Each array is its count and then its raw entries: skip over them.
    const qint64 limit = bytes.size();
    quint64 counts[4] = {0, 0, 0, 0};
    const int sizes[4] = {int(sizeof(qint64)), int(sizeof(float)), int(sizeof(float)), int(sizeof(Summary))};
    Overview o;
    for (int a = 0; a < 4; ++a) {
        in >> counts[a];
        if (in.status() != QDataStream::Ok || counts[a] > quint64(limit))
            return false;
        qint64 skip = qint64(counts[a]) * sizes[a];
        if (a == 0 && counts[a] > 0) {
            if (in.readRawData(reinterpret_cast<char *>(&o.firstTime), 8) != 8)
                return false;
            skip -= 8;
            if (counts[a] > 1) {
                if (in.skipRawData(int(skip - 8)) != skip - 8
                    || in.readRawData(reinterpret_cast<char *>(&o.lastTime), 8) != 8)
                    return false;
            } else {
                o.lastTime = o.firstTime;
            }
            continue;
        }
        if (in.skipRawData(int(skip)) != skip)
            return false;
    }
    if (counts[1] != counts[0] || counts[2] != counts[0])
        return false;
    o.records = qint64(counts[0]);
    o.summaries = qint64(counts[3]);
    *overview = o;
    return true;
}

bool ArchiveSeries::fromBytes(const QByteArray &bytes, ArchiveSeries *series)
{
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 readMagic = 0;
    quint16 version = 0;
    in >> readMagic >> version;
    if (readMagic != magic || version != formatVersion)
        return false;
    ArchiveSeries s;
    in >> s.stationName >> s.stationNo >> s.installTime >> s.channelName[0] >> s.channelName[1]
        >> s.channelUnit[0] >> s.channelUnit[1] >> s.intervalSeconds;
    // No array can hold more entries than the bytes there are.
    const qint64 limit = bytes.size();
    quint64 hash = 14695981039346656037ull;
    if (!readArray(in, s.times, hash, limit) || !readArray(in, s.values[0], hash, limit)
        || !readArray(in, s.values[1], hash, limit) || !readArray(in, s.summaries, hash, limit))
        return false;
    quint64 stored = 0;
    in >> stored;
    if (in.status() != QDataStream::Ok || !in.atEnd() || stored != hash
        || s.values[0].size() != s.times.size() || s.values[1].size() != s.times.size())
        return false;
    if (series)
        *series = std::move(s);
    return true;
}
