#ifndef STATIONARCHIVE_H
#define STATIONARCHIVE_H

#include "seriescache.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class VLXFile;
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
// again adds only the records that are new at its end; a file whose stored
// records are no longer the start of what the logger holds (its memory was
// erased and rewritten with the same install time) has its rows replaced.
// One transaction per store: nothing is ever half-written.
struct ArchiveResult {
    bool ok = false;
    QString error;            // the driver's text when !ok
    int filesAdded = 0;       // new `data` rows
    int filesReplaced = 0;    // files whose rows were written anew
    qint64 rowsAdded = 0;     // `datadetay` rows inserted
    qint64 rowsRemoved = 0;   // `datadetay` rows of replaced files
    QList<qint64> fileIds;    // the `data` id of each file stored, in the order given
    // What the store brought that the archive did not hold: instantaneous
    // records, daily summary values, and the span of their times
    // (milliseconds since the epoch, UTC as decoded; both 0 when nothing).
    qint64 recordsAdded = 0;
    qint64 summariesAdded = 0;
    qint64 firstAddedMsecs = 0;
    qint64 lastAddedMsecs = 0;
    bool addedAnything() const { return recordsAdded + summariesAdded > 0; }
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
    explicit StationArchive(const QSqlDatabase &db = QSqlDatabase::database());
    ~StationArchive();

    StationArchive(const StationArchive &) = delete;
    StationArchive &operator=(const StationArchive &) = delete;

    // Called now and then while rows are written, with the rows handled so
    // far (written, or found already stored) and the rows of all files.
    using Progress = std::function<void(qint64 done, qint64 total)>;

    ArchiveResult store(const std::vector<std::unique_ptr<VLXFile>> &files,
                        const Progress &progress = Progress());

    // The rows of a file's records in order: two for a record of both
    // channels, one for a summary's extreme of one channel; none for a
    // missing record, a value that is not finite or a record without a time.
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
    QString lastError() const { return m_error; }

    // <database file>.series, next to the database; empty for a database
    // that is not a file.
    QString cacheFolder() const;

private:
    struct Statements;
    bool storeFile(const VLXFile &file, const std::vector<ArchiveRow> &rows, qint64 &done,
                   qint64 total, const Progress &progress, ArchiveResult &result);
    bool insertRows(qint64 dataId, const VLXFile &file, const std::vector<ArchiveRow> &rows,
                    std::size_t from, qint64 &done, qint64 total, const Progress &progress,
                    ArchiveResult &result);
    static void countAdded(const std::vector<ArchiveRow> &rows, std::size_t from, ArchiveResult &result);
    bool storedRowsAreStartOf(qint64 dataId, qint64 storedCount,
                              const std::vector<ArchiveRow> &rows, bool &same);
    bool fail(const QString &error);
    bool beginWrite(QString *error);
    bool ensureIndex(QString *error);
    bool stampOf(qint64 dataId, SeriesCache::Stamp *stamp);
    bool rebuildSeries(qint64 dataId, ArchiveSeries *series);
    void writeCaches(const std::vector<std::unique_ptr<VLXFile>> &files,
                     std::vector<std::vector<ArchiveRow>> &rows, const QList<qint64> &ids);

    QSqlDatabase m_db;
    std::unique_ptr<Statements> m_statements;
    QString m_error;
};

#endif // STATIONARCHIVE_H
