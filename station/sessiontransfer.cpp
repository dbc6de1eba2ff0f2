// The download of the logger's used memory, block by block, with the kept
// copy of the memory: what to ask for when a copy exists, checking the copy
// against the logger, keeping every accepted block, and where the transfer
// stands.
#include "stationsession.h"

#include "aktblokitem.h"
#include "blockplan.h"
#include "commands.h"
#include "debuglog.h"
#include "decodedownload.h"
#include "formtext.h"
#include "memorycopy.h"
#include "paths.h"
#include "timerthread.h"
#include "waits.h"

#include <QDebug>
#include <QTimer>

void StationSession::startTransfer(const QByteArray &reply)
{
    readFileList(reply);
    if (!planTransfer())
        return;
    m_timerExpired = false;
    m_timerThread->start();
    m_watchdogTimer->start();
    m_retryCount = 0;
    m_lastBlockNo = -1;
    Waits::sleep(Waits::current().blockPause);
    requestBlock();
}

bool StationSession::planTransfer()
{
    clearBlockPlan();
    m_transferData.clear();

    // The used-memory figure of the file list that opened this transfer.
    const qint64 total = m_fileListRecord.usedBytes;
    if (total <= 0) {
        // Nothing to fetch: asking for block 0 would only wait for a reply
        // that has no data block to finish on.
        m_blockCount = 0;
        m_currentBlock = 0;
        // Nothing is awaited any more: a stray reply later on is no file list.
        m_pendingCommand = 0;
        emit progressHidden();
        finish(Download, StationOutcome::Done, StationNotice::Information, FormText::tr("Veri Aktar"),
               FormText::tr("Cihazda aktarılacak veri yok."));
        return false;
    }

    m_transferData.reserve(int(total));
    showPlan(planFromCopy(total));
    return true;
}

void StationSession::showPlan(const CopyPlan &plan)
{
    clearBlockPlan();
    m_copyPlan = plan;
    for (const BlockSpec &planned : plan.blocks) {
        auto *item = new AKTBlokItem();
        item->setIndex(planned.index);
        item->setPage(planned.page);
        item->setOffset(planned.offset);
        item->setSize(planned.size);
        m_blockPlan.append(item);
    }
    m_blockCount = int(m_blockPlan.size()) - 1;
    m_currentBlock = 0;
    m_transferMessage = m_planNote;
    m_lineBytes = 0;
    for (const BlockSpec &planned : plan.blocks.mid(0, m_blockCount))
        m_lineBytes += planned.size;
    m_transferClock.start();
    emit transferPlanned(transferProgress());
}

TransferProgress StationSession::transferProgress() const
{
    TransferProgress p;
    p.packet = m_currentBlock + 1;
    p.packets = int(m_blockPlan.size());
    p.blockCount = m_blockCount;
    p.accepted = qBound(0, m_currentBlock, m_blockCount);
    p.attempt = m_retryCount + 1;
    p.plannedBytes = m_lineBytes;
    p.fetchedBytes = p.accepted >= m_blockCount ? m_lineBytes : qint64(p.accepted) * BlockBytes;
    if (p.accepted > 0 && p.accepted < m_blockCount && m_transferClock.isValid())
        p.secondsLeft = m_transferClock.elapsed() * (m_blockCount - p.accepted) / p.accepted / 1000;
    p.keepingCopy = m_keepingCopy;
    p.keptBlocks = keptBlocks();
    p.message = m_transferMessage;
    p.planNote = m_planNote;
    p.widestMessage = widestTransferMessage();
    return p;
}

// The messages a transfer of this plan can show, the longest first: a view
// that keeps one width sizes itself by it.
QString StationSession::widestTransferMessage() const
{
    QString longest = m_planNote;
    for (const QString &message :
         {FormText::tr("Yerel kopya cihazdakiyle uyuşmuyor; tüm bellek aktarılıyor."),
          FormText::tr("Boyut hatalı!"),
          QStringLiteral("[HATA] Blok: %1")
              .arg(QString(QString::number(m_blockPlan.size()).size(), QLatin1Char('8')))}) {
        if (message.size() > longest.size())
            longest = message;
    }
    return longest;
}

void StationSession::reportTransfer() { emit transferProgressed(transferProgress()); }

void StationSession::requestBlock()
{
    m_pendingCommand = Commands::PendingAKT;
    if (m_currentBlock < 0 || m_currentBlock >= m_blockPlan.size())
        return;
    const AKTBlokItem *item = m_blockPlan.at(m_currentBlock);
    const QByteArray request = Commands::akt(item->page(), item->offset());
    emit trace(QStringLiteral("(11) AKT Request  %1 %2:%3")
                   .arg(m_currentBlock)
                   .arg(DebugLog::sourceName(__FILE__))
                   .arg(__LINE__));
    ++m_blockRequests;
    sendCommand(request, true);
}

