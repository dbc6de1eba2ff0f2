#ifndef PGARCHIVE_H
#define PGARCHIVE_H

#include "archiverules.h"
#include "seriescache.h"
#include "stationarchive.h"

#include <map>
#include <memory>
#include <vector>

class PgConnection;
class PgResult;

// The station archive on a PostgreSQL server, shared by every operator's
// laptop and the collector. It keeps the rules of the local archive
// (ArchiveRules: a download adds only the records new at a file's end, never
// removes a row, and one that disagrees goes in beside the stored file as a
// revision), in one transaction per store, and is the only code that writes
// the server's archive tables. StationArchive hands its calls here when the
// archive is on a server.
//
// Two writers of the same station's files (a collector and a laptop) take a
// transaction-level advisory lock per station number and install time, all
// of a store's locks in one order, so that the second sees what the first
// committed and every record is stored exactly once. The rows go in by
// COPY ... FROM STDIN in binary form. The chart's series cache stays on this
// computer, under <data root>/server.series/<server>/, stamped as the local
// one is; the stamp's revision comes from a sequence of the server.
class PgArchive
{
public:
    explicit PgArchive(std::shared_ptr<PgConnection> server);
    ~PgArchive();

    ArchiveResult store(const std::vector<CompactFile> &files, const StationArchive::Progress &progress);
    QList<ArchivedFile> files(const QString &stationFilter);
    bool series(qint64 dataId, ArchiveSeries *series);
    // The counter every store raises in its transaction; -1 when the server
    // cannot be asked.
    qint64 dataVersion();
    QString lastError() const { return m_error; }
    QString cacheFolder() const;

private:
    struct Stored {
        qint64 id = 0;
        bool rowsAreDownload = true;
        int revision = -1;
    };
    bool ready();
    bool storeFile(const CompactFile &file, const std::vector<ArchiveRow> &rows, qint64 &done,
                   qint64 total, const StationArchive::Progress &progress, ArchiveResult &result,
                   Stored &stored);
    bool copyRows(qint64 dataId, const CompactFile &file, const std::vector<ArchiveRow> &rows,
                  std::size_t from, qint64 &done, qint64 total, const StationArchive::Progress &progress);
    bool entriesOf(const PgResult &found, std::vector<ArchiveRules::Entry> &entries);
    bool storedRowAt(qint64 dataId, qint64 place, std::optional<ArchiveRow> &row);
    bool stampOf(qint64 dataId, SeriesCache::Stamp *stamp);
    bool rebuildSeries(qint64 dataId, ArchiveSeries *series);
    qint64 recordCountOf(qint64 dataId);
    void writeCaches(const std::vector<CompactFile> &files, std::vector<std::vector<ArchiveRow>> &rows,
                     const std::vector<Stored> &stored, ArchiveResult &result);
    bool fail();

    std::shared_ptr<PgConnection> m_server;
    QString m_error;
    std::map<qint64, qint64> m_firstRowIds;   // entries whose row ids have no gap: their first id
    // Rows without a `data` row, looked for once per store when a file is new.
    std::optional<std::vector<ArchiveRules::Entry>> m_orphans;
};

#endif // PGARCHIVE_H
