// The "Debi" page's widgets mapped to a RatingTable being edited: every
// edit is checked with RatingTable::curveOf and drawn, a save goes through
// RatingTable::save.

#include "ratingtab.h"
#include "ui_ratingtab.h"

#include "abakreader.h"
#include "chartreduction.h"
#include "filedialog.h"
#include "messagebox.h"
#include "paths.h"

#include <QChart>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QTableWidgetItem>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

const QColor periodColors[] = {QColor(0x1f, 0x5f, 0xb4), QColor(0x2e, 0x7d, 0x32), QColor(0xc6, 0x28, 0x28),
                               QColor(0x6a, 0x1b, 0x9a), QColor(0xef, 0x6c, 0x00)};

const QString fromFormat = QStringLiteral("yyyy-MM-dd hh:mm");

bool isLog(const QString &interpolation) { return interpolation.trimmed().toLower() == QLatin1String("log"); }

// Points along a period's curve: its table points and, on log scales, the
// bend between them.
QList<QPointF> curvePoints(const RatingCurve::Period &period)
{
    QList<QPointF> points;
    const int steps = period.interpolation == RatingCurve::Interpolation::LogLog ? 12 : 1;
    for (std::size_t i = 0; i < period.points.size(); ++i) {
        const RatingCurve::Point &p = period.points[i];
        if (i > 0) {
            const RatingCurve::Point &before = period.points[i - 1];
            for (int k = 1; k < steps; ++k) {
                const double level = before.level + (p.level - before.level) * k / steps;
                points << QPointF(RatingCurve::flowOf(period, level), level);
            }
        }
        points << QPointF(p.flow, p.level);
    }
    return points;
}

void setScale(QValueAxis *axis, double low, double high, int maxTicks)
{
    const ValueScale scale = valueScale(low, high, maxTicks);
    axis->setRange(scale.min, scale.max);
    axis->setTickCount(qMax(2, scale.ticks()));
    axis->setLabelFormat(QStringLiteral("%.%1f").arg(scale.decimals));
}

} // namespace

RatingTab::RatingTab(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::RatingTab>())
{
    ui->setupUi(this);
    ui->splitterDebi->setStretchFactor(1, 1);
    ui->splitterDebi->setSizes({330, 390});
    ui->tblDebi->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    ui->tblDebi->verticalHeader()->setDefaultSectionSize(ui->tblDebi->fontMetrics().height() + 6);

    m_chart = new QChart;
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_chart->setMargins(QMargins(4, 4, 4, 4));
    ui->grafikDebi->setChart(m_chart);
    ui->grafikDebi->setRenderHint(QPainter::Antialiasing, true);
    auto *flowAxis = new QValueAxis;
    auto *levelAxis = new QValueAxis;
    m_chart->addAxis(flowAxis, Qt::AlignBottom);
    m_chart->addAxis(levelAxis, Qt::AlignLeft);

    m_levelTitle = tr("Seviye");
    setMessage(tr("Grafik sekmesinde bir dosya seçin ya da Debi klasöründen bir tablo açın."), false);
    updateButtons();
    drawCurves(RatingCurve());
}

RatingTab::~RatingTab() = default;

void RatingTab::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        if (!m_table.path().isEmpty()) {
            fillPeriods(m_period);
            check();
        }
    }
    QWidget::changeEvent(event);
}

void RatingTab::showStation(const QString &stationNo, const QString &stationName, const QString &levelTitle)
{
    const bool same = stationNo == m_table.stationCode() && m_editable;
    if (m_modified) {
        if (!same) {
            m_pending = Station{stationNo, stationName, levelTitle};
            setMessage(tr("Kaydedilmemiş değişiklikler var: %1 istasyonunun tablosu, bunlar kaydedilince ya da "
                          "bırakılınca gösterilir.")
                           .arg(stationNo),
                       false);
        }
        return;
    }
    m_pending.reset();
    m_levelTitle = levelTitle.isEmpty() ? tr("Seviye") : levelTitle;
    load(AbakReader::tablePath(stationNo), stationNo, stationName);
}

void RatingTab::openTable(const QString &path)
{
    m_pending.reset();
    m_levelTitle = tr("Seviye");
    load(path, QFileInfo(path).completeBaseName(), QString());
}

