#include "charttab.h"
#include "ui_charttab.h"

#include "archivelocation.h"
#include "archivelogin.h"
#include "chartreduction.h"
#include "csvexport.h"
#include "filedialog.h"
#include "messagebox.h"
#include "abakreader.h"
#include "paths.h"
#include "ratingtable.h"
#include "stationarchive.h"
#include "textexport.h"
#include "waits.h"

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QPixmap>
#include <QSaveFile>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QSettings>
#include <QTimer>
#include <QTreeWidgetItem>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

// Channel 1, channel 2, the flow.
const QColor channelColors[3] = {QColor(0x1f, 0x5f, 0xb4), QColor(0xc6, 0x28, 0x28), QColor(0x2e, 0x7d, 0x32)};
constexpr int flowIndex = 2;
const QColor gapColor(0x90, 0x90, 0x90, 0x50);
const char *const summaryNames[3] = {"MAX", "MIN", "ORT"};

// A span shorter than this is not zoomed into: below a minute nothing new
// can be seen of records taken at whole minutes.
constexpr double shortestSpan = 60.0;

const QString csvFolderKey = QStringLiteral("Chart/csvFolder");
const QString csvSeparatorKey = QStringLiteral("Chart/csvSeparator");
const QString pictureFolderKey = QStringLiteral("Chart/pictureFolder");
const QString timeFormat = QStringLiteral("dd.MM.yyyy hh:mm");

QString axisTitle(const QString &name, const QString &unit)
{
    return unit.isEmpty() ? name : QStringLiteral("%1 [%2]").arg(name, unit);
}

QString valueOrDash(float value)
{
    return std::isnan(value) ? QStringLiteral("–") : QString::fromLatin1(TextExport::valueText(value));
}

// A flow of a small stream is a few litres a second: three decimals.
QString flowText(double value)
{
    return std::isnan(value) ? QStringLiteral("–") : QString::number(value, 'f', 3);
}

QString timeText(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(timeFormat);
}

} // namespace

