#include "simmemory.h"

namespace {

constexpr char STX = 0x02;

quint32 marker(const QByteArray &image, qint64 p)
{
    auto at = [&](qint64 i) { return i < image.size() ? quint32(quint8(image.at(i))) : 0u; };
    return (at(p) << 16) | (at(p + 1) << 8) | at(p + 2);
}

int fromBcd(char byte)
{
    const int hi = (quint8(byte) >> 4) & 0x0F;
    const int lo = quint8(byte) & 0x0F;
    return hi > 9 || lo > 9 ? -1 : hi * 10 + lo;
}

QDateTime bcdTime(const QByteArray &image, qint64 p)
{
    if (p + 5 > image.size())
        return {};
    const int day = fromBcd(image.at(p)), month = fromBcd(image.at(p + 1));
    const int year = fromBcd(image.at(p + 2)), hour = fromBcd(image.at(p + 3));
    const int minute = fromBcd(image.at(p + 4));
    const QDate date(2000 + year, month, day);
    const QTime time(hour, minute);
    if (year < 0 || !date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

// Position after a header starting at p, or -1 when it is not closed.
qint64 headerEnd(const QByteArray &image, qint64 p)
{
    qint64 q = p + 3;
    for (int text = 0; text < 2; ++text) {
        q = image.indexOf(STX, q);
        if (q < 0)
            return -1;
        ++q;
    }
    q += 8;   // install time, interval, spare byte
    for (int text = 0; text < 4; ++text) {
        if (q > image.size())
            return -1;
        q = image.indexOf(STX, q);
        if (q < 0)
            return -1;
        ++q;
    }
    return q;
}

} // namespace

SimMemory::SimMemory()
{
    setImage(QByteArray());
}

SimMemory::Scan SimMemory::scan(const QByteArray &image)
{
    Scan result;
    qint64 p = 0;
    const qint64 n = image.size();
    // The clock of the current file: every measurement or missing record
    // takes one interval, a time stamp sets it.
    QDateTime slot;
    int interval = 0;
    auto utc = [](const QDateTime &t) { return t.isValid() ? QDateTime(t.date(), t.time(), Qt::UTC) : t; };
    while (p < n) {
        const quint32 m = marker(image, p);
        if (m == 0xFFFFFF) {
            if (p >= n - 3)
                break;
            const quint32 next = marker(image, p + 3);
            if (next == 0xFFFFFF || next == 0xFBFBFB)
                break;
            p += 8;
            slot = slot.addSecs(qint64(interval) * 60);
        } else if (m == 0xDDDDDD) {
            const qint64 end = headerEnd(image, p);
            if (end < 0)
                break;
            File file;
            file.start = p;
            const qint64 timeAt = image.indexOf(STX, image.indexOf(STX, p + 3) + 1) + 1;
            file.installTime = bcdTime(image, timeAt);
            result.headers.append(file);
            slot = utc(file.installTime);
            const int high = fromBcd(image.at(timeAt + 5)), low = fromBcd(image.at(timeAt + 6));
            interval = high < 0 || low < 0 ? 0 : high * 100 + low;
            p = end;
        } else if (m == 0xF1F1F1) {
            p += MemoryEncoder::SummaryBytes;
        } else if (m == 0xFAFAFA) {
            slot = utc(bcdTime(image, p + 3));
            p += 8;
        } else {
            p += 8;
            slot = slot.addSecs(qint64(interval) * 60);
        }
    }
    result.nextSlot = slot;
    result.intervalMinutes = interval;
    result.dataEnd = qMin(p, n);
    return result;
}

void SimMemory::setImage(const QByteArray &image)
{
    const Scan found = scan(image);
    QByteArray used = image;
    if (!used.endsWith(QByteArray(3, char(0xFF)))) {
        used.truncate(found.dataEnd);
        used.append(MemoryEncoder::EndMarkBytes, char(0xFF));
    }
    QList<File> files;
    for (int i = 0; i < found.headers.size(); ++i) {
        File file = found.headers.at(i);
        file.end = i + 1 < found.headers.size() ? found.headers.at(i + 1).start : found.dataEnd;
        files.append(file);
    }
    if (files.isEmpty() && found.dataEnd > 0) {
        // Records without a header: one file dated by its first time stamp.
        File file;
        file.end = found.dataEnd;
        const qint64 stamp = image.indexOf(QByteArray(3, char(0xFA)));
        if (stamp >= 0 && stamp < found.dataEnd)
            file.installTime = bcdTime(image, stamp + 3);
        files.append(file);
    }
    setImage(used, files);
}

void SimMemory::setImage(const QByteArray &image, const QList<File> &files)
{
    m_image = image;
    if (!m_image.endsWith(QByteArray(3, char(0xFF))))
        m_image.append(MemoryEncoder::EndMarkBytes, char(0xFF));
    m_files = files.mid(qMax<qsizetype>(0, files.size() - MaxFiles));
    if (!m_files.isEmpty() && files.size() > MaxFiles)
        m_files.first().start = 0;   // the oldest listed file takes up what came before it
}

qint64 SimMemory::dataEnd() const
{
    return m_files.isEmpty() ? 0 : m_files.last().end;
}

void SimMemory::eraseAndStart(const FileHeader &header)
{
    appendNewFile(QByteArray(), nullptr, header);
}

void SimMemory::keepLatestAndStart(const FileHeader &header)
{
    if (m_files.isEmpty()) {
        eraseAndStart(header);
        return;
    }
    File latest = m_files.last();
    const QByteArray kept = m_image.mid(latest.start, latest.end - latest.start);
    latest.end -= latest.start;
    latest.start = 0;
    appendNewFile(kept, &latest, header);
}

void SimMemory::appendNewFile(const QByteArray &kept, const File *keptFile, const FileHeader &header)
{
    MemoryEncoder enc;
    enc.appendRaw(kept);
    File file;
    file.start = enc.size();
    file.installTime = header.installTime;
    enc.appendHeader(header);
    // Recording starts with the time of its first measurement.
    enc.appendTimeStamp(header.installTime);
    file.end = enc.size();
    enc.appendEndMark();
    QList<File> files;
    if (keptFile)
        files.append(*keptFile);
    files.append(file);
    setImage(enc.bytes(), files);
}
