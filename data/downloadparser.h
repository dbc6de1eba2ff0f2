#ifndef DOWNLOADPARSER_H
#define DOWNLOADPARSER_H

#include "loggerbytes.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>

// The one reader of the logger's memory format. It walks the bytes of a
// download once and hands every file header and every record, with its
// time already worked out, to a sink. What the records become is the sink's
// business: a VLXFile with one VLXData per record for the places that show
// or test them (decodedownload.h), compact values for the export and the
// archive (compactdownload.h), nothing at all when only the end is wanted.
//
//   class Counter : public DownloadSink { ... };
//   Counter sink;
//   const DownloadParse parsed = parseDownload(data, sink);
//
// Records before the first header belong to no file and are not handed on.

// What the parser tells its caller while it runs. Either may be empty.
struct DecodeCallbacks {
    // Before each record: the byte position reached (also the final one).
    std::function<void(qsizetype position)> positionReached;
    // For each complete file header: its install time.
    std::function<void(const QDateTime &installTime)> headerFound;
};

struct DecodedHeader {
    QString stationName;
    QString stationNo;
    QDateTime installTime;   // UTC; invalid when it could not be read
    int recordInterval = 0;  // minutes
    QString channel1Name;
    QString channel2Name;
    QString channel1Unit;
    QString channel2Unit;
};

// One record: an instantaneous measurement, a missing record (repeating the
// file's last values) or one value pair of a daily summary.
struct DecodedRecord {
    qint64 msecs = LoggerBytes::NoTime;   // UTC milliseconds since the epoch
    float value1 = 0;
    float value2 = 0;
    qint8 channel = 0;    // 0 both, 1 or 2 for a summary's extreme
    qint8 type = 0;       // 0 ANL, 1 MAX, 2 MIN, 3 ORT
    bool timeSet = false; // follows a time stamp
    bool missing = false;
};

// The file's clock and last values where its records end.
struct FileClock {
    qint64 msecs = LoggerBytes::NoTime;
    float lastValue1 = -1.0f;
    float lastValue2 = -1.0f;
};

class DownloadSink
{
public:
    virtual ~DownloadSink() = default;
    // A file header at `address`; the records that follow are this file's.
    virtual void fileStarted(const DecodedHeader &header, qsizetype address) = 0;
    virtual void recordRead(const DecodedRecord &record) = 0;
    // The file's records end at `address` (the next header, or where the
    // parsing stopped).
    virtual void fileEnded(qsizetype address, const FileClock &clock) = 0;
};

struct DownloadParse {
    // The parsing ended at a file header whose text fields are not all
    // closed by 0x02 (a header cut short); that header gives no file.
    bool headerCut = false;
    // Where the parsing stopped: the start of the erased space (or of the
    // cut header), the end of the data otherwise.
    qsizetype end = 0;
    int files = 0;
};

// Parses any bytes without reading out of range; meant for valid downloads.
DownloadParse parseDownload(const QByteArray &data, DownloadSink &sink,
                            const DecodeCallbacks &callbacks = DecodeCallbacks());

// Where a parse of these bytes stops, without keeping anything.
qsizetype parsedEnd(const QByteArray &data);

#endif // DOWNLOADPARSER_H