ChartTab::ChartTab(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::ChartTab>())
{
    ui->setupUi(this);
    ui->lstArsiv->sortByColumn(-1, Qt::AscendingOrder);
    // The list above the chart, its columns whole at the window's first
    // size; the chart takes what the window grows by.
    ui->splitterGrafik->setStretchFactor(0, 0);
    ui->splitterGrafik->setStretchFactor(1, 1);
    ui->splitterGrafik->setSizes({100, 420});
    // Two lines for the span's summary, whether it fills them or not: the
    // chart does not jump when the mouse moves on and off it.
    ui->lblGrafikDurum->setFixedHeight(2 * ui->lblGrafikDurum->fontMetrics().lineSpacing() + 2);
    {
        const QSettings settings(Paths::settingsFile(), QSettings::IniFormat);
        const QSignalBlocker blocker(ui->cmbCsvAyirac);
        ui->cmbCsvAyirac->setCurrentIndex(settings.value(csvSeparatorKey).toString() == QLatin1String(";") ? 1 : 0);
        ui->txtArsivAdresi->setText(settings.value(QLatin1String(ArchiveLocation::settingsKey)).toString());
    }

    m_chart = new QChart;
    // Nine entries under a narrow plot: short names in a small font, each
    // channel's in its colour; a name cut short shows whole as a tool tip.
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    m_chart->legend()->setShowToolTips(true);
    QFont legendFont = m_chart->legend()->font();
    legendFont.setPointSizeF(legendFont.pointSizeF() * 0.85);
    m_chart->legend()->setFont(legendFont);
    m_chart->setMargins(QMargins(4, 4, 4, 4));
    ui->grafik->setChart(m_chart);

    m_timeAxis = new QCategoryAxis;
    m_timeAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_timeAxis->setTitleText(tr("Zaman"));
    m_chart->addAxis(m_timeAxis, Qt::AlignBottom);
    for (int c = 0; c < 3; ++c) {
        m_valueAxis[c] = new QValueAxis;
        m_valueAxis[c]->setLabelsColor(channelColors[c]);
        m_valueAxis[c]->setTitleBrush(channelColors[c]);
        // The grid follows the left axis; the others' round ticks fall elsewhere.
        m_valueAxis[c]->setGridLineVisible(c == 0);
        m_chart->addAxis(m_valueAxis[c], c == 0 ? Qt::AlignLeft : Qt::AlignRight);
    }

    // Behind everything else: the bands of the holes, against the left axis
    // from its bottom to its top.
    m_gapArea = new QAreaSeries(new QLineSeries(this), new QLineSeries(this));
    m_gapArea->setPen(Qt::NoPen);
    m_gapArea->setBrush(gapColor);
    m_chart->addSeries(m_gapArea);
    m_gapArea->attachAxis(m_timeAxis);
    m_gapArea->attachAxis(m_valueAxis[0]);

    const QScatterSeries::MarkerShape shapes[3] = {QScatterSeries::MarkerShapeTriangle,
                                                   QScatterSeries::MarkerShapeRectangle,
                                                   QScatterSeries::MarkerShapeCircle};
    for (int c = 0; c < 2; ++c) {
        m_legendLine[c] = new QLineSeries;
        m_legendLine[c]->setPen(QPen(channelColors[c], 1.5));
        m_chart->addSeries(m_legendLine[c]);
        m_legendLine[c]->attachAxis(m_timeAxis);
        m_legendLine[c]->attachAxis(m_valueAxis[c]);
        for (int type = 0; type < 3; ++type) {
            auto *markers = new QScatterSeries;
            markers->setMarkerShape(shapes[type]);
            markers->setMarkerSize(7);
            markers->setColor(channelColors[c].lighter(130));
            markers->setBorderColor(channelColors[c].darker(120));
            m_chart->addSeries(markers);
            markers->attachAxis(m_timeAxis);
            markers->attachAxis(m_valueAxis[c]);
            m_markers[c][type] = markers;
        }
    }
    m_legendLine[flowIndex] = new QLineSeries;
    m_legendLine[flowIndex]->setPen(QPen(channelColors[flowIndex], 1.5));
    m_legendLine[flowIndex]->setName(tr("Debi"));
    m_chart->addSeries(m_legendLine[flowIndex]);
    m_legendLine[flowIndex]->attachAxis(m_timeAxis);
    m_legendLine[flowIndex]->attachAxis(m_valueAxis[flowIndex]);
    for (int c = 0; c < 3; ++c) {
        m_hover[c] = new QScatterSeries;
        m_hover[c]->setMarkerSize(11);
        m_hover[c]->setColor(Qt::transparent);
        m_hover[c]->setBorderColor(channelColors[c].darker(140));
        m_hover[c]->setPen(QPen(channelColors[c].darker(140), 2));
        m_chart->addSeries(m_hover[c]);
        m_hover[c]->attachAxis(m_timeAxis);
        m_hover[c]->attachAxis(m_valueAxis[c]);
        for (QLegendMarker *marker : m_chart->legend()->markers(m_hover[c]))
            marker->setVisible(false);
    }
    for (QLegendMarker *marker : m_chart->legend()->markers())
        connect(marker, &QLegendMarker::clicked, this, [this, marker] { toggleSeries(marker); });

    m_archiveWatch = new QTimer(this);
    m_archiveWatch->setInterval(Waits::current().archiveWatch);
    connect(m_archiveWatch, &QTimer::timeout, this, &ChartTab::checkArchive);

    connect(ui->grafik, &ArchiveChartView::spanRequested, this, &ChartTab::setSpan);
    connect(ui->grafik, &ArchiveChartView::hovered, this, &ChartTab::updateStatus);
    connect(ui->grafik, &ArchiveChartView::left, this, &ChartTab::clearStatus);
    // The plot area settles once the chart lays out its axes and legend,
    // after the first drawing: the columns and the ticks of both axes follow it.
    connect(m_chart, &QChart::plotAreaChanged, this, [this](const QRectF &plot) {
        if (!m_series.isEmpty()
            && (std::abs(plot.width() - m_drawnWidth) >= 8 || std::abs(plot.height() - m_drawnHeight) >= 8)) {
            updateTimeAxis();
            redraw();
        }
    });
    // A span marked with the mouse reaches the axis directly.
    connect(m_timeAxis, &QValueAxis::rangeChanged, this, &ChartTab::onAxisRangeChanged);
    showEmpty(QString());
}