void RatingTab::on_btnDebiAc_clicked()
{
    if (m_modified) {
        MessageBox::warning(this, tr("Debi tablosu"),
                            tr("Kaydedilmemiş değişiklikler var. Önce kaydedin ya da vazgeçin."), tr("Tamam"));
        return;
    }
    FileDialog::Request request;
    request.parent = this;
    request.caption = tr("Debi tablosu aç");
    request.path = Paths::ratingDir();
    request.filter = tr("Debi tabloları (*.abk)");
    const QString path = FileDialog::openFileName(request);
    if (!path.isEmpty())
        openTable(path);
}

// A table that reads is shown and can be edited, also when it does not make
// a curve (the message says why); a missing one starts empty; one that does
// not read (XML error, another station's) is only named with its reason.
void RatingTab::load(const QString &path, const QString &stationNo, const QString &stationName)
{
    const bool samePath = path == m_table.path();
    RatingTable table;
    QString error;
    m_editable = table.load(path, stationNo, &error);
    m_loadError.clear();
    if (!m_editable && !QFileInfo::exists(path)) {
        table = RatingTable::create(path, stationNo, stationName);
        m_editable = true;
    } else if (!m_editable) {
        m_loadError = error;
        table = RatingTable::create(path, stationNo, stationName);
    }
    m_table = table;
    m_periods = m_editable ? m_table.periods() : QList<RatingTable::Period>();
    if (m_editable && m_periods.isEmpty())
        m_periods << RatingTable::Period();
    m_modified = false;
    const QString name = m_table.stationName().isEmpty() ? stationName : m_table.stationName();
    ui->lblDebiTablo->setText(QStringLiteral("%1 %2   %3").arg(name, stationNo, QDir::toNativeSeparators(path)).trimmed());
    fillPeriods(samePath ? m_period : 0);
    check();
}

QString RatingTab::periodName(const RatingTable::Period &period) const
{
    return period.from.trimmed().isEmpty() ? tr("En baştan") : tr("%1 itibaren").arg(period.from.trimmed());
}

QString RatingTab::unit() const
{
    const QString first = m_periods.isEmpty() ? QString() : m_periods.first().unit.trimmed();
    return first.isEmpty() ? RatingCurve::defaultUnit() : first;
}

void RatingTab::fillPeriods(int current)
{
    m_filling = true;
    ui->cmbDebiDonem->clear();
    for (const RatingTable::Period &period : m_periods)
        ui->cmbDebiDonem->addItem(periodName(period));
    ui->cmbDebiDonem->setCurrentIndex(m_periods.isEmpty() ? -1 : qBound(0, current, int(m_periods.size()) - 1));
    m_filling = false;
    showPeriod();
}

void RatingTab::showPeriod()
{
    m_period = ui->cmbDebiDonem->currentIndex();
    m_filling = true;
    const bool has = m_period >= 0 && m_period < m_periods.size();
    ui->txtDebiBaslangic->setText(has ? m_periods.at(m_period).from : QString());
    ui->cmbDebiAraDeger->setCurrentIndex(has && isLog(m_periods.at(m_period).interpolation) ? 1 : 0);
    ui->txtDebiBirim->setText(m_periods.isEmpty() ? QString() : m_periods.first().unit);
    m_filling = false;
    fillRows();
    updateButtons();
}

void RatingTab::fillRows()
{
    m_filling = true;
    const QList<RatingTable::Row> rows =
        m_period >= 0 && m_period < m_periods.size() ? m_periods.at(m_period).rows : QList<RatingTable::Row>();
    ui->tblDebi->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        ui->tblDebi->setItem(r, 0, new QTableWidgetItem(rows.at(r).level));
        ui->tblDebi->setItem(r, 1, new QTableWidgetItem(rows.at(r).flow));
        for (int c = 0; c < 2; ++c)
            ui->tblDebi->item(r, c)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    ui->tblDebi->setHorizontalHeaderLabels({m_levelTitle, tr("Debi [%1]").arg(unit())});
    m_filling = false;
}

void RatingTab::updateButtons()
{
    const bool period = m_editable && m_period >= 0;
    for (QWidget *w : std::initializer_list<QWidget *>{ui->cmbDebiDonem, ui->btnDebiDonemEkle, ui->btnDebiDonemSil,
                                                       ui->txtDebiBaslangic, ui->cmbDebiAraDeger, ui->txtDebiBirim,
                                                       ui->tblDebi, ui->btnDebiSatirEkle, ui->btnDebiSatirSil})
        w->setEnabled(period);
    ui->btnDebiKaydet->setEnabled(m_editable && m_modified);
    ui->btnDebiVazgec->setEnabled(m_modified);
}

void RatingTab::setMessage(const QString &text, bool error)
{
    ui->lblDebiDurum->setText(text);
    ui->lblDebiDurum->setStyleSheet(error ? QStringLiteral("color: rgb(200, 0, 0);") : QString());
}

