// Arbitrary byte streams, cut into arbitrary reads, through the chunk rule and
// the message rule, as a connection and its communication run them.
//
// Input layout: byte 0 picks the ceiling of both buffers (small, so that the
// ceiling is hit often) and whether the modem's "CONNECT" ends a chunk; then a
// stream of commands: a control byte with the high bit set changes the reply
// mode (bit 0) or, as 0xFF, empties the message buffer (open/close); any other
// control byte c is followed by a read of c bytes (fewer at the end).
//
// Checked after every step: no buffer above its ceiling, every chunk and every
// message is complete by its rule, and no byte is lost, doubled or invented:
// what went in equals what came out, what is still held and what was dropped.

#include "chunkrule.h"
#include "messagerule.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "link rule invariant broken: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The rules write a diagnostic line at every drop; far too many here.
    qInstallMessageHandler(quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const qsizetype cap = 8 + (data[0] & 0x7F) * 4;
    const auto step = (data[0] & 0x80) ? ChunkRule::ConnectEndsChunk : ChunkRule::ConnectIgnored;

    ChunkRule chunks(QStringLiteral("Fuzz::read()"), step, cap);
    MessageRule messages(QStringLiteral("Fuzz::chunk()"), cap);

    qint64 readIn = 0, chunkedOut = 0, messagedOut = 0, clearedOut = 0;
    size_t at = 1;
    while (at < size) {
        const uint8_t control = data[at++];
        if (control == 0xFF) {
            clearedOut += messages.size();
            messages.clear();
            continue;
        }
        if (control & 0x80) {
            chunks.setBinaryReply(control & 1);
            continue;
        }
        const size_t length = qMin<size_t>(control, size - at);
        const QByteArray read(reinterpret_cast<const char *>(data + at), qsizetype(length));
        at += length;

        const bool binary = chunks.binaryReply();
        chunks.append(read);
        readIn += read.size();
        check(chunks.size() <= cap, "receive buffer above its ceiling");
        if (auto chunk = chunks.take()) {
            check(!chunk->isEmpty(), "empty chunk");
            check(ChunkRule::isComplete(*chunk, binary, step), "incomplete chunk delivered");
            check(chunks.size() == 0, "receive buffer kept after a chunk");
            chunkedOut += chunk->size();
            if (auto message = messages.feed(*chunk)) {
                check(MessageRule::judge(*message) != MessageRule::Verdict::Incomplete,
                      "incomplete message delivered");
                check(messages.size() == 0, "message buffer kept after a message");
                messagedOut += message->size();
            }
        } else {
            check(!ChunkRule::isComplete(chunks.buffer(), binary, step),
                  "complete chunk held back");
        }
        check(messages.size() <= cap, "message buffer above its ceiling");
        check(MessageRule::judge(messages.buffer()) == MessageRule::Verdict::Incomplete,
              "complete message held back");
        check(readIn == chunkedOut + chunks.size() + chunks.droppedBytes(),
              "receive bytes not conserved");
        check(chunkedOut == messagedOut + messages.size() + messages.droppedBytes() + clearedOut,
              "message bytes not conserved");
    }
    return 0;
}
