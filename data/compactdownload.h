#ifndef COMPACTDOWNLOAD_H
#define COMPACTDOWNLOAD_H

#include "downloadparser.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <vector>

class VLXFile;

// A decoded download as plain values: per file its header and its records
// as 24-byte structs in one array. This is the form the text export, the
// station archive, the chart's cache, vlxdecode and the collector work on:
// a full memory's 1.2 million records take some 30 MB here, where one
// QObject per record (decodedownload.h) takes several times that and the
// time to make them.
//
//   CompactDownload decoded = decodeCompact(data);
//   for (const CompactFile &file : decoded.files)
//       TextExport::save(file, file.exportPath, &error);

struct CompactFile {
    DecodedHeader header;
    QDateTime fileDate;      // the install time as the export names it
    QString exportPath;      // <data root>/VLXLogger/<station number>_<ddMMyy>.txt
    qsizetype startAddress = 0;
    qsizetype endAddress = 0;
    std::vector<DecodedRecord> records;
};

struct CompactDownload {
    std::vector<CompactFile> files;   // memory order, newest last
    bool headerCut = false;
    qsizetype end = 0;

    const CompactFile *newest() const { return files.empty() ? nullptr : &files.back(); }
    // True when a later file names the same export file: that later file's
    // export is the one to keep.
    bool exportReplacedLater(std::size_t index) const;
};

// The compact form of a file that holds one VLXData per record.
CompactFile compactOf(const VLXFile &file);

CompactDownload decodeCompact(const QByteArray &data, const DecodeCallbacks &callbacks = DecodeCallbacks());

#endif // COMPACTDOWNLOAD_H
