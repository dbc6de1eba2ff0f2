#ifndef NEWESTFILE_H
#define NEWESTFILE_H

#include "decodedownload.h"
#include "vlxfile.h"

#include <memory>

// The newest file of a download, for tests that look at one file: an empty
// file when the download holds no complete header.
inline std::unique_ptr<VLXFile> newestFile(const QByteArray &data,
                                           const DecodeCallbacks &callbacks = DecodeCallbacks())
{
    DecodedDownload decoded = decodeDownload(data, callbacks);
    if (decoded.files.empty())
        return std::make_unique<VLXFile>();
    return std::move(decoded.files.back());
}

#endif // NEWESTFILE_H
