#ifndef LOGGERBYTES_H
#define LOGGERBYTES_H

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <limits>

// Readers of the field encodings in the logger's memory. Every reader takes a
// position into the downloaded bytes; bytes past the end read as 0, so a
// record cut short by the end of the data never reads out of range.
//
//   LoggerBytes::marker(data, p) == LoggerBytes::TimeStamp
//   LoggerBytes::bcdTime(data, p + 3)        // 07 12 13 14 30 -> 2013-12-07 14:30 UTC
//   LoggerBytes::value(data, p)              // 41 20 00 00 -> 10.0
namespace LoggerBytes {

// The first three bytes of a record select its kind.
enum Marker : quint32 {
    FileHeader = 0xDDDDDDu,
    TimeStamp = 0xFAFAFAu,
    DailySummary = 0xF1F1F1u,
    Erased = 0xFFFFFFu,
    BlockEnd = 0xFBFBFBu
};

// Byte at pos as 0..255, 0 outside the data.
inline quint32 byteAt(const QByteArray &data, qsizetype pos)
{
    return (pos >= 0 && pos < data.size()) ? quint32(quint8(data.at(pos))) : 0u;
}

// 24-bit number, most significant byte first.
quint32 marker(const QByteArray &data, qsizetype pos);

// 32-bit number, most significant byte first.
quint32 bits32(const QByteArray &data, qsizetype pos);

// Single-precision value of 4 bytes (negative zero reads as 0.0).
float value(const QByteArray &data, qsizetype pos);

// No time: a record time that could not be read.
constexpr qint64 NoTime = std::numeric_limits<qint64>::min();

// The same time as bcdTime, as milliseconds since the epoch; NoTime where
// bcdTime is invalid. A full memory has over a million of them, and a
// QDateTime costs more to make than the rest of a record.
qint64 bcdMsecs(const QByteArray &data, qsizetype pos);

// Time of 5 packed BCD bytes: day, month, year in the century, hour, minute.
// Years are 2000 to 2099. Logger times carry no zone: the result is in UTC so
// that no daylight-saving rule of the computer can shift or void it. Bytes that
// are not BCD, or a date or time that does not exist, give an invalid time.
QDateTime bcdTime(const QByteArray &data, qsizetype pos);

// Four BCD digits in 2 bytes (00 15 is 15); 0 when a digit is not decimal.
int bcdNumber(const QByteArray &data, qsizetype pos);

// Text from start up to (not including) end, cut at its first 0 byte, decoded
// as UTF-8 (the program's 8-bit conversion).
QString text(const QByteArray &data, qsizetype start, qsizetype end);

} // namespace LoggerBytes

#endif // LOGGERBYTES_H
