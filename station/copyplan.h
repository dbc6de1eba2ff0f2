#ifndef COPYPLAN_H
#define COPYPLAN_H

#include "blockplan.h"

#include <QByteArray>
#include <QList>

// The plan of a transfer that starts from the kept copy of the logger's
// memory. The logger writes from address 0 upwards over erased space, so the
// copy's bytes up to its stable end (where its decoding stops, at the erased
// space after its last record) stay as they are until the memory is erased.
// Block 0 and the block holding the stable end are asked again and compared
// with the copy; when both agree, only the blocks from the stable end on are
// new.
//
//   CopyPlan plan = planWithCopy(usedBytes, decodeDownload(copy).end);
//   for each reply: if (plan.uses[i] != BlockUse::Fetch && !agreesWithCopy(...)) // whole memory
//   data = copy.left(plan.firstFetched * 264) + payloads of the Fetch blocks

enum class BlockUse {
    Fetch,            // new data: kept
    Verify,           // compared with the copy, then dropped
    VerifyAndFetch,   // compared with the copy over its stable bytes, then kept
};

struct CopyPlan {
    // As planBlocks: request order, index = position, the closing item last.
    QList<BlockSpec> blocks;
    QList<BlockUse> uses;     // one per data block
    int verifyCount = 0;      // the first blocks that are compared with the copy; 0: whole memory
    int firstFetched = 0;     // block number of the first kept block; the copy gives the bytes before it

    bool fromCopy() const { return verifyCount > 0; }
};

// The whole memory (planBlocks) when there is no stable end (0 or less) or
// when it lies past the used memory (the memory was erased since); otherwise
// block 0, the block holding the stable end (the one before it when the
// stable end is on a block boundary) and every block after that one.
CopyPlan planWithCopy(qint64 usedBytes, qint64 stableEnd);

// The block number of the block starting at (page, offset): address / 264,
// as the logger numbers its replies.
int blockNumberAt(int page, int offset);

// True when the payload of the block at `address` holds the copy's bytes
// wherever the copy is stable (below stableEnd).
bool agreesWithCopy(const QByteArray &copy, qint64 stableEnd, qint64 address, const QByteArray &payload);

#endif // COPYPLAN_H
