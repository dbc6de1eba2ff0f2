#include "stationarchive.h"

#include "archiveseries.h"
#include "pgarchive.h"
#include "vlxdata.h"
#include "compactdownload.h"
#include "vlxfile.h"

#include <QFileInfo>

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <cmath>

namespace {

// Per-file queries (count, compare, the chart's spans) need the
// rows of one file without a scan of the whole table.
const char *const createDetailIndex =
    "CREATE INDEX IF NOT EXISTS datadetay_data ON datadetay (data)";

// An install time as the database keeps it, read as the logger's own clock
// (UTC), so that no daylight-saving rule of the computer can move or void it.
QDateTime timestampFromText(const QString &text)
{
    const QDate date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(text.mid(11), QStringLiteral("hh:mm:ss"));
    return QDateTime(date, time, Qt::UTC);
}

} // namespace

QString StationArchive::timestampText(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

std::vector<ArchiveRow> StationArchive::rowsOf(const CompactFile &file)
{
    std::vector<ArchiveRow> rows;
    rows.reserve(file.records.size() * 2);
    for (const DecodedRecord &record : file.records) {
        if (record.missing || record.msecs == LoggerBytes::NoTime)
            continue;
        const bool first = record.channel == 0 || record.channel == 1;
        const bool second = record.channel == 0 || record.channel == 2;
        if (first && std::isfinite(record.value1))
            rows.push_back({record.msecs, record.value1, record.type, 1, record.timeSet});
        if (second && std::isfinite(record.value2))
            rows.push_back({record.msecs, record.value2, record.type, 2, record.timeSet});
    }
    return rows;
}

std::vector<ArchiveRow> StationArchive::rowsOf(const VLXFile &file) { return rowsOf(compactOf(file)); }

bool StationArchive::ensureIndex(QString *error)
{
    QString damage;
    if (knownVerdict(&damage) && !damage.isEmpty()) {
        if (error)
            *error = damage;
        return false;
    }
    QSqlQuery index(m_db);
    if (m_db.isOpen() && index.exec(QString::fromLatin1(createDetailIndex)))
        return true;
    if (error) {
        *error = m_db.isOpen() ? index.lastError().text() : m_db.lastError().text();
        if (error->trimmed().isEmpty())
            *error = QStringLiteral("database not open");
    }
    return false;
}

QString StationArchive::cacheFolder() const
{
    if (m_server)
        return m_server->cacheFolder();
    const QString name = m_db.databaseName();
    if (name.isEmpty() || name == QLatin1String(":memory:"))
        return QString();
    return QFileInfo(name).absoluteFilePath() + QStringLiteral(".series");
}

bool StationArchive::stampOf(qint64 dataId, SeriesCache::Stamp *stamp)
{
    // Two queries: SQLite answers each from the end of the index at once,
    // where one query asking for both would walk all of the file's rows.
    QSqlQuery first(m_db);
    QSqlQuery last(m_db);
    if (!first.prepare(QStringLiteral("SELECT id FROM datadetay WHERE data = ? ORDER BY id LIMIT 1"))
        || !last.prepare(QStringLiteral("SELECT id FROM datadetay WHERE data = ? ORDER BY id DESC LIMIT 1")))
        return fail((first.lastError().isValid() ? first : last).lastError().text());
    first.bindValue(0, dataId);
    last.bindValue(0, dataId);
    if (!first.exec() || !last.exec())
        return fail((first.lastError().isValid() ? first : last).lastError().text());
    stamp->firstRowId = first.next() ? first.value(0).toLongLong() : 0;
    stamp->lastRowId = last.next() ? last.value(0).toLongLong() : 0;
    // A file stored by an older version, or a database this version has not
    // written yet, has no counter: 0.
    QSqlQuery revision(m_db);
    stamp->revision = 0;
    if (revision.prepare(QStringLiteral("SELECT revision FROM data_revision WHERE data = ?"))) {
        revision.bindValue(0, dataId);
        if (revision.exec() && revision.next())
            stamp->revision = revision.value(0).toLongLong();
    }
    return true;
}

// The chart reads what the archive holds; the cache only saves reading it
// back row by row. A cache that cannot be written is made again next time.
// The series of a file whose entry holds more than the download (a shorter
// download of it) is not the download's: its cache stays as it is.
void StationArchive::writeCaches(const std::vector<CompactFile> &files,
                                 std::vector<std::vector<ArchiveRow>> &rows,
                                 const std::vector<Stored> &stored, ArchiveResult &result)
{
    const SeriesCache cache(cacheFolder());
    for (std::size_t i = 0; i < files.size() && i < stored.size(); ++i) {
        const Stored &entry = stored[i];
        const bool cached = !cache.folder().isEmpty() && entry.rowsAreDownload;
        if (!cached && entry.revision < 0)
            continue;
        ArchiveSeries series = ArchiveSeries::fromRows(rows[i]);
        std::vector<ArchiveRow>().swap(rows[i]);   // a full memory's rows are some 40 MB
        if (entry.revision >= 0) {
            ArchiveRevision &revision = result.revisions[entry.revision];
            revision.downloadedRecords = series.recordCount();
            revision.archivedRecords = recordCountOf(revision.revisedId);
        }
        SeriesCache::Stamp stamp;
        if (!cached || !stampOf(entry.id, &stamp))
            continue;
        series.nameAfter(files[i]);
        cache.write(entry.id, stamp, series);
    }
}

// Instantaneous records and summary values of an archived entry, as the
// chart's list counts them: from its cache when that is current.
qint64 StationArchive::recordCountOf(qint64 dataId)
{
    return recordCountFromCache(
        dataId, cacheFolder(), [this](qint64 id, SeriesCache::Stamp *stamp) { return stampOf(id, stamp); },
        [this](qint64 id, ArchiveSeries *series) { return rebuildSeries(id, series); });
}

qint64 recordCountFromCache(qint64 dataId, const QString &cacheFolder,
                            const std::function<bool(qint64, SeriesCache::Stamp *)> &stampOf,
                            const std::function<bool(qint64, ArchiveSeries *)> &rebuild)
{
    const SeriesCache cache(cacheFolder);
    SeriesCache::Stamp stored;
    SeriesCache::Stamp current;
    qint64 count = 0;
    if (stampOf(dataId, &current) && cache.readStamp(dataId, &stored, &count) && stored == current)
        return count;
    ArchiveSeries series;
    return rebuild(dataId, &series) ? series.recordCount() : 0;
}

QList<ArchivedFile> StationArchive::files(const QString &filterText)
{
    // A null text would be bound as NULL, which matches no row.
    const QString stationFilter = filterText.isNull() ? QStringLiteral("") : filterText;
    if (m_server)
        return m_server->files(stationFilter);
    QList<ArchivedFile> list;
    ensureIndex(nullptr);
    QSqlQuery query(m_db);
    m_error.clear();
    if (!query.prepare(QStringLiteral(
            "SELECT id, istasyonadi, istasyonno, kurulumtarihi FROM data "
            "WHERE ? = '' OR instr(istasyonno, ?) > 0 ORDER BY kurulumtarihi DESC, id DESC"))) {
        fail(query.lastError().text());
        return list;
    }
    query.bindValue(0, stationFilter);
    query.bindValue(1, stationFilter);
    if (!query.exec()) {
        fail(query.lastError().text());
        return list;
    }
    while (query.next()) {
        ArchivedFile file;
        file.id = query.value(0).toLongLong();
        file.stationName = query.value(1).toString();
        file.stationNo = query.value(2).toString();
        file.installTime = timestampFromText(query.value(3).toString());
        list << file;
    }
    query.finish();
    fillFileOverviews(
        list, cacheFolder(), [this](qint64 id, SeriesCache::Stamp *stamp) { return stampOf(id, stamp); },
        [this](qint64 id, ArchiveSeries *series) { return rebuildSeries(id, series); });
    return list;
}

void fillFileOverviews(QList<ArchivedFile> &files, const QString &cacheFolder,
                       const std::function<bool(qint64, SeriesCache::Stamp *)> &stampOf,
                       const std::function<bool(qint64, ArchiveSeries *)> &rebuild)
{
    const SeriesCache cache(cacheFolder);
    for (ArchivedFile &file : files) {
        SeriesCache::Stamp stored;
        SeriesCache::Stamp current;
        if (!stampOf(file.id, &current))
            continue;
        ArchiveSeries::Overview overview;
        if (!cache.readOverview(file.id, &stored, &overview) || stored != current) {
            ArchiveSeries s;
            if (!rebuild(file.id, &s))
                continue;
            overview = s.overview();
        }
        file.recordCount = overview.records + overview.summaries;
        file.instantCount = overview.records;
        if (overview.records > 0) {
            file.firstRecord = QDateTime::fromSecsSinceEpoch(overview.firstTime, Qt::UTC);
            file.lastRecord = QDateTime::fromSecsSinceEpoch(overview.lastTime, Qt::UTC);
        }
    }
}

qint64 StationArchive::dataVersion()
{
    if (m_server)
        return m_server->dataVersion();
    QSqlQuery query(m_db);
    if (!m_db.isOpen() || !query.exec(QStringLiteral("PRAGMA data_version")) || !query.next())
        return -1;
    return query.value(0).toLongLong();
}

bool StationArchive::series(qint64 dataId, ArchiveSeries *series)
{
    if (m_server)
        return m_server->series(dataId, series);
    m_error.clear();
    const SeriesCache cache(cacheFolder());
    SeriesCache::Stamp current;
    SeriesCache::Stamp stored;
    if (!stampOf(dataId, &current))
        return false;
    if (cache.read(dataId, &stored, series) && stored == current)
        return true;
    return rebuildSeries(dataId, series);
}

// Reads a file's rows back in their stored order. The units are not in the
// tables; they come from an earlier cache of the file when there is one.
bool StationArchive::rebuildSeries(qint64 dataId, ArchiveSeries *series)
{
    QSqlQuery file(m_db);
    if (!file.prepare(QStringLiteral(
            "SELECT istasyonadi, istasyonno, kurulumtarihi FROM data WHERE id = ?")))
        return fail(file.lastError().text());
    file.bindValue(0, dataId);
    if (!file.exec())
        return fail(file.lastError().text());
    if (!file.next())
        return false;

    QSqlQuery rows(m_db);
    rows.setForwardOnly(true);
    if (!rows.prepare(QStringLiteral(
            "SELECT CAST(strftime('%s', tarih || ' ' || saat) AS INTEGER), tip, chno, deger, chname "
            "FROM datadetay WHERE data = ? ORDER BY id")))
        return fail(rows.lastError().text());
    rows.bindValue(0, dataId);
    if (!rows.exec())
        return fail(rows.lastError().text());
    std::vector<ArchiveRow> read;
    QString names[2];
    while (rows.next()) {
        ArchiveRow row;
        row.msecs = rows.value(0).toLongLong() * 1000;
        row.type = qint8(rows.value(1).toInt());
        row.channel = qint8(rows.value(2).toInt() == 2 ? 2 : 1);
        row.value = float(rows.value(3).toDouble());
        if (names[row.channel - 1].isNull())
            names[row.channel - 1] = rows.value(4).toString();
        read.push_back(row);
    }
    const SeriesCache cache(cacheFolder());
    ArchiveSeries earlier;
    SeriesCache::Stamp stale;
    const bool hadCache = cache.read(dataId, &stale, &earlier);

    ArchiveSeries s = ArchiveSeries::fromRows(read);
    s.stationName = file.value(0).toString();
    s.stationNo = file.value(1).toString();
    s.installTime = timestampFromText(file.value(2).toString());
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
