// The working form's view of the operations: the progress dialog of a
// download and of its analysis, and the boxes each operation ends with.
#include "form.h"
#include "ui_form.h"

#include "desktopfile.h"
#include "messagebox.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <QTime>

#include <climits>

void Form::on_btnParametreOku_clicked() { m_session->readParameters(); }

void Form::on_btnVeriAktar_clicked() { sendVER(); }

void Form::sendVER() { m_session->download(ui->cbTumBellek->isChecked()); }

void Form::onPrgDlgCancelled() { m_session->cancel(); }

void Form::onTransferPlanned(const TransferProgress &progress)
{
    m_progress->setMinimum(0);
    m_progress->setMaximum(progress.blockCount);
    m_progress->setValue(0);

    // The dialog grows to fit its text; with the longest text this transfer
    // can show set once, it keeps its width instead of jumping with every
    // message.
    TransferProgress widest = progress;
    const QString digits(QString::number(progress.packets).size(), QLatin1Char('8'));
    widest.packet = digits.toInt();
    widest.packets = widest.packet;
    widest.fetchedBytes = QString(QString::number(progress.plannedBytes).size(), QLatin1Char('8')).toLongLong();
    widest.plannedBytes = widest.fetchedBytes;
    widest.secondsLeft = 88 * 3600;
    widest.keptBlocks = widest.packet;
    widest.message = progress.widestMessage;
    m_progress->setMinimumWidth(0);
    m_progress->setLabelText(transferLabelText(widest));
    m_progress->setMinimumWidth(m_progress->sizeHint().width());

    m_progress->setLabelText(transferLabelText(progress));
    m_progress->show();
}

void Form::onTransferProgressed(const TransferProgress &progress)
{
    // The bar counts the accepted blocks, as the bytes of the label do.
    m_progress->setValue(qBound(0, progress.accepted, m_progress->maximum()));
    m_progress->setLabelText(transferLabelText(progress));
}

QString Form::transferLabelText(const TransferProgress &progress) const
{
    QString packetRow = QStringLiteral("%1/%2").arg(progress.packet).arg(progress.packets)
        + QStringLiteral(" · ") + tr("%1/%2 bayt").arg(progress.fetchedBytes).arg(progress.plannedBytes);
    if (progress.secondsLeft >= 0) {
        const qint64 seconds = progress.secondsLeft;
        const QTime left = QTime(0, 0).addSecs(int(qMin<qint64>(seconds, 86399)));
        packetRow += QStringLiteral(" · ")
            + tr("kalan %1").arg(left.toString(seconds >= 3600 ? QStringLiteral("h:mm:ss")
                                                               : QStringLiteral("m:ss")));
    }
    // The blocks a cancel, a dropped line or a silent logger would leave for
    // the next download, which asks only for what the copy lacks.
    const QString keptRow = progress.keepingCopy
        ? QStringLiteral("<tr><th>%1</th><td>: %2</td></tr>")
              .arg(tr("Saklanan"), tr("%1 blok").arg(progress.keptBlocks))
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
        .arg(progress.attempt)
        .arg(tr("Mesaj"), progress.message.toHtmlEscaped(), keptRow);
}

void Form::onAnalysisProgress(const QString &label, qint64 value, qint64 maximum)
{
    // The bar's range is an int; a full memory has about 2.3 million rows.
    if (maximum >= 0)
        m_progress->setRange(0, int(qMin<qint64>(maximum, INT_MAX)));
    m_progress->setValue(int(qMin<qint64>(value, m_progress->maximum())));
    if (!label.isNull())
        m_progress->setLabelText(label);
}

void Form::onAnalysisEnded()
{
    hideProgress();
    m_progress->setValue(0);
    m_progress->setLabelText(QString());
}

void Form::tell(const StationNotice &notice)
{
    switch (notice.kind) {
    case StationNotice::Information:
        MessageBox::informationWithDetails(this, notice.title, notice.text, notice.details, tr("Tamam"));
        break;
    case StationNotice::Critical:
        MessageBox::criticalWithDetails(this, notice.title, notice.text, notice.details, tr("Tamam"));
        break;
    case StationNotice::Warning:
        MessageBox::warning(this, notice.title, notice.text, tr("Tamam"));
        break;
    }
}

void Form::onFinished(StationSession::Operation operation, const StationOutcome &outcome)
{
    if (operation == StationSession::Connect)
        m_connectFailed = !outcome.ok();
    for (int i = 0; i < outcome.notices.size(); ++i) {
        StationNotice notice = outcome.notices.at(i);
        // A download's last box comes after its export is opened, and says
        // whether the desktop could.
        if (outcome.hasSummary && i == outcome.notices.size() - 1) {
            DownloadSummary summary = outcome.summary;
            summary.exportOpened = outcome.exportToOpen.isEmpty() || DesktopFile::open(outcome.exportToOpen);
            notice.details = summary.text();
        }
        tell(notice);
    }
}
