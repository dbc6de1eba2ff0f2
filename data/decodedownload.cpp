#include "decodedownload.h"

#include "loggerbytes.h"
#include "vlxdata.h"
#include "vlxfile.h"

#include <cmath>

namespace {

constexpr char separator = 0x02;
constexpr qsizetype plainRecordSize = 8;
constexpr qsizetype summarySize = 63;

struct Header {
    QString stationName;
    QString stationNo;
    QDateTime installTime;
    int recordInterval = 0;
    QString channel1Name;
    QString channel2Name;
    QString channel1Unit;
    QString channel2Unit;
    qsizetype end = 0;   // position after the last separator
};

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

// The header fields after the marker at start.
bool readHeader(const QByteArray &data, qsizetype start, Header &header)
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
    header.end = pos;
    return true;
}

bool isMeasurement(float value) { return std::isfinite(value); }

} // namespace

bool isValidDownload(const QByteArray &data)
{
    return data.size() >= 3 && LoggerBytes::marker(data, data.size() - 3) == LoggerBytes::Erased;
}

std::unique_ptr<VLXFile> decodeDownload(const QByteArray &data, const DecodeCallbacks &callbacks)
{
    auto file = std::make_unique<VLXFile>();
    bool pending = false;   // the next record follows a time stamp
    const qsizetype length = data.size();
    qsizetype p = 0;

    for (;;) {
        if (callbacks.positionReached)
            callbacks.positionReached(p);
        if (p >= length)
            break;
        const quint32 kind = LoggerBytes::marker(data, p);

        if (kind == LoggerBytes::Erased) {
            // A missing record needs the three bytes after its marker; the
            // erased rest of the memory and the block end mark close the data.
            if (length - p < 6)
                break;
            const quint32 next = LoggerBytes::marker(data, p + 3);
            if (next == LoggerBytes::Erased || next == LoggerBytes::BlockEnd)
                break;
            file->addGap(pending);
            p += plainRecordSize;
            pending = false;
        } else if (kind == LoggerBytes::FileHeader) {
            Header header;
            if (!readHeader(data, p + 3, header))
                break;
            if (callbacks.headerFound)
                callbacks.headerFound(header.installTime);
            file = std::make_unique<VLXFile>();
            file->setFileDate(header.installTime);
            file->setStationName(header.stationName);
            file->setStationNo(header.stationNo);
            file->setCurrentTime(header.installTime);
            file->setRecordInterval(header.recordInterval);
            file->setChannel1Name(header.channel1Name);
            file->setChannel2Name(header.channel2Name);
            file->setChannel1Unit(header.channel1Unit);
            file->setChannel2Unit(header.channel2Unit);
            p = header.end;
        } else if (kind == LoggerBytes::TimeStamp) {
            file->setCurrentTime(LoggerBytes::bcdTime(data, p + 3));
            p += plainRecordSize;
            pending = true;
        } else if (kind == LoggerBytes::DailySummary) {
            using LoggerBytes::bcdTime;
            using LoggerBytes::value;
            file->addRecordAt(bcdTime(data, p + 3), 1, VLXData::Max, value(data, p + 8),
                              value(data, p + 12), pending);
            file->addRecordAt(bcdTime(data, p + 16), 2, VLXData::Max, value(data, p + 21),
                              value(data, p + 25), pending);
            file->addRecordAt(bcdTime(data, p + 29), 1, VLXData::Min, value(data, p + 34),
                              value(data, p + 38), pending);
            const QDateTime timeD = bcdTime(data, p + 42);
            file->addRecordAt(timeD, 2, VLXData::Min, value(data, p + 47), value(data, p + 51),
                              pending);
            // The day's average carries the end of time D's day.
            const QDateTime endOfDay = timeD.isValid()
                ? QDateTime(timeD.date(), QTime(23, 59), Qt::UTC)
                : QDateTime();
            file->addRecordAt(endOfDay, 0, VLXData::Average, value(data, p + 55),
                              value(data, p + 59), pending);
            p += summarySize;
            pending = false;
        } else {
            const float first = LoggerBytes::value(data, p);
            const float second = LoggerBytes::value(data, p + 4);
            p += plainRecordSize;
            if (isMeasurement(first) && isMeasurement(second))
                file->addRecord(0, VLXData::Instant, first, second, pending);
            else
                file->addGap(pending);
            pending = false;
        }
    }
    return file;
}
