#include "memorygenerator.h"

#include <QtMath>

#include <cmath>

namespace {

const QDate epoch(2000, 1, 1);

float hundredths(double v) { return float(std::round(v * 100.0) / 100.0); }

QDateTime at(const QDate &day, int minuteOfDay)
{
    return QDateTime(day, QTime(minuteOfDay / 60, minuteOfDay % 60), Qt::UTC);
}

// Extremes and sums of one day's measurements.
struct DayTally {
    QDate day;
    int count = 0;
    double sum1 = 0, sum2 = 0;
    int maxAt1 = 0, maxAt2 = 0, minAt1 = 0, minAt2 = 0;  // minute of day
    float max1[2] {}, max2[2] {}, min1[2] {}, min2[2] {};

    void add(int minute, float v1, float v2)
    {
        if (count == 0 || v1 > max1[0]) { maxAt1 = minute; max1[0] = v1; max1[1] = v2; }
        if (count == 0 || v2 > max2[1]) { maxAt2 = minute; max2[0] = v1; max2[1] = v2; }
        if (count == 0 || v1 < min1[0]) { minAt1 = minute; min1[0] = v1; min1[1] = v2; }
        if (count == 0 || v2 < min2[1]) { minAt2 = minute; min2[0] = v1; min2[1] = v2; }
        sum1 += v1;
        sum2 += v2;
        ++count;
    }
};

class FileWriter
{
public:
    FileWriter(MemoryEncoder &enc, QList<SimRecord> *records) : m_enc(enc), m_records(records) {}

    void timeStamp(const QDateTime &time)
    {
        m_enc.appendTimeStamp(time);
        m_pending = true;
    }

    void measurement(const QDateTime &time, float v1, float v2)
    {
        m_enc.appendMeasurement(v1, v2);
        record(time, 0, 0, v1, v2, false);
    }

    void missing(const QDateTime &time)
    {
        m_enc.appendMissing();
        record(time, 0, 0, m_last1, m_last2, true);
    }

    void summary(const DayTally &t)
    {
        if (t.count == 0)
            return;
        DailySummary s;
        s.maxTime1 = at(t.day, t.maxAt1);
        s.max1Value1 = t.max1[0]; s.max1Value2 = t.max1[1];
        s.maxTime2 = at(t.day, t.maxAt2);
        s.max2Value1 = t.max2[0]; s.max2Value2 = t.max2[1];
        s.minTime1 = at(t.day, t.minAt1);
        s.min1Value1 = t.min1[0]; s.min1Value2 = t.min1[1];
        s.minTime2 = at(t.day, t.minAt2);
        s.min2Value1 = t.min2[0]; s.min2Value2 = t.min2[1];
        s.average1 = hundredths(t.sum1 / t.count);
        s.average2 = hundredths(t.sum2 / t.count);
        m_enc.appendSummary(s);
        const bool timeSet = m_pending;
        record(s.maxTime1, 1, 1, s.max1Value1, s.max1Value2, false, timeSet);
        record(s.maxTime2, 2, 1, s.max2Value1, s.max2Value2, false, timeSet);
        record(s.minTime1, 1, 2, s.min1Value1, s.min1Value2, false, timeSet);
        record(s.minTime2, 2, 2, s.min2Value1, s.min2Value2, false, timeSet);
        record(at(t.day, 23 * 60 + 59), 0, 3, s.average1, s.average2, false, timeSet);
    }

private:
    void record(const QDateTime &time, int channel, int type, float v1, float v2, bool missing,
                int timeSet = -1)
    {
        if (m_records) {
            SimRecord r;
            r.time = time;
            r.channel = channel;
            r.type = type;
            r.value1 = v1;
            r.value2 = v2;
            r.timeSet = timeSet >= 0 ? bool(timeSet) : m_pending;
            r.missing = missing;
            m_records->append(r);
        }
        m_last1 = v1;
        m_last2 = v2;
        m_pending = false;
    }

    MemoryEncoder &m_enc;
    QList<SimRecord> *m_records;
    bool m_pending = false;
    float m_last1 = -1.0f, m_last2 = -1.0f;
};

// Records every interval from `start` on for `spanMinutes`: a measurement or
// a missing record per slot, a summary at each midnight, and the options' gap.
void writeRecords(FileWriter &out, const GeneratorOptions &o, const QDateTime &start, qint64 spanMinutes)
{
    const int interval = qMax(1, o.intervalMinutes);
    const QDate day0 = start.date();
    const qint64 minute0 = start.time().hour() * 60 + start.time().minute();
    const qint64 span = spanMinutes;
    const qint64 gapFrom = o.gapMinutes > 0 ? span / 2 : -1;
    const qint64 gapTo = gapFrom + o.gapMinutes;
    const qint64 epochMinutes = qint64(epoch.daysTo(day0)) * 1440 + minute0;

    DayTally tally;
    tally.day = day0;
    bool afterGap = false;
    qint64 slot = 0;
    for (qint64 t = 0; t < span; t += interval, ++slot) {
        const qint64 m = minute0 + t;
        const QDate day = day0.addDays(m / 1440);
        const int minuteOfDay = int(m % 1440);
        if (day != tally.day) {
            out.summary(tally);
            tally = DayTally();
            tally.day = day;
        }
        if (t >= gapFrom && t < gapTo) {
            afterGap = true;
            continue;
        }
        const QDateTime time = at(day, minuteOfDay);
        if (afterGap) {
            out.timeStamp(time);
            afterGap = false;
        }
        if (o.missingEvery > 0 && slot % o.missingEvery == o.missingEvery - 1) {
            out.missing(time);
            continue;
        }
        const float v1 = simulatedLevel(epochMinutes + t);
        const float v2 = simulatedTemperature(epochMinutes + t);
        out.measurement(time, v1, v2);
        tally.add(minuteOfDay, v1, v2);
    }
    // Records that run up to a midnight have seen that midnight's summary.
    if ((minute0 + span) % 1440 == 0)
        out.summary(tally);
}

void writeFile(MemoryEncoder &enc, const GeneratorOptions &o, const QDateTime &start, int days,
               QList<SimRecord> *records)
{
    FileHeader header = o.header;
    header.installTime = start;
    header.intervalMinutes = o.intervalMinutes;
    enc.appendHeader(header);
    FileWriter out(enc, records);
    out.timeStamp(start);
    writeRecords(out, o, start, qint64(days) * 1440);
}

// At most this many bytes a day: every slot and the midnight summary.
qint64 bytesPerDay(int interval)
{
    return qint64((1440 + interval - 1) / interval) * MemoryEncoder::MeasurementBytes
           + MemoryEncoder::SummaryBytes;
}

} // namespace

