#include "textexport.h"

#include "compactdownload.h"
#include "savefile.h"
#include "vlxdata.h"
#include "vlxfile.h"

#include <QBuffer>
#include <QDebug>
#include <QSaveFile>
#include <QIODevice>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <limits>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace TextExport {

namespace {

const VLXData *pointerTo(const VLXData *record) { return record; }
const DecodedRecord *pointerTo(const DecodedRecord &record) { return &record; }

const char lineEnd[] = "\r\n";

// Two digits of n (0..99) at p.
char *putTwoDigits(char *p, int n)
{
    static constexpr char pairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                    "8081828384858687888990919293949596979899";
    std::memcpy(p, pairs + 2 * n, 2);
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

// The longest record line: a date of any year QDateTime can hold, the clock,
// the type, two values of the largest float in fixed notation, the mark.
constexpr int longestLine = 32 + 6 + 4 + 2 * 48 + 4;

// "dd/MM/yyyy|hh:mm|" of a record time in UTC milliseconds since the epoch, at p.
char *putMsecs(char *p, qint64 msecs, DayCache &cache)
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
            char *d = cache.text;
            d = putTwoDigits(d, date.day());
            *d++ = '/';
            d = putTwoDigits(d, date.month());
            *d++ = '/';
            d = putTwoDigits(d, date.year() / 100);
            d = putTwoDigits(d, date.year() % 100);
            *d++ = '|';
            cache.length = int(d - cache.text);
        } else {
            const QByteArray text = date.toString(QStringLiteral("dd/MM/yyyy|")).toUtf8();
            cache.length = int(qMin<qsizetype>(text.size(), sizeof cache.text));
            std::memcpy(cache.text, text.constData(), size_t(cache.length));
        }
    }
    std::memcpy(p, cache.text, size_t(cache.length));
    p += cache.length;
    const int minutes = int(ofDay / 60000);
    p = putTwoDigits(p, minutes / 60);
    *p++ = ':';
    p = putTwoDigits(p, minutes % 60);
    *p++ = '|';
    return p;
}

// The same of a record's QDateTime; both parts empty for an invalid time.
char *putDateTime(char *p, const QDateTime &time, DayCache &cache)
{
    if (!time.isValid()) {
        *p++ = '|';
        *p++ = '|';
        return p;
    }
    if (time.timeSpec() != Qt::UTC) {
        const QByteArray text = time.toString(QStringLiteral("dd/MM/yyyy|hh:mm|")).toUtf8();
        const qsizetype length = qMin<qsizetype>(text.size(), 32 + 6);
        std::memcpy(p, text.constData(), size_t(length));
        return p + length;
    }
    return putMsecs(p, time.toMSecsSinceEpoch(), cache);
}

// A value in fixed notation with two decimals, rounding the exact binary value
// as C's printf does: an exact half goes to the even digit (16.625 -> 16.62,
// 8.875 -> 8.88), as every earlier export of the logger's data has it; Qt 6's
// own conversion would round such halves away from zero. "-0.00" for small
// negatives, but "0.00" for a negative zero. Qt's general conversion is also
// the slowest part of a full-memory export, so ordinary magnitudes are done
// here: a float has 24 significant bits, so value * 100 is exact in a double
// and its rounding can be decided exactly. Larger floats are whole numbers,
// where no rounding happens. At most 48 bytes at p.
char *putValue(char *p, float value)
{
    const double magnitude = std::fabs(double(value));
    if (!(magnitude < 1e15)) {
        const QByteArray text = QByteArray::number(double(value), 'f', 2);
        const qsizetype length = qMin<qsizetype>(text.size(), 48);
        std::memcpy(p, text.constData(), size_t(length));
        return p + length;
    }
    const double hundredths = magnitude * 100.0;
    // Signed: the conversions both ways are single instructions, and the
    // hundredths of a magnitude under 1e15 are far inside the range.
    qint64 rounded = qint64(hundredths);   // the floor: hundredths is not negative
    const double fraction = hundredths - double(rounded);
    if (fraction > 0.5 || (fraction == 0.5 && (rounded & 1)))
        ++rounded;
    if (value < 0.0f)
        *p++ = '-';
    const qint64 units = rounded / 100;
    if (units < 10000) {
        // The usual levels and temperatures: up to four digits, in pairs.
        const int u = int(units);
        if (u >= 1000) {
            p = putTwoDigits(p, u / 100);
            p = putTwoDigits(p, u % 100);
        } else if (u >= 100) {
            *p++ = char('0' + u / 100);
            p = putTwoDigits(p, u % 100);
        } else if (u >= 10) {
            p = putTwoDigits(p, u);
        } else {
            *p++ = char('0' + u);
        }
    } else {
        char digits[20];
        int n = sizeof digits;
        quint64 rest = quint64(units);
        do {
            digits[--n] = char('0' + rest % 10);
            rest /= 10;
        } while (rest != 0);
        std::memcpy(p, digits + n, size_t(int(sizeof digits) - n));
        p += int(sizeof digits) - n;
    }
    *p++ = '.';
    return putTwoDigits(p, int(rounded % 100));
}

void appendValue(QByteArray &out, float value)
{
    char text[48];
    out.append(text, putValue(text, value) - text);
}

