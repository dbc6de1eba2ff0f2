#include "simlogger.h"

#include <QDebug>

#include <cmath>
#include <limits>

using namespace SimReplies;

namespace {

qint64 minutesSince2000(const QDateTime &t)
{
    return qint64(QDate(2000, 1, 1).daysTo(t.date())) * 1440 + t.time().hour() * 60
           + t.time().minute();
}

QString printable(const QByteArray &frame)
{
    QString out;
    for (char c : frame) {
        const uchar u = uchar(c);
        if (u >= 0x20 && u < 0x7F)
            out += QLatin1Char(c);
        else
            out += QStringLiteral("<%1>").arg(u, 2, 16, QLatin1Char('0'));
    }
    return out;
}

} // namespace

SimLogger::SimLogger()
    : m_fixedLevel(std::numeric_limits<double>::quiet_NaN()),
      m_fixedTemperature(std::numeric_limits<double>::quiet_NaN())
{
    GeneratorOptions options;
    options.header.stationName = m_params.stationName;
    options.header.stationNo = m_params.stationNo;
    setMemory(generateMemory(options));
}

void SimLogger::setMemory(const GeneratedMemory &generated)
{
    m_memory.setImage(generated.image, generated.files);
}

QDateTime SimLogger::clock() const
{
    return QDateTime::currentDateTime().addMSecs(m_clockOffsetMs);
}

void SimLogger::setClock(const QDateTime &time)
{
    m_clockOffsetMs = QDateTime::currentDateTime().msecsTo(time);
}

void SimLogger::setFixedValues(double level, double temperature)
{
    m_fixedLevel = level;
    m_fixedTemperature = temperature;
}

SimLiveValues SimLogger::liveValues() const
{
    SimLiveValues v;
    const QDateTime now = clock();
    const qint64 minute = minutesSince2000(now);
    auto level = [&](qint64 m) {
        return std::isnan(m_fixedLevel) ? simulatedLevel(m) + m_params.offset : m_fixedLevel;
    };
    auto temperature = [&](qint64 m) {
        return std::isnan(m_fixedTemperature) ? double(simulatedTemperature(m)) : m_fixedTemperature;
    };
    v.level = level(minute);
    v.temperature = temperature(minute);
    v.minLevel = v.maxLevel = v.level;
    v.minTemperature = v.maxTemperature = v.temperature;
    v.minLevelTime = v.maxLevelTime = v.minTemperatureTime = v.maxTemperatureTime = now;
    // The last 24 hours as the logger sampled them, every 15 minutes.
    for (qint64 back = minute % 15; back < 1440; back += 15) {
        const QDateTime when = now.addSecs(-back * 60);
        const double l = level(minute - back), t = temperature(minute - back);
        if (l < v.minLevel) { v.minLevel = l; v.minLevelTime = when; }
        if (l > v.maxLevel) { v.maxLevel = l; v.maxLevelTime = when; }
        if (t < v.minTemperature) { v.minTemperature = t; v.minTemperatureTime = when; }
        if (t > v.maxTemperature) { v.maxTemperature = t; v.maxTemperatureTime = when; }
    }
    return v;
}

void SimLogger::resetInput()
{
    m_input.clear();
    m_requestsThisConnection = 0;
    m_closeRequested = false;
}

bool SimLogger::takeCloseRequest()
{
    const bool close = m_closeRequested;
    m_closeRequested = false;
    return close;
}

QList<QByteArray> SimLogger::handle(const QByteArray &bytes)
{
    QList<QByteArray> out;
    for (const SimPiece &piece : receive(bytes))
        out.append(piece.bytes);
    return out;
}

QList<SimPiece> SimLogger::receive(const QByteArray &bytes)
{
    if (m_seed != m_faults.seed) {
        m_seed = m_faults.seed;
        m_random.seed(m_seed);
    }
    m_input += bytes;
    QList<SimPiece> out;
    qsizetype cr;
    while ((cr = m_input.indexOf(CR)) >= 0) {
        QByteArray frame = m_input.left(cr + 1);
        m_input.remove(0, cr + 1);
        const qsizetype start = frame.indexOf(STX);
        if (start < 0) {
            log(QStringLiteral("ignored line %1").arg(printable(frame)));
            continue;
        }
        frame.remove(0, start);
        out += answer(frame);
    }
    // A frame never gets this long; what does is noise.
    if (m_input.size() > 4096)
        m_input.clear();
    return out;
}

