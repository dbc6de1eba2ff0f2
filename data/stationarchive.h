#ifndef STATIONARCHIVE_H
#define STATIONARCHIVE_H

#include "seriescache.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class PgArchive;
class PgConnection;
class QSqlQuery;
class VLXFile;
struct CompactFile;
struct ArchiveSeries;

// The station archive in the local database: every decoded file of every
// download, one `data` row per station file and one `datadetay` row per
// record and channel. It is the only code that writes these tables.
//
//   StationArchive archive;   // the default connection
//   ArchiveResult r = archive.store(decoded.files, [&](qint64 done, qint64 total) { ... });
//   if (!r.ok) { /* "Veritabanı": "Veriler kaydedilemedi:\n" + r.error */ }
//
// A file is known by its station number and install time. Storing a file
// again adds only the records that are new at its end, and a shorter
// download of it (a transfer cut short) adds nothing; no store ever removes
// a row. A download that disagrees with the stored records (the memory was
// erased and written again under the same install time) is kept beside them
// as a new entry marked as a revision of the old one (ArchiveRules).
// One transaction per store: nothing is ever half-written, and a damaged
// database is refused before anything is written into it. The entries'
// revision marks and row-change counters live in a table of the archive's
// own, `data_revision`, beside the program's two tables.
//
// A download that disagreed with the archived file of its station and install
// time: the archived entry is kept as it was and the download is stored as a
// new entry beside it.
struct ArchiveRevision {
    QString stationNo;
    QDateTime installTime;          // UTC, as decoded
    qint64 revisedId = 0;           // the archived entry
    qint64 id = 0;                  // the new entry
    qint64 archivedRecords = 0;     // records of the archived entry
    qint64 downloadedRecords = 0;   // records of the download's file
};

struct ArchiveResult {
    bool ok = false;
    QString error;            // the driver's text when !ok (for a damaged file, damageText())
    int filesAdded = 0;       // new `data` rows, revisions among them
    qint64 rowsAdded = 0;     // `datadetay` rows inserted
    // Always 0: a store never removes rows. Kept so that the report lines
    // that show it read as before.
    qint64 rowsRemoved = 0;
    QList<qint64> fileIds;    // the `data` id of each file stored, in the order given
    // What the store brought that the archive did not hold: instantaneous
    // records, daily summary values, and the span of their times
    // (milliseconds since the epoch, UTC as decoded; both 0 when nothing).
    qint64 recordsAdded = 0;
    qint64 summariesAdded = 0;
    qint64 firstAddedMsecs = 0;
    qint64 lastAddedMsecs = 0;
    bool addedAnything() const { return recordsAdded + summariesAdded > 0; }
    QList<ArchiveRevision> revisions;
};

// One archived station file, as the chart's list shows it.
struct ArchivedFile {
    qint64 id = 0;
    QString stationName;
    QString stationNo;
    QDateTime installTime;   // UTC, as decoded
    qint64 recordCount = 0;  // instantaneous records and summary values
    // The instantaneous records, as the chart draws them and the CSV fills
    // its lines, and the first and last of their times (UTC, invalid when
    // the file has none).
    qint64 instantCount = 0;
    QDateTime firstRecord;
    QDateTime lastRecord;
};

// Fills in each listed file's counts and record span from the series cache in
// cacheFolder, or from the file's rows (rebuild) where its cache is missing or
// no longer carries the file's stamp (stampOf); a file whose stamp cannot be
// read keeps them empty. Both archives list their files this way.
void fillFileOverviews(QList<ArchivedFile> &files, const QString &cacheFolder,
                       const std::function<bool(qint64, SeriesCache::Stamp *)> &stampOf,
                       const std::function<bool(qint64, ArchiveSeries *)> &rebuild);

// The instantaneous records and summary values of an archived entry, from its
// cache when that still carries the entry's stamp, else from its rows.
qint64 recordCountFromCache(qint64 dataId, const QString &cacheFolder,
                            const std::function<bool(qint64, SeriesCache::Stamp *)> &stampOf,
                            const std::function<bool(qint64, ArchiveSeries *)> &rebuild);

// One `datadetay` row of a record, as the archive writes it.
struct ArchiveRow {
    qint64 msecs = 0;   // the record's time, milliseconds since the epoch (UTC, as decoded)
    float value = 0;    // as the logger stored it; the database keeps it as a double
    qint8 type = 0;     // 0 ANL, 1 MAX, 2 MIN, 3 ORT
    qint8 channel = 1;  // 1 or 2
    bool timeSet = false;
};

