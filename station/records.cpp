#include "records.h"

#include <QCoreApplication>
#include <QDate>
#include <QStringList>
#include <QTime>

#include <cmath>

namespace {

QString fieldAt(const QStringList &fields, int index)
{
    return index >= 0 && index < fields.size() ? fields.at(index) : QString();
}

int intOrZero(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : 0;
}

// A memory figure as the logger sends it. Digits too many for 64 bits are
// taken as "more than the memory holds" rather than as garbage, so that the
// caller's clamp still applies.
qint64 memoryFigure(const QString &text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (ok)
        return qBound(-LoggerMemoryBytes - 1, value, LoggerMemoryBytes + 1);
    const QString digits = text.trimmed();
    if (digits.isEmpty())
        return 0;
    for (int i = 0; i < digits.size(); ++i) {
        const QChar c = digits.at(i);
        if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')) && !(i == 0 && c == QLatin1Char('+')))
            return 0;
    }
    return LoggerMemoryBytes + 1;
}

} // namespace

QDate dateOfTwoDigitYear(const QString &text)
{
    // Qt would read "yy" as 19yy first, and 29/02/00 does not exist in 1900.
    if (text.size() != 8 || text.at(2) != QLatin1Char('/') || text.at(5) != QLatin1Char('/'))
        return QDate();
    int parts[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        const QChar high = text.at(3 * i);
        const QChar low = text.at(3 * i + 1);
        if (!high.isDigit() || !low.isDigit() || high.unicode() > '9' || low.unicode() > '9')
            return QDate();
        parts[i] = (high.unicode() - '0') * 10 + (low.unicode() - '0');
    }
    return QDate(2000 + parts[2], parts[1], parts[0]);   // invalid for a day that does not exist
}

QStringList recordFields(const QByteArray &message)
{
    QByteArray body = message.mid(3);
    const int nul = body.indexOf('\0');
    if (nul >= 0)
        body.truncate(nul);
    while (body.endsWith('\r') || body.endsWith('\n'))
        body.chop(1);
    return QString::fromUtf8(body).split(QChar(0x02), Qt::KeepEmptyParts);
}

bool parseParameterRecord(const QByteArray &message, ParameterRecord *record)
{
    const QStringList f = recordFields(message);
    if (f.size() < 18 || !record)
        return false;

    ParameterRecord r;
    r.serialNo = f.at(0);
    r.model = f.at(1);
    r.stationName = f.at(2);
    r.stationNo = f.at(3);
    r.offset = f.at(4);
    // "dd/MM/yy hh:mm:ss", one separator, then the day of the week.
    r.deviceTime = f.at(5).left(17);
    r.dayNumber = intOrZero(f.at(5).mid(18));
    r.battery = f.at(6);
    r.channel1Name = f.at(7);
    r.level = f.at(8);
    r.channel1Unit = f.at(9);
    r.channel2Name = f.at(10);
    r.temperature = f.at(11);
    r.channel2Unit = f.at(12);
    r.minLevel = f.at(13);
    r.minTemperature = f.at(14);
    r.maxLevel = f.at(15);
    r.maxTemperature = f.at(16);
    const QString options = f.at(17).left(6);
    for (int i = 0; i < options.size(); ++i) {
        const QChar c = options.at(i);
        r.options[i] = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ? c.unicode() - '0' : 0;
    }
    *record = r;
    return true;
}

const char *dayNameSource(int dayNumber)
{
    static const char *const names[] = {
        QT_TRANSLATE_NOOP("Form", "Pazartesi"),
        QT_TRANSLATE_NOOP("Form", "Salı"),
        QT_TRANSLATE_NOOP("Form", "Çarşamba"),
        QT_TRANSLATE_NOOP("Form", "Perşembe"),
        QT_TRANSLATE_NOOP("Form", "Cuma"),
        QT_TRANSLATE_NOOP("Form", "Cumartesi"),
        QT_TRANSLATE_NOOP("Form", "Pazar"),
    };
    if (dayNumber < 1 || dayNumber > 7)
        return "";
    return names[dayNumber - 1];
}

FileListRecord parseFileList(const QByteArray &message)
{
    // Fields: 0 interval, 1 count, 2..6 file dates, 7 and 8 used memory
    // (pages, bytes in the last page), then page and offset of each file's end.
    const QStringList f = recordFields(message);
    FileListRecord list;
    list.interval = fieldAt(f, 0);
    list.countText = fieldAt(f, 1);

    const qint64 used = memoryFigure(fieldAt(f, 7)) * PageBytes + memoryFigure(fieldAt(f, 8));
    list.usedBytes = qBound(qint64(0), used, LoggerMemoryBytes);

    const int dateSlots = 5;
    int count = qMin(intOrZero(list.countText), dateSlots);
    for (int i = 0; i < count; ++i) {
        // A file is only taken with its date and both halves of its end position.
        if (2 + i >= f.size() || 10 + 2 * i >= f.size())
            break;
        const QString dateField = f.at(2 + i);
        if (dateField.startsWith(QLatin1String("00")))
            break;
        FileListEntry entry;
        const QDate date = dateOfTwoDigitYear(dateField.section(QLatin1Char(' '), 0, 0));
        if (date.isValid())
            entry.date = QDateTime(date, QTime(0, 0), Qt::UTC);
        entry.endPage = intOrZero(f.at(9 + 2 * i));
        entry.endOffset = intOrZero(f.at(10 + 2 * i));
        list.files.append(entry);
    }
    return list;
}

bool parseAlarmRecord(const QByteArray &message, AlarmRecord *record)
{
    const QStringList f = recordFields(message);
    if (f.size() < 7 || f.at(6).size() < 4 || !record)
        return false;

    AlarmRecord r;
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const double value = f.at(i).toDouble(&ok);   // C conventions: "." separator
        r.thresholds[i] = ok && !std::isnan(value) ? value : 0.0;
    }
    for (int channel = 0; channel < 2; ++channel) {
        // Characters 0..13 of the field carry nothing used here.
        const QString text = f.at(4 + channel).mid(14);
        if (text.size() != 14 || text.at(8) != QLatin1Char(' '))
            continue;
        const QDate date = dateOfTwoDigitYear(text.left(8));
        const QTime time = QTime::fromString(text.mid(9), QStringLiteral("hh:mm"));
        if (date.isValid() && time.isValid())
            r.lastAlarm[channel] = QDateTime(date, time, Qt::UTC);
    }
    const QString switches = f.at(6);
    r.relay1 = switches.at(0).unicode() - '0';
    r.relay2 = switches.at(1).unicode() - '0';
    r.channel1On = switches.at(2) != QLatin1Char('0');
    r.channel2On = switches.at(3) != QLatin1Char('0');
    *record = r;
    return true;
}
