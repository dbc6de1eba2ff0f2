#ifndef DECODEDOWNLOAD_H
#define DECODEDOWNLOAD_H

#include "downloadparser.h"
#include "vlxfile.h"

#include <QByteArray>
#include <QDateTime>

#include <functional>
#include <memory>
#include <vector>

// Decoding of a download: the bytes of the logger's memory, from address 0 to
// the used-memory figure, as the transfer collected them.
//
//   if (!isValidDownload(data)) { /* "Veri hatalı!" */ }
//   DecodeCallbacks report;
//   report.positionReached = [&](qsizetype p) { progress->setValue(int(p)); };
//   report.headerFound = [&](const QDateTime &t) { label->setText(t.toString(...)); };
//   DecodedDownload decoded = decodeDownload(data, report);
//   for (const auto &file : decoded.files) ...   // memory order, newest last
//
// Every file header starts a file of its own; records met before the first
// header belong to no file and are not returned. The bytes are read by the
// one parser (downloadparser.h); this is its consumer that builds a VLXFile
// with one VLXData per record, for the places that show or test them. The
// export and the archive of a whole download use the compact form
// (compactdownload.h).

// The files of a download, in memory order. Each file knows the addresses of
// its header and of its end (VLXFile::startAddress, endAddress).
struct DecodedDownload {
    std::vector<std::unique_ptr<VLXFile>> files;
    // The decoding ended at a file header whose text fields are not all
    // closed by 0x02 (a header cut short); that header gives no file.
    bool headerCut = false;
    // Where the decoding stopped: the start of the erased space (or of the
    // cut header), the end of the data otherwise.
    qsizetype end = 0;

    VLXFile *newest() const { return files.empty() ? nullptr : files.back().get(); }
    // True when a later file names the same export file (same station number,
    // same install day): that later file's export is the one to keep.
    bool exportReplacedLater(std::size_t index) const;
};

// At least 3 bytes, the last three FF FF FF.
bool isValidDownload(const QByteArray &data);

// Decodes any bytes without reading out of range; meant for valid downloads.
// A file header whose text fields are not all closed by 0x02 ends the
// decoding; the files before it are returned with their records.
DecodedDownload decodeDownload(const QByteArray &data,
                               const DecodeCallbacks &callbacks = DecodeCallbacks());

#endif // DECODEDOWNLOAD_H