float simulatedLevel(qint64 minutes)
{
    const double m = double(minutes);
    return hundredths(120.0 + 15.0 * std::sin(m * 2.0 * M_PI / (3.0 * 1440.0))
                      + 2.0 * std::sin(m * 2.0 * M_PI / 97.0));
}

float simulatedTemperature(qint64 minutes)
{
    const double m = double(minutes);
    return hundredths(12.0 + 3.0 * std::sin(m * 2.0 * M_PI / 1440.0));
}

GeneratedMemory generateMemory(const GeneratorOptions &options)
{
    GeneratorOptions o = options;
    o.files = qBound(1, o.files, SimMemory::MaxFiles);
    o.intervalMinutes = qBound(1, o.intervalMinutes, 9999);
    o.daysPerFile = qMax(1, o.daysPerFile);

    const int headerRoom = MemoryEncoder::headerSize(o.header) + MemoryEncoder::TimeStampBytes * 2;
    if (o.fullMemory) {
        const qint64 perDay = bytesPerDay(o.intervalMinutes);
        const qint64 room = SimMemory::FullBytes - MemoryEncoder::EndMarkBytes
                            - qint64(o.files) * (headerRoom + perDay);
        o.daysPerFile = int(qMax<qint64>(1, room / perDay / o.files));
    }
    if (!o.start.isValid()) {
        const qint64 totalDays = o.fullMemory ? SimMemory::FullBytes / bytesPerDay(o.intervalMinutes)
                                              : qint64(o.files) * o.daysPerFile;
        QDate first = QDate::currentDate().addDays(-totalDays);
        if (first < epoch)
            first = epoch;
        o.start = QDateTime(first, QTime(0, 0), Qt::UTC);
    } else {
        const QTime t = o.start.time();
        o.start = QDateTime(o.start.date(), QTime(t.hour(), t.minute()), Qt::UTC);
    }

    GeneratedMemory result;
    MemoryEncoder enc;
    for (int i = 0; i < o.files; ++i) {
        SimMemory::File file;
        file.start = enc.size();
        file.installTime = o.start.addDays(qint64(i) * o.daysPerFile);
        const bool last = i == o.files - 1;
        int days = o.daysPerFile;
        if (last && o.fullMemory) {
            // The last file takes up whatever whole days still fit.
            const qint64 perDay = bytesPerDay(o.intervalMinutes);
            const qint64 room = SimMemory::FullBytes - MemoryEncoder::EndMarkBytes - enc.size() - headerRoom;
            days = int(qMax<qint64>(1, room / perDay));
        }
        writeFile(enc, o, file.installTime, days, last ? &result.lastFileRecords : nullptr);
        file.end = enc.size();
        result.files.append(file);
    }
    enc.appendEndMark();
    if (o.fullMemory && enc.size() < SimMemory::FullBytes)
        enc.appendEndMark(int(SimMemory::FullBytes - enc.size()));
    result.image = enc.bytes();
    if (result.image.size() > SimMemory::FullBytes) {
        // Only when a caller asked for more than the memory holds: the logger
        // would have stopped recording at the end of its memory.
        const qint64 end = SimMemory::FullBytes - MemoryEncoder::EndMarkBytes;
        result.image.truncate(end);
        result.image.append(MemoryEncoder::EndMarkBytes, char(0xFF));
        while (!result.files.isEmpty() && result.files.last().start >= end)
            result.files.removeLast();
        if (!result.files.isEmpty())
            result.files.last().end = qMin(result.files.last().end, end);
    }
    return result;
}

QByteArray growImage(const QByteArray &image, int days, const GeneratorOptions &options)
{
    const SimMemory::Scan found = SimMemory::scan(image);
    GeneratorOptions o = options;
    o.intervalMinutes = qBound(1, found.intervalMinutes > 0 ? found.intervalMinutes : o.intervalMinutes, 9999);
    MemoryEncoder enc;
    enc.appendRaw(image.left(found.dataEnd));
    if (found.nextSlot.isValid()) {
        FileWriter out(enc, nullptr);
        writeRecords(out, o, found.nextSlot, qint64(qMax(1, days)) * 1440);
    } else {
        // No file to go on with: the logger starts one.
        const QDateTime start(QDate::currentDate().addDays(-qMax(1, days)), QTime(0, 0), Qt::UTC);
        writeFile(enc, o, start, qMax(1, days), nullptr);
    }
    enc.appendEndMark();
    QByteArray grown = enc.bytes();
    if (grown.size() > SimMemory::FullBytes) {
        // The logger stops recording at the end of its memory.
        grown.truncate(SimMemory::FullBytes - MemoryEncoder::EndMarkBytes);
        grown.append(MemoryEncoder::EndMarkBytes, char(0xFF));
    }
    return grown;
}
