// The analysis of what a download collected: raw dump, validity check,
// decoding, the text export of every file and the station archive. The
// exports are on disk before the archive is written, so a database that
// fails (or a program closed meanwhile) never costs the user them.
#include "stationsession.h"

#include "archivelocation.h"
#include "debuglog.h"
#include "compactdownload.h"
#include "decodedownload.h"
#include "formtext.h"
#include "rawdump.h"
#include "stationarchive.h"
#include "timerthread.h"
#include "textexport.h"

#include <QCoreApplication>
#include <QTimer>

#include <cmath>

namespace {

// The newest instantaneous record of the download, for a collector's report.
void takeNewestRecord(const CompactDownload &decoded, StationOutcome &outcome)
{
    for (auto file = decoded.files.rbegin(); file != decoded.files.rend(); ++file) {
        for (auto r = file->records.crbegin(); r != file->records.crend(); ++r) {
            if (r->missing || r->type != 0 || r->msecs == LoggerBytes::NoTime)
                continue;
            outcome.newestRecord = QDateTime::fromMSecsSinceEpoch(r->msecs, Qt::UTC);
            outcome.newestLevel = r->value1;
            outcome.newestTemperature = r->value2;
            return;
        }
    }
}


// The "Veritabanı" notice on downloads kept beside the archived file they
// disagree with: the archive holds both, the user should know why.
QString revisionNote(const QList<ArchiveRevision> &revisions)
{
    QStringList lines;
    for (const ArchiveRevision &r : revisions)
        lines << FormText::tr("İstasyon %1, kurulum %2: aktarılan veri arşivdeki kayıtlarla uyuşmuyor "
                              "(arşivde %3 kayıt, bu aktarımda %4 kayıt). Arşivdeki kayıtlar korundu; "
                              "aktarılan veri dosyanın yeni bir sürümü olarak ayrıca kaydedildi.")
                     .arg(r.stationNo, r.installTime.toString(QStringLiteral("dd.MM.yyyy hh:mm")))
                     .arg(r.archivedRecords)
                     .arg(r.downloadedRecords);
    return lines.join(QStringLiteral("\n\n"));
}


} // namespace

