#ifndef SERIESCACHE_H
#define SERIESCACHE_H

#include "archiveseries.h"

#include <QString>

// The chart's cache of the station archive: one file per archived station
// file, <folder>/<data id>.series, holding its series in a form that loads in
// milliseconds where reading millions of rows back from the database takes
// seconds. A cache file is valid only for the rows it was made from; the
// stamp says which those were: the first and last row id of the file and
// the file's revision counter, which every store that changes its rows sets
// anew in the same transaction (rows written again get the same ids again).
//
//   SeriesCache cache(folder);
//   cache.write(id, {firstId, lastId, revision}, series);
//   SeriesCache::Stamp stamp; ArchiveSeries s;
//   if (cache.read(id, &stamp, &s) && stamp == current) ...
class SeriesCache
{
public:
    struct Stamp {
        qint64 firstRowId = 0;
        qint64 lastRowId = 0;
        qint64 revision = 0;
        bool operator==(const Stamp &other) const
        {
            return firstRowId == other.firstRowId && lastRowId == other.lastRowId
                && revision == other.revision;
        }
        bool operator!=(const Stamp &other) const { return !(*this == other); }
    };

    explicit SeriesCache(const QString &folder);

    QString folder() const { return m_folder; }
    QString pathOf(qint64 dataId) const;

    // Replaces the cache file of dataId (never half-written).
    bool write(qint64 dataId, const Stamp &stamp, const ArchiveSeries &series) const;

    // The stamp and record count alone, without the series.
    bool readStamp(qint64 dataId, Stamp *stamp, qint64 *recordCount) const;

    // The stamp and what the archive's list shows of the series.
    bool readOverview(qint64 dataId, Stamp *stamp, ArchiveSeries::Overview *overview) const;

    // False for a missing, damaged or foreign file.
    bool read(qint64 dataId, Stamp *stamp, ArchiveSeries *series) const;

    void remove(qint64 dataId) const;

private:
    QString m_folder;
};

#endif // SERIESCACHE_H