ChartTab::~ChartTab() = default;

QList<QLineSeries *> ChartTab::lines(int channel) const
{
    QList<QLineSeries *> shown;
    for (QLineSeries *line : m_lines[channel]) {
        if (line->isVisible())
            shown << line;
    }
    return shown;
}

void ChartTab::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_listRead)
        refreshList();
    if (m_pendingFile >= 0) {
        const qint64 file = m_pendingFile;
        m_pendingFile = -1;
        showFile(file);
    }
    // What another program wrote while the page was hidden.
    checkArchive();
    m_archiveWatch->start();
}

void ChartTab::hideEvent(QHideEvent *event)
{
    m_archiveWatch->stop();
    QWidget::hideEvent(event);
}

void ChartTab::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_fileId >= 0 && !m_series.isEmpty()) {
        updateTimeAxis();
        redraw();
    }
}

void ChartTab::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        m_timeAxis->setTitleText(tr("Zaman"));
        m_gapArea->setName(tr("Boşluk"));
        m_legendLine[flowIndex]->setName(tr("Debi"));
        if (m_fileId >= 0 && !m_series.isEmpty()) {
            loadRating();
            showSpanSummary();
        }
        if (isVisible())
            refreshList();
        else
            m_listRead = false;
    }
    QWidget::changeEvent(event);
}

void ChartTab::showDownloaded(const QList<qint64> &fileIds)
{
    m_recent = fileIds;
    m_pendingFile = fileIds.isEmpty() ? -1 : fileIds.last();
    m_listRead = false;
    if (isVisible())
        showEvent(nullptr);
}

void ChartTab::refreshList()
{
    m_listRead = true;
    StationArchive archive;
    m_dataVersion = archive.dataVersion();
    const QString filter = ui->txtArsivFiltre->text().trimmed();
    QList<ArchivedFile> files = archive.files(filter);
    // The last download's files first, its newest file at the top.
    std::stable_sort(files.begin(), files.end(), [this](const ArchivedFile &a, const ArchivedFile &b) {
        return m_recent.lastIndexOf(a.id) > m_recent.lastIndexOf(b.id);
    });

    const qint64 keep = m_fileId;
    const QSignalBlocker blocker(ui->lstArsiv);
    ui->lstArsiv->clear();
    QTreeWidgetItem *kept = nullptr;
    const QString countTip = ui->lstArsiv->headerItem()->toolTip(4);
    for (const ArchivedFile &file : files) {
        auto *item = new QTreeWidgetItem(ui->lstArsiv);
        item->setText(0, file.stationName);
        item->setText(1, file.stationNo);
        item->setText(2, file.firstRecord.toString(timeFormat));
        item->setText(3, file.lastRecord.toString(timeFormat));
        item->setText(4, QString::number(file.instantCount));
        item->setTextAlignment(4, Qt::AlignRight | Qt::AlignVCenter);
        item->setToolTip(4, countTip);
        item->setData(0, Qt::UserRole, file.id);
        if (file.id == keep)
            kept = item;
    }
    for (int column = 0; column < ui->lstArsiv->columnCount(); ++column)
        ui->lstArsiv->resizeColumnToContents(column);
    if (kept) {
        ui->lstArsiv->setCurrentItem(kept);
    } else {
        m_fileId = -1;
        if (!files.isEmpty())
            showEmpty(QString());
        else if (!archive.lastError().isEmpty())
            showEmpty(tr("Arşiv okunamadı.") + QLatin1Char(' ') + archive.lastError());
        else
            showEmpty(filter.isEmpty() ? tr("Arşivde kayıtlı dosya yok.") : tr("Filtreye uyan dosya yok"));
    }
}

bool ChartTab::showFile(qint64 fileId)
{
    for (int i = 0; i < ui->lstArsiv->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = ui->lstArsiv->topLevelItem(i);
        if (item->data(0, Qt::UserRole).toLongLong() == fileId) {
            if (ui->lstArsiv->currentItem() == item) {
                m_fileId = fileId;
                reloadShown();
            } else {
                ui->lstArsiv->setCurrentItem(item);
            }
            return true;
        }
    }
    return false;
}

void ChartTab::checkArchive()
{
    const qint64 version = StationArchive().dataVersion();
    if (version == m_dataVersion)
        return;
    refreshList();
    reloadShown();
}

