// The download of the logger's used memory, block by block, and the analysis
// of what was collected: raw dump, validity check, decoding, text export.
#include "form.h"
#include "ui_form.h"

#include "aktblokitem.h"
#include "blockplan.h"
#include "commands.h"
#include "decodedownload.h"
#include "downloadsummary.h"
#include "messagebox.h"
#include "rawdump.h"
#include "stationarchive.h"
#include "timerthread.h"
#include "vlxfile.h"

#include <QCoreApplication>
#include <QDebug>
#include <QTime>
#include <QProgressDialog>
#include <QTimer>

bool Form::planTransfer()
{
    clearBlockPlan();
    m_transferData.clear();

    // The used-memory figure showFileList has just written, "<n> byte(s)".
    const QString shown = ui->txtKullanilanBellek->text();
    const qint64 total = shown.section(QLatin1Char(' '), 0, 0).toLongLong();

    if (total <= 0) {
        // Nothing to fetch: asking for block 0 would only wait for a reply
        // that has no data block to finish on.
        m_blockCount = 0;
        m_currentBlock = 0;
        // Nothing is awaited any more: a stray reply later on is no file list.
        m_pendingCommand = 0;
        hideProgress();
        MessageBox::information(this, tr("Veri Aktar"), tr("Cihazda aktarılacak veri yok."), tr("Tamam"));
        return false;
    }

    m_transferData.reserve(int(total));
    showPlan(planFromCopy(total));
    return true;
}

void Form::showPlan(const CopyPlan &plan)
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

    m_progress->setMinimum(0);
    m_progress->setMaximum(m_blockCount);
    m_progress->setValue(0);
    keepTransferWidth();
    updateTransferLabel();
    m_progress->show();
}

// The dialog grows to fit its text; with the longest text this transfer can
// show set once, it keeps its width instead of jumping with every message.
void Form::keepTransferWidth()
{
    const QString digits(QString::number(m_blockPlan.size()).size(), QLatin1Char('8'));
    const QString bytes(QString::number(m_lineBytes).size(), QLatin1Char('8'));
    QString longest = m_planNote;
    for (const QString &message :
         {tr("Yerel kopya cihazdakiyle uyuşmuyor; tüm bellek aktarılıyor."), tr("Boyut hatalı!"),
          QStringLiteral("[HATA] Blok: %1").arg(digits)}) {
        if (message.size() > longest.size())
            longest = message;
    }
    m_progress->setMinimumWidth(0);
    m_progress->setLabelText(transferLabelText(digits + QLatin1Char('/') + digits,
                                               tr("%1/%2 bayt").arg(bytes, bytes),
                                               tr("kalan %1").arg(QStringLiteral("88:88:88")), longest));
    m_progress->setMinimumWidth(m_progress->sizeHint().width());
}

void Form::requestBlock()
{
    setPending(Commands::PendingAKT);
    if (m_currentBlock < 0 || m_currentBlock >= m_blockPlan.size())
        return;
    const AKTBlokItem *item = m_blockPlan.at(m_currentBlock);
    const QByteArray request = Commands::akt(item->page(), item->offset());
    trace(QStringLiteral("(11) AKT Request  %1 %2:%3")
              .arg(m_currentBlock)
              .arg(DebugLog::sourceName(__FILE__))
              .arg(__LINE__));
    sendCommand(request, true);
}

void Form::handleBlockReply(const QByteArray &message)
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
    trace(QStringLiteral("(11) AKT Response %1 %2:%3")
              .arg(blockNo)
              .arg(DebugLog::sourceName(__FILE__))
              .arg(__LINE__));
    if (blockNo == m_lastBlockNo)
        return;   // a second answer to a request that was repeated

    m_lastBlockNo = blockNo;
    // The bar counts the blocks of this transfer that were accepted, as the
    // bytes of the label do.
    m_progress->setValue(qBound(0, m_currentBlock, m_progress->maximum()));
    m_transferMessage = m_planNote;
    updateTransferLabel();

    const int lastDataBlock = int(m_blockPlan.size()) - 2;
    if (blockNo == plannedBlockNo(m_currentBlock)) {
        const AKTBlokItem *item = m_blockPlan.at(m_currentBlock);
        if (message.size() != item->size() + 6 && m_currentBlock != lastDataBlock) {
            m_transferMessage = tr("Boyut hatalı!");
            qDebug() << message;
            updateTransferLabel();
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
            m_progress->setValue(qBound(0, m_currentBlock, m_progress->maximum()));
            updateTransferLabel();
        }
    }

    m_timerExpired = false;
    m_retryCount = 0;
    m_timerThread->start();
    requestBlock();
}