QList<SimPiece> SimLogger::answer(const QByteArray &frame)
{
    const QByteArray word = commandWord(frame);
    if (word.isEmpty()) {
        log(QStringLiteral("ignored frame %1").arg(printable(frame)));
        return {};
    }
    m_commands.append(QString::fromLatin1(word));
    m_frames.append(frame);
    ++m_requestsThisConnection;
    if (const std::optional<BlockRequest> block = parseBlockRequest(frame))
        log(QStringLiteral("command AKT page %1 offset %2 (block %3)").arg(block->page)
                .arg(block->offset).arg(block->address() / SimMemory::BlockBytes));
    else
        log(QStringLiteral("command %1").arg(QString::fromLatin1(word)));
    if (m_faults.silent) {
        fault(QStringLiteral("silent: %1 not answered").arg(QString::fromLatin1(word)));
        return {};
    }

    QList<SimPiece> reply;
    if (frame == QByteArray("\x02OKU\r")) {
        int fields = m_faults.parameterFields;
        if (fields >= 0)
            fault(QStringLiteral("parameter record with %1 fields").arg(fields));
        reply.append({parameterRecord(m_params, liveValues(), clock(), fields), 0});
    } else if (frame == QByteArray("\x02" "DKU\r") || frame == QByteArray("\x02VER\r")) {
        if (word == "VER")
            m_blocksThisTransfer = 0;
        reply.append({fileListRecord(m_params.intervalMinutes, m_memory.files(), usedBytes()), 0});
    } else if (frame == QByteArray("\x02" "ALO\r")) {
        reply.append({alarmRecord(m_alarms), 0});
    } else if (word == "AKT") {
        reply = answerBlock(frame);
    } else if (word == "SIF") {
        const QByteArray body = frameBody(frame);
        const QByteArray current = m_password.toUtf8();
        if (body.size() > current.size() && body.startsWith(current)) {
            m_password = QString::fromUtf8(body.mid(current.size()));
            reply.append({shortAnswer("DEG"), 0});
        } else {
            reply.append({shortAnswer("SYANLIS"), 0});
        }
    } else if (word == "SEN") {
        if (frameBody(frame) == m_password.toUtf8()) {
            // The sensor is out of the water: what it reads now becomes zero.
            m_params.offset -= liveValues().level;
            reply.append({shortAnswer("SIFIR"), 0});
        } else {
            reply.append({shortAnswer("SYANLIS"), 0});
        }
    } else if (word == "PAR") {
        reply = answerUpload(frame);
    } else if (word == "AYU") {
        if (const std::optional<SimAlarms> set = parseAlarmSet(frame)) {
            if (m_faults.ignoreAlarmSet) {
                fault(QStringLiteral("alarm set acknowledged but not stored"));
                return shape({{shortAnswer("AYUOK"), 0}});
            }
            SimAlarms a = *set;
            a.lastAlarm[0] = m_alarms.lastAlarm[0];
            a.lastAlarm[1] = m_alarms.lastAlarm[1];
            a.lastAlarmValue[0] = m_alarms.lastAlarmValue[0];
            a.lastAlarmValue[1] = m_alarms.lastAlarmValue[1];
            m_alarms = a;
            reply.append({shortAnswer("AYUOK"), 0});
        }
    }
    if (reply.isEmpty()) {
        log(QStringLiteral("no answer"));
    } else if (m_faults.closeAfterRequests >= 0
               && m_requestsThisConnection >= m_faults.closeAfterRequests) {
        m_closeRequested = true;
        fault(QStringLiteral("closing the connection after %1 requests").arg(m_requestsThisConnection));
    }
    return shape(reply);
}

