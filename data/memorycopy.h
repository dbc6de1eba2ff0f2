#ifndef MEMORYCOPY_H
#define MEMORYCOPY_H

#include <QByteArray>
#include <QString>

#include <memory>

// The kept copies of the loggers' memories, one per serial number: the bytes
// from address 0 that transfers fetched and accepted, block by block. It is
// the only code that touches their SQLite file, through a connection of its
// own (never the default one of data.db).
//
//   MemoryCopy copy(Paths::memoryCopyFile());
//   QByteArray kept = copy.load(serialNo);          // empty: no usable copy
//   copy.storeBlock(serialNo, 264, payload);        // the copy now ends with this block
//   copy.discard(serialNo);
//
// On a server (forArchive) the copies are rows of its table memory_copy, one
// per serial number and block address with the block as bytea; a copy that
// fails its check is discarded there too, but the table is never made anew.
//
// Every block is written in one transaction, so a crash or a failed write
// leaves the copy as it was before that block. Each block carries a CRC-32
// that load() checks; a copy that fails the check is discarded, never handed out.
class MemoryCopy
{
public:
    explicit MemoryCopy(const QString &fileName);
    // The copies where the archive is (ArchiveLocation::current()): the
    // table memory_copy of the server, with the same blocks and checksums,
    // or Paths::memoryCopyFile().
    static std::unique_ptr<MemoryCopy> forArchive();
    ~MemoryCopy();
    MemoryCopy(const MemoryCopy &) = delete;
    MemoryCopy &operator=(const MemoryCopy &) = delete;

    // False when the file could neither be opened nor made anew.
    bool isOpen() const;

    // The copy kept for this serial number, from address 0; empty when there
    // is none, or when it failed its check (it is then discarded).
    QByteArray load(const QString &serialNo);
    // Keeps `bytes` as the block at `address` and drops every block after it:
    // the copy ends with the block just accepted. False on failure, with the
    // copy as it was before.
    bool storeBlock(const QString &serialNo, qint64 address, const QByteArray &bytes);
    // Forgets the copy of this serial number.
    bool discard(const QString &serialNo);

    // The driver's text of the last failure.
    QString errorText() const { return m_error; }

    // CRC-32 (IEEE 802.3) of the block's address, eight bytes most
    // significant first, followed by its bytes.
    static quint32 blockChecksum(qint64 address, const QByteArray &bytes);

private:
    struct Statements;
    MemoryCopy(const QString &, const QString &serverName);   // on the current server
    bool openOnServer();

    bool open();
    bool recreate();
    void close();
    bool fail(const char *method, const QString &error);

    QString m_fileName;      // the file, or the server's name
    QString m_connection;
    bool m_onServer = false;
    std::unique_ptr<Statements> m_statements;
    QString m_error;
};

#endif // MEMORYCOPY_H