void StationSession::analyseDownload(const QByteArray &data)
{
    m_timerThread->stop();
    m_watchdogTimer->stop();
    m_replyTimer->stop();

    emit analysisProgress(FormText::tr("Veri analiz ediliyor..."), 0, data.size());
    if (!m_rawDumpFile.isEmpty())
        RawDump::write(m_rawDumpFile, data);
    emit analysisProgress(FormText::tr("Veri ayrıştırılıyor..."), 0, -1);
    QCoreApplication::processEvents();

    if (!isValidDownload(data)) {
        emit progressHidden();
        finish(Download, StationOutcome::Failed, StationNotice::Critical, FormText::tr("Veri Hatası"),
               FormText::tr("Veri hatalı!\n\nLütfen tekrar aktarım yapın."));
        return;
    }

    // The view's bar moves in steps of about a hundredth: a repaint per
    // record of a full memory would cost more than the decoding.
    const qsizetype step = qMax<qsizetype>(1, data.size() / 100);
    qsizetype nextShown = 0;
    DecodeCallbacks report;
    report.positionReached = [&](qsizetype position) {
        if (position >= nextShown) {
            emit analysisProgress(QString(), position, -1);
            nextShown = position + step;
        }
    };
    report.headerFound = [&](const QDateTime &installTime) { emit installTimeFound(installTime); };
    const CompactDownload decoded = decodeCompact(data, report);

    if (decoded.files.empty()) {
        emit analysisEnded();
        // Without a header there is no station and no date to name the export after.
        finish(Download, StationOutcome::Failed, StationNotice::Critical, FormText::tr("Veri Hatası"),
               decoded.headerCut ? FormText::tr("Verideki dosya başlığı eksik.")
                                 : FormText::tr("Veride dosya başlığı bulunamadı."));
        return;
    }

    // Every file of the memory gets its export; of two files that name the
    // same export (same station, same install day) the later one is written.
    QString exportFailures;
    for (std::size_t i = 0; i < decoded.files.size(); ++i) {
        const CompactFile &file = decoded.files[i];
        if (decoded.exportReplacedLater(i)) {
            emit trace(QStringLiteral("(12) Export %1 replaced by a later file %2:%3")
                           .arg(file.exportPath, DebugLog::sourceName(__FILE__))
                           .arg(__LINE__));
            continue;
        }
        QString error;
        if (!TextExport::save(file, file.exportPath, &error))
            exportFailures += QLatin1Char('\n') + file.exportPath + QLatin1Char('\n') + error;
    }

    const ArchiveResult stored = archiveDownload(decoded);
    emit analysisEnded();

    StationOutcome outcome;
    takeNewestRecord(decoded, outcome);
    if (!stored.ok) {
        outcome.result = StationOutcome::Failed;
        outcome.error = FormText::tr("Veriler kaydedilemedi:") + QLatin1Char(' ') + stored.error;
        outcome.notices << StationNotice{StationNotice::Critical, FormText::tr("Veritabanı"),
                                         FormText::tr("Veriler kaydedilemedi:") + QLatin1Char('\n') + stored.error,
                                         QString()};
    } else if (!stored.revisions.isEmpty()) {
        outcome.notices << StationNotice{StationNotice::Warning, FormText::tr("Veritabanı"),
                                         revisionNote(stored.revisions), QString()};
    }
    if (!exportFailures.isEmpty()) {
        outcome.result = StationOutcome::Failed;
        const QString text = FormText::tr("Dosya yazılamadı:") + exportFailures;
        if (outcome.error.isEmpty())
            outcome.error = text;
        outcome.notices << StationNotice{StationNotice::Critical, FormText::tr("Aktarım"), text, QString()};
        finish(Download, outcome);
        return;
    }

    const CompactFile &newest = *decoded.newest();
    DownloadSummary &summary = outcome.summary;
    summary.archived = stored.ok;
    summary.newRecords = stored.recordsAdded;
    summary.newSummaries = stored.summariesAdded;
    summary.firstNewMsecs = stored.firstAddedMsecs;
    summary.lastNewMsecs = stored.lastAddedMsecs;
    summary.rowsAdded = stored.rowsAdded;
    for (const auto &file : decoded.files)
        summary.files << QStringLiteral("%1, %2").arg(
            file.header.stationNo, file.fileDate.toString(QStringLiteral("dd.MM.yyyy hh:mm")));
    summary.exportPath = newest.exportPath;
    outcome.hasSummary = true;
    outcome.exportToOpen = newest.exportPath;
    outcome.notices << StationNotice{StationNotice::Information, FormText::tr("Aktarım"),
                                     FormText::tr("Aktarım Tamamlandı"), summary.text()};
    finish(Download, outcome);
}

ArchiveResult StationSession::archiveDownload(const CompactDownload &decoded)
{
    emit analysisProgress(FormText::tr("Veriler kaydediliyor..."), 0, -1);
    QCoreApplication::processEvents();
    // An archive on a server is this thread's connection to it; the
    // session's own database is the SQLite file's.
    const std::unique_ptr<StationArchive> archive = ArchiveLocation::current().isServer()
        ? std::make_unique<StationArchive>()
        : std::make_unique<StationArchive>(m_archiveDatabase());
    const ArchiveResult stored = archive->store(decoded.files, [this](qint64 done, qint64 total) {
        emit analysisProgress(QString(), done, total);
    });
    emit trace(QStringLiteral("(13) Archive %1: %2 rows added, %3 removed %4:%5")
                   .arg(stored.ok ? QStringLiteral("stored") : stored.error)
                   .arg(stored.rowsAdded)
                   .arg(stored.rowsRemoved)
                   .arg(DebugLog::sourceName(__FILE__))
                   .arg(__LINE__));
    if (stored.ok)
        emit archiveChanged(stored.fileIds);
    return stored;
}