void Form::updateTransferLabel()
{
    const int accepted = qBound(0, m_currentBlock, m_blockCount);
    const qint64 fetched = accepted >= m_blockCount ? m_lineBytes : qint64(accepted) * BlockBytes;
    QString timeLeft;
    if (accepted > 0 && accepted < m_blockCount && m_transferClock.isValid()) {
        const qint64 seconds = m_transferClock.elapsed() * (m_blockCount - accepted) / accepted / 1000;
        const QTime left = QTime(0, 0).addSecs(int(qMin<qint64>(seconds, 86399)));
        timeLeft = tr("kalan %1").arg(left.toString(seconds >= 3600 ? QStringLiteral("h:mm:ss")
                                                                    : QStringLiteral("m:ss")));
    }
    m_progress->setLabelText(transferLabelText(
        QStringLiteral("%1/%2").arg(m_currentBlock + 1).arg(m_blockPlan.size()),
        tr("%1/%2 bayt").arg(fetched).arg(m_lineBytes), timeLeft, m_transferMessage));
}

QString Form::transferLabelText(const QString &packets, const QString &bytes, const QString &timeLeft,
                                const QString &message) const
{
    QString packetRow = packets + QStringLiteral(" · ") + bytes;
    if (!timeLeft.isEmpty())
        packetRow += QStringLiteral(" · ") + timeLeft;
    // The blocks a cancel, a dropped line or a silent logger would leave for
    // the next download, which asks only for what the copy lacks.
    const QString keptRow = m_keepingCopy
        ? QStringLiteral("<tr><th>%1</th><td>: %2</td></tr>")
              .arg(tr("Saklanan"), tr("%1 blok").arg(keptBlocks()))
        : QString();
    return QStringLiteral(
               "<html><head><style type=\"text/css\">"
               "table.akt caption { font-family: 'Lucida Sans Unicode', 'Lucida Grande', sans-serif;"
               " padding: .2em 0 .2em .5em; color: #4B4B4B; }"
               "table.akt th { text-align: left; }"
               "</style></head><body>"
               "<table class=\"akt\"><caption>%1</caption>"
               "<tr><th>%2</th><td>: %3</td></tr>"
               "<tr><th>%4</th><td>: %5</td></tr>"
               "<tr><th>%6</th><td>: %7</td></tr>"
               "%8"
               "</table></body></html>")
        .arg(tr("Veri İndiriliyor"), tr("Paket"), packetRow.toHtmlEscaped(), tr("Deneme"))
        .arg(m_retryCount + 1)
        .arg(tr("Mesaj"), message.toHtmlEscaped(), keptRow);
}

