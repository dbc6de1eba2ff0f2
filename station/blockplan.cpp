#include "blockplan.h"

#include "records.h"

QList<BlockSpec> planBlocks(qint64 usedBytes)
{
    // Never more than the logger's memory, whatever the figure says.
    const qint64 total = qBound(qint64(0), usedBytes, LoggerMemoryBytes);
    const int blockCount = int((total + BlockBytes - 1) / BlockBytes);

    QList<BlockSpec> plan;
    plan.reserve(blockCount + 1);
    for (int i = 0; i < blockCount; ++i) {
        const qint64 address = qint64(i) * BlockBytes;
        BlockSpec block;
        block.index = i;
        block.page = int(address / PageBytes);
        block.offset = int(address % PageBytes);
        block.size = int(qMin(qint64(BlockBytes), total - address));
        plan.append(block);
    }
    // The closing item is never requested; it marks the end of the plan.
    BlockSpec closing;
    closing.index = blockCount;
    closing.size = 6;
    plan.append(closing);
    return plan;
}

BlockReply readBlockReply(const QByteArray &message)
{
    BlockReply reply;
    if (message.contains(QByteArray("BITTI\x02"))) {
        reply.kind = BlockReply::EndMarker;
        return reply;
    }
    if (message.isEmpty() || message.at(0) != 'D')
        return reply;

    // 'D', block number (2 bytes, high first), payload, 0xFB 0xFB 0xFB.
    reply.kind = BlockReply::Data;
    if (message.size() >= 3)
        reply.blockNo = (uchar(message.at(1)) << 8) | uchar(message.at(2));
    if (message.size() > 6)
        reply.payload = message.mid(3, message.size() - 6);
    return reply;
}