void RatingTab::edited()
{
    m_modified = true;
    updateButtons();
    check();
}

// The edited periods as a save would write them, checked and drawn.
void RatingTab::check()
{
    if (!m_editable) {
        setMessage(tr("Debi tablosu okunamadı: %1").arg(m_loadError), true);
        drawCurves(RatingCurve());
        return;
    }
    QList<RatingTable::Period> periods = m_periods;
    for (RatingTable::Period &period : periods)
        period.rows = RatingTable::sortedRows(period.rows);
    RatingCurve curve;
    QString error;
    if (!RatingTable::curveOf(periods, &curve, &error)) {
        setMessage(tr("Debi tablosu kullanılamıyor: %1").arg(error), true);
        drawCurves(RatingCurve());
        return;
    }
    drawCurves(curve);
    if (m_pending)
        setMessage(tr("Kaydedilmemiş değişiklikler var: %1 istasyonunun tablosu, bunlar kaydedilince ya da "
                      "bırakılınca gösterilir.")
                       .arg(m_pending->number),
                   false);
    else if (m_modified)
        setMessage(tr("Kaydedilmemiş değişiklikler var."), false);
    else if (!m_table.fileExists())
        setMessage(tr("Bu istasyonun debi tablosu yok: %1. Noktaları girip kaydedince oluşturulur.")
                       .arg(QDir::toNativeSeparators(m_table.path())),
                   false);
    else
        setMessage(QString(), false);
}

// One curve per validity period, level up and flow across; the points of
// the period in the table are marked.
void RatingTab::drawCurves(const RatingCurve &curve)
{
    m_chart->removeAllSeries();
    const QList<QAbstractAxis *> horizontal = m_chart->axes(Qt::Horizontal);
    const QList<QAbstractAxis *> vertical = m_chart->axes(Qt::Vertical);
    auto *flowAxis = qobject_cast<QValueAxis *>(horizontal.value(0));
    auto *levelAxis = qobject_cast<QValueAxis *>(vertical.value(0));
    flowAxis->setTitleText(tr("Debi [%1]").arg(curve.unit));
    levelAxis->setTitleText(m_levelTitle);
    double lowFlow = 0, highFlow = 1, lowLevel = 0, highLevel = 1;
    bool any = false;
    // The period in the table, by its start: the curve holds them sorted.
    QDateTime shownFrom;
    if (m_period >= 0 && m_period < m_periods.size() && !m_periods.at(m_period).from.trimmed().isEmpty()) {
        const QDateTime t = QDateTime::fromString(m_periods.at(m_period).from.trimmed(), fromFormat);
        shownFrom = QDateTime(t.date(), t.time(), Qt::UTC);
    }
    for (std::size_t p = 0; p < curve.periods.size(); ++p) {
        const RatingCurve::Period &period = curve.periods[p];
        if (period.points.empty())
            continue;
        const QString from = period.from.isValid() ? period.from.toString(fromFormat) : QString();
        const bool shown = period.from == shownFrom;
        const QColor color = periodColors[p % std::size(periodColors)];
        auto *line = new QLineSeries;
        line->setName(from.isEmpty() ? tr("En baştan") : tr("%1 itibaren").arg(from));
        line->setPen(QPen(color, shown ? 2.5 : 1.5));
        line->replace(curvePoints(period));
        m_chart->addSeries(line);
        line->attachAxis(flowAxis);
        line->attachAxis(levelAxis);
        // A table of every centimetre is a line already.
        if (shown && period.points.size() <= 60) {
            auto *marks = new QScatterSeries;
            marks->setMarkerSize(6);
            marks->setColor(color);
            marks->setBorderColor(color.darker(130));
            for (const RatingCurve::Point &point : period.points)
                marks->append(point.flow, point.level);
            m_chart->addSeries(marks);
            marks->attachAxis(flowAxis);
            marks->attachAxis(levelAxis);
            for (QLegendMarker *marker : m_chart->legend()->markers(marks))
                marker->setVisible(false);
        }
        for (const RatingCurve::Point &point : period.points) {
            lowFlow = any ? qMin(lowFlow, point.flow) : point.flow;
            highFlow = any ? qMax(highFlow, point.flow) : point.flow;
            lowLevel = any ? qMin(lowLevel, point.level) : point.level;
            highLevel = any ? qMax(highLevel, point.level) : point.level;
            any = true;
        }
    }
    setScale(flowAxis, lowFlow, highFlow, 6);
    setScale(levelAxis, lowLevel, highLevel, 8);
    m_chart->legend()->setVisible(any);
}

