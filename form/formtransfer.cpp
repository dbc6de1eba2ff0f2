// The download of the logger's used memory, block by block, and the analysis
// of what was collected: raw dump, validity check, decoding, text export.
#include "form.h"
#include "ui_form.h"

#include "aktblokitem.h"
#include "blockplan.h"
#include "commands.h"
#include "decodedownload.h"
#include "messagebox.h"
#include "rawdump.h"
#include "stationarchive.h"
#include "timerthread.h"
#include "vlxfile.h"

#include <QCoreApplication>
#include <QDebug>
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

    m_progress->setMinimum(0);
    m_progress->setMaximum(m_blockCount);
    m_progress->setValue(0);
    updateTransferLabel();
    m_progress->show();
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
    // Replies carry the block's number in the memory, the bar counts the
    // blocks of this transfer: the two differ by the blocks the copy stands for.
    const int planOffset = plannedBlockNo(m_currentBlock) - m_currentBlock;
    m_progress->setValue(qBound(0, blockNo - planOffset, m_progress->maximum()));
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
        }
    }

    m_timerExpired = false;
    m_retryCount = 0;
    m_timerThread->start();
    requestBlock();
}

void Form::updateTransferLabel()
{
    const QString text = QStringLiteral(
        "<html><head><style type=\"text/css\">"
        "table.akt caption { font-family: 'Lucida Sans Unicode', 'Lucida Grande', sans-serif;"
        " padding: .2em 0 .2em .5em; color: #4B4B4B; }"
        "table.akt th { text-align: left; }"
        "</style></head><body>"
        "<table class=\"akt\"><caption>%1</caption>"
        "<tr><th>%2</th><td>: %3/%4</td></tr>"
        "<tr><th>%5</th><td>: %6</td></tr>"
        "<tr><th>%7</th><td>: %8</td></tr>"
        "</table></body></html>")
                             .arg(tr("Veri İndiriliyor"), tr("Paket"))
                             .arg(m_currentBlock + 1)
                             .arg(m_blockPlan.size())
                             .arg(tr("Deneme"))
                             .arg(m_retryCount + 1)
                             .arg(tr("Mesaj"), m_transferMessage.toHtmlEscaped());
    m_progress->setLabelText(text);
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
    decoded.newest()->openExport();
    MessageBox::information(this, tr("Aktarım"), tr("Aktarım Tamamlandı"), tr("Tamam"));
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
