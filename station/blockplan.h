#ifndef BLOCKPLAN_H
#define BLOCKPLAN_H

#include <QByteArray>
#include <QList>

// The plan of a transfer and the reading of one block reply.
//
//   QList<BlockSpec> plan = planBlocks(1000);  // 264, 264, 264, 208, closing item
//   BlockReply r = readBlockReply(message);
struct BlockSpec {
    int index = 0;
    int page = 0;
    int offset = 0;
    int size = 0;     // payload bytes expected: 1..264; 6 for the closing item
};

// Blocks of 264 bytes from address 0 up to `usedBytes`, the last one shorter
// when there is a remainder, followed by the closing item (index = block
// count, page 0, offset 0, size 6) that is never requested. A figure below 0
// or above the logger's memory is taken as 0 or as the whole memory.
QList<BlockSpec> planBlocks(qint64 usedBytes);

struct BlockReply {
    enum Kind { EndMarker, NotData, Data };
    Kind kind = NotData;
    int blockNo = -1;        // bytes 1 and 2, most significant first (Data only; -1 when missing)
    QByteArray payload;      // bytes 3 .. length-4 (Data only; empty when too short)
};

// "BITTI" 0x02 anywhere: EndMarker; first byte not 'D' (or no byte): NotData;
// otherwise Data. A "D" reply shorter than 6 bytes is Data with what it has.
BlockReply readBlockReply(const QByteArray &message);

#endif // BLOCKPLAN_H
