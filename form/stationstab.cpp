// The station overview's rows from the station file and the collection log,
// and its "Şimdi topla" through a collector of one station.
#include "stationstab.h"
#include "ui_stationstab.h"

#include "archiveconnection.h"
#include "collectionlog.h"
#include "collector.h"
#include "collectreport.h"
#include "filedialog.h"
#include "messagebox.h"
#include "paths.h"
#include "stationsession.h"
#include "waits.h"

#include <QEvent>
#include <QSettings>
#include <QSqlDatabase>
#include <QTimer>
#include <QTreeWidgetItem>

namespace {

const QString fileKey = QStringLiteral("Stations/file");

enum Column { NameColumn, StateColumn, SuccessColumn, NewestColumn, LevelColumn, TemperatureColumn,
              DriftColumn, ErrorColumn, ColumnCount };

QString shownTime(const QDateTime &time)
{
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("dd.MM.yyyy hh:mm")) : QString();
}

QString shownValue(const std::optional<double> &value)
{
    return value ? QString::number(CollectReport::measured(*value), 'f', 2) : QString();
}

} // namespace

StationsTab::StationsTab(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::StationsTab>())
{
    ui->setupUi(this);
    ui->prgToplama->setRange(0, 1);
    ui->prgToplama->setValue(0);
    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setInterval(Waits::current().stationsRefresh);
    connect(m_refreshTimer, &QTimer::timeout, this, &StationsTab::refresh);
    connect(ui->lstIstasyonlar, &QTreeWidget::currentItemChanged, this,
            [this] { ui->btnSimdiTopla->setEnabled(ui->lstIstasyonlar->currentItem() && !isCollecting()); });
    ui->btnSimdiTopla->setEnabled(false);
    ui->txtIstasyonDosyasi->setText(QSettings(Paths::settingsFile(), QSettings::IniFormat).value(fileKey).toString());
}

StationsTab::~StationsTab()
{
    // A visit still running is abandoned; its blocks stay kept.
    delete m_collector;
    m_log.reset();
    closeArchiveConnection(m_logConnection);
}

QString StationsTab::stationFile() const { return ui->txtIstasyonDosyasi->text(); }

void StationsTab::setStationFile(const QString &path)
{
    ui->txtIstasyonDosyasi->setText(path);
    QSettings(Paths::settingsFile(), QSettings::IniFormat).setValue(fileKey, path);
    refresh();
}

void StationsTab::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    refresh();
    m_refreshTimer->start();
}

void StationsTab::hideEvent(QHideEvent *event)
{
    m_refreshTimer->stop();
    QWidget::hideEvent(event);
}

void StationsTab::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        if (isVisible())
            refresh();
    }
    QWidget::changeEvent(event);
}

QString StationsTab::stateText(StationState state) const
{
    switch (state) {
    case StationState::Ok:
        return tr("Normal");
    case StationState::Late:
        return tr("Gecikmeli");
    case StationState::Down:
        return tr("Ulaşılamıyor");
    }
    return QString();
}

void StationsTab::refresh()
{
    const QString chosen = ui->lstIstasyonlar->currentItem() ? ui->lstIstasyonlar->currentItem()->text(NameColumn)
                                                             : QString();
    ui->lstIstasyonlar->clear();
    m_stations.clear();
    if (stationFile().isEmpty()) {
        showFileProblem(tr("İstasyon dosyası seçilmedi."));
        return;
    }
    QString error;
    m_stations = readStationFile(stationFile(), &error);
    if (error.isEmpty() && !m_log) {
        m_logConnection = QStringLiteral("stationstab-%1").arg(quintptr(this), 0, 16);
        {
            const QSqlDatabase db = openArchiveConnection(m_logConnection, &error);
            if (db.isOpen())
                m_log = std::make_unique<CollectionLog>(db);
        }
        if (!m_log)
            closeArchiveConnection(m_logConnection);
    }
    if (!error.isEmpty()) {
        m_stations.clear();
        showFileProblem(tr("İstasyon dosyası okunamadı: %1").arg(error));
        return;
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const StationConfig &station : m_stations) {
        const StationHistory history = m_log->history(station.name);
        showRow(station, history, stationState(history, station.intervalMinutes, now));
        if (station.name == chosen)
            ui->lstIstasyonlar->setCurrentItem(ui->lstIstasyonlar->topLevelItem(ui->lstIstasyonlar->topLevelItemCount() - 1));
    }
    showFileProblem(m_log->lastError().isEmpty() ? QString()
                                                 : tr("Toplama kaydı okunamadı: %1").arg(m_log->lastError()));
    for (int column = 0; column < ColumnCount - 1; ++column)
        ui->lstIstasyonlar->resizeColumnToContents(column);
}

// A problem of the file or the log shows in the status line, unless a visit
// reports there; once mended, the line is cleared again.
void StationsTab::showFileProblem(const QString &text)
{
    if (isCollecting())
        return;
    if (!text.isEmpty() || m_fileProblemShown)
        ui->lblToplamaDurumu->setText(text);
    m_fileProblemShown = !text.isEmpty();
}

