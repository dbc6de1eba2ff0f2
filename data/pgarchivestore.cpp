// The server archive's writing half: one store of a download's files in one
// transaction, by ArchiveRules, with the rows sent by binary COPY.
#include "pgarchive.h"

#include "archiverules.h"
#include "archiveseries.h"
#include "compactdownload.h"
#include "pgconnection.h"

#include <QCryptographicHash>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {

constexpr int pageSize = 1056;
constexpr qint64 reportEvery = 8192;
// COPY data go to libpq in pieces of about this many bytes.
constexpr int copyChunk = 1 << 20;
// 2000-01-01, PostgreSQL's epoch for binary dates and times, in Unix seconds.
constexpr qint64 postgresEpoch = 946684800;

// The entries of rows without a `data` row, newest first: the files of
// `datadetay` are walked one index probe each, not row by row.
const char *const orphanedFiles =
    "WITH RECURSIVE f(id) AS ((SELECT data FROM datadetay ORDER BY data LIMIT 1) UNION ALL "
    "SELECT (SELECT data FROM datadetay WHERE data > f.id ORDER BY data LIMIT 1) FROM f WHERE f.id IS NOT NULL) "
    "SELECT d.id, c.n, c.first, c.last FROM f d, LATERAL (SELECT count(*) AS n, min(id) AS first, "
    "max(id) AS last FROM datadetay WHERE data = d.id) c "
    "WHERE d.id IS NOT NULL AND NOT EXISTS (SELECT 1 FROM data WHERE data.id = d.id) ORDER BY d.id DESC";

const char *const copyStatement =
    "COPY datadetay (data, tarih, saat, tip, deger, chno, chname, timeset) FROM STDIN (FORMAT binary)";

// The advisory lock key of a station file: the first eight bytes of a hash
// of its station number and install time, the same in every program.
qint64 lockKeyOf(const CompactFile &file)
{
    const QByteArray key = (file.header.stationNo + QLatin1Char('|')
                            + StationArchive::timestampText(file.fileDate))
                               .toUtf8();
    const QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha1);
    return qFromBigEndian<qint64>(hash.constData());
}

// Binary COPY values, most significant byte first.
template <typename T> void put(QByteArray &out, T value)
{
    char bytes[sizeof(T)];
    qToBigEndian(value, bytes);
    out.append(bytes, sizeof(T));
}

template <typename T> void putField(QByteArray &out, T value)
{
    put<qint32>(out, qint32(sizeof(T)));
    put<T>(out, value);
}

void putDouble(QByteArray &out, double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    putField<quint64>(out, bits);
}

QByteArray copyHeader()
{
    QByteArray header("PGCOPY\n\377\r\n\0", 11);
    put<qint32>(header, 0);   // flags
    put<qint32>(header, 0);   // header extension
    return header;
}

} // namespace

ArchiveResult PgArchive::store(const std::vector<CompactFile> &files, const StationArchive::Progress &progress)
{
    ArchiveResult result;
    if (!ready()) {
        result.error = m_error;
        return result;
    }
    std::vector<std::vector<ArchiveRow>> rows;
    qint64 total = 0;
    for (const auto &file : files) {
        rows.push_back(StationArchive::rowsOf(file));
        total += qint64(rows.back().size());
    }
    // Every file's lock, in one order for all writers: two stores of the
    // same files never wait for each other crosswise.
    std::vector<qint64> keys;
    for (const auto &file : files)
        keys.push_back(lockKeyOf(file));
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());

    m_orphans.reset();
    m_firstRowIds.clear();
    bool ok = m_server->command("BEGIN");
    for (qint64 key : keys)
        ok = ok && m_server->command("SELECT pg_advisory_xact_lock($1)", {QByteArray::number(key)});
    std::vector<Stored> stored(files.size());
    qint64 done = 0;
    for (std::size_t i = 0; ok && i < files.size(); ++i)
        ok = storeFile(files[i], rows[i], done, total, progress, result, stored[i]);
    // Last, so that writers of other stations share this row's lock only
    // for the moment of their commit.
    ok = ok && m_server->command("UPDATE archive_change SET counter = counter + 1")
        && m_server->command("COMMIT");
    if (!ok) {
        const QString error = m_server->errorText();
        if (m_server->isOpen())
            m_server->command("ROLLBACK");
        result = ArchiveResult();
        result.error = error.trimmed().isEmpty() ? QStringLiteral("unknown error") : error;
        m_error = result.error;
        return result;
    }
    result.ok = true;
    writeCaches(files, rows, stored, result);
    return result;
}

