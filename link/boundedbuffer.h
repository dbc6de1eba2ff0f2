#ifndef BOUNDEDBUFFER_H
#define BOUNDEDBUFFER_H

#include <QByteArray>
#include <QString>

// The byte store behind the chunk and message rules, with a fixed ceiling so
// that a peer that never sends a terminator cannot exhaust memory. The largest
// legitimate message is a few hundred bytes (a data block reply is 270), so the
// default ceiling leaves a wide margin.
//
//   BoundedBuffer buffer("TCPConnection::onReadyRead()", "receive buffer");
//   buffer.append(socket->readAll());   // may drop, with a "[Hata] " line
//   QByteArray all = buffer.take();
//
// When the stored bytes and the new ones together would pass the ceiling, the
// stored bytes are dropped and the new ones start afresh; new bytes that alone
// pass it are dropped too. Every drop writes one warning naming the owner.
class BoundedBuffer
{
public:
    static constexpr qsizetype DefaultCap = 64 * 1024;

    BoundedBuffer(const QString &owner, const QString &what, qsizetype cap = DefaultCap);

    void append(const QByteArray &bytes);
    // The whole content; the buffer is empty afterwards.
    QByteArray take();
    void clear();

    const QByteArray &bytes() const { return m_bytes; }
    qsizetype size() const { return m_bytes.size(); }
    bool isEmpty() const { return m_bytes.isEmpty(); }
    qsizetype cap() const { return m_cap; }
    // Bytes thrown away at the ceiling since construction.
    qint64 droppedBytes() const { return m_dropped; }

    // The warning written when `count` bytes are dropped.
    QString dropLine(qint64 count) const;

private:
    QByteArray m_bytes;
    QString m_owner;
    QString m_what;
    qsizetype m_cap;
    qint64 m_dropped = 0;
};

#endif // BOUNDEDBUFFER_H
