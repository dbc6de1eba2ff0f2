#ifndef MEMORYENCODER_H
#define MEMORYENCODER_H

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Writes the logger's memory format record by record, the way the logger's
// firmware lays it out: file headers, time stamps, instantaneous
// measurements, missing records, daily summaries and erased space.
//
//   MemoryEncoder enc;
//   FileHeader h;
//   h.stationName = "ST1"; h.stationNo = "1234";
//   h.installTime = QDateTime(QDate(2013, 12, 7), QTime(14, 30));
//   h.intervalMinutes = 15;
//   enc.appendHeader(h);
//   enc.appendTimeStamp(h.installTime);
//   enc.appendMeasurement(10.0f, 100.0f);
//   enc.appendEndMark();
//   QByteArray image = enc.bytes();   // a valid download that decodes
struct FileHeader {
    QString stationName;
    QString stationNo;
    QDateTime installTime;       // minutes are the finest unit the logger stores
    int intervalMinutes = 15;    // 0..9999, stored as four BCD digits
    QString channel1Name = QStringLiteral("Seviye");
    QString channel2Name = QStringLiteral("Sicaklik");
    QString channel1Unit = QStringLiteral("cm");
    QString channel2Unit = QStringLiteral("C");
};

// One day's summary: when each extreme happened and both channels' values at
// that moment, and the day's averages.
struct DailySummary {
    QDateTime maxTime1;   // channel 1 maximum
    float max1Value1 = 0, max1Value2 = 0;
    QDateTime maxTime2;   // channel 2 maximum
    float max2Value1 = 0, max2Value2 = 0;
    QDateTime minTime1;   // channel 1 minimum
    float min1Value1 = 0, min1Value2 = 0;
    QDateTime minTime2;   // channel 2 minimum; its date also dates the averages
    float min2Value1 = 0, min2Value2 = 0;
    float average1 = 0, average2 = 0;
};

class MemoryEncoder
{
public:
    // Record sizes of the fixed-length kinds.
    static constexpr int TimeStampBytes = 8;
    static constexpr int MeasurementBytes = 8;
    static constexpr int MissingBytes = 8;
    static constexpr int SummaryBytes = 63;
    static constexpr int EndMarkBytes = 8;

    void appendHeader(const FileHeader &header);
    void appendTimeStamp(const QDateTime &time);
    void appendMeasurement(float value1, float value2);
    // A measurement slot the logger could not fill: FF FF FF and five zero
    // bytes (the zeros keep it from reading as the end of the data).
    void appendMissing();
    void appendSummary(const DailySummary &summary);
    // Erased flash after the last record; eight bytes end every download.
    void appendEndMark(int count = EndMarkBytes);
    void appendRaw(const QByteArray &bytes) { m_bytes += bytes; }

    const QByteArray &bytes() const { return m_bytes; }
    qsizetype size() const { return m_bytes.size(); }
    void clear() { m_bytes.clear(); }

    // Packed BCD day, month, two-digit year, hour, minute.
    static QByteArray bcdTime(const QDateTime &time);
    // IEEE-754 single precision, most significant byte first.
    static QByteArray value(float v);
    static int headerSize(const FileHeader &header);

private:
    QByteArray m_bytes;
};

#endif // MEMORYENCODER_H
