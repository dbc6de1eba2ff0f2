#include "copyplan.h"

#include "records.h"

CopyPlan planWithCopy(qint64 usedBytes, qint64 stableEnd)
{
    CopyPlan plan;
    const QList<BlockSpec> whole = planBlocks(usedBytes);
    const int dataBlocks = int(whole.size()) - 1;
    const qint64 total = qBound(qint64(0), usedBytes, LoggerMemoryBytes);
    if (stableEnd <= 0 || stableEnd > total) {
        plan.blocks = whole;
        plan.uses = QList<BlockUse>(dataBlocks, BlockUse::Fetch);
        return plan;
    }

    const int holding = int((stableEnd - 1) / BlockBytes);   // its last stable byte
    plan.firstFetched = int(stableEnd / BlockBytes);          // its first byte past the stable end
    QList<int> order;
    if (holding > 0) {
        order.append(0);
        plan.uses.append(BlockUse::Verify);
    }
    order.append(holding);
    plan.uses.append(plan.firstFetched == holding ? BlockUse::VerifyAndFetch : BlockUse::Verify);
    plan.verifyCount = int(order.size());
    for (int block = holding + 1; block < dataBlocks; ++block) {
        order.append(block);
        plan.uses.append(BlockUse::Fetch);
    }

    for (int i = 0; i < order.size(); ++i) {
        BlockSpec planned = whole.at(order.at(i));
        planned.index = i;
        plan.blocks.append(planned);
    }
    BlockSpec closing = whole.last();
    closing.index = int(order.size());
    plan.blocks.append(closing);
    return plan;
}

int blockNumberAt(int page, int offset)
{
    return int((qint64(page) * PageBytes + offset) / BlockBytes);
}

bool agreesWithCopy(const QByteArray &copy, qint64 stableEnd, qint64 address, const QByteArray &payload)
{
    const qint64 stable = qMin<qint64>(qMin<qint64>(stableEnd, copy.size()) - address, BlockBytes);
    if (stable <= 0)
        return true;
    return payload.size() >= stable
           && QByteArrayView(payload).first(stable) == QByteArrayView(copy).sliced(address, stable);
}
