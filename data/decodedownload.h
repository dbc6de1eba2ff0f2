#ifndef DECODEDOWNLOAD_H
#define DECODEDOWNLOAD_H

#include <QByteArray>
#include <QDateTime>

#include <functional>
#include <memory>

class VLXFile;

// Decoding of a download: the bytes of the logger's memory, from address 0 to
// the used-memory figure, as the transfer collected them.
//
//   if (!isValidDownload(data)) { /* "Veri hatalı!" */ }
//   DecodeCallbacks report;
//   report.positionReached = [&](qsizetype p) { progress->setValue(int(p)); };
//   report.headerFound = [&](const QDateTime &t) { label->setText(t.toString(...)); };
//   std::unique_ptr<VLXFile> file = decodeDownload(data, report);
//
// The decoded file is the last file header's file with its records; records
// met before it belong to files that are not returned.

// What decodeDownload tells its caller while it runs. Either may be empty.
struct DecodeCallbacks {
    // Before each record: the byte position reached (also the final one).
    std::function<void(qsizetype position)> positionReached;
    // For each complete file header: its install time.
    std::function<void(const QDateTime &installTime)> headerFound;
};

// At least 3 bytes, the last three FF FF FF.
bool isValidDownload(const QByteArray &data);

// Decodes any bytes without reading out of range; meant for valid downloads.
// A file header whose text fields are not all closed by 0x02 ends the
// decoding; the records decoded before it stay with the file returned.
std::unique_ptr<VLXFile> decodeDownload(const QByteArray &data,
                                        const DecodeCallbacks &callbacks = DecodeCallbacks());

#endif // DECODEDOWNLOAD_H
