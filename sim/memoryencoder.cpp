#include "memoryencoder.h"

#include <QtEndian>

#include <cstring>

namespace {

constexpr char STX = 0x02;

char bcd(int n)
{
    n = qBound(0, n, 99);
    return char(((n / 10) << 4) | (n % 10));
}

// Header texts end at the next STX, so an STX inside a name would cut it.
QByteArray headerText(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    bytes.replace(STX, QByteArray());
    return bytes;
}

} // namespace

QByteArray MemoryEncoder::bcdTime(const QDateTime &time)
{
    const QDate d = time.date();
    const QTime t = time.time();
    QByteArray out;
    out.append(bcd(d.day())).append(bcd(d.month())).append(bcd(d.year() % 100));
    out.append(bcd(t.hour())).append(bcd(t.minute()));
    return out;
}

QByteArray MemoryEncoder::value(float v)
{
    quint32 bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    QByteArray out(4, '\0');
    qToBigEndian(bits, out.data());
    return out;
}

int MemoryEncoder::headerSize(const FileHeader &header)
{
    return 3 + headerText(header.stationName).size() + 1 + headerText(header.stationNo).size() + 1
           + 5 + 2 + 1 + headerText(header.channel1Name).size() + 1
           + headerText(header.channel2Name).size() + 1 + headerText(header.channel1Unit).size() + 1
           + headerText(header.channel2Unit).size() + 1;
}

void MemoryEncoder::appendHeader(const FileHeader &header)
{
    m_bytes.append(3, char(0xDD));
    m_bytes += headerText(header.stationName) + STX + headerText(header.stationNo) + STX;
    m_bytes += bcdTime(header.installTime);
    const int interval = qBound(0, header.intervalMinutes, 9999);
    m_bytes.append(bcd(interval / 100)).append(bcd(interval % 100));
    // The byte after the interval is not read back; the logger writes STX there.
    m_bytes.append(STX);
    m_bytes += headerText(header.channel1Name) + STX + headerText(header.channel2Name) + STX;
    m_bytes += headerText(header.channel1Unit) + STX + headerText(header.channel2Unit) + STX;
}

void MemoryEncoder::appendTimeStamp(const QDateTime &time)
{
    m_bytes.append(3, char(0xFA));
    m_bytes += bcdTime(time);
}

void MemoryEncoder::appendMeasurement(float value1, float value2)
{
    m_bytes += value(value1) + value(value2);
}

void MemoryEncoder::appendMissing()
{
    m_bytes.append(3, char(0xFF));
    m_bytes.append(5, '\0');
}

void MemoryEncoder::appendSummary(const DailySummary &s)
{
    m_bytes.append(3, char(0xF1));
    m_bytes += bcdTime(s.maxTime1) + value(s.max1Value1) + value(s.max1Value2);
    m_bytes += bcdTime(s.maxTime2) + value(s.max2Value1) + value(s.max2Value2);
    m_bytes += bcdTime(s.minTime1) + value(s.min1Value1) + value(s.min1Value2);
    m_bytes += bcdTime(s.minTime2) + value(s.min2Value1) + value(s.min2Value2);
    m_bytes += value(s.average1) + value(s.average2);
}

void MemoryEncoder::appendEndMark(int count)
{
    m_bytes.append(qMax(count, 0), char(0xFF));
}
