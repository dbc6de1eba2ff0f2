#include "decodedownload.h"

#include "loggerbytes.h"
#include "vlxdata.h"
#include "vlxfile.h"

#include <QFileInfo>

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

bool DecodedDownload::exportReplacedLater(std::size_t index) const
{
    if (index >= files.size())
        return false;
    const QString name = QFileInfo(files[index]->exportPath()).fileName();
    for (std::size_t later = index + 1; later < files.size(); ++later) {
        if (QFileInfo(files[later]->exportPath()).fileName() == name)
            return true;
    }
    return false;
}

bool isValidDownload(const QByteArray &data)
{
    return data.size() >= 3 && LoggerBytes::marker(data, data.size() - 3) == LoggerBytes::Erased;
}

DecodedDownload decodeDownload(const QByteArray &data, const DecodeCallbacks &callbacks)
{
    DecodedDownload result;
    // Records before the first header go to a file of no station that is
    // dropped at the end; it keeps the clock rules the same for every record.
    auto orphan = std::make_unique<VLXFile>();
    VLXFile *file = orphan.get();
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
            if (!readHeader(data, p + 3, header)) {
                result.headerCut = true;
                break;
            }
            if (callbacks.headerFound)
                callbacks.headerFound(header.installTime);
            if (!result.files.empty())
                result.files.back()->setDataRange(result.files.back()->startAddress(), p);
            result.files.push_back(std::make_unique<VLXFile>());
            file = result.files.back().get();
            file->setDataRange(p, p);
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
    result.end = qMin(p, length);
    if (!result.files.empty())
        result.files.back()->setDataRange(result.files.back()->startAddress(), result.end);
    return result;
}
