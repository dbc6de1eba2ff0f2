#include "charttab.h"
#include "ui_charttab.h"

#include "chartreduction.h"
#include "csvexport.h"
#include "filedialog.h"
#include "messagebox.h"
#include "paths.h"
#include "stationarchive.h"
#include "textexport.h"

#include <QCategoryAxis>
#include <QChart>
#include <QEvent>
#include <QLineSeries>
#include <QScatterSeries>
#include <QTreeWidgetItem>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

const QColor channelColors[2] = {QColor(0x1f, 0x5f, 0xb4), QColor(0xc6, 0x28, 0x28)};

// A span shorter than this is not zoomed into: below a minute nothing new
// can be seen of records taken at whole minutes.
constexpr double shortestSpan = 60.0;

QString axisTitle(const QString &name, const QString &unit)
{
    return unit.isEmpty() ? name : QStringLiteral("%1 [%2]").arg(name, unit);
}

QString valueOrDash(float value)
{
    return std::isnan(value) ? QStringLiteral("–") : QString::fromLatin1(TextExport::valueText(value));
}

} // namespace

ChartTab::ChartTab(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::ChartTab>())
{
    ui->setupUi(this);
    ui->lstArsiv->sortByColumn(-1, Qt::AscendingOrder);
    ui->splitterGrafik->setStretchFactor(1, 1);
    ui->splitterGrafik->setSizes({300, 600});

    m_chart = new QChart;
    m_chart->legend()->hide();
    m_chart->setMargins(QMargins(4, 4, 4, 4));
    ui->grafik->setChart(m_chart);

    m_timeAxis = new QCategoryAxis;
    m_timeAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_chart->addAxis(m_timeAxis, Qt::AlignBottom);
    for (int c = 0; c < 2; ++c) {
        m_valueAxis[c] = new QValueAxis;
        m_valueAxis[c]->setLabelsColor(channelColors[c]);
        m_valueAxis[c]->setTitleBrush(channelColors[c]);
        m_chart->addAxis(m_valueAxis[c], c == 0 ? Qt::AlignLeft : Qt::AlignRight);
        const QScatterSeries::MarkerShape shapes[3] = {QScatterSeries::MarkerShapeTriangle,
                                                       QScatterSeries::MarkerShapeRectangle,
                                                       QScatterSeries::MarkerShapeCircle};
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

    connect(ui->grafik, &ArchiveChartView::spanRequested, this, &ChartTab::setSpan);
    connect(ui->grafik, &ArchiveChartView::hovered, this, &ChartTab::updateStatus);
    connect(ui->grafik, &ArchiveChartView::left, ui->lblGrafikDurum, &QLabel::clear);
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
    QList<ArchivedFile> files = archive.files(ui->txtArsivFiltre->text().trimmed());
    // The last download's files first, its newest file at the top.
    std::stable_sort(files.begin(), files.end(), [this](const ArchivedFile &a, const ArchivedFile &b) {
        return m_recent.lastIndexOf(a.id) > m_recent.lastIndexOf(b.id);
    });

    const qint64 keep = m_fileId;
    const QSignalBlocker blocker(ui->lstArsiv);
    ui->lstArsiv->clear();
    QTreeWidgetItem *kept = nullptr;
    for (const ArchivedFile &file : files) {
        auto *item = new QTreeWidgetItem(ui->lstArsiv);
        item->setText(0, file.stationName);
        item->setText(1, file.stationNo);
        item->setText(2, file.installTime.toString(QStringLiteral("dd.MM.yyyy hh:mm")));
        item->setText(3, QString::number(file.recordCount));
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
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
        showEmpty(files.isEmpty() ? tr("Arşivde kayıtlı dosya yok.") : QString());
    }
}

bool ChartTab::showFile(qint64 fileId)
{
    for (int i = 0; i < ui->lstArsiv->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = ui->lstArsiv->topLevelItem(i);
        if (item->data(0, Qt::UserRole).toLongLong() == fileId) {
            if (ui->lstArsiv->currentItem() == item && m_fileId == fileId)
                return true;
            ui->lstArsiv->setCurrentItem(item);
            return true;
        }
    }
    return false;
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

void ChartTab::on_cbGunlukOzet_toggled(bool) { redraw(); }

void ChartTab::on_btnGrafikSifirla_clicked() { setSpan(m_first, m_last); }

void ChartTab::on_btnCsvKaydet_clicked()
{
    if (m_fileId < 0 || m_series.isEmpty())
        return;
    FileDialog::Request request;
    request.parent = this;
    request.caption = tr("CSV olarak kaydet");
    request.path = Paths::exportDir() + QLatin1Char('/') + CsvExport::defaultFileName(m_series);
    request.filter = tr("CSV dosyaları (*.csv)");
    const QString path = FileDialog::saveFileName(request);
    if (path.isEmpty())
        return;
    QString error;
    if (!CsvExport::write(path, m_series, m_from, m_to, &error))
        MessageBox::critical(this, tr("CSV olarak kaydet"),
                             tr("Dosya yazılamadı:") + QLatin1Char('\n') + path + QLatin1Char('\n') + error,
                             tr("Tamam"));
}

void ChartTab::load(qint64 fileId)
{
    StationArchive archive;
    ArchiveSeries series;
    if (!archive.series(fileId, &series)) {
        m_fileId = -1;
        showEmpty(tr("Dosya okunamadı."));
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
        m_first = qMin(m_first, double(m_series.summaries.front().time));
        m_last = qMax(m_last, double(m_series.summaries.back().time));
    }
    m_chart->setTitle(QStringLiteral("%1 %2 - %3").arg(m_series.stationName, m_series.stationNo,
                                                      m_series.installTime.toString(QStringLiteral("dd.MM.yyyy hh:mm"))));
    for (int c = 0; c < 2; ++c) {
        m_valueAxis[c]->setTitleText(axisTitle(m_series.channelName[c], m_series.channelUnit[c]));
        m_valueAxis[c]->setVisible(true);
    }
    m_timeAxis->setVisible(true);
    ui->btnGrafikSifirla->setEnabled(true);
    ui->btnCsvKaydet->setEnabled(true);
    setSpan(m_first, m_last);
}

void ChartTab::showEmpty(const QString &title)
{
    m_series = ArchiveSeries();
    m_chart->setTitle(title);
    m_timeAxis->setVisible(false);
    for (int c = 0; c < 2; ++c) {
        m_valueAxis[c]->setVisible(false);
        for (QLineSeries *line : m_lines[c]) {
            line->clear();
            line->setVisible(false);
        }
        for (QScatterSeries *markers : m_markers[c])
            markers->clear();
    }
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
    const int maxTicks = qMax(2, int((width > 10 ? width : 600) / 75));
    m_timeAxis->setStartValue(m_from - 1);
    for (const TimeTick &tick : timeTicks(m_from, m_to, maxTicks)) {
        if (tick.time > m_from - 1)
            m_timeAxis->append(tick.label, tick.time);
    }
}

void ChartTab::redraw()
{
    if (m_series.isEmpty())
        return;
    const int cols = columns();
    const bool markers = ui->cbGunlukOzet->isChecked();
    for (int c = 0; c < 2; ++c) {
        double low = std::numeric_limits<double>::max();
        double high = std::numeric_limits<double>::lowest();
        const QList<QList<QPointF>> pieces =
            reduceSpan(m_series.times, m_series.values[c], m_from, m_to, cols, m_series.gapSeconds());
        while (m_lines[c].size() < pieces.size()) {
            auto *line = new QLineSeries;
            line->setPen(QPen(channelColors[c], 1.5));
            m_chart->addSeries(line);
            line->attachAxis(m_timeAxis);
            line->attachAxis(m_valueAxis[c]);
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
                line->setVisible(true);
            } else if (line->isVisible()) {
                line->clear();
                line->setVisible(false);
            }
        }
        for (int type = 0; type < 3; ++type) {
            QList<QPointF> points;
            if (markers)
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
        const double pad = high > low ? (high - low) * 0.05 : qMax(1.0, std::abs(high) * 0.05);
        m_valueAxis[c]->setRange(low - pad, high + pad);
    }
}

void ChartTab::updateStatus(double time)
{
    const std::vector<qint64> &times = m_series.times;
    if (times.empty()) {
        ui->lblGrafikDurum->clear();
        return;
    }
    auto it = std::lower_bound(times.begin(), times.end(), qint64(std::llround(time)));
    if (it == times.end() || (it != times.begin() && time - double(*(it - 1)) < double(*it) - time))
        --it;
    const std::size_t i = std::size_t(it - times.begin());
    ui->lblGrafikDurum->setText(
        QStringLiteral("%1   %2: %3 %4   %5: %6 %7")
            .arg(QDateTime::fromSecsSinceEpoch(*it, Qt::UTC).toString(QStringLiteral("dd.MM.yyyy hh:mm")),
                 m_series.channelName[0], valueOrDash(m_series.values[0][i]), m_series.channelUnit[0],
                 m_series.channelName[1], valueOrDash(m_series.values[1][i]), m_series.channelUnit[1])
            .trimmed());
}
