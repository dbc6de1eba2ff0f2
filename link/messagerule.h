#ifndef MESSAGERULE_H
#define MESSAGERULE_H

#include "boundedbuffer.h"

#include <QByteArray>
#include <QString>

#include <optional>

// How a communication joins chunks into complete messages. One rule for every
// communication; each names itself in its diagnostic lines.
//
//   MessageRule rule("RS232Communication::onDataReceived()");
//   if (auto message = rule.feed(chunk))
//       emit dataReceived(*message);
//   rule.clear();                            // on open and close
//
// A message ends with a final CR, or is a data block ending in FB FB FB, or
// starts with "BITTI"; it is delivered exactly as received, terminator
// included. A block that does not start with "D" is delivered too, with one
// diagnostic line on the debug output.
class MessageRule
{
public:
    enum class Verdict { Incomplete, Message, StrayBlock };

    // owner: the "Class::method()" named in the diagnostic lines.
    explicit MessageRule(const QString &owner, qsizetype cap = BoundedBuffer::DefaultCap);

    // The rule itself: what the whole buffer `buffer` is.
    static Verdict judge(const QByteArray &buffer);
    // The diagnostic line for a block that does not start with "D": the
    // owner's text, a space, the bytes between double quotes (bytes outside
    // printable ASCII, the quote and the backslash written as escapes).
    static QString strayBlockLine(const QString &owner, const QByteArray &buffer);

    // Appends one chunk; the whole buffer when it is now a complete message.
    std::optional<QByteArray> feed(const QByteArray &chunk);
    void clear() { m_buffer.clear(); }

    const QByteArray &buffer() const { return m_buffer.bytes(); }
    qsizetype size() const { return m_buffer.size(); }
    qsizetype cap() const { return m_buffer.cap(); }
    qint64 droppedBytes() const { return m_buffer.droppedBytes(); }

private:
    BoundedBuffer m_buffer;
    QString m_owner;
};

#endif // MESSAGERULE_H
