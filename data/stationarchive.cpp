#include "stationarchive.h"

#include "archiveseries.h"
#include "vlxdata.h"
#include "vlxfile.h"

#include <QFileInfo>

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <cmath>

namespace {

constexpr int pageSize = 1056;

// Rows go in by statements of this many rows each, and each row as two bound
// values: Qt's binding costs more per value than SQLite's insert of the row,
// and a full memory has over two million rows. The first value carries the
// row's time in seconds with its type, channel and time-stamp mark in the
// low five bits (see packedRow); SQLite turns it back into the columns.
constexpr int rowsPerInsert = 128;

// Per-file queries (count, compare, replace, the chart's spans) need the
// rows of one file without a scan of the whole table.
const char *const createDetailIndex =
    "CREATE INDEX IF NOT EXISTS datadetay_data ON datadetay (data)";

QString insertStatement(int rows)
{
    QString sql = QStringLiteral(
        "INSERT INTO datadetay (data, tarih, saat, tip, deger, chno, chname, timeset) "
        "SELECT ?, date(column1 >> 5, 'unixepoch'), time(column1 >> 5, 'unixepoch'), "
        "column1 & 3, column2, (column1 >> 2) & 3, "
        "CASE (column1 >> 2) & 3 WHEN 1 THEN ? ELSE ? END, (column1 >> 4) & 1 FROM (VALUES ");
    for (int i = 0; i < rows; ++i)
        sql += i == 0 ? QStringLiteral("(?,?)") : QStringLiteral(",(?,?)");
    return sql + QLatin1Char(')');
}

// seconds << 5 | timeSet << 4 | channel << 2 | type
qint64 packedRow(const ArchiveRow &row)
{
    const qint64 seconds = row.msecs / 1000;
    return (seconds << 5) | (qint64(row.timeSet) << 4) | (qint64(row.channel & 3) << 2)
        | qint64(row.type & 3);
}

constexpr qint64 msecsPerDay = 86400000;

// The date and time texts of row times. Rows come in runs of one day and
// their times of day repeat every day, so each text is made once and then
// shared: a full memory has over two million rows.
class RowTexts
{
public:
    const QString &date(qint64 msecs)
    {
        const qint64 day = dayOf(msecs);
        if (day != m_day || m_date.isEmpty()) {
            m_day = day;
            m_date = QDate::fromJulianDay(day + epochJulianDay).toString(QStringLiteral("yyyy-MM-dd"));
        }
        return m_date;
    }

    const QString &clock(qint64 msecs)
    {
        const int second = int((msecs - dayOf(msecs) * msecsPerDay) / 1000);
        if (m_clocks.empty())
            m_clocks.resize(86400);
        QString &text = m_clocks[std::size_t(second)];
        if (text.isEmpty())
            text = QString::asprintf("%02d:%02d:%02d", second / 3600, second / 60 % 60, second % 60);
        return text;
    }

private:
    static constexpr qint64 epochJulianDay = 2440588;   // 1970-01-01
    static qint64 dayOf(qint64 msecs)
    {
        return msecs >= 0 ? msecs / msecsPerDay : -((-msecs + msecsPerDay - 1) / msecsPerDay);
    }

    qint64 m_day = 0;
    QString m_date;
    std::vector<QString> m_clocks;
};

// An install time as the database keeps it, read as the logger's own clock
// (UTC), so that no daylight-saving rule of the computer can move or void it.
QDateTime timestampFromText(const QString &text)
{
    const QDate date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(text.mid(11), QStringLiteral("hh:mm:ss"));
    return QDateTime(date, time, Qt::UTC);
}

} // namespace

struct StationArchive::Statements {
    explicit Statements(const QSqlDatabase &db)
        : findFile(db), addFile(db), updateFile(db), countRows(db), rowAt(db), removeRows(db),
          insertBatch(db), insertOne(db)
    {
    }
    QSqlQuery findFile;
    QSqlQuery addFile;
    QSqlQuery updateFile;
    QSqlQuery countRows;
    QSqlQuery rowAt;
    QSqlQuery removeRows;
    QSqlQuery insertBatch;
    QSqlQuery insertOne;
};

StationArchive::StationArchive(const QSqlDatabase &db)
    : m_db(db)
{
}

