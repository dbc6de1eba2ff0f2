#include "downloadparser.h"

#include <cmath>

namespace {

constexpr char separator = 0x02;
constexpr qsizetype plainRecordSize = 8;
constexpr qsizetype summarySize = 63;
constexpr qint64 msecsPerDay = 86400000;

// Reads the text field starting at pos up to the next separator at or after
// it; pos moves past that separator. False when no separator follows.
bool readText(const QByteArray &data, qsizetype &pos, QString &text)
{
    if (pos >= data.size())
        return false;
    const qsizetype end = data.indexOf(separator, pos);
    if (end < 0)
        return false;
    text = LoggerBytes::text(data, pos, end);
    pos = end + 1;
    return true;
}

// The header fields after the marker at start; `end` is the position after
// its last separator.
bool readHeader(const QByteArray &data, qsizetype start, DecodedHeader &header, qsizetype &end)
{
    qsizetype pos = start;
    if (!readText(data, pos, header.stationName) || !readText(data, pos, header.stationNo))
        return false;
    header.installTime = LoggerBytes::bcdTime(data, pos);
    header.recordInterval = LoggerBytes::bcdNumber(data, pos + 5);
    pos += 5 + 2 + 1;   // time, interval, spare byte
    if (!readText(data, pos, header.channel1Name) || !readText(data, pos, header.channel2Name)
        || !readText(data, pos, header.channel1Unit) || !readText(data, pos, header.channel2Unit))
        return false;
    end = pos;
    return true;
}

bool isMeasurement(float value) { return std::isfinite(value); }

// The running state of one file: its clock, its interval and the values a
// missing record repeats. Records before the first header run on a file of
// their own that no sink sees.
class Walker
{
public:
    Walker(DownloadSink &sink) : m_sink(sink) {}

    void startFile(const DecodedHeader &header, qsizetype address)
    {
        endFile(address);
        m_inFile = true;
        m_clock = FileClock();
        m_clock.msecs = header.installTime.isValid() ? header.installTime.toMSecsSinceEpoch()
                                                     : LoggerBytes::NoTime;
        m_step = qint64(header.recordInterval) * 60000;
        m_sink.fileStarted(header, address);
    }
    void endFile(qsizetype address)
    {
        if (m_inFile)
            m_sink.fileEnded(address, m_clock);
        m_inFile = false;
    }
    void setClock(qint64 msecs) { m_clock.msecs = msecs; }

    // A record at the file's clock, which then moves on by the interval.
    void next(float value1, float value2, bool timeSet, bool missing)
    {
        if (missing) {
            value1 = m_clock.lastValue1;
            value2 = m_clock.lastValue2;
        }
        emitRecord(m_clock.msecs, 0, 0, value1, value2, timeSet, missing);
        if (m_clock.msecs != LoggerBytes::NoTime)
            m_clock.msecs += m_step;
    }
    // A summary value at a time of its own; the clock stays.
    void at(qint64 msecs, int channel, int type, float value1, float value2, bool timeSet)
    {
        emitRecord(msecs, channel, type, value1, value2, timeSet, false);
    }

private:
    void emitRecord(qint64 msecs, int channel, int type, float value1, float value2, bool timeSet,
                    bool missing)
    {
        if (!missing) {
            m_clock.lastValue1 = value1;
            m_clock.lastValue2 = value2;
        }
        if (!m_inFile)
            return;
        DecodedRecord record;
        record.msecs = msecs;
        record.value1 = value1;
        record.value2 = value2;
        record.channel = qint8(channel);
        record.type = qint8(type);
        record.timeSet = timeSet;
        record.missing = missing;
        m_sink.recordRead(record);
    }

    DownloadSink &m_sink;
    bool m_inFile = false;
    FileClock m_clock;
    qint64 m_step = 0;
};

class NoSink : public DownloadSink
{
public:
    void fileStarted(const DecodedHeader &, qsizetype) override {}
    void recordRead(const DecodedRecord &) override {}
    void fileEnded(qsizetype, const FileClock &) override {}
};

} // namespace

DownloadParse parseDownload(const QByteArray &data, DownloadSink &sink, const DecodeCallbacks &callbacks)
{
    using namespace LoggerBytes;
    DownloadParse result;
    Walker walker(sink);
    bool pending = false;   // the next record follows a time stamp
    const qsizetype length = data.size();
    qsizetype p = 0;

    for (;;) {
        if (callbacks.positionReached)
            callbacks.positionReached(p);
        if (p >= length)
            break;
        const quint32 kind = marker(data, p);

        if (kind == Erased) {
            // A missing record needs the three bytes after its marker; the
            // erased rest of the memory and the block end mark close the data.
            if (length - p < 6)
                break;
            const quint32 next = marker(data, p + 3);
            if (next == Erased || next == BlockEnd)
                break;
            walker.next(0, 0, pending, true);
            p += plainRecordSize;
            pending = false;
        } else if (kind == FileHeader) {
            DecodedHeader header;
            qsizetype end = 0;
            if (!readHeader(data, p + 3, header, end)) {
                result.headerCut = true;
                break;
            }
            if (callbacks.headerFound)
                callbacks.headerFound(header.installTime);
            walker.startFile(header, p);
            ++result.files;
            p = end;
        } else if (kind == TimeStamp) {
            walker.setClock(bcdMsecs(data, p + 3));
            p += plainRecordSize;
            pending = true;
        } else if (kind == DailySummary) {
            walker.at(bcdMsecs(data, p + 3), 1, 1, value(data, p + 8), value(data, p + 12), pending);
            walker.at(bcdMsecs(data, p + 16), 2, 1, value(data, p + 21), value(data, p + 25), pending);
            walker.at(bcdMsecs(data, p + 29), 1, 2, value(data, p + 34), value(data, p + 38), pending);
            const qint64 timeD = bcdMsecs(data, p + 42);
            walker.at(timeD, 2, 2, value(data, p + 47), value(data, p + 51), pending);
            // The day's average carries the end of time D's day.
            const qint64 endOfDay = timeD == NoTime
                ? NoTime
                : timeD - timeD % msecsPerDay + (23 * 60 + 59) * 60000;
            walker.at(endOfDay, 0, 3, value(data, p + 55), value(data, p + 59), pending);
            p += summarySize;
            pending = false;
        } else {
            const float first = value(data, p);
            const float second = value(data, p + 4);
            p += plainRecordSize;
            const bool measured = isMeasurement(first) && isMeasurement(second);
            walker.next(first, second, pending, !measured);
            pending = false;
        }
    }
    result.end = qMin(p, length);
    walker.endFile(result.end);
    return result;
}

qsizetype parsedEnd(const QByteArray &data)
{
    NoSink nothing;
    return parseDownload(data, nothing).end;
}