QList<SimPiece> SimLogger::answerBlock(const QByteArray &frame)
{
    const std::optional<BlockRequest> request = parseBlockRequest(frame);
    if (!request) {
        log(QStringLiteral("malformed block request"));
        return {};
    }
    const qint64 address = request->address();
    if (address >= usedBytes())
        return {{endOfTransfer(), 0}};
    if (m_faults.endAfterBlocks >= 0 && m_blocksThisTransfer >= m_faults.endAfterBlocks) {
        fault(QStringLiteral("end of transfer after %1 blocks").arg(m_blocksThisTransfer));
        return {{endOfTransfer(), 0}};
    }
    const int blockNo = int(address / SimMemory::BlockBytes);
    QByteArray payload = m_memory.image().mid(address, SimMemory::BlockBytes);
    auto once = [&](int &k) {
        if (k != blockNo)
            return false;
        k = -1;
        return true;
    };
    if (once(m_faults.ignoreBlock)) {
        fault(QStringLiteral("block %1 ignored").arg(blockNo));
        return {};
    }
    ++m_blocksThisTransfer;
    if (once(m_faults.garbageBlock)) {
        fault(QStringLiteral("block %1 answered with text").arg(blockNo));
        return {{QByteArray("HATA") + QByteArray(3, char(0xFB)), 0}};
    }
    if (once(m_faults.wrongNumberBlock)) {
        const int other = blockNo > 0 ? blockNo - 1 : blockNo + 1;
        fault(QStringLiteral("block %1 answered as block %2").arg(blockNo).arg(other));
        return {{blockFrame(other, payload), 0}};
    }
    if (once(m_faults.shortBlock)) {
        fault(QStringLiteral("block %1 sent 10 bytes short").arg(blockNo));
        payload.chop(10);
        return {{blockFrame(blockNo, payload), 0}};
    }
    if (once(m_faults.duplicateBlock)) {
        fault(QStringLiteral("block %1 answered twice").arg(blockNo));
        const QByteArray block = blockFrame(blockNo, payload);
        return {{block, 0}, {block, qMax(150, m_faults.splitPauseMs)}};
    }
    return {{blockFrame(blockNo, payload), 0}};
}

bool SimLogger::passwordMatches(const QByteArray &text) const
{
    return text.startsWith(m_password.toUtf8());
}

QList<SimPiece> SimLogger::answerUpload(const QByteArray &frame)
{
    const std::optional<UploadFrame> upload = parseUpload(frame);
    if (!upload) {
        log(QStringLiteral("malformed parameter upload"));
        return {};
    }
    // The password is followed directly by the file action and the serial
    // number: it is cut off by its known length.
    const QByteArray password = m_password.toUtf8();
    const QByteArray joined = upload->passwordAndRest;
    if (!passwordMatches(joined) || joined.size() <= password.size()
        || (joined.at(password.size()) != '0' && joined.at(password.size()) != '1'))
        return {{shortAnswer("SYANLIS"), 0}};
    const int fileAction = joined.at(password.size()) - '0';

    SimParameters &p = m_params;
    p.serialNo = QString::fromUtf8(joined.mid(password.size() + 1));
    p.stationName = upload->stationName;
    p.stationNo = upload->stationNo;
    p.options[4] = upload->flags.at(0) - '0';   // wait for the full hour
    p.options[5] = upload->flags.at(1) - '0';   // well
    p.options[0] = upload->flags.at(3) - '0';   // RS485
    p.options[1] = upload->recordFlags.at(0) - '0';
    p.options[2] = upload->recordFlags.at(1) - '0';
    p.options[3] = upload->recordFlags.at(2) - '0';
    const QDateTime clockSet = parseUploadClock(upload->clock);
    if (clockSet.isValid())
        setClock(clockSet);
    bool ok = false;
    const double offset = upload->offset.toDouble(&ok);
    if (ok)
        p.offset = offset;
    p.channel1Unit = upload->unit;
    p.channel1Name = upload->channel1Name;
    const int interval = upload->interval.toInt(&ok);
    if (ok && interval >= 1 && interval <= 9999)
        p.intervalMinutes = interval;

    FileHeader header;
    header.stationName = p.stationName;
    header.stationNo = p.stationNo;
    const QDateTime start = clockSet.isValid() ? clockSet : clock();
    header.installTime = QDateTime(start.date(), QTime(start.time().hour(), start.time().minute()));
    header.intervalMinutes = p.intervalMinutes;
    header.channel1Name = p.channel1Name;
    header.channel2Name = p.channel2Name;
    header.channel1Unit = p.channel1Unit;
    header.channel2Unit = p.channel2Unit;
    if (fileAction == 0)
        m_memory.eraseAndStart(header);
    else
        m_memory.keepLatestAndStart(header);
    log(QStringLiteral("parameters uploaded, file action %1").arg(fileAction));
    return {{shortAnswer("UKLEND"), 0}};
}