void Form::analyseDownload(const QByteArray &data)
{
    m_timerThread->stop();
    m_watchdogTimer->stop();

    m_progress->setRange(0, int(qMin<qsizetype>(data.size(), INT_MAX)));
    m_progress->setValue(0);
    m_progress->setLabelText(tr("Veri analiz ediliyor..."));

    RawDump::write(QStringLiteral("raw_data.txt"), data);

    m_progress->setValue(0);
    m_progress->setLabelText(tr("Veri ayrıştırılıyor..."));
    QCoreApplication::processEvents();

    if (!isValidDownload(data)) {
        hideProgress();
        MessageBox::critical(this, tr("Veri Hatası"), tr("Veri hatalı!\n\nLütfen tekrar aktarım yapın."),
                             tr("Tamam"));
        return;
    }

    // The bar moves in steps of about a hundredth: a repaint per record of
    // a full memory would cost more than the decoding.
    const qsizetype step = qMax<qsizetype>(1, data.size() / 100);
    qsizetype nextShown = 0;
    DecodeCallbacks report;
    report.positionReached = [&](qsizetype position) {
        if (position >= nextShown) {
            m_progress->setValue(int(qMin<qsizetype>(position, m_progress->maximum())));
            nextShown = position + step;
        }
    };
    report.headerFound = [&](const QDateTime &installTime) {
        ui->txtKurulumTarihi->setText(installTime.toString(QStringLiteral("dd.MM.yyyy hh:mm")));
    };
    const DecodedDownload decoded = decodeDownload(data, report);
    auto closeProgress = [this] {
        hideProgress();
        m_progress->setValue(0);
        m_progress->setLabelText(QString());
    };

    if (decoded.files.empty()) {
        closeProgress();
        // Without a header there is no station and no date to name the export after.
        MessageBox::critical(this, tr("Veri Hatası"),
                             decoded.headerCut ? tr("Verideki dosya başlığı eksik.")
                                               : tr("Veride dosya başlığı bulunamadı."),
                             tr("Tamam"));
        return;
    }

    // Every file of the memory gets its export; of two files that name the
    // same export (same station, same install day) the later one is written.
    QString exportFailures;
    for (std::size_t i = 0; i < decoded.files.size(); ++i) {
        const VLXFile &file = *decoded.files[i];
        if (decoded.exportReplacedLater(i)) {
            trace(QStringLiteral("(12) Export %1 replaced by a later file %2:%3")
                      .arg(file.exportPath(), DebugLog::sourceName(__FILE__))
                      .arg(__LINE__));
            continue;
        }
        QString error;
        if (!file.exportText(&error))
            exportFailures += QLatin1Char('\n') + file.exportPath() + QLatin1Char('\n') + error;
    }

    // The exports are on disk before the archive is written, so a database
    // that fails (or a program closed meanwhile) never costs the user them.
    const ArchiveResult stored = archiveDownload(decoded);
    closeProgress();

    if (!stored.ok)
        MessageBox::critical(this, tr("Veritabanı"),
                             tr("Veriler kaydedilemedi:") + QLatin1Char('\n') + stored.error, tr("Tamam"));
    if (!exportFailures.isEmpty()) {
        MessageBox::critical(this, tr("Aktarım"), tr("Dosya yazılamadı:") + exportFailures, tr("Tamam"));
        return;
    }
    const VLXFile &newest = *decoded.newest();
    DownloadSummary summary;
    summary.archived = stored.ok;
    summary.newRecords = stored.recordsAdded;
    summary.newSummaries = stored.summariesAdded;
    summary.firstNewMsecs = stored.firstAddedMsecs;
    summary.lastNewMsecs = stored.lastAddedMsecs;
    for (const auto &file : decoded.files)
        summary.files << QStringLiteral("%1, %2").arg(
            file->stationNo(), file->fileDate().toString(QStringLiteral("dd.MM.yyyy hh:mm")));
    summary.exportPath = newest.exportPath();
    summary.exportOpened = newest.openExport();
    MessageBox::informationWithDetails(this, tr("Aktarım"), tr("Aktarım Tamamlandı"), summary.text(),
                                       tr("Tamam"));
}

ArchiveResult Form::archiveDownload(const DecodedDownload &decoded)
{
    m_progress->setLabelText(tr("Veriler kaydediliyor..."));
    m_progress->setValue(0);
    QCoreApplication::processEvents();
    StationArchive archive;
    const ArchiveResult stored = archive.store(decoded.files, [this](qint64 done, qint64 total) {
        // The bar's range is an int; a full memory has about 2.3 million rows.
        m_progress->setRange(0, int(qMin<qint64>(total, INT_MAX)));
        m_progress->setValue(int(qMin<qint64>(done, m_progress->maximum())));
    });
    trace(QStringLiteral("(13) Archive %1: %2 rows added, %3 removed %4:%5")
              .arg(stored.ok ? QStringLiteral("stored") : stored.error)
              .arg(stored.rowsAdded)
              .arg(stored.rowsRemoved)
              .arg(DebugLog::sourceName(__FILE__))
              .arg(__LINE__));
    if (stored.ok)
        emit archiveChanged(stored.fileIds);
    return stored;
}
