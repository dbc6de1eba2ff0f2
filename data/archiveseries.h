#ifndef ARCHIVESERIES_H
#define ARCHIVESERIES_H

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <vector>

struct ArchiveRow;
struct CompactFile;
class VLXFile;
class QIODevice;

// One archived file as the chart and the CSV export read it: the
// instantaneous records as a time series of both channels, and the daily
// summary values. Times are seconds since the epoch of the logger's own
// clock (UTC, as decoded), so that no time zone of the computer moves them.
//
//   ArchiveSeries s = ArchiveSeries::fromRows(StationArchive::rowsOf(file));
//   s.times[i], s.values[0][i] (channel 1), s.values[1][i] (channel 2; NaN when absent)
struct ArchiveSeries {
    struct Summary {
        qint64 time = 0;
        float value = 0;
        qint8 type = 1;      // 1 MAX, 2 MIN, 3 ORT
        qint8 channel = 1;   // 1 or 2
    };

    // The file: station, install time, channel names and units (units are
    // known from the download's header; empty when the series was read back
    // from a database alone).
    QString stationName;
    QString stationNo;
    QDateTime installTime;
    QString channelName[2];
    QString channelUnit[2];

    std::vector<qint64> times;      // ascending
    std::vector<float> values[2];   // per channel, NaN where the channel has no value
    std::vector<Summary> summaries; // ascending by time

    // The most frequent distance between two instantaneous records, in
    // seconds: the record interval. 0 with fewer than two records.
    qint64 intervalSeconds = 0;

    // Instantaneous records and summary values together.
    qint64 recordCount() const { return qint64(times.size() + summaries.size()); }

    // What the archive's list tells of a file: its instantaneous records
    // (those the chart draws and the CSV fills), the first and last of their
    // times, and its summary values.
    struct Overview {
        qint64 records = 0;
        qint64 firstTime = 0;
        qint64 lastTime = 0;
        qint64 summaries = 0;
    };
    Overview overview() const;
    // The same from the compact form, without reading its arrays: a long
    // file's list entry costs a few bytes of its cache, not all 20 MB of it.
    static bool overviewOf(const QByteArray &bytes, Overview *overview);
    bool isEmpty() const { return times.empty() && summaries.empty(); }

    // Two records further apart than this leave a gap: a missing record
    // (the archive keeps none, so its neighbours lie two intervals apart) or
    // the logger switched off for a while.
    qint64 gapSeconds() const { return intervalSeconds > 0 ? intervalSeconds * 3 / 2 : 0; }

    // Builds the series from a file's archive rows in their stored order:
    // the two rows of one measurement become one point. A clock set back by
    // the logger leaves records out of order; they are sorted by time.
    static ArchiveSeries fromRows(const std::vector<ArchiveRow> &rows);
    // The series of a decoded file as the archive would store it, with the
    // file's station, install time, channel names and units.
    static ArchiveSeries fromFile(const CompactFile &file);
    static ArchiveSeries fromFile(const VLXFile &file);
    // Takes the station, install time and channels of the file.
    void nameAfter(const CompactFile &file);

    // A compact binary form, for the chart's cache of the archive. fromBytes
    // is false for anything that is not exactly such a form.
    QByteArray toBytes() const;
    bool writeTo(QIODevice *device) const;   // the same bytes, without holding them
    static bool fromBytes(const QByteArray &bytes, ArchiveSeries *series);
};

#endif // ARCHIVESERIES_H