QList<SimPiece> SimLogger::shape(QList<SimPiece> pieces)
{
    if (m_faults.splitReplies) {
        QList<SimPiece> split;
        for (const SimPiece &piece : pieces) {
            QList<SimPiece> parts = this->split(piece.bytes);
            parts.first().pauseMs = piece.pauseMs;
            split += parts;
        }
        if (split.size() > pieces.size())
            fault(QStringLiteral("reply split into %1 pieces").arg(split.size()));
        pieces = split;
    }
    if (m_faults.replyDelayMs > 0 && !pieces.isEmpty()) {
        pieces.first().pauseMs += m_faults.replyDelayMs;
        fault(QStringLiteral("reply delayed by %1 ms").arg(m_faults.replyDelayMs));
    }
    return pieces;
}

bool SimLogger::cutAllowed(const QByteArray &reply, qsizetype at)
{
    if (at <= 0 || at >= reply.size())
        return false;
    // A piece ending in CR is a whole text reply to the link.
    if (reply.at(at - 1) == CR || reply.at(at) == CR)
        return false;
    // Whether the cut falls inside `mark` (or, with alsoAfter, right after it).
    auto cutsMark = [&reply, at](const QByteArray &mark, bool alsoAfter) {
        for (qsizetype from = reply.indexOf(mark); from >= 0; from = reply.indexOf(mark, from + 1)) {
            const qsizetype end = from + mark.size();
            if (at > from && (at < end || (alsoAfter && at == end)))
                return true;
        }
        return false;
    };
    // "BITTI" alone is a reply of its own to the link, without the STX that
    // makes it the end of a transfer. A block's closing FB FB FB arrives in
    // one piece too, and a piece that ends with it is a whole block.
    return !cutsMark(endOfTransfer(), false) && !cutsMark(QByteArray(3, char(0xFB)), true);
}

QList<SimPiece> SimLogger::split(const QByteArray &reply)
{
    // The pieces must only arrive separately, not change what a reply is.
    QList<qsizetype> allowed;
    for (qsizetype p = 1; p < reply.size(); ++p) {
        if (cutAllowed(reply, p))
            allowed.append(p);
    }
    const int cuts = qMin<int>(int(allowed.size()), 1 + int(m_random.bounded(4)));
    QList<qsizetype> chosen;
    while (chosen.size() < cuts) {
        const qsizetype p = allowed.at(m_random.bounded(int(allowed.size())));
        if (!chosen.contains(p))
            chosen.append(p);
    }
    std::sort(chosen.begin(), chosen.end());
    QList<SimPiece> pieces;
    qsizetype from = 0;
    for (qsizetype p : chosen) {
        pieces.append({reply.mid(from, p - from), 1 + int(m_random.bounded(qMax(1, m_faults.splitPauseMs)))});
        from = p;
    }
    pieces.append({reply.mid(from), pieces.isEmpty() ? 0 : 1 + int(m_random.bounded(qMax(1, m_faults.splitPauseMs)))});
    return pieces;
}

void SimLogger::log(const QString &line) const
{
    if (m_log)
        m_log(line);
}

void SimLogger::fault(const QString &line) const
{
    log(QStringLiteral("FAULT ") + line);
}
