#include "loggerbytes.h"

#include "converter.h"

namespace LoggerBytes {

namespace {

// Two BCD digits of one byte, -1 when either digit is not decimal.
int bcdByte(quint32 byte)
{
    const int high = int(byte >> 4);
    const int low = int(byte & 0x0F);
    if (high > 9 || low > 9)
        return -1;
    return high * 10 + low;
}

} // namespace

quint32 marker(const QByteArray &data, qsizetype pos)
{
    return (byteAt(data, pos) << 16) | (byteAt(data, pos + 1) << 8) | byteAt(data, pos + 2);
}

quint32 bits32(const QByteArray &data, qsizetype pos)
{
    return (byteAt(data, pos) << 24) | (byteAt(data, pos + 1) << 16) | (byteAt(data, pos + 2) << 8)
        | byteAt(data, pos + 3);
}

float value(const QByteArray &data, qsizetype pos) { return Converter::fromBits(bits32(data, pos)); }

QDateTime bcdTime(const QByteArray &data, qsizetype pos)
{
    const int day = bcdByte(byteAt(data, pos));
    const int month = bcdByte(byteAt(data, pos + 1));
    const int year = bcdByte(byteAt(data, pos + 2));
    const int hour = bcdByte(byteAt(data, pos + 3));
    const int minute = bcdByte(byteAt(data, pos + 4));
    if (day < 0 || month < 0 || year < 0 || hour < 0 || minute < 0)
        return QDateTime();
    // The year is taken as 20yy directly: reading it first as 19yy would
    // reject 29 February 2000, a day the logger can well record.
    const QDate date(2000 + year, month, day);
    const QTime time(hour, minute);
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::UTC);
}

int bcdNumber(const QByteArray &data, qsizetype pos)
{
    const int high = bcdByte(byteAt(data, pos));
    const int low = bcdByte(byteAt(data, pos + 1));
    if (high < 0 || low < 0)
        return 0;
    return high * 100 + low;
}

QString text(const QByteArray &data, qsizetype start, qsizetype end)
{
    start = qBound<qsizetype>(0, start, data.size());
    end = qBound<qsizetype>(start, end, data.size());
    const char *begin = data.constData() + start;
    const qsizetype length = qstrnlen(begin, size_t(end - start));
    return QString::fromUtf8(begin, length);
}

} // namespace LoggerBytes
