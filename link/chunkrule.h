#ifndef CHUNKRULE_H
#define CHUNKRULE_H

#include "boundedbuffer.h"

#include <QByteArray>
#include <QString>

#include <optional>

// How a connection cuts the bytes it reads into chunks. One rule for every
// connection; only the serial line also knows the modem's "CONNECT" answer.
//
//   ChunkRule rule("RS232Connection::onReadyRead()", ChunkRule::ConnectEndsChunk);
//   rule.setBinaryReply(binaryReply);        // on every send
//   rule.append(port->readAll());            // on every read
//   if (auto chunk = rule.take())            // after every read
//       emit dataReceived(*chunk);
//
// The rule looks at the whole accumulated buffer, as it is after a read: in
// text mode a final CR ends the chunk; in binary mode a leading "BITTI" or a
// final FB FB FB does. Bytes that do not end a chunk stay for the next read,
// so what was left over from an earlier exchange stays in front of the next
// reply. Nothing is trimmed or added.
//
// While the GSM link talks to its modem (dialing, hanging up) the rule also
// takes modem answers: a modem ends each answer with CR LF ("\r\nOK\r\n"),
// so a final CR LF ends the chunk too. The logger's traffic never turns it on.
class ChunkRule
{
public:
    enum ConnectStep { ConnectIgnored, ConnectEndsChunk };

    // owner: the "Class::method()" named when the buffer is dropped at its cap.
    ChunkRule(const QString &owner, ConnectStep connectStep,
              qsizetype cap = BoundedBuffer::DefaultCap);

    // The rule itself: whether `buffer` is a complete chunk.
    static bool isComplete(const QByteArray &buffer, bool binaryReply, ConnectStep connectStep,
                           bool modemAnswers = false);

    void setBinaryReply(bool binary) { m_binaryReply = binary; }
    bool binaryReply() const { return m_binaryReply; }
    // Whether a final CR LF (the end of a modem answer) also ends a chunk.
    void setModemAnswers(bool on) { m_modemAnswers = on; }
    bool modemAnswers() const { return m_modemAnswers; }

    // Bytes just read from the device.
    void append(const QByteArray &bytes) { m_buffer.append(bytes); }
    // The whole buffer when it is a complete chunk (the buffer is then empty).
    std::optional<QByteArray> take();

    const QByteArray &buffer() const { return m_buffer.bytes(); }
    qsizetype size() const { return m_buffer.size(); }
    qsizetype cap() const { return m_buffer.cap(); }
    qint64 droppedBytes() const { return m_buffer.droppedBytes(); }

private:
    BoundedBuffer m_buffer;
    ConnectStep m_connectStep;
    bool m_binaryReply = false;
    bool m_modemAnswers = false;
};

#endif // CHUNKRULE_H
