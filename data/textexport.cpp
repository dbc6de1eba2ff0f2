#include "textexport.h"

#include "vlxdata.h"
#include "vlxfile.h"

#include <QBuffer>
#include <QIODevice>

#include <cmath>
#include <cstring>
#include <limits>

namespace TextExport {

namespace {

const char lineEnd[] = "\r\n";

// Two digits of n (0..99) at p.
char *putTwoDigits(char *p, int n)
{
    p[0] = char('0' + n / 10);
    p[1] = char('0' + n % 10);
    return p + 2;
}

// "dd/MM/yyyy|" of the day last seen: records come in runs of one day, and
// turning a time into a calendar date costs more than the rest of a line.
struct DayCache {
    qint64 day = std::numeric_limits<qint64>::min();
    char text[32] = {};   // room for any year QDateTime can hold
    int length = 0;
};

constexpr qint64 msecsPerDay = 86400000;

// "dd/MM/yyyy|hh:mm|" of a record time; both parts empty for an invalid time.
void appendDateTime(QByteArray &out, const QDateTime &time, DayCache &cache)
{
    if (!time.isValid()) {
        out.append("||");
        return;
    }
    if (time.timeSpec() != Qt::UTC) {
        out.append(time.toString(QStringLiteral("dd/MM/yyyy|hh:mm|")).toUtf8());
        return;
    }
    // Record times are UTC: their day and time of day follow from the epoch
    // milliseconds alone.
    const qint64 msecs = time.toMSecsSinceEpoch();
    qint64 day = msecs / msecsPerDay;
    qint64 ofDay = msecs % msecsPerDay;
    if (ofDay < 0) {
        ofDay += msecsPerDay;
        --day;
    }
    if (day != cache.day) {
        const QDate date = time.date();
        cache.day = day;
        if (date.year() >= 1000 && date.year() <= 9999) {
            char *p = cache.text;
            p = putTwoDigits(p, date.day());
            *p++ = '/';
            p = putTwoDigits(p, date.month());
            *p++ = '/';
            p = putTwoDigits(p, date.year() / 100);
            p = putTwoDigits(p, date.year() % 100);
            *p++ = '|';
            cache.length = int(p - cache.text);
        } else {
            const QByteArray text = date.toString(QStringLiteral("dd/MM/yyyy|")).toUtf8();
            cache.length = int(qMin<qsizetype>(text.size(), sizeof cache.text));
            std::memcpy(cache.text, text.constData(), size_t(cache.length));
        }
    }
    out.append(cache.text, cache.length);
    const int minutes = int(ofDay / 60000);
    char clock[6];
    putTwoDigits(clock, minutes / 60);
    clock[2] = ':';
    putTwoDigits(clock + 3, minutes % 60);
    clock[5] = '|';
    out.append(clock, 6);
}

// A value in fixed notation with two decimals, rounding the exact binary value
// as C's printf does: an exact half goes to the even digit (16.625 -> 16.62,
// 8.875 -> 8.88), as every earlier export of the logger's data has it; Qt 6's
// own conversion would round such halves away from zero. "-0.00" for small
// negatives, but "0.00" for a negative zero. Qt's general conversion is also
// the slowest part of a full-memory export, so ordinary magnitudes are done
// here: a float has 24 significant bits, so value * 100 is exact in a double
// and its rounding can be decided exactly. Larger floats are whole numbers,
// where no rounding happens.
void appendValue(QByteArray &out, float value)
{
    const double magnitude = std::fabs(double(value));
    if (!(magnitude < 1e15)) {
        out.append(QByteArray::number(double(value), 'f', 2));
        return;
    }
    const double hundredths = magnitude * 100.0;
    const double whole = std::floor(hundredths);
    quint64 rounded = quint64(whole);
    const double fraction = hundredths - whole;
    if (fraction > 0.5 || (fraction == 0.5 && (rounded & 1u)))
        ++rounded;
    char digits[24];
    int n = sizeof digits;
    const quint64 cents = rounded % 100;
    quint64 units = rounded / 100;
    digits[--n] = char('0' + cents % 10);
    digits[--n] = char('0' + cents / 10);
    digits[--n] = '.';
    do {
        digits[--n] = char('0' + units % 10);
        units /= 10;
    } while (units != 0);
    if (value < 0.0f)
        digits[--n] = '-';
    out.append(digits + n, qsizetype(sizeof digits) - n);
}

void appendRecordLine(QByteArray &out, const VLXData &record, DayCache &cache)
{
    appendDateTime(out, record.time(), cache);
    out.append(typeName(record.type()));
    out.append('|');
    appendValue(out, record.value1());
    out.append('|');
    appendValue(out, record.value2());
    const char tail[4] = {'|', mark(record), '\r', '\n'};
    out.append(tail, 4);
}

} // namespace

QByteArray typeName(int type)
{
    switch (type) {
    case VLXData::Instant:
        return QByteArrayLiteral("ANL");
    case VLXData::Max:
        return QByteArrayLiteral("MAX");
    case VLXData::Min:
        return QByteArrayLiteral("MIN");
    case VLXData::Average:
        return QByteArrayLiteral("ORT");
    default:
        return QByteArray();
    }
}

char mark(const VLXData &record)
{
    if (record.timeSet())
        return '*';
    if (record.missing())
        return 'H';
    if (record.type() == VLXData::Instant)
        return ' ';
    return '#';
}

QByteArray valueText(float value)
{
    QByteArray out;
    appendValue(out, value);
    return out;
}

QByteArray headerText(const QString &text)
{
    QByteArray out = text.toUtf8();
    for (char &c : out) {
        if (uchar(c) < 0x20)
            c = ' ';
        else if (c == '|')
            c = '/';
    }
    return out;
}

QByteArray header(const VLXFile &file)
{
    QByteArray out;
    out.append(headerText(file.stationName())).append(lineEnd);
    out.append(headerText(file.stationNo())).append(lineEnd);
    out.append(file.fileDate().toString(QStringLiteral("dd/MM/yyyy hh:mm")).toUtf8()).append(lineEnd);
    out.append(QString::asprintf("%04d%04d", file.endPage(), file.endOffset()).toLatin1()).append(lineEnd);
    out.append(lineEnd);
    out.append("|||").append(headerText(file.channel1Name())).append('|');
    out.append(headerText(file.channel2Name())).append('|').append(lineEnd);
    out.append("|||").append(headerText(file.channel1Unit())).append('|');
    out.append(headerText(file.channel2Unit())).append('|').append(lineEnd);
    out.append(QString::asprintf("|||%d|%d|", file.recordInterval(), file.recordInterval()).toLatin1());
    out.append(lineEnd);
    out.append(lineEnd);
    return out;
}

QByteArray recordLine(const VLXData &record)
{
    QByteArray out;
    DayCache cache;
    appendRecordLine(out, record, cache);
    return out;
}

bool write(const VLXFile &file, QIODevice &out)
{
    constexpr qsizetype chunk = 1 << 16;
    QByteArray buffer = header(file);
    buffer.reserve(chunk + 256);
    DayCache cache;
    for (const VLXData *record : file.records()) {
        appendRecordLine(buffer, *record, cache);
        if (buffer.size() >= chunk) {
            if (out.write(buffer) != buffer.size())
                return false;
            buffer.resize(0);
        }
    }
    buffer.append("SSS");
    return out.write(buffer) == buffer.size();
}

QByteArray document(const VLXFile &file)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    write(file, buffer);
    return bytes;
}

} // namespace TextExport
