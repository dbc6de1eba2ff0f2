// The transfer's use of the kept copy of the logger's memory: what to ask
// for when a copy exists, checking the copy against the logger, and keeping
// every accepted block in it.
#include "form.h"
#include "ui_form.h"

#include "aktblokitem.h"
#include "decodedownload.h"
#include "memorycopy.h"
#include "paths.h"
#include "vlxfile.h"

CopyPlan Form::planFromCopy(qint64 usedBytes)
{
    m_plannedBytes = usedBytes;
    m_copy.clear();
    m_copyStableEnd = 0;
    m_planNote.clear();
    // The serial number the parameter read has shown; without one nothing
    // tells this logger's copy from another's.
    m_copySerial = ui->txtSeriNo->text().trimmed();
    if (!m_copySerial.isEmpty() && !m_memoryCopy)
        m_memoryCopy = std::make_unique<MemoryCopy>(Paths::memoryCopyFile());
    m_keepingCopy = false;
    m_keptBytes = 0;
    if (m_copySerial.isEmpty() || !m_memoryCopy->isOpen()) {
        m_copySerial.clear();
        return planWithCopy(usedBytes, 0);
    }
    m_keepingCopy = true;

    if (!ui->cbTumBellek->isChecked()) {
        m_copy = m_memoryCopy->load(m_copySerial);
        if (!m_copy.isEmpty())
            m_copyStableEnd = decodeDownload(m_copy).end;
    }
    const CopyPlan plan = planWithCopy(usedBytes, m_copyStableEnd);
    if (plan.fromCopy()) {
        m_keptBytes = m_copy.size();
        m_planNote = tr("Yalnızca yeni veriler: blok %1 ve sonrası").arg(plan.firstFetched + 1);
    } else {
        // Asked for, or the memory was erased since: this transfer makes a new copy.
        m_copy.clear();
        m_memoryCopy->discard(m_copySerial);
    }
    return plan;
}

bool Form::takeBlock(const QByteArray &payload)
{
    const AKTBlokItem *item = m_blockPlan.at(m_currentBlock);
    const qint64 address = qint64(item->page()) * PageBytes + item->offset();
    const BlockUse use = m_copyPlan.uses.value(m_currentBlock, BlockUse::Fetch);
    if (use != BlockUse::Fetch && !agreesWithCopy(m_copy, m_copyStableEnd, address, payload)) {
        planWholeMemoryAgain();
        return false;
    }
    if (m_currentBlock + 1 == m_copyPlan.verifyCount) {
        // The logger still holds what the copy holds: the copy stands for
        // every block before the first new one.
        m_transferData = m_copy.left(qsizetype(m_copyPlan.firstFetched) * BlockBytes);
        m_copy.clear();
    }
    if (use == BlockUse::Verify)
        return true;

    m_transferData.append(payload);
    // The last block of the memory is accepted whatever its length; the copy
    // takes only the bytes of its own addresses. A block that cannot be kept
    // ends the keeping for this transfer, so the copy never has a hole.
    if (!m_copySerial.isEmpty()) {
        const QByteArray kept = payload.left(item->size());
        if (m_memoryCopy->storeBlock(m_copySerial, address, kept))
            m_keptBytes = address + kept.size();
        else
            m_copySerial.clear();
    }
    return true;
}

void Form::planWholeMemoryAgain()
{
    m_copy.clear();
    m_copyStableEnd = 0;
    if (!m_copySerial.isEmpty())
        m_memoryCopy->discard(m_copySerial);
    m_keptBytes = 0;
    m_planNote = tr("Yerel kopya cihazdakiyle uyuşmuyor; tüm bellek aktarılıyor.");
    m_transferData.clear();
    // Block 0 comes again and must not count as a repeated answer.
    m_lastBlockNo = -1;
    showPlan(planWithCopy(m_plannedBytes, 0));
}

int Form::keptBlocks() const { return int((m_keptBytes + BlockBytes - 1) / BlockBytes); }

int Form::plannedBlockNo(int index) const
{
    if (index < 0 || index >= m_blockPlan.size())
        return -1;
    const AKTBlokItem *item = m_blockPlan.at(index);
    return blockNumberAt(item->page(), item->offset());
}