void ChartTab::on_btnBaglantiyiDene_clicked()
{
    if (ArchiveLogin::tryAndUse(this, ui->txtArsivAdresi->text()))
        refreshList();
}

void ChartTab::on_txtArsivFiltre_textChanged(const QString &)
{
    if (isVisible())
        refreshList();
    else
        m_listRead = false;
}

void ChartTab::on_lstArsiv_currentItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *)
{
    if (current)
        load(current->data(0, Qt::UserRole).toLongLong());
}

void ChartTab::on_cbGunlukOzet_toggled(bool)
{
    updateLegend();
    redraw();
}

void ChartTab::on_btnGrafikSifirla_clicked() { setSpan(m_first, m_last); }

void ChartTab::on_cmbCsvAyirac_currentIndexChanged(int index)
{
    QSettings settings(Paths::settingsFile(), QSettings::IniFormat);
    settings.setValue(csvSeparatorKey, index == 1 ? QStringLiteral(";") : QStringLiteral(","));
}

void ChartTab::on_cbDebi_toggled(bool)
{
    updateLegend();
    redraw();
    showSpanSummary();
}

void ChartTab::ratingChanged(const QString &stationNo)
{
    if (m_fileId < 0 || m_series.isEmpty() || stationNo != m_series.stationNo)
        return;
    loadRating();
    updateLegend();
    redraw();
    showSpanSummary();
}

bool ChartTab::flowShown() const
{
    return hasFlow() && ui->cbDebi->isChecked() && !m_hidden.contains(m_legendLine[flowIndex]);
}

// The flow of the shown file from its station's rating table, read again
// from the disk: the "Debi" tab may have changed it. A table that does not
// load leaves the chart without flow and says why in the switch's tool tip.
void ChartTab::loadRating()
{
    m_rating = RatingCurve();
    m_flow = CsvExport::FlowColumn();
    const QString path = QDir::toNativeSeparators(AbakReader::tablePath(m_series.stationNo));
    QString error;
    if (!QFileInfo::exists(AbakReader::tablePath(m_series.stationNo))) {
        m_ratingNote = tr("Bu istasyonun debi tablosu yok: %1").arg(path);
    } else if (!RatingTable::loadCurve(m_series.stationNo, &m_rating, &error)) {
        m_rating = RatingCurve();
        m_ratingNote = tr("Debi tablosu okunamadı: %1").arg(error);
    } else if (m_rating.isEmpty()) {
        m_ratingNote = tr("Debi tablosunda nokta yok: %1").arg(path);
    } else {
        m_ratingNote.clear();
        m_flow.unit = m_rating.unit;
        m_flow.values = m_rating.flowSeries(m_series.times, m_series.values[0]);
    }
    ui->cbDebi->setEnabled(hasFlow());
    ui->cbDebi->setToolTip(hasFlow() ? tr("Debi tablosu: %1").arg(path) : m_ratingNote);
    m_valueAxis[flowIndex]->setTitleText(axisTitle(tr("Debi"), m_rating.unit));
}

void ChartTab::on_btnResimKaydet_clicked()
{
    if (m_fileId < 0 || m_series.isEmpty())
        return;
    QSettings settings(Paths::settingsFile(), QSettings::IniFormat);
    FileDialog::Request request;
    request.parent = this;
    request.caption = tr("Resmi kaydet");
    request.path = settings.value(pictureFolderKey, Paths::exportDir()).toString() + QLatin1Char('/')
        + QFileInfo(CsvExport::defaultFileName(m_series, m_from, m_to)).completeBaseName() + QStringLiteral(".png");
    request.filter = tr("PNG resimleri (*.png)");
    const QString path = FileDialog::saveFileName(request);
    if (path.isEmpty())
        return;
    const QPixmap picture = ui->grafik->grab();
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || !picture.save(&out, "PNG") || !out.commit()) {
        MessageBox::critical(this, tr("Resmi kaydet"),
                             tr("Dosya yazılamadı:") + QLatin1Char('\n') + path + QLatin1Char('\n') + out.errorString(),
                             tr("Tamam"));
        return;
    }
    settings.setValue(pictureFolderKey, QFileInfo(path).absolutePath());
    ui->lblGrafikDurum->setText(tr("Resim kaydedildi: %1").arg(QDir::toNativeSeparators(path)));
}

