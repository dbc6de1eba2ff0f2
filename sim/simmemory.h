#ifndef SIMMEMORY_H
#define SIMMEMORY_H

#include "memoryencoder.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

// The simulated logger's flash: the used part of the memory image and the
// files in it. The used part always ends with erased bytes, so a complete
// download of it is valid; the file list is derived from the same bytes.
class SimMemory
{
public:
    static constexpr qint64 FullBytes = 9863168;   // 9340 pages of 1056 bytes
    static constexpr int PageBytes = 1056;
    static constexpr int BlockBytes = 264;
    static constexpr int MaxFiles = 5;             // date slots of the file list

    struct File {
        QDateTime installTime;   // the file-list date
        qint64 start = 0;        // first byte (its header)
        qint64 end = 0;          // one past its last record
    };

    SimMemory();

    // Takes an image as a complete download: when it already ends in
    // FF FF FF all of it is used memory, otherwise the data are closed with
    // an end mark. Files are found by their headers.
    void setImage(const QByteArray &image);
    // An image whose files are known (from the generator).
    void setImage(const QByteArray &image, const QList<File> &files);

    const QByteArray &image() const { return m_image; }
    qint64 usedBytes() const { return m_image.size(); }
    // At most the five latest files, in memory order.
    const QList<File> &files() const { return m_files; }
    // Where the recorded data end and erased space starts.
    qint64 dataEnd() const;

    // Erases everything; a new file is started with `header`.
    void eraseAndStart(const FileHeader &header);
    // Keeps only the latest file (moved to the start of the memory) and
    // starts a new one with `header` after it.
    void keepLatestAndStart(const FileHeader &header);

    // The file-list reply's page and offset of a byte address.
    static int pageOf(qint64 address) { return int(address / PageBytes); }
    static int offsetOf(qint64 address) { return int(address % PageBytes); }

    // Walks the records of an image the way the decoder does and returns
    // where each file header starts, with its install time, where the data
    // end, and when the last file's next record would be taken.
    struct Scan {
        QList<File> headers;
        qint64 dataEnd = 0;
        QDateTime nextSlot;        // UTC; invalid without a file header
        int intervalMinutes = 0;   // the last header's record interval
    };
    static Scan scan(const QByteArray &image);

private:
    void appendNewFile(const QByteArray &kept, const File *keptFile, const FileHeader &header);

    QByteArray m_image;
    QList<File> m_files;
};

#endif // SIMMEMORY_H
