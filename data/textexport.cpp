#include "textexport.h"

#include "vlxdata.h"
#include "vlxfile.h"

#include <QBuffer>
#include <QIODevice>

namespace TextExport {

namespace {

const char lineEnd[] = "\r\n";

void appendTwoDigits(QByteArray &out, int n)
{
    out.append(char('0' + n / 10));
    out.append(char('0' + n % 10));
}

// "dd/MM/yyyy|hh:mm|" of a record time; both parts empty for an invalid time.
// Written by hand: QDateTime::toString costs more than the rest of a line.
void appendDateTime(QByteArray &out, const QDateTime &time)
{
    if (!time.isValid()) {
        out.append("||");
        return;
    }
    const QDate date = time.date();
    const QTime clock = time.time();
    if (date.year() < 1000 || date.year() > 9999) {
        out.append(time.toString(QStringLiteral("dd/MM/yyyy|hh:mm|")).toUtf8());
        return;
    }
    appendTwoDigits(out, date.day());
    out.append('/');
    appendTwoDigits(out, date.month());
    out.append('/');
    appendTwoDigits(out, date.year() / 100);
    appendTwoDigits(out, date.year() % 100);
    out.append('|');
    appendTwoDigits(out, clock.hour());
    out.append(':');
    appendTwoDigits(out, clock.minute());
    out.append('|');
}

void appendRecordLine(QByteArray &out, const VLXData &record)
{
    appendDateTime(out, record.time());
    out.append(typeName(record.type()));
    out.append('|');
    out.append(valueText(record.value1()));
    out.append('|');
    out.append(valueText(record.value2()));
    out.append('|');
    out.append(mark(record));
    out.append(lineEnd);
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
    // The same conversion QTextStream uses in fixed notation, precision 2.
    return QByteArray::number(double(value), 'f', 2);
}

QByteArray header(const VLXFile &file)
{
    QByteArray out;
    out.append(file.stationName().toUtf8()).append(lineEnd);
    out.append(file.stationNo().toUtf8()).append(lineEnd);
    out.append(file.fileDate().toString(QStringLiteral("dd/MM/yyyy hh:mm")).toUtf8()).append(lineEnd);
    out.append(QString::asprintf("%04d%04d", file.endPage(), file.endOffset()).toLatin1()).append(lineEnd);
    out.append(lineEnd);
    out.append("|||").append(file.channel1Name().toUtf8()).append('|');
    out.append(file.channel2Name().toUtf8()).append('|').append(lineEnd);
    out.append("|||").append(file.channel1Unit().toUtf8()).append('|');
    out.append(file.channel2Unit().toUtf8()).append('|').append(lineEnd);
    out.append(QString::asprintf("|||%d|%d|", file.recordInterval(), file.recordInterval()).toLatin1());
    out.append(lineEnd);
    out.append(lineEnd);
    return out;
}

QByteArray recordLine(const VLXData &record)
{
    QByteArray out;
    appendRecordLine(out, record);
    return out;
}

bool write(const VLXFile &file, QIODevice &out)
{
    constexpr qsizetype chunk = 1 << 16;
    QByteArray buffer = header(file);
    buffer.reserve(chunk + 256);
    for (const VLXData *record : file.records()) {
        appendRecordLine(buffer, *record);
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