void ChartTab::on_btnCsvKaydet_clicked()
{
    if (m_fileId < 0 || m_series.isEmpty())
        return;
    // The shown span, or every record of the file.
    double from = m_from;
    double to = m_to;
    if (ui->cbCsvTumDosya->isChecked() && !m_series.times.empty()) {
        from = double(m_series.times.front());
        to = double(m_series.times.back());
    }
    QSettings settings(Paths::settingsFile(), QSettings::IniFormat);
    FileDialog::Request request;
    request.parent = this;
    request.caption = tr("CSV olarak kaydet");
    request.path = settings.value(csvFolderKey, Paths::exportDir()).toString() + QLatin1Char('/')
        + CsvExport::defaultFileName(m_series, from, to);
    request.filter = tr("CSV dosyaları (*.csv)");
    const QString path = FileDialog::saveFileName(request);
    if (path.isEmpty())
        return;
    const QByteArray csv = CsvExport::document(
        m_series, from, to, ui->cmbCsvAyirac->currentIndex() == 1 ? CsvExport::spreadsheetFormat() : CsvExport::Format(),
        hasFlow() ? &m_flow : nullptr);
    QString error;
    if (!CsvExport::write(path, csv, &error)) {
        MessageBox::critical(this, tr("CSV olarak kaydet"),
                             tr("Dosya yazılamadı:") + QLatin1Char('\n') + path + QLatin1Char('\n') + error,
                             tr("Tamam"));
        return;
    }
    settings.setValue(csvFolderKey, QFileInfo(path).absolutePath());
    ui->lblGrafikDurum->setText(
        tr("CSV kaydedildi: %1, %2 satır").arg(QDir::toNativeSeparators(path)).arg(csv.count("\r\n")));
}

void ChartTab::load(qint64 fileId)
{
    StationArchive archive;
    ArchiveSeries series;
    if (!archive.series(fileId, &series)) {
        m_fileId = -1;
        const QString reason = archive.lastError();
        showEmpty(reason.isEmpty() ? tr("Dosya okunamadı.") : tr("Dosya okunamadı.") + QLatin1Char(' ') + reason);
        return;
    }
    m_series = std::move(series);
    m_fileId = fileId;
    if (m_series.isEmpty()) {
        showEmpty(tr("Dosyada kayıt yok."));
        return;
    }
    m_first = std::numeric_limits<double>::max();
    m_last = std::numeric_limits<double>::lowest();
    if (!m_series.times.empty()) {
        m_first = double(m_series.times.front());
        m_last = double(m_series.times.back());
    }
    if (!m_series.summaries.empty()) {
        m_first = qMin(m_first, double(middleOfDay(m_series.summaries.front().time)));
        m_last = qMax(m_last, double(middleOfDay(m_series.summaries.back().time)));
    }
    m_chart->setTitle(QStringLiteral("%1 %2 - %3").arg(m_series.stationName, m_series.stationNo,
                                                      m_series.installTime.toString(timeFormat)));
    for (int c = 0; c < 2; ++c) {
        const QString name = m_series.channelName[c].isEmpty() ? tr("Kanal %1").arg(c + 1) : m_series.channelName[c];
        m_valueAxis[c]->setTitleText(axisTitle(m_series.channelName[c], m_series.channelUnit[c]));
        m_valueAxis[c]->setVisible(true);
        m_legendLine[c]->setName(name);
        for (int type = 0; type < 3; ++type)
            m_markers[c][type]->setName(QLatin1String(summaryNames[type]));
    }
    m_gapArea->setName(tr("Boşluk"));
    loadRating();
    m_timeAxis->setVisible(true);
    m_chart->legend()->setVisible(true);
    updateLegend();
    ui->btnGrafikSifirla->setEnabled(true);
    ui->btnCsvKaydet->setEnabled(true);
    ui->btnResimKaydet->setEnabled(true);
    setSpan(m_first, m_last);
    emit stationChosen(m_series.stationNo, m_series.stationName,
                       axisTitle(m_series.channelName[0].isEmpty() ? tr("Kanal %1").arg(1) : m_series.channelName[0],
                                 m_series.channelUnit[0]));
}

