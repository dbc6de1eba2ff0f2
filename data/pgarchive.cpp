// The server archive's reading half: the chart's list of files and their
// series, through the local cache when its stamp still matches the server's
// rows. The writing half is in pgarchivestore.cpp.
#include "pgarchive.h"

#include "archiveseries.h"
#include "paths.h"
#include "pgconnection.h"
#include "pgschema.h"

#include <QDir>
#include <QRegularExpression>

namespace {

// Rows are read back in slices of this many, so that a full memory's file
// never sits in one result of the driver as well as in the series.
constexpr int rowsPerRead = 200000;

QDateTime timestampFromText(const QString &text)
{
    return QDateTime(QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd")),
                     QTime::fromString(text.mid(11, 8), QStringLiteral("hh:mm:ss")), Qt::UTC);
}

} // namespace

PgArchive::PgArchive(std::shared_ptr<PgConnection> server)
    : m_server(std::move(server))
{
}

PgArchive::~PgArchive() = default;

bool PgArchive::fail()
{
    m_error = m_server->errorText();
    return false;
}

// A connection that went away is opened again, and the tables are there.
bool PgArchive::ready()
{
    m_error.clear();
    if (!m_server->reopenIfBroken())
        return fail();
    return PgSchema::ensure(*m_server, &m_error);
}

QString PgArchive::cacheFolder() const
{
    QString name = m_server->name();
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9@._-]")), QStringLiteral("_"));
    return Paths::dataRoot() + QStringLiteral("/server.series/") + name;
}

qint64 PgArchive::dataVersion()
{
    if (!m_server->reopenIfBroken())
        return -1;
    const PgResult r = m_server->exec("SELECT counter FROM archive_change");
    return r.ok() && r.rows() == 1 ? r.number(0, 0) : -1;
}

bool PgArchive::stampOf(qint64 dataId, SeriesCache::Stamp *stamp)
{
    const PgResult r = m_server->exec(
        "SELECT (SELECT min(id) FROM datadetay WHERE data = $1), (SELECT max(id) FROM datadetay "
        "WHERE data = $1), (SELECT revision FROM data_revision WHERE data = $1)",
        {QByteArray::number(dataId)});
    if (!r.ok() || r.rows() != 1)
        return fail();
    stamp->firstRowId = r.number(0, 0);
    stamp->lastRowId = r.number(0, 1);
    stamp->revision = r.number(0, 2);
    return true;
}

QList<ArchivedFile> PgArchive::files(const QString &stationFilter)
{
    QList<ArchivedFile> list;
    if (!ready())
        return list;
    const PgResult r = m_server->exec(
        "SELECT id, istasyonadi, istasyonno, to_char(kurulumtarihi, 'YYYY-MM-DD HH24:MI:SS') FROM data "
        "WHERE $1 = '' OR strpos(istasyonno, $1) > 0 ORDER BY kurulumtarihi DESC, id DESC",
        {stationFilter.toUtf8()});
    if (!r.ok()) {
        fail();
        return list;
    }
    for (int i = 0; i < r.rows(); ++i) {
        ArchivedFile file;
        file.id = r.number(i, 0);
        file.stationName = r.text(i, 1);
        file.stationNo = r.text(i, 2);
        file.installTime = timestampFromText(r.text(i, 3));
        list << file;
    }
    fillFileOverviews(
        list, cacheFolder(), [this](qint64 id, SeriesCache::Stamp *stamp) { return stampOf(id, stamp); },
        [this](qint64 id, ArchiveSeries *series) { return rebuildSeries(id, series); });
    return list;
}

bool PgArchive::series(qint64 dataId, ArchiveSeries *series)
{
    if (!ready())
        return false;
    const SeriesCache cache(cacheFolder());
    SeriesCache::Stamp current;
    SeriesCache::Stamp stored;
    if (!stampOf(dataId, &current))
        return false;
    if (cache.read(dataId, &stored, series) && stored == current)
        return true;
    return rebuildSeries(dataId, series);
}

qint64 PgArchive::recordCountOf(qint64 dataId)
{
    return recordCountFromCache(
        dataId, cacheFolder(), [this](qint64 id, SeriesCache::Stamp *stamp) { return stampOf(id, stamp); },
        [this](qint64 id, ArchiveSeries *series) { return rebuildSeries(id, series); });
}

// The rows in their stored order; units come from an earlier cache of the
// file, as for the local archive.
bool PgArchive::rebuildSeries(qint64 dataId, ArchiveSeries *series)
{
    const QByteArray id = QByteArray::number(dataId);
    const PgResult file = m_server->exec(
        "SELECT istasyonadi, istasyonno, to_char(kurulumtarihi, 'YYYY-MM-DD HH24:MI:SS') FROM data "
        "WHERE id = $1",
        {id});
    if (!file.ok())
        return fail();
    if (file.rows() != 1)
        return false;
    std::vector<ArchiveRow> read;
    QString names[2];
    qint64 after = 0;
    for (;;) {
        const PgResult rows = m_server->exec(
            "SELECT id, extract(epoch FROM tarih + saat)::bigint, tip, chno, deger, chname "
            "FROM datadetay WHERE data = $1 AND id > $2 ORDER BY id LIMIT $3",
            {id, QByteArray::number(after), QByteArray::number(rowsPerRead)});
        if (!rows.ok())
            return fail();
        for (int i = 0; i < rows.rows(); ++i) {
            ArchiveRow row;
            row.msecs = rows.number(i, 1) * 1000;
            row.type = qint8(rows.number(i, 2));
            row.channel = qint8(rows.number(i, 3) == 2 ? 2 : 1);
            row.value = float(rows.bytes(i, 4).toDouble());
            if (names[row.channel - 1].isNull())
                names[row.channel - 1] = rows.text(i, 5);
            read.push_back(row);
        }
        if (rows.rows() < rowsPerRead)
            break;
        after = rows.number(rows.rows() - 1, 0);
    }
    const SeriesCache cache(cacheFolder());
    ArchiveSeries earlier;
    SeriesCache::Stamp stale;
    const bool hadCache = cache.read(dataId, &stale, &earlier);

    ArchiveSeries s = ArchiveSeries::fromRows(read);
    s.stationName = file.text(0, 0);
    s.stationNo = file.text(0, 1);
    s.installTime = timestampFromText(file.text(0, 2));
    for (int c = 0; c < 2; ++c) {
        s.channelName[c] = names[c];
        if (hadCache)
            s.channelUnit[c] = earlier.channelUnit[c];
    }
    SeriesCache::Stamp stamp;
    if (stampOf(dataId, &stamp))
        cache.write(dataId, stamp, s);
    *series = std::move(s);
    return true;
}
