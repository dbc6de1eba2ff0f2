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

qint64 bcdMsecs(const QByteArray &data, qsizetype pos)
{
    const int day = bcdByte(byteAt(data, pos));
    const int month = bcdByte(byteAt(data, pos + 1));
    const int year = bcdByte(byteAt(data, pos + 2));
    const int hour = bcdByte(byteAt(data, pos + 3));
    const int minute = bcdByte(byteAt(data, pos + 4));
    if (day < 0 || month < 0 || year < 0 || hour < 0 || minute < 0)
        return NoTime;
    // The year is 20yy: 29 February 2000 is a day the logger can well
    // record. Every year of the century divisible by 4 is a leap year.
    const int fullYear = 2000 + year;
    static const int monthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || hour > 23 || minute > 59 || day < 1)
        return NoTime;
    if (day > monthDays[month - 1] + (month == 2 && fullYear % 4 == 0 ? 1 : 0))
        return NoTime;
    // Days since 1970-01-01 of a proleptic Gregorian date (years from 2000 on).
    const int y = month <= 2 ? fullYear - 1 : fullYear;
    const int era = y / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const qint64 days = qint64(era) * 146097 + dayOfEra - 719468;
    return ((days * 24 + hour) * 60 + minute) * 60000;
}

QDateTime bcdTime(const QByteArray &data, qsizetype pos)
{
    const qint64 msecs = bcdMsecs(data, pos);
    return msecs == NoTime ? QDateTime() : QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
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