// Type, the two values and the mark of a record, with the line end.
char *putFields(char *p, int type, float value1, float value2, char markChar)
{
    static const char names[4][4] = {"ANL", "MAX", "MIN", "ORT"};
    if (type >= VLXData::Instant && type <= VLXData::Average) {
        std::memcpy(p, names[type - VLXData::Instant], 3);
        p += 3;
    } else {
        const QByteArray name = typeName(type);
        const qsizetype length = qMin<qsizetype>(name.size(), 4);
        std::memcpy(p, name.constData(), size_t(length));
        p += length;
    }
    *p++ = '|';
    p = putValue(p, value1);
    *p++ = '|';
    p = putValue(p, value2);
    p[0] = '|';
    p[1] = markChar;
    p[2] = '\r';
    p[3] = '\n';
    return p + 4;
}

char *putRecordLine(char *p, const VLXData &record, DayCache &cache)
{
    p = putDateTime(p, record.time(), cache);
    return putFields(p, record.type(), record.value1(), record.value2(), mark(record));
}

char *putRecordLine(char *p, const DecodedRecord &record, DayCache &cache)
{
    if (record.msecs == LoggerBytes::NoTime) {
        *p++ = '|';
        *p++ = '|';
    } else {
        p = putMsecs(p, record.msecs, cache);
    }
    return putFields(p, record.type, record.value1, record.value2,
                     markOf(record.timeSet, record.missing, record.type));
}

void appendRecordLine(QByteArray &out, const VLXData &record, DayCache &cache)
{
    char line[longestLine];
    out.append(line, putRecordLine(line, record, cache) - line);
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
bool writeDocument(const QByteArray &header, const Records &records, QIODevice &out)
{
    constexpr qsizetype chunk = 1 << 16;
    if (out.write(header) != header.size())
        return false;
    QByteArray buffer(chunk + longestLine + 4, Qt::Uninitialized);
    char *const begin = buffer.data();
    char *p = begin;
    DayCache cache;
    for (const auto &record : records) {
        p = putRecordLine(p, *pointerTo(record), cache);
        if (p - begin >= chunk) {
            if (out.write(begin, p - begin) != p - begin)
                return false;
            p = begin;
        }
    }
    std::memcpy(p, "SSS", 3);
    p += 3;
    return out.write(begin, p - begin) == p - begin;
}

// The same for compact records, where a long file's lines are formatted by
// two threads while this one writes: pieces of a fixed number of records
// go to the threads in turn, into a few buffers that are written, and then
// reused, in the file's order. A full memory's export takes about a third
// less time, with a few megabytes of buffers.
bool writeCompactDocument(const QByteArray &header, const std::vector<DecodedRecord> &records,
                          QIODevice &out)
{
    constexpr std::size_t linesPerPiece = 16384;
    constexpr int bufferCount = 4;
    constexpr int formatters = 2;
    const std::size_t pieces = (records.size() + linesPerPiece - 1) / linesPerPiece;
    if (pieces < 4 || QThread::idealThreadCount() < 2)
        return writeDocument(header, records, out);

    struct Buffer {
        QByteArray text;
        qsizetype length = 0;
        std::size_t piece = 0;   // the piece it holds, or is free for
        bool ready = false;
    };
    Buffer buffer[bufferCount];
    for (int s = 0; s < bufferCount; ++s) {
        buffer[s].text = QByteArray(qsizetype(linesPerPiece) * longestLine, Qt::Uninitialized);
        buffer[s].piece = std::size_t(s);
    }
    std::mutex mutex;
    std::condition_variable changed;
    bool stop = false;

    auto format = [&](std::size_t first) {
        for (std::size_t piece = first; piece < pieces; piece += formatters) {
            Buffer &into = buffer[piece % bufferCount];
            {
                std::unique_lock<std::mutex> lock(mutex);
                changed.wait(lock, [&] { return stop || (into.piece == piece && !into.ready); });
                if (stop)
                    return;
            }
            char *const begin = into.text.data();
            char *p = begin;
            DayCache cache;
            const std::size_t end = std::min(records.size(), (piece + 1) * linesPerPiece);
            for (std::size_t i = piece * linesPerPiece; i < end; ++i)
                p = putRecordLine(p, records[i], cache);
            {
                const std::lock_guard<std::mutex> lock(mutex);
                into.length = p - begin;
                into.ready = true;
            }
            changed.notify_all();
        }
    };
    const auto stopAndJoin = [&](std::vector<std::thread> &threads) {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            stop = true;
        }
        changed.notify_all();
        for (std::thread &thread : threads)
            thread.join();
    };
    std::vector<std::thread> threads;
    try {
        for (int first = 0; first < formatters; ++first)
            threads.emplace_back(format, std::size_t(first));
    } catch (const std::system_error &) {
        // No thread to be had: the whole file in this one.
        stopAndJoin(threads);
        return writeDocument(header, records, out);
    }

    bool written = out.write(header) == header.size();
    for (std::size_t piece = 0; written && piece < pieces; ++piece) {
        Buffer &from = buffer[piece % bufferCount];
        {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return from.ready; });
        }
        written = out.write(from.text.constData(), from.length) == from.length;
        {
            const std::lock_guard<std::mutex> lock(mutex);
            from.ready = false;
            from.piece = piece + bufferCount;
        }
        changed.notify_all();
    }
    stopAndJoin(threads);
    return written && out.write("SSS", 3) == 3;
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

bool write(const CompactFile &file, QIODevice &out) { return writeCompactDocument(header(file), file.records, out); }

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