StationArchive::~StationArchive() = default;

QString StationArchive::timestampText(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

std::vector<ArchiveRow> StationArchive::rowsOf(const VLXFile &file)
{
    std::vector<ArchiveRow> rows;
    rows.reserve(std::size_t(file.records().size()) * 2);
    for (const VLXData *record : file.records()) {
        if (record->missing() || !record->time().isValid())
            continue;
        const qint64 msecs = record->time().toMSecsSinceEpoch();
        const qint8 type = qint8(record->type());
        const bool first = record->channel() == 0 || record->channel() == 1;
        const bool second = record->channel() == 0 || record->channel() == 2;
        if (first && std::isfinite(record->value1()))
            rows.push_back({msecs, record->value1(), type, 1, record->timeSet()});
        if (second && std::isfinite(record->value2()))
            rows.push_back({msecs, record->value2(), type, 2, record->timeSet()});
    }
    return rows;
}

bool StationArchive::ensureIndex(QString *error)
{
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

// SQLite's plain BEGIN takes the write lock only at the first write. When
// another connection (a second collector thread, the program) commits after
// this store's first read, that write fails at once with "database is
// locked", whatever the busy time-out. BEGIN IMMEDIATE takes the lock first,
// so a second writer waits its busy time-out and then stores.
bool StationArchive::beginWrite(QString *error)
{
    if (m_db.driverName() != QLatin1String("QSQLITE")) {
        if (m_db.transaction())
            return true;
        *error = m_db.lastError().text();
        return false;
    }
    QSqlQuery begin(m_db);
    if (begin.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return true;
    *error = begin.lastError().text();
    return false;
}

bool StationArchive::fail(const QString &error)
{
    m_error = error;
    return false;
}

ArchiveResult StationArchive::store(const std::vector<std::unique_ptr<VLXFile>> &files,
                                    const Progress &progress)
{
    ArchiveResult result;
    m_error.clear();
    if (!ensureIndex(&result.error))
        return result;
    if (!beginWrite(&result.error))
        return result;

    m_statements = std::make_unique<Statements>(m_db);
    Statements &s = *m_statements;
    bool ok = s.findFile.prepare(QStringLiteral(
                  "SELECT id FROM data WHERE istasyonno = ? AND kurulumtarihi = ? ORDER BY id LIMIT 1"))
        && s.addFile.prepare(QStringLiteral("INSERT INTO data (istasyonadi, istasyonno, kurulumtarihi, "
                                            "page, buff) VALUES (?, ?, ?, ?, ?)"))
        && s.updateFile.prepare(
            QStringLiteral("UPDATE data SET istasyonadi = ?, page = ?, buff = ? WHERE id = ?"))
        && s.countRows.prepare(QStringLiteral("SELECT count(*) FROM datadetay WHERE data = ?"))
        && s.rowAt.prepare(QStringLiteral("SELECT tarih, saat, tip, deger, chno FROM datadetay "
                                          "WHERE data = ? ORDER BY id LIMIT 1 OFFSET ?"))
        && s.removeRows.prepare(QStringLiteral("DELETE FROM datadetay WHERE data = ?"))
        && s.insertBatch.prepare(insertStatement(rowsPerInsert))
        && s.insertOne.prepare(insertStatement(1));
    if (!ok)
        m_error = s.findFile.lastError().isValid() ? s.findFile.lastError().text()
                                                   : QStringLiteral("cannot prepare the statements");

    std::vector<std::vector<ArchiveRow>> rows;
    qint64 total = 0;
    for (const auto &file : files) {
        rows.push_back(rowsOf(*file));
        total += qint64(rows.back().size());
    }
    qint64 done = 0;
    for (std::size_t i = 0; ok && i < files.size(); ++i)
        ok = storeFile(*files[i], rows[i], done, total, progress, result);

    m_statements.reset();
    if (ok && !m_db.commit())
        ok = fail(m_db.lastError().text());
    if (!ok) {
        m_db.rollback();
        result = ArchiveResult();
        result.error = m_error.trimmed().isEmpty() ? QStringLiteral("unknown error") : m_error;
        return result;
    }
    result.ok = true;
    writeCaches(files, rows, result.fileIds);
    return result;
}

QString StationArchive::cacheFolder() const
{
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
    return true;
}

// The chart reads what the archive holds; the cache only saves reading it
// back row by row. A cache that cannot be written is made again next time.
void StationArchive::writeCaches(const std::vector<std::unique_ptr<VLXFile>> &files,
                                 std::vector<std::vector<ArchiveRow>> &rows,
                                 const QList<qint64> &ids)
{
    const SeriesCache cache(cacheFolder());
    if (cache.folder().isEmpty())
        return;
    for (std::size_t i = 0; i < files.size() && int(i) < ids.size(); ++i) {
        SeriesCache::Stamp stamp;
        if (!stampOf(ids.at(int(i)), &stamp))
            continue;
        ArchiveSeries series = ArchiveSeries::fromRows(rows[i]);
        std::vector<ArchiveRow>().swap(rows[i]);   // a full memory's rows are some 40 MB
        const VLXFile &file = *files[i];
        series.stationName = file.stationName();
        series.stationNo = file.stationNo();
        series.installTime = file.fileDate();
        series.channelName[0] = file.channel1Name();
        series.channelName[1] = file.channel2Name();
        series.channelUnit[0] = file.channel1Unit();
        series.channelUnit[1] = file.channel2Unit();
        cache.write(ids.at(int(i)), stamp, series);
    }
}

QList<ArchivedFile> StationArchive::files(const QString &stationFilter)
{
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
    const SeriesCache cache(cacheFolder());
    for (ArchivedFile &file : list) {
        SeriesCache::Stamp stored;
        SeriesCache::Stamp current;
        if (!stampOf(file.id, &current))
            continue;
        ArchiveSeries::Overview overview;
        if (!cache.readOverview(file.id, &stored, &overview) || stored != current) {
            ArchiveSeries s;
            if (!rebuildSeries(file.id, &s))
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
    return list;
}

qint64 StationArchive::dataVersion()
{
    QSqlQuery query(m_db);
    if (!m_db.isOpen() || !query.exec(QStringLiteral("PRAGMA data_version")) || !query.next())
        return -1;
    return query.value(0).toLongLong();
}

bool StationArchive::series(qint64 dataId, ArchiveSeries *series)
{
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

bool StationArchive::storeFile(const VLXFile &file, const std::vector<ArchiveRow> &rows,
                               qint64 &done, qint64 total, const Progress &progress,
                               ArchiveResult &result)
{
    Statements &s = *m_statements;
    const QString installText = timestampText(file.fileDate());
    const qint64 page = file.endAddress() / pageSize;
    const qint64 buff = file.endAddress() % pageSize;

    s.findFile.bindValue(0, file.stationNo());
    s.findFile.bindValue(1, installText);
    if (!s.findFile.exec())
        return fail(s.findFile.lastError().text());
    qint64 dataId = -1;
    if (s.findFile.next())
        dataId = s.findFile.value(0).toLongLong();
    s.findFile.finish();

    if (dataId < 0) {
        s.addFile.bindValue(0, file.stationName());
        s.addFile.bindValue(1, file.stationNo());
        s.addFile.bindValue(2, installText);
        s.addFile.bindValue(3, page);
        s.addFile.bindValue(4, buff);
        if (!s.addFile.exec())
            return fail(s.addFile.lastError().text());
        dataId = s.addFile.lastInsertId().toLongLong();
        ++result.filesAdded;
        result.fileIds << dataId;
        return insertRows(dataId, file, rows, 0, done, total, progress, result);
    }

    result.fileIds << dataId;
    s.updateFile.bindValue(0, file.stationName());
    s.updateFile.bindValue(1, page);
    s.updateFile.bindValue(2, buff);
    s.updateFile.bindValue(3, dataId);
    if (!s.updateFile.exec())
        return fail(s.updateFile.lastError().text());

    s.countRows.bindValue(0, dataId);
    if (!s.countRows.exec() || !s.countRows.next())
        return fail(s.countRows.lastError().text());
    const qint64 stored = s.countRows.value(0).toLongLong();
    s.countRows.finish();

    bool same = false;
    if (!storedRowsAreStartOf(dataId, stored, rows, same))
        return false;
    if (same)
        return insertRows(dataId, file, rows, std::size_t(stored), done, total, progress, result);

    s.removeRows.bindValue(0, dataId);
    if (!s.removeRows.exec())
        return fail(s.removeRows.lastError().text());
    result.rowsRemoved += stored;
    ++result.filesReplaced;
    return insertRows(dataId, file, rows, 0, done, total, progress, result);
}

// Records of a file only ever grow at its end, so the stored rows must be the
// start of the new ones: no more of them, and equal at the first, the middle
// and the last stored place. A file rewritten after an erase differs there.
bool StationArchive::storedRowsAreStartOf(qint64 dataId, qint64 storedCount,
                                          const std::vector<ArchiveRow> &rows, bool &same)
{
    same = storedCount <= qint64(rows.size());
    if (!same || storedCount == 0)
        return true;
    Statements &s = *m_statements;
    const qint64 places[] = {0, storedCount / 2, storedCount - 1};
    for (qint64 place : places) {
        s.rowAt.bindValue(0, dataId);
        s.rowAt.bindValue(1, place);
        if (!s.rowAt.exec())
            return fail(s.rowAt.lastError().text());
        if (!s.rowAt.next()) {
            same = false;
            s.rowAt.finish();
            return true;
        }
        const ArchiveRow &row = rows[std::size_t(place)];
        RowTexts texts;
        same = s.rowAt.value(0).toString() == texts.date(row.msecs)
            && s.rowAt.value(1).toString() == texts.clock(row.msecs)
            && s.rowAt.value(2).toInt() == row.type && s.rowAt.value(3).toDouble() == double(row.value)
            && s.rowAt.value(4).toInt() == row.channel;
        s.rowAt.finish();
        if (!same)
            return true;
    }
    return true;
}

bool StationArchive::insertRows(qint64 dataId, const VLXFile &file,
                                const std::vector<ArchiveRow> &rows, std::size_t from,
                                qint64 &done, qint64 total, const Progress &progress,
                                ArchiveResult &result)
{
    Statements &s = *m_statements;
    constexpr qint64 reportEvery = 8192;
    // Rows already stored count as handled, so that the bar of a store that
    // adds a few rows to a long file ends full.
    done += qint64(from);
    qint64 nextReport = done;

    for (QSqlQuery *query : {&s.insertBatch, &s.insertOne}) {
        query->bindValue(0, dataId);
        query->bindValue(1, file.channel1Name());
        query->bindValue(2, file.channel2Name());
    }
    std::size_t i = from;
    while (i < rows.size()) {
        const bool batch = rows.size() - i >= std::size_t(rowsPerInsert);
        QSqlQuery &query = batch ? s.insertBatch : s.insertOne;
        const int count = batch ? rowsPerInsert : 1;
        for (int slot = 0; slot < count; ++slot) {
            const ArchiveRow &row = rows[i + std::size_t(slot)];
            query.bindValue(3 + 2 * slot, packedRow(row));
            query.bindValue(4 + 2 * slot, double(row.value));
        }
        if (!query.exec())
            return fail(query.lastError().text());
        i += std::size_t(count);
        done += count;
        result.rowsAdded += count;
        if (progress && done >= nextReport) {
            progress(done, total);
            nextReport = done + reportEvery;
        }
    }
    if (progress)
        progress(done, total);
    countAdded(rows, from, result);
    return true;
}

// The two rows of one measurement (one per channel) share its time and make
// one record; every summary row is a value of its own.
void StationArchive::countAdded(const std::vector<ArchiveRow> &rows, std::size_t from,
                                ArchiveResult &result)
{
    const ArchiveRow *previous = nullptr;
    for (std::size_t i = from; i < rows.size(); ++i) {
        const ArchiveRow &row = rows[i];
        if (row.type != 0)
            ++result.summariesAdded;
        else if (!previous || previous->type != 0 || previous->msecs != row.msecs)
            ++result.recordsAdded;
        previous = &row;
        if (result.firstAddedMsecs == 0 || row.msecs < result.firstAddedMsecs)
            result.firstAddedMsecs = row.msecs;
        if (result.lastAddedMsecs == 0 || row.msecs > result.lastAddedMsecs)
            result.lastAddedMsecs = row.msecs;
    }
}