bool PgArchive::storeFile(const CompactFile &file, const std::vector<ArchiveRow> &rows, qint64 &done,
                          qint64 total, const StationArchive::Progress &progress, ArchiveResult &result,
                          Stored &stored)
{
    using ArchiveRules::Decision;
    const QByteArray stationNo = file.header.stationNo.toUtf8();
    const QByteArray installTime = StationArchive::timestampText(file.fileDate).toUtf8();
    std::vector<ArchiveRules::Entry> entries;
    // Each entry with its row count and its first and last row id.
    if (!entriesOf(m_server->exec("SELECT d.id, c.n, c.first, c.last FROM data d, LATERAL (SELECT count(*) AS n, "
                                  "min(id) AS first, max(id) AS last FROM datadetay WHERE data = d.id) c "
                                  "WHERE istasyonno = $1 AND kurulumtarihi = $2 ORDER BY d.id DESC",
                                  {stationNo, installTime}),
                   entries))
        return false;
    // No entry: rows left without their `data` row (the table was dropped
    // and made anew) may be this file's, and are taken back when they agree.
    const bool orphans = entries.empty();
    if (orphans) {
        if (!m_orphans) {
            m_orphans.emplace();
            if (!entriesOf(m_server->exec(orphanedFiles), *m_orphans))
                return false;
        }
        entries = *m_orphans;
    }
    const Decision decision = ArchiveRules::decide(
        entries, rows, [this](qint64 id, qint64 place, std::optional<ArchiveRow> &row) {
            return storedRowAt(id, place, row);
        });
    if (decision.kind == Decision::Failed)
        return false;

    const QByteArray page = QByteArray::number(file.endAddress / pageSize);
    const QByteArray buff = QByteArray::number(file.endAddress % pageSize);
    std::size_t from = 0;
    bool added = false;
    qint64 revises = 0;
    if (decision.kind == Decision::Extend && orphans) {
        stored.id = decision.entry;
        stored.rowsAreDownload = qint64(rows.size()) >= decision.storedRows;
        from = std::size_t(std::min(decision.storedRows, qint64(rows.size())));
        // The rows' own id for the `data` row, and the ids to come past it.
        if (!m_server->command("INSERT INTO data (id, istasyonadi, istasyonno, kurulumtarihi, page, buff) "
                               "VALUES ($1, $2, $3, $4, $5, $6)",
                               {QByteArray::number(stored.id), file.header.stationName.toUtf8(), stationNo,
                                installTime, page, buff})
            || !m_server->command("SELECT setval(pg_get_serial_sequence('data', 'id'), (SELECT max(id) FROM data))"))
            return fail();
        m_orphans->erase(std::find_if(m_orphans->begin(), m_orphans->end(),
                                      [&](const ArchiveRules::Entry &e) { return e.id == stored.id; }));
        added = true;
        ++result.filesAdded;
    } else if (decision.kind == Decision::Extend) {
        stored.id = decision.entry;
        stored.rowsAreDownload = qint64(rows.size()) >= decision.storedRows;
        from = std::size_t(std::min(decision.storedRows, qint64(rows.size())));
        if (stored.rowsAreDownload
            && !m_server->command("UPDATE data SET istasyonadi = $1, page = $2, buff = $3 WHERE id = $4",
                                  {file.header.stationName.toUtf8(), page, buff,
                                   QByteArray::number(stored.id)}))
            return fail();
    } else {
        const PgResult id = m_server->exec(
            "INSERT INTO data (istasyonadi, istasyonno, kurulumtarihi, page, buff) "
            "VALUES ($1, $2, $3, $4, $5) RETURNING id",
            {file.header.stationName.toUtf8(), stationNo, installTime, page, buff});
        if (!id.ok() || id.rows() != 1)
            return fail();
        stored.id = id.number(0, 0);
        added = true;
        ++result.filesAdded;
        if (decision.kind == Decision::Revision && !orphans) {
            revises = decision.entry;
            stored.revision = int(result.revisions.size());
            result.revisions << ArchiveRevision{file.header.stationNo, file.fileDate, revises, stored.id, 0, 0};
        }
    }
    result.fileIds << stored.id;
    done += qint64(from);
    if (from < rows.size()) {
        if (!copyRows(stored.id, file, rows, from, done, total, progress))
            return false;
        result.rowsAdded += qint64(rows.size() - from);
        StationArchive::countAdded(rows, from, result);
    } else if (progress) {
        progress(done, total);
    }
    if (!added && from == rows.size())
        return true;
    // A new counter value for the entry's rows (the chart's cache stamp).
    return m_server->command(
               "INSERT INTO data_revision (data, revision, revises) "
               "VALUES ($1, nextval('data_revision_counter'), nullif($2, 0)) "
               "ON CONFLICT (data) DO UPDATE SET revision = EXCLUDED.revision",
               {QByteArray::number(stored.id), QByteArray::number(revises)})
        || fail();
}

