#include "simreplies.h"

#include <QRegularExpression>

namespace SimReplies {

namespace {

QByteArray record(const char *word, const QStringList &fields)
{
    QByteArray out(word);
    for (const QString &field : fields)
        out += field.toUtf8() + STX;
    out += CR;
    return out;
}

QString number(double v) { return QString::number(v, 'f', 2); }

QString stamped(const QDateTime &time, double value)
{
    const QString when = time.isValid() ? time.toString(QStringLiteral("dd/MM/yy hh:mm"))
                                        : QStringLiteral("00/00/00 00:00");
    return when + QLatin1Char(' ') + number(value);
}

} // namespace

QByteArray shortAnswer(const char *word)
{
    return QByteArray(word) + STX + CR;
}

QStringList parameterFields(const SimParameters &p, const SimLiveValues &live,
                            const QDateTime &clock)
{
    QString options;
    for (int digit : p.options)
        options += QChar(u'0' + (digit ? 1 : 0));
    return {
        p.serialNo,
        p.model,
        p.stationName,
        p.stationNo,
        number(p.offset),
        clock.toString(QStringLiteral("dd/MM/yy hh:mm:ss")) + QLatin1Char(' ')
            + QString::number(clock.date().dayOfWeek()),
        p.battery,
        p.channel1Name,
        number(live.level),
        p.channel1Unit,
        p.channel2Name,
        number(live.temperature),
        p.channel2Unit,
        stamped(live.minLevelTime, live.minLevel),
        stamped(live.minTemperatureTime, live.minTemperature),
        stamped(live.maxLevelTime, live.maxLevel),
        stamped(live.maxTemperatureTime, live.maxTemperature),
        options,
    };
}

QByteArray parameterRecord(const SimParameters &p, const SimLiveValues &live,
                           const QDateTime &clock, int fieldCount)
{
    QStringList fields = parameterFields(p, live, clock);
    if (fieldCount >= 0 && fieldCount < fields.size())
        fields = fields.mid(0, fieldCount);
    return record("PAR", fields);
}

QByteArray fileListRecord(int intervalMinutes, const QList<SimMemory::File> &files,
                          qint64 usedBytes)
{
    QStringList fields;
    fields << QString::number(intervalMinutes) << QString::number(files.size());
    for (int i = 0; i < SimMemory::MaxFiles; ++i) {
        const bool used = i < files.size() && files.at(i).installTime.isValid();
        fields << (used ? files.at(i).installTime.toString(QStringLiteral("dd/MM/yy hh:mm"))
                        : QStringLiteral("00/00/00 00:00"));
    }
    fields << QString::number(SimMemory::pageOf(usedBytes))
           << QString::number(SimMemory::offsetOf(usedBytes));
    for (const SimMemory::File &file : files)
        fields << QString::number(SimMemory::pageOf(file.end))
               << QString::number(SimMemory::offsetOf(file.end));
    return record("DOS", fields);
}

QByteArray alarmRecord(const SimAlarms &a)
{
    QStringList fields;
    for (double t : a.thresholds)
        fields << number(t);
    for (int ch = 0; ch < 2; ++ch) {
        // The program reads the time from character 14 on; the logger puts
        // the alarm's value in front of it.
        const QString value = QStringLiteral("%1").arg(number(a.lastAlarmValue[ch]), 13) + QLatin1Char(' ');
        const QString when = a.lastAlarm[ch].isValid()
                                 ? a.lastAlarm[ch].toString(QStringLiteral("dd/MM/yy hh:mm"))
                                 : QStringLiteral("00/00/00 00:00");
        fields << value.right(14) + when;
    }
    fields << QStringLiteral("%1%2%3%4").arg(a.relay1).arg(a.relay2)
                  .arg(a.channel1On ? 1 : 0).arg(a.channel2On ? 1 : 0);
    return record("ALR", fields);
}

QByteArray blockFrame(int blockNo, const QByteArray &payload)
{
    QByteArray out("D");
    out.append(char((blockNo >> 8) & 0xFF)).append(char(blockNo & 0xFF));
    out += payload;
    out.append(3, char(0xFB));
    return out;
}

QByteArray endOfTransfer()
{
    return QByteArray("BITTI") + STX;
}

QByteArray blockReply(const QByteArray &usedImage, qint64 address)
{
    if (address < 0 || address >= usedImage.size())
        return endOfTransfer();
    return blockFrame(int(address / SimMemory::BlockBytes),
                      usedImage.mid(address, SimMemory::BlockBytes));
}

QByteArray commandWord(const QByteArray &frame)
{
    if (frame.size() < 4 || frame.at(0) != STX || !frame.endsWith(CR))
        return {};
    const QByteArray word = frame.mid(1, 3);
    if (word.size() == 3 && std::all_of(word.begin(), word.end(), [](char c) {
            return c >= 'A' && c <= 'Z';
        }))
        return word;
    return {};
}

QByteArray frameBody(const QByteArray &frame)
{
    return frame.mid(4, frame.size() - 5);
}

std::optional<BlockRequest> parseBlockRequest(const QByteArray &frame)
{
    static const QRegularExpression pattern(QStringLiteral("^\\x02AKT(\\d{4})\\x02(\\d{4})\\x02\\r$"));
    const QRegularExpressionMatch m = pattern.match(QString::fromLatin1(frame));
    if (!m.hasMatch())
        return std::nullopt;
    BlockRequest r;
    r.page = m.captured(1).toInt();
    r.offset = m.captured(2).toInt();
    if (r.offset >= SimMemory::PageBytes)
        return std::nullopt;
    return r;
}

std::optional<UploadFrame> parseUpload(const QByteArray &frame)
{
    if (commandWord(frame) != "PAR")
        return std::nullopt;
    const QList<QByteArray> f = frameBody(frame).split(STX);
    // Ten items, each closed by STX: the split leaves an empty eleventh.
    if (f.size() != 11 || !f.at(10).isEmpty())
        return std::nullopt;
    UploadFrame u;
    u.passwordAndRest = f.at(0);
    u.stationName = QString::fromUtf8(f.at(1));
    u.stationNo = QString::fromUtf8(f.at(2));
    u.flags = f.at(3);
    u.clock = f.at(4);
    u.offset = f.at(5);
    u.unit = QString::fromUtf8(f.at(6));
    u.channel1Name = QString::fromUtf8(f.at(7));
    u.interval = QString::fromUtf8(f.at(8));
    u.recordFlags = f.at(9);
    static const QRegularExpression digits4(QStringLiteral("^[01][01]0[01]$"));
    static const QRegularExpression digits3(QStringLiteral("^[01][01][01]$"));
    if (!digits4.match(QString::fromLatin1(u.flags)).hasMatch()
        || !digits3.match(QString::fromLatin1(u.recordFlags)).hasMatch())
        return std::nullopt;
    return u;
}

QDateTime parseUploadClock(const QByteArray &text)
{
    if (text.size() < 12)
        return {};
    int n[6];
    for (int i = 0; i < 6; ++i) {
        const char hi = text.at(2 * i), lo = text.at(2 * i + 1);
        if (hi < '0' || hi > '9' || lo < '0' || lo > '9')
            return {};
        n[i] = (hi - '0') * 10 + (lo - '0');
    }
    const QDate date(2000 + n[2], n[1], n[0]);
    const QTime time(n[3], n[4], n[5]);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

std::optional<SimAlarms> parseAlarmSet(const QByteArray &frame)
{
    if (commandWord(frame) != "AYU")
        return std::nullopt;
    const QList<QByteArray> f = frameBody(frame).split(STX);
    if (f.size() != 5)
        return std::nullopt;
    SimAlarms a;
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        a.thresholds[i] = f.at(i).toDouble(&ok);
        if (!ok)
            return std::nullopt;
    }
    static const QRegularExpression flags(QStringLiteral("^(-?\\d)(-?\\d)([01])([01])$"));
    const QRegularExpressionMatch m = flags.match(QString::fromLatin1(f.at(4)));
    if (!m.hasMatch())
        return std::nullopt;
    auto relay = [](int v) { return v >= 0 && v <= 2 ? v : 0; };
    a.relay1 = relay(m.captured(1).toInt());
    a.relay2 = relay(m.captured(2).toInt());
    a.channel1On = m.captured(3) == QLatin1String("1");
    a.channel2On = m.captured(4) == QLatin1String("1");
    return a;
}

} // namespace SimReplies