class StationArchive
{
public:
    // The archive of this process (ArchiveLocation::current()): the default
    // connection's SQLite file, or this thread's connection to the server.
    StationArchive();
    explicit StationArchive(const QSqlDatabase &db);
    // The archive on a PostgreSQL server (PgArchive does the work).
    explicit StationArchive(std::shared_ptr<PgConnection> server);
    ~StationArchive();

    StationArchive(const StationArchive &) = delete;
    StationArchive &operator=(const StationArchive &) = delete;

    // Called now and then while rows are written, with the rows handled so
    // far (written, or found already stored) and the rows of all files.
    using Progress = std::function<void(qint64 done, qint64 total)>;

    ArchiveResult store(const std::vector<CompactFile> &files, const Progress &progress = Progress());
    // The same for files that hold one VLXData per record.
    ArchiveResult store(const std::vector<std::unique_ptr<VLXFile>> &files,
                        const Progress &progress = Progress());

    // The rows of a file's records in order: two for a record of both
    // channels, one for a summary's extreme of one channel; none for a
    // missing record, a value that is not finite or a record without a time.
    static std::vector<ArchiveRow> rowsOf(const CompactFile &file);
    static std::vector<ArchiveRow> rowsOf(const VLXFile &file);

    // The text form of an install time in the database: "yyyy-MM-dd hh:mm:ss".
    static QString timestampText(const QDateTime &time);

    // The archived files, newest install time first; only those whose
    // station number contains stationFilter when it is not empty.
    QList<ArchivedFile> files(const QString &stationFilter = QString());

    // The series of an archived file, from the chart's cache of the archive
    // (made anew from the rows when the cache is missing or no longer
    // matches them). False when the file is unknown or cannot be read.
    bool series(qint64 dataId, ArchiveSeries *series);

    // SQLite's data_version of this connection: it changes whenever another
    // connection (another program on the same file, too) has committed a
    // change since it was last asked, never for this connection's own
    // commits. -1 when the database cannot be asked.
    qint64 dataVersion();

    // The driver's text of the last files() or series() that failed.
    QString lastError() const;

    // <database file>.series, next to the database; empty for a database
    // that is not a file.
    QString cacheFolder() const;

    // Runs SQLite's quick check of the whole file (it reads every page: about
    // a second per full memory archived) and keeps its verdict on the
    // connection, which store() then trusts instead of checking again. False
    // only for a damaged file or one that is no database; `problem` then
    // holds the message to show, with the path and what to do.
    bool checkDatabase(QString *problem);

    // That message, for the database file at path and SQLite's finding.
    static QString damageText(const QString &path, const QString &finding);

private:
    friend class PgArchive;   // counts what a store added as countAdded does
    struct Statements;
    struct Entries;
    // What a store did with one file, for its cache and its report.
    struct Stored {
        qint64 id = 0;
        bool rowsAreDownload = true;   // the entry holds exactly the download's rows
        int revision = -1;             // index into ArchiveResult::revisions
    };
    bool storeFile(const CompactFile &file, const std::vector<ArchiveRow> &rows, qint64 &done,
                   qint64 total, const Progress &progress, ArchiveResult &result, Stored &stored);
    bool insertRows(qint64 dataId, const CompactFile &file, const std::vector<ArchiveRow> &rows,
                    std::size_t from, qint64 &done, qint64 total, const Progress &progress,
                    ArchiveResult &result);
    static void countAdded(const std::vector<ArchiveRow> &rows, std::size_t from, ArchiveResult &result);
    bool entriesOf(const CompactFile &file, Entries &entries);
    bool orphanEntries(Entries &entries);
    bool storedRowAt(qint64 dataId, qint64 place, std::optional<ArchiveRow> &row);
    bool addEntry(const CompactFile &file, qint64 dataId);
    bool markChanged(qint64 dataId, bool newEntry, qint64 revises);
    bool knownVerdict(QString *problem) const;   // false: not checked yet
    bool soundForWriting(QString *problem);
    bool fail(const QString &error);
    bool fail(const QSqlQuery &query);
    bool ensureIndex(QString *error);
    bool ensureSchema(QString *error);
    bool stampOf(qint64 dataId, SeriesCache::Stamp *stamp);
    bool rebuildSeries(qint64 dataId, ArchiveSeries *series);
    qint64 recordCountOf(qint64 dataId);
    void writeCaches(const std::vector<CompactFile> &files,
                     std::vector<std::vector<ArchiveRow>> &rows, const std::vector<Stored> &stored,
                     ArchiveResult &result);

    QSqlDatabase m_db;
    std::unique_ptr<Statements> m_statements;
    QString m_error;
    bool m_damaged = false;   // a statement of this store found the file damaged
    std::unique_ptr<PgArchive> m_server;   // set for an archive on a server
};

#endif // STATIONARCHIVE_H