// The shown file as the archive holds it now. A zoomed span stays; the
// whole file stays the whole file, grown or not.
void ChartTab::reloadShown()
{
    if (m_fileId < 0)
        return;
    const bool whole = m_series.isEmpty() || (m_from <= m_first && m_to >= m_last);
    const double from = m_from;
    const double to = m_to;
    load(m_fileId);
    if (!whole && !m_series.isEmpty())
        setSpan(from, to);
}

void ChartTab::showEmpty(const QString &title)
{
    m_series = ArchiveSeries();
    m_rating = RatingCurve();
    m_flow = CsvExport::FlowColumn();
    m_chart->setTitle(title);
    m_chart->legend()->setVisible(false);
    m_timeAxis->setVisible(false);
    for (int c = 0; c < 3; ++c) {
        m_valueAxis[c]->setVisible(false);
        for (QLineSeries *line : m_lines[c]) {
            line->clear();
            setPieceVisible(line, false);
        }
        if (c < 2) {
            for (QScatterSeries *markers : m_markers[c])
                markers->clear();
        }
        m_hover[c]->clear();
    }
    ui->cbDebi->setEnabled(false);
    ui->btnResimKaydet->setEnabled(false);
    m_gapArea->upperSeries()->clear();
    m_gapArea->lowerSeries()->clear();
    ui->btnGrafikSifirla->setEnabled(false);
    ui->btnCsvKaydet->setEnabled(false);
    ui->lblGrafikDurum->clear();
}

void ChartTab::setSpan(double from, double to)
{
    if (m_series.isEmpty())
        return;
    if (to < from)
        std::swap(from, to);
    // A file of one moment still gets a span around it.
    const double first = m_first;
    const double last = m_last > m_first ? m_last : m_first + shortestSpan;
    const double whole = last - first;
    double span = qBound(qMin(shortestSpan, whole), to - from, whole);
    if (!(span > 0))
        span = whole;
    from = qBound(first, from, last - span);
    m_from = from;
    m_to = from + span;
    m_settingRange = true;
    m_timeAxis->setRange(m_from, m_to);
    m_settingRange = false;
    updateTimeAxis();
    redraw();
    showSpanSummary();
    // The read-out follows the mouse, which now points at another time.
    ui->grafik->refreshHover();
}

void ChartTab::onAxisRangeChanged(qreal min, qreal max)
{
    if (!m_settingRange && (min != m_from || max != m_to))
        setSpan(min, max);
}

int ChartTab::columns() const
{
    const qreal width = m_chart->plotArea().width();
    // Two pixels a column, four points at most a column: two a pixel.
    return width > 10 ? qMax(1, int(width / 2)) : 400;
}

void ChartTab::updateTimeAxis()
{
    const QStringList old = m_timeAxis->categoriesLabels();
    for (const QString &label : old)
        m_timeAxis->remove(label);
    const qreal width = m_chart->plotArea().width();
    // Room for "dd.MM hh:mm" between two ticks, and for the year's wider first label.
    const int maxTicks = qMax(2, int((width > 10 ? width : 600) / 90));
    m_timeAxis->setStartValue(m_from - 1);
    for (const TimeTick &tick : timeTicks(m_from, m_to, maxTicks)) {
        if (tick.time > m_from - 1)
            m_timeAxis->append(tick.label, tick.time);
    }
}

void ChartTab::setPieceVisible(QLineSeries *line, bool visible)
{
    if (line->isVisible() != visible)
        line->setVisible(visible);
    // A shown series shows its legend entry again; the channel has one.
    for (QLegendMarker *marker : m_chart->legend()->markers(line))
        marker->setVisible(false);
}

