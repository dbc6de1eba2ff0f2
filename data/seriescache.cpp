#include "seriescache.h"

#include "archiveseries.h"
#include "savefile.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

constexpr quint32 magic = 0x564C5843;   // "VLXC"
// Version 1 had no revision in its stamp; such a file is made again.
constexpr quint16 formatVersion = 2;
constexpr int headerBytes = 4 + 2 + 5 * 8;

struct Header {
    qint64 dataId = 0;
    SeriesCache::Stamp stamp;
    qint64 recordCount = 0;
};

QByteArray headerBytesOf(const Header &h)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << magic << formatVersion << h.dataId << h.stamp.firstRowId << h.stamp.lastRowId
        << h.stamp.revision << h.recordCount;
    return bytes;
}

bool readHeader(const QByteArray &bytes, qint64 dataId, Header *h)
{
    if (bytes.size() < headerBytes)
        return false;
    QDataStream in(bytes.left(headerBytes));
    quint32 readMagic = 0;
    quint16 version = 0;
    in >> readMagic >> version >> h->dataId >> h->stamp.firstRowId >> h->stamp.lastRowId
        >> h->stamp.revision >> h->recordCount;
    return in.status() == QDataStream::Ok && readMagic == magic && version == formatVersion
        && h->dataId == dataId;
}

} // namespace

SeriesCache::SeriesCache(const QString &folder)
    : m_folder(folder)
{
}

QString SeriesCache::pathOf(qint64 dataId) const
{
    return m_folder + QStringLiteral("/%1.series").arg(dataId);
}

bool SeriesCache::write(qint64 dataId, const Stamp &stamp, const ArchiveSeries &series) const
{
    if (m_folder.isEmpty() || !QDir().mkpath(m_folder))
        return false;
    QSaveFile out(pathOf(dataId));
    if (!out.open(QIODevice::WriteOnly))
        return false;
    const QByteArray head = headerBytesOf({dataId, stamp, series.recordCount()});
    if (out.write(head) != head.size() || !series.writeTo(&out)) {
        out.cancelWriting();
        return false;
    }
    return SaveFile::commit(out, nullptr);
}

bool SeriesCache::readStamp(qint64 dataId, Stamp *stamp, qint64 *recordCount) const
{
    QFile in(pathOf(dataId));
    if (!in.open(QIODevice::ReadOnly))
        return false;
    Header h;
    if (!readHeader(in.read(headerBytes), dataId, &h))
        return false;
    *stamp = h.stamp;
    *recordCount = h.recordCount;
    return true;
}

bool SeriesCache::readOverview(qint64 dataId, Stamp *stamp, ArchiveSeries::Overview *overview) const
{
    QFile in(pathOf(dataId));
    if (!in.open(QIODevice::ReadOnly) || in.size() < headerBytes)
        return false;
    const uchar *mapped = in.map(0, in.size());
    if (!mapped)
        return false;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), in.size());
    Header h;
    ArchiveSeries::Overview o;
    const bool ok = readHeader(bytes, dataId, &h)
        && ArchiveSeries::overviewOf(QByteArray::fromRawData(bytes.constData() + headerBytes,
                                                             bytes.size() - headerBytes),
                                     &o)
        && o.records + o.summaries == h.recordCount;
    in.unmap(const_cast<uchar *>(mapped));
    if (!ok)
        return false;
    *stamp = h.stamp;
    *overview = o;
    return true;
}

bool SeriesCache::read(qint64 dataId, Stamp *stamp, ArchiveSeries *series) const
{
    QFile in(pathOf(dataId));
    if (!in.open(QIODevice::ReadOnly) || in.size() < headerBytes)
        return false;
    // Read in place: a full memory's cache is some 20 MB, and copying it
    // costs more than making the series of it.
    const uchar *mapped = in.map(0, in.size());
    if (!mapped)
        return false;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), in.size());
    Header h;
    ArchiveSeries s;
    const bool ok = readHeader(bytes, dataId, &h)
        && ArchiveSeries::fromBytes(QByteArray::fromRawData(bytes.constData() + headerBytes,
                                                            bytes.size() - headerBytes),
                                    &s)
        && s.recordCount() == h.recordCount;
    in.unmap(const_cast<uchar *>(mapped));
    if (!ok)
        return false;
    *stamp = h.stamp;
    *series = std::move(s);
    return true;
}

void SeriesCache::remove(qint64 dataId) const { QFile::remove(pathOf(dataId)); }
