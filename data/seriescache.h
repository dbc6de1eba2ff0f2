#ifndef SERIESCACHE_H
#define SERIESCACHE_H

#include "archiveseries.h"

#include <QString>

// The chart's cache of the station archive: one file per archived station
// file, <folder>/<data id>.series, holding its series in a form that loads in
// milliseconds where reading millions of rows back from the database takes
// seconds. A cache file is valid only for the rows it was made from; the
// stamp (the first and last row id of the file) says which those were.
//
//   SeriesCache cache(folder);
//   cache.write(id, {firstId, lastId}, series);
//   SeriesCache::Stamp stamp; ArchiveSeries s;
//   if (cache.read(id, &stamp, &s) && stamp == current) ...
class SeriesCache
{
public:
    struct Stamp {
        qint64 firstRowId = 0;
        qint64 lastRowId = 0;
        bool operator==(const Stamp &other) const
        {
            return firstRowId == other.firstRowId && lastRowId == other.lastRowId;
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