void StationSession::handleBlockReply(const QByteArray &message)
{
    const BlockReply reply = readBlockReply(message);
    if (reply.kind == BlockReply::EndMarker) {
        m_watchdogTimer->stop();
        analyseDownload(m_transferData);
        return;
    }
    if (reply.kind == BlockReply::NotData) {
        // Asked again by the time-out rule.
        m_transferMessage = QStringLiteral("[HATA] Blok: %1").arg(m_currentBlock + 1);
        return;
    }

    const int blockNo = reply.blockNo;
    emit trace(QStringLiteral("(11) AKT Response %1 %2:%3")
                   .arg(blockNo)
                   .arg(DebugLog::sourceName(__FILE__))
                   .arg(__LINE__));
    if (blockNo == m_lastBlockNo)
        return;   // a second answer to a request that was repeated

    m_lastBlockNo = blockNo;
    m_transferMessage = m_planNote;
    reportTransfer();

    const int lastDataBlock = int(m_blockPlan.size()) - 2;
    if (blockNo == plannedBlockNo(m_currentBlock)) {
        const AKTBlokItem *item = m_blockPlan.at(m_currentBlock);
        if (message.size() != item->size() + 6 && m_currentBlock != lastDataBlock) {
            m_transferMessage = FormText::tr("Boyut hatalı!");
            qDebug() << message;
            reportTransfer();
            --m_lastBlockNo;   // the repeated answer is no duplicate
            requestBlock();
            return;
        }
        // False when the copy disagreed: the whole memory is planned anew
        // and its first block is asked for below.
        if (takeBlock(reply.payload)) {
            if (m_currentBlock == lastDataBlock) {
                analyseDownload(m_transferData);
                return;
            }
            ++m_currentBlock;
            reportTransfer();
        }
    }

    m_timerExpired = false;
    m_retryCount = 0;
    m_timerThread->start();
    requestBlock();
}

void StationSession::clearBlockPlan()
{
    qDeleteAll(m_blockPlan);
    m_blockPlan.clear();
}

// The kept copy

CopyPlan StationSession::planFromCopy(qint64 usedBytes)
{
    m_plannedBytes = usedBytes;
    m_copy.clear();
    m_copyStableEnd = 0;
    m_planNote.clear();
    // The serial number the parameter read gave; without one nothing tells
    // this logger's copy from another's.
    m_copySerial = m_parameters ? m_parameters->serialNo.trimmed() : QString();
    if (!m_copySerial.isEmpty() && !m_memoryCopy)
        m_memoryCopy = MemoryCopy::forArchive();
    m_keepingCopy = false;
    m_keptBytes = 0;
    if (m_copySerial.isEmpty() || !m_memoryCopy->isOpen()) {
        m_copySerial.clear();
        return planWithCopy(usedBytes, 0);
    }
    m_keepingCopy = true;

    if (!m_wholeMemory) {
        m_copy = m_memoryCopy->load(m_copySerial);
        if (!m_copy.isEmpty())
            m_copyStableEnd = parsedEnd(m_copy);
    }
    const CopyPlan plan = planWithCopy(usedBytes, m_copyStableEnd);
    if (plan.fromCopy()) {
        m_keptBytes = m_copy.size();
        m_planNote = FormText::tr("Yalnızca yeni veriler: blok %1 ve sonrası").arg(plan.firstFetched + 1);
    } else {
        // Asked for, or the memory was erased since: this transfer makes a new copy.
        m_copy.clear();
        m_memoryCopy->discard(m_copySerial);
    }
    return plan;
}

bool StationSession::takeBlock(const QByteArray &payload)
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

void StationSession::planWholeMemoryAgain()
{
    m_copy.clear();
    m_copyStableEnd = 0;
    if (!m_copySerial.isEmpty())
        m_memoryCopy->discard(m_copySerial);
    m_keptBytes = 0;
    m_planNote = FormText::tr("Yerel kopya cihazdakiyle uyuşmuyor; tüm bellek aktarılıyor.");
    m_transferData.clear();
    // Block 0 comes again and must not count as a repeated answer.
    m_lastBlockNo = -1;
    showPlan(planWithCopy(m_plannedBytes, 0));
}

int StationSession::plannedBlockNo(int index) const
{
    if (index < 0 || index >= m_blockPlan.size())
        return -1;
    const AKTBlokItem *item = m_blockPlan.at(index);
    return blockNumberAt(item->page(), item->offset());
}

int StationSession::keptBlocks() const { return int((m_keptBytes + BlockBytes - 1) / BlockBytes); }

QString StationSession::keptForNextTry() const
{
    if (!m_keepingCopy)
        return QString();
    return FormText::tr("Sonraki deneme için saklanan: %1 blok").arg(keptBlocks());
}
