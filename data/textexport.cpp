#include "textexport.h"

#include "compactdownload.h"
#include "savefile.h"
#include "vlxdata.h"
#include "vlxfile.h"

#include <QBuffer>
#include <QDebug>
#include <QSaveFile>
#include <QIODevice>

#include <cmath>
#include <cstring>
#include <limits>

namespace TextExport {

namespace {

const VLXData *pointerTo(const VLXData *record) { return record; }
const DecodedRecord *pointerTo(const DecodedRecord &record) { return &record; }

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

// "dd/MM/yyyy|hh:mm|" of a record time in UTC milliseconds since the epoch.
void appendMsecs(QByteArray &out, qint64 msecs, DayCache &cache)
{
    qint64 day = msecs / msecsPerDay;
    qint64 ofDay = msecs % msecsPerDay;
    if (ofDay < 0) {
        ofDay += msecsPerDay;
        --day;
    }
    if (day != cache.day) {
        const QDate date = QDate::fromJulianDay(day + 2440588);   // 1970-01-01
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

// The same of a record's QDateTime; both parts empty for an invalid time.
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
    appendMsecs(out, time.toMSecsSinceEpoch(), cache);
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

// Type, the two values and the mark of a record, with the line end.
void appendFields(QByteArray &out, int type, float value1, float value2, char markChar)
{
    out.append(typeName(type));
    out.append('|');
    appendValue(out, value1);
    out.append('|');
    appendValue(out, value2);
    const char tail[4] = {'|', markChar, '\r', '\n'};
    out.append(tail, 4);
}

void appendRecordLine(QByteArray &out, const VLXData &record, DayCache &cache)
{
    appendDateTime(out, record.time(), cache);
    appendFields(out, record.type(), record.value1(), record.value2(), mark(record));
}

void appendRecordLine(QByteArray &out, const DecodedRecord &record, DayCache &cache)
{
    if (record.msecs == LoggerBytes::NoTime)
        out.append("||");
    else
        appendMsecs(out, record.msecs, cache);
    appendFields(out, record.type, record.value1, record.value2,
                 markOf(record.timeSet, record.missing, record.type));
}

QByteArray headerLines(const QString &stationName, const QString &stationNo, const QDateTime &fileDate,
                       int endPage, int endOffset, const QString (&names)[4], int recordInterval)
{
    QByteArray out;
    out.append(headerText(stationName)).append(lineEnd);
    out.append(headerText(stationNo)).append(lineEnd);
    out.append(fileDate.toString(QStringLiteral("dd/MM/yyyy hh:mm")).toUtf8()).append(lineEnd);
    out.append(QString::asprintf("%04d%04d", endPage, endOffset).toLatin1()).append(lineEnd);
    out.append(lineEnd);
    out.append("|||").append(headerText(names[0])).append('|');
    out.append(headerText(names[1])).append('|').append(lineEnd);
    out.append("|||").append(headerText(names[2])).append('|');
    out.append(headerText(names[3])).append('|').append(lineEnd);
    out.append(QString::asprintf("|||%d|%d|", recordInterval, recordInterval).toLatin1());
    out.append(lineEnd);
    out.append(lineEnd);
    return out;
}

// The header, every record line in pieces of 64 KB, then "SSS".
template<class Records>
bool writeDocument(QByteArray buffer, const Records &records, QIODevice &out)
{
    constexpr qsizetype chunk = 1 << 16;
    buffer.reserve(chunk + 256);
    DayCache cache;
    for (const auto &record : records) {
        appendRecordLine(buffer, *pointerTo(record), cache);
        if (buffer.size() >= chunk) {
            if (out.write(buffer) != buffer.size())
                return false;
            buffer.resize(0);
        }
    }
    buffer.append("SSS");
    return out.write(buffer) == buffer.size();
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

char markOf(bool timeSet, bool missing, int type)
{
    if (timeSet)
        return '*';
    if (missing)
        return 'H';
    if (type == VLXData::Instant)
        return ' ';
    return '#';
}

char mark(const VLXData &record) { return markOf(record.timeSet(), record.missing(), record.type()); }

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
    const QString names[4] = {file.channel1Name(), file.channel2Name(), file.channel1Unit(), file.channel2Unit()};
    return headerLines(file.stationName(), file.stationNo(), file.fileDate(), file.endPage(), file.endOffset(),
                       names, file.recordInterval());
}

QByteArray header(const CompactFile &file)
{
    const DecodedHeader &h = file.header;
    const QString names[4] = {h.channel1Name, h.channel2Name, h.channel1Unit, h.channel2Unit};
    // A decoded file has no place in a file list: its end position reads 0.
    return headerLines(h.stationName, h.stationNo, file.fileDate, 0, 0, names, h.recordInterval);
}

QByteArray recordLine(const VLXData &record)
{
    QByteArray out;
    DayCache cache;
    appendRecordLine(out, record, cache);
    return out;
}

bool write(const VLXFile &file, QIODevice &out) { return writeDocument(header(file), file.records(), out); }

bool write(const CompactFile &file, QIODevice &out) { return writeDocument(header(file), file.records, out); }

bool save(const QString &path, const std::function<bool(QIODevice &)> &write, QString *errorText)
{
    qDebug() << "File Name:" << path;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        if (errorText)
            *errorText = SaveFile::errorText(out);
        return false;
    }
    if (!write(out)) {
        if (errorText)
            *errorText = SaveFile::errorText(out);
        out.cancelWriting();
        return false;
    }
    return SaveFile::commit(out, errorText);
}

bool save(const CompactFile &file, const QString &path, QString *errorText)
{
    return save(path, [&file](QIODevice &out) { return write(file, out); }, errorText);
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