void StationsTab::showRow(const StationConfig &station, const StationHistory &history, StationState state)
{
    auto *item = new QTreeWidgetItem(ui->lstIstasyonlar);
    item->setText(NameColumn, station.name);
    item->setToolTip(NameColumn, station.linkText());
    item->setText(StateColumn, stateText(state));
    item->setText(SuccessColumn, shownTime(history.lastSuccess));
    item->setText(NewestColumn, history.newest.isValid()
                                    ? history.newest.toString(QStringLiteral("dd.MM.yyyy hh:mm")) : QString());
    item->setText(LevelColumn, shownValue(history.level));
    item->setText(TemperatureColumn, shownValue(history.temperature));
    item->setText(DriftColumn, history.clockDriftSeconds ? QString::number(*history.clockDriftSeconds) : QString());
    item->setText(ErrorColumn, history.lastError);
    item->setToolTip(ErrorColumn, history.lastError);
    for (int column : {LevelColumn, TemperatureColumn, DriftColumn})
        item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    if (state == StationState::Down) {
        QFont bold = item->font(NameColumn);
        bold.setBold(true);
        for (int column = 0; column < ColumnCount; ++column) {
            item->setBackground(column, downBackground());
            item->setForeground(column, QColor(128, 0, 0));
            item->setFont(column, bold);
        }
    } else if (state == StationState::Late) {
        item->setForeground(StateColumn, QColor(160, 96, 0));
    }
}

void StationsTab::on_btnIstasyonDosyasiSec_clicked()
{
    FileDialog::Request request;
    request.parent = this;
    request.caption = tr("İstasyon dosyası");
    request.path = stationFile().isEmpty() ? Paths::dataRoot() : stationFile();
    request.filter = tr("İstasyon dosyaları (*.ini);;Tüm dosyalar (*)");
    const QString path = FileDialog::openFileName(request);
    if (!path.isEmpty())
        setStationFile(path);
}

void StationsTab::on_btnSimdiTopla_clicked()
{
    const QTreeWidgetItem *item = ui->lstIstasyonlar->currentItem();
    if (!item || isCollecting())
        return;
    const int index = ui->lstIstasyonlar->indexOfTopLevelItem(const_cast<QTreeWidgetItem *>(item));
    if (index < 0 || index >= m_stations.size())
        return;
    const StationConfig station = m_stations.at(index);
    if (m_formSession && station.uses(m_formSession->linkTarget())) {
        MessageBox::critical(this, tr("Şimdi topla"),
                             tr("%1 toplanamaz: formun bağlantısı aynı hatta açık (%2). Önce formdaki "
                                "bağlantıyı kesin.")
                                 .arg(station.name, station.linkText()),
                             tr("Tamam"));
        return;
    }

    m_collector = new Collector({station}, true, 1, this);
    connect(m_collector, &Collector::stage, this, [this](const QString &name, const QString &text) {
        ui->lblToplamaDurumu->setText(QStringLiteral("%1: %2").arg(name, text));
    });
    connect(m_collector, &Collector::progressed, this,
            [this](const QString &, const TransferProgress &progress) { showProgress(progress); });
    connect(m_collector, &Collector::attemptFailed, this, &StationsTab::onAttemptFailed);
    connect(m_collector, &Collector::visitFinished, this, &StationsTab::onVisitFinished);
    connect(m_collector, &Collector::finished, this, &StationsTab::onCollectionEnded);
    QString error;
    if (!m_collector->start(&error)) {
        delete m_collector;
        m_collector = nullptr;
        MessageBox::critical(this, tr("Şimdi topla"), error, tr("Tamam"));
        return;
    }
    ui->btnSimdiTopla->setEnabled(false);
    ui->btnIstasyonDosyasiSec->setEnabled(false);
    ui->prgToplama->setRange(0, 0);
    ui->lblToplamaDurumu->setText(tr("%1 toplanıyor...").arg(station.name));
}

void StationsTab::showProgress(const TransferProgress &progress)
{
    ui->prgToplama->setRange(0, qMax(1, progress.blockCount));
    ui->prgToplama->setValue(qBound(0, progress.accepted, progress.blockCount));
    QString text = tr("Blok %1 / %2").arg(progress.accepted).arg(progress.blockCount);
    if (progress.secondsLeft >= 0)
        text += QStringLiteral(", ") + tr("kalan %1 s").arg(progress.secondsLeft);
    ui->lblToplamaDurumu->setText(text);
}

void StationsTab::onAttemptFailed(const QString &station, int attempt, const QString &error, int retryIn)
{
    ui->prgToplama->setRange(0, 0);
    ui->lblToplamaDurumu->setText(tr("%1: %2. deneme başarısız (%3); %4 s sonra yeniden denenecek.")
                                      .arg(station)
                                      .arg(attempt)
                                      .arg(error)
                                      .arg(retryIn));
}

void StationsTab::onVisitFinished(const VisitReport &visit)
{
    ui->prgToplama->setRange(0, 1);
    ui->prgToplama->setValue(visit.ok ? 1 : 0);
    refresh();
    if (visit.ok) {
        const QString details =
            tr("Arşive eklenen satır: %1").arg(visit.newRows) + QLatin1Char('\n')
            + tr("En yeni kayıt: %1")
                  .arg(visit.newest.isValid() ? visit.newest.toString(QStringLiteral("dd.MM.yyyy hh:mm")) : tr("yok"));
        ui->lblToplamaDurumu->setText(tr("%1 toplandı.").arg(visit.station));
        MessageBox::informationWithDetails(this, tr("Şimdi topla"), tr("%1 toplandı.").arg(visit.station), details,
                                           tr("Tamam"));
    } else {
        ui->lblToplamaDurumu->setText(tr("%1 toplanamadı.").arg(visit.station));
        MessageBox::criticalWithDetails(this, tr("Şimdi topla"), tr("%1 toplanamadı.").arg(visit.station),
                                        visit.error, tr("Tamam"));
    }
}

void StationsTab::onCollectionEnded()
{
    m_collector->deleteLater();
    m_collector = nullptr;
    ui->btnIstasyonDosyasiSec->setEnabled(true);
    ui->btnSimdiTopla->setEnabled(ui->lstIstasyonlar->currentItem() != nullptr);
}