void ChartTab::redraw()
{
    if (m_series.isEmpty())
        return;
    m_drawnWidth = m_chart->plotArea().width();
    m_drawnHeight = m_chart->plotArea().height();
    const int cols = columns();
    const bool markers = ui->cbGunlukOzet->isChecked();
    const qreal height = m_chart->plotArea().height();
    // A label every 30 pixels at the most.
    const int maxTicks = qMax(3, int((height > 10 ? height : 300) / 30));
    for (int c = 0; c < 3; ++c) {
        double low = std::numeric_limits<double>::max();
        double high = std::numeric_limits<double>::lowest();
        const bool shown = c < flowIndex ? !m_hidden.contains(m_legendLine[c]) : flowShown();
        QList<QList<QPointF>> pieces;
        if (shown) {
            const std::vector<float> &values = c < flowIndex ? m_series.values[c] : m_flow.values;
            pieces = reduceSpan(m_series.times, values, m_from, m_to, cols, m_series.gapSeconds());
        }
        while (m_lines[c].size() < pieces.size()) {
            auto *line = new QLineSeries;
            line->setPen(QPen(channelColors[c], 1.5));
            m_chart->addSeries(line);
            line->attachAxis(m_timeAxis);
            line->attachAxis(m_valueAxis[c]);
            setPieceVisible(line, true);
            m_lines[c] << line;
        }
        for (int i = 0; i < m_lines[c].size(); ++i) {
            QLineSeries *line = m_lines[c].at(i);
            if (i < pieces.size()) {
                for (const QPointF &p : pieces.at(i)) {
                    if (p.x() >= m_from && p.x() <= m_to) {
                        low = qMin(low, p.y());
                        high = qMax(high, p.y());
                    }
                }
                line->replace(pieces.at(i));
                setPieceVisible(line, true);
            } else if (line->isVisible()) {
                line->clear();
                setPieceVisible(line, false);
            }
        }
        for (int type = 0; c < flowIndex && type < 3; ++type) {
            QList<QPointF> points;
            if (markers && !m_hidden.contains(m_markers[c][type]))
                points = reduceMarkers(m_series.summaries, type + 1, c + 1, m_from, m_to, cols);
            for (const QPointF &p : points) {
                low = qMin(low, p.y());
                high = qMax(high, p.y());
            }
            m_markers[c][type]->replace(points);
        }
        if (low > high) {
            low = 0;
            high = 1;
        }
        // Round ticks: 1, 2 or 5 times a power of ten.
        const ValueScale scale = valueScale(low, high, maxTicks);
        m_valueAxis[c]->setRange(scale.min, scale.max);
        m_valueAxis[c]->setTickCount(qMax(2, scale.ticks()));
        m_valueAxis[c]->setLabelFormat(QStringLiteral("%.%1f").arg(scale.decimals));
        m_valueAxis[c]->setVisible(c < flowIndex || (hasFlow() && ui->cbDebi->isChecked()));
    }
    drawGaps();
}

// The bands run from the bottom of the left axis to its top: rectangles of
// one area between its upper line, which steps up and down at each band's
// edges, and a lower line along the bottom.
void ChartTab::drawGaps()
{
    QList<QPointF> upper;
    QList<QPointF> lower;
    if (!m_hidden.contains(m_gapArea)) {
        const double bottom = m_valueAxis[0]->min();
        const double top = m_valueAxis[0]->max();
        for (const TimeBand &band : gapBands(m_series.times, m_series.gapSeconds(), m_from, m_to, columns())) {
            upper << QPointF(band.from, bottom) << QPointF(band.from, top) << QPointF(band.to, top)
                  << QPointF(band.to, bottom);
        }
        if (!upper.isEmpty())
            lower << QPointF(upper.first().x(), bottom) << QPointF(upper.last().x(), bottom);
    }
    m_gapArea->upperSeries()->replace(upper);
    m_gapArea->lowerSeries()->replace(lower);
}

// Each entry of the legend stands for a series the user can switch off and
// on with a click; a series switched off keeps its entry, dimmed.
void ChartTab::updateLegend()
{
    const bool summaries = ui->cbGunlukOzet->isChecked();
    for (QLegendMarker *marker : m_chart->legend()->markers()) {
        QAbstractSeries *series = marker->series();
        if (series == m_hover[0] || series == m_hover[1] || series == m_hover[flowIndex]
            || m_lines[0].contains(series) || m_lines[1].contains(series) || m_lines[flowIndex].contains(series))
            continue;
        const bool summary = qobject_cast<QScatterSeries *>(series) != nullptr;
        marker->setVisible(series == m_legendLine[flowIndex] ? hasFlow() && ui->cbDebi->isChecked()
                                                             : !summary || summaries);
        const bool hidden = m_hidden.contains(series);
        QColor label = m_chart->legend()->labelColor();
        label.setAlphaF(hidden ? 0.35 : 1.0);
        marker->setLabelBrush(label);
        QBrush brush = marker->brush();
        QColor color = brush.color();
        color.setAlphaF(hidden ? 0.2 : series == m_gapArea ? gapColor.alphaF() : 1.0);
        brush.setColor(color);
        marker->setBrush(brush);
    }
}