bool PgArchive::entriesOf(const PgResult &found, std::vector<ArchiveRules::Entry> &entries)
{
    if (!found.ok())
        return fail();
    for (int i = 0; i < found.rows(); ++i) {
        const qint64 count = found.number(i, 1);
        entries.push_back({found.number(i, 0), count});
        // Rows of one COPY have consecutive ids: a stored row is then found
        // by its id, where OFFSET would walk the index up to it.
        if (count > 0 && found.number(i, 3) - found.number(i, 2) + 1 == count)
            m_firstRowIds[entries.back().id] = found.number(i, 2);
    }
    return true;
}

bool PgArchive::storedRowAt(qint64 dataId, qint64 place, std::optional<ArchiveRow> &row)
{
    const auto first = m_firstRowIds.find(dataId);
    const PgResult r = first != m_firstRowIds.end()
        ? m_server->exec("SELECT extract(epoch FROM tarih + saat)::bigint, tip, deger, chno FROM datadetay "
                         "WHERE id = $1 AND data = $2",
                         {QByteArray::number(first->second + place), QByteArray::number(dataId)})
        : m_server->exec("SELECT extract(epoch FROM tarih + saat)::bigint, tip, deger, chno FROM datadetay "
                         "WHERE data = $1 ORDER BY id OFFSET $2 LIMIT 1",
                         {QByteArray::number(dataId), QByteArray::number(place)});
    if (!r.ok())
        return fail();
    row.reset();
    if (r.rows() == 1) {
        ArchiveRow stored;
        stored.msecs = r.number(0, 0) * 1000;
        stored.type = qint8(r.number(0, 1));
        stored.value = float(r.bytes(0, 2).toDouble());
        stored.channel = qint8(r.number(0, 3));
        row = stored;
    }
    return true;
}

bool PgArchive::copyRows(qint64 dataId, const CompactFile &file, const std::vector<ArchiveRow> &rows,
                         std::size_t from, qint64 &done, qint64 total,
                         const StationArchive::Progress &progress)
{
    if (!m_server->copyBegin(copyStatement))
        return fail();
    const QByteArray names[2] = {file.header.channel1Name.toUtf8(), file.header.channel2Name.toUtf8()};
    QByteArray out = copyHeader();
    out.reserve(copyChunk + 4096);
    qint64 nextReport = done + reportEvery;
    for (std::size_t i = from; i < rows.size(); ++i) {
        const ArchiveRow &row = rows[i];
        const qint64 seconds = row.msecs / 1000;
        const qint64 day = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
        const qint64 secondOfDay = seconds - day * 86400;
        const QByteArray &name = names[row.channel == 2 ? 1 : 0];
        put<qint16>(out, 8);
        putField<qint64>(out, dataId);
        putField<qint32>(out, qint32(day - postgresEpoch / 86400));
        putField<qint64>(out, secondOfDay * 1000000);
        putField<qint16>(out, row.type);
        putDouble(out, double(row.value));
        putField<qint16>(out, row.channel);
        put<qint32>(out, qint32(name.size()));
        out.append(name);
        putField<qint16>(out, row.timeSet ? 1 : 0);
        ++done;
        if (out.size() >= copyChunk) {
            if (!m_server->copyPut(out.constData(), int(out.size())))
                return fail();
            out.resize(0);   // keeps the buffer
        }
        if (progress && done >= nextReport) {
            progress(done, total);
            nextReport = done + reportEvery;
        }
    }
    put<qint16>(out, -1);
    if (!m_server->copyPut(out.constData(), int(out.size())) || !m_server->copyEnd())
        return fail();
    if (progress)
        progress(done, total);
    return true;
}

void PgArchive::writeCaches(const std::vector<CompactFile> &files, std::vector<std::vector<ArchiveRow>> &rows,
                            const std::vector<Stored> &stored, ArchiveResult &result)
{
    const SeriesCache cache(cacheFolder());
    for (std::size_t i = 0; i < files.size() && i < stored.size(); ++i) {
        const Stored &entry = stored[i];
        if (!entry.rowsAreDownload && entry.revision < 0)
            continue;
        ArchiveSeries series = ArchiveSeries::fromRows(rows[i]);
        std::vector<ArchiveRow>().swap(rows[i]);
        if (entry.revision >= 0) {
            ArchiveRevision &revision = result.revisions[entry.revision];
            revision.downloadedRecords = series.recordCount();
            revision.archivedRecords = recordCountOf(revision.revisedId);
        }
        SeriesCache::Stamp stamp;
        if (!entry.rowsAreDownload || !stampOf(entry.id, &stamp))
            continue;
        series.nameAfter(files[i]);
        cache.write(entry.id, stamp, series);
    }
}