void RatingTab::on_cmbDebiDonem_currentIndexChanged(int)
{
    if (m_filling)
        return;
    showPeriod();
    check();
}

// A new period starts from the shown one's points: after a flood the
// hydrologist moves the points the new gaugings show.
void RatingTab::on_btnDebiDonemEkle_clicked()
{
    RatingTable::Period period;
    if (m_period >= 0 && m_period < m_periods.size()) {
        period = m_periods.at(m_period);
        for (RatingTable::Row &row : period.rows) {
            row.source = -1;
            row.line = 0;
        }
    }
    period.source = -1;
    period.line = 0;
    period.from = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd 00:00"));
    m_periods << period;
    fillPeriods(int(m_periods.size()) - 1);
    edited();
}

void RatingTab::on_btnDebiDonemSil_clicked()
{
    if (m_period < 0 || m_period >= m_periods.size())
        return;
    m_periods.removeAt(m_period);
    if (m_periods.isEmpty())
        m_periods << RatingTable::Period();
    fillPeriods(m_period);
    edited();
}

void RatingTab::on_txtDebiBaslangic_textEdited(const QString &text)
{
    if (m_filling || m_period < 0)
        return;
    m_periods[m_period].from = text;
    ui->cmbDebiDonem->setItemText(m_period, periodName(m_periods.at(m_period)));
    edited();
}

void RatingTab::on_cmbDebiAraDeger_activated(int index)
{
    if (m_filling || m_period < 0)
        return;
    QString &interpolation = m_periods[m_period].interpolation;
    // A choice that says what the file says leaves the file's word.
    if (index == 1 && !isLog(interpolation))
        interpolation = QStringLiteral("log");
    else if (index == 0 && interpolation.trimmed().toLower() != QLatin1String("linear"))
        interpolation.clear();
    edited();
}

void RatingTab::on_txtDebiBirim_textEdited(const QString &text)
{
    if (m_filling)
        return;
    for (RatingTable::Period &period : m_periods)
        period.unit = text;
    fillRows();
    edited();
}

void RatingTab::on_tblDebi_itemChanged(QTableWidgetItem *item)
{
    if (m_filling || m_period < 0 || item->row() >= m_periods.at(m_period).rows.size())
        return;
    RatingTable::Row &row = m_periods[m_period].rows[item->row()];
    (item->column() == 0 ? row.level : row.flow) = item->text();
    edited();
}

void RatingTab::on_btnDebiSatirEkle_clicked()
{
    if (m_period < 0)
        return;
    m_periods[m_period].rows << RatingTable::Row();
    fillRows();
    const int row = ui->tblDebi->rowCount() - 1;
    ui->tblDebi->setCurrentCell(row, 0);
    ui->tblDebi->editItem(ui->tblDebi->item(row, 0));
    edited();
}

void RatingTab::on_btnDebiSatirSil_clicked()
{
    if (m_period < 0)
        return;
    QList<int> rows;
    for (const QModelIndex &index : ui->tblDebi->selectionModel()->selectedRows())
        rows << index.row();
    if (rows.isEmpty() && ui->tblDebi->currentRow() >= 0)
        rows << ui->tblDebi->currentRow();
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (int row : rows) {
        if (row < m_periods.at(m_period).rows.size())
            m_periods[m_period].rows.removeAt(row);
    }
    fillRows();
    edited();
}

void RatingTab::on_btnDebiKaydet_clicked()
{
    m_table.setPeriods(m_periods);
    QString error;
    if (!m_table.save(&error)) {
        MessageBox::critical(this, tr("Debi tablosu"), tr("Tablo kaydedilmedi; dosya olduğu gibi kaldı:") + QLatin1Char('\n') + error,
                             tr("Tamam"));
        return;
    }
    m_periods = m_table.periods();
    m_modified = false;
    fillPeriods(m_period);
    check();
    setMessage(tr("Kaydedildi: %1").arg(QDir::toNativeSeparators(m_table.path())), false);
    emit tableSaved(m_table.stationCode());
    followPending();
}

void RatingTab::on_btnDebiVazgec_clicked()
{
    m_modified = false;
    load(m_table.path(), m_table.stationCode(), m_table.stationName());
    followPending();
}

void RatingTab::followPending()
{
    if (!m_pending)
        return;
    const Station next = *m_pending;
    m_pending.reset();
    showStation(next.number, next.name, next.levelTitle);
}