void ChartTab::toggleSeries(QLegendMarker *marker)
{
    QAbstractSeries *series = marker->series();
    if (!m_hidden.removeOne(series))
        m_hidden << series;
    updateLegend();
    redraw();
}

void ChartTab::clearStatus()
{
    for (QScatterSeries *hover : m_hover)
        hover->clear();
    showSpanSummary();
}

// Without the mouse on the chart, the line under it sums up the shown span:
// each series' lowest, highest and mean value and the volume of the flow.
void ChartTab::showSpanSummary()
{
    QStringList parts;
    if (!m_series.isEmpty()) {
        for (int c = 0; c < 3; ++c) {
            const bool flow = c == flowIndex;
            if (flow ? !flowShown() : m_hidden.contains(m_legendLine[c]))
                continue;
            const SpanSummary s = summarizeSpan(m_series.times, flow ? m_flow.values : m_series.values[c], m_from, m_to);
            if (s.count == 0)
                continue;
            auto text = [flow](double v) { return flow ? flowText(v) : valueOrDash(float(v)); };
            const QString name = flow ? tr("Debi") : m_series.channelName[c].isEmpty() ? tr("Kanal %1").arg(c + 1) : m_series.channelName[c];
            const QString unit = flow ? m_flow.unit : m_series.channelUnit[c];
            parts << tr("%1: %2 – %3, ort. %4 %5").arg(name, text(s.min), text(s.max), text(s.mean), unit).trimmed();
        }
        if (flowShown() && !m_rating.volumeUnit().isEmpty()) {
            const double volume = integrateSpan(m_series.times, m_flow.values, m_from, m_to, m_series.gapSeconds());
            parts << tr("Hacim: %1 %2").arg(QString::number(volume, 'f', 0), m_rating.volumeUnit());
        }
    }
    ui->lblGrafikDurum->setText(parts.join(QLatin1String("   ")));
}

void ChartTab::updateStatus(double time)
{
    const std::vector<qint64> &times = m_series.times;
    const qint64 at = recordAt(times, time, m_series.intervalSeconds, m_series.gapSeconds());
    if (at < 0) {
        for (QScatterSeries *hover : m_hover)
            hover->clear();
        ui->lblGrafikDurum->clear();
        if (!times.empty()) {
            // The records on both sides of the hole.
            const auto after = std::lower_bound(times.begin(), times.end(), qint64(std::ceil(time)));
            ui->lblGrafikDurum->setText(QStringLiteral("%1   %2 (%3 – %4)")
                                            .arg(timeText(std::llround(time)), tr("boşluk"),
                                                 timeText(*(after - 1)), timeText(*after)));
        }
        return;
    }
    const std::size_t i = std::size_t(at);
    for (int c = 0; c < 3; ++c) {
        const bool flow = c == flowIndex;
        const float value = flow ? (flowShown() ? m_flow.values[i] : std::numeric_limits<float>::quiet_NaN()) : m_series.values[c][i];
        if (std::isnan(value) || m_hidden.contains(m_legendLine[c]))
            m_hover[c]->clear();
        else
            m_hover[c]->replace({QPointF(double(times[i]), double(value))});
    }
    QString text = QStringLiteral("%1   %2: %3 %4   %5: %6 %7")
                       .arg(timeText(times[i]), m_series.channelName[0], valueOrDash(m_series.values[0][i]),
                            m_series.channelUnit[0], m_series.channelName[1], valueOrDash(m_series.values[1][i]),
                            m_series.channelUnit[1])
                       .trimmed();
    if (flowShown())
        text += QStringLiteral("   %1: %2 %3").arg(tr("Debi"), flowText(m_flow.values[i]), m_flow.unit);
    ui->lblGrafikDurum->setText(text);
}
