#include "form.h"
#include "ui_form.h"

#include "charttab.h"
#include "ratingtab.h"
#include "stationstab.h"

#include "abakreader.h"
#include "application.h"
#include "options.h"
#include "paths.h"

#include <QDir>
#include <QEvent>
#include <QProgressDialog>
#include <QSettings>
#include <QStandardItemModel>

#include <climits>

Form::Form(QWidget *parent) : QWidget(parent), ui(new Ui::Form)
{
    ui->setupUi(this);

    m_debugLog.open(Paths::logDir(), QDateTime::currentDateTime());
    connect(this, &Form::debuging, this, &Form::onDebuging);
    emit debuging(VLX_TRACE("(01) Start %1:%2"));

    m_session = new StationSession(this, this);
    connect(m_session, &StationSession::trace, this, &Form::debuging);
    connect(m_session, &StationSession::linkChanged, this, &Form::updateLinkButtons);
    connect(m_session, &StationSession::linkClosed, this, &Form::onLinkClosed);
    connect(m_session, &StationSession::linkError, this, &Form::onLinkError);
    connect(m_session, &StationSession::busy, this, &Form::showBusy);
    connect(m_session, &StationSession::busyLabel, this,
            [this](const QString &label) { m_progress->setLabelText(label); });
    connect(m_session, &StationSession::progressHidden, this, &Form::hideProgress);
    connect(m_session, &StationSession::transferPlanned, this, &Form::onTransferPlanned);
    connect(m_session, &StationSession::transferProgressed, this, &Form::onTransferProgressed);
    connect(m_session, &StationSession::analysisProgress, this, &Form::onAnalysisProgress);
    connect(m_session, &StationSession::analysisEnded, this, &Form::onAnalysisEnded);
    connect(m_session, &StationSession::parametersRead, this, &Form::onParametersRead);
    connect(m_session, &StationSession::fileListRead, this, &Form::onFileListRead);
    connect(m_session, &StationSession::alarmsRead, this, &Form::onAlarmsRead);
    connect(m_session, &StationSession::installTimeFound, this, [this](const QDateTime &installTime) {
        ui->txtKurulumTarihi->setText(installTime.toString(QStringLiteral("dd.MM.yyyy hh:mm")));
    });
    connect(m_session, &StationSession::archiveChanged, this, &Form::archiveChanged);
    connect(m_session, &StationSession::finished, this, &Form::onFinished);

    resetFields();
    ui->prgMemory->setRange(0, int(LoggerMemoryBytes));

    fillPortList();
    updateLinkButtons();

    // The one busy indicator of every device operation. It shows and hides
    // only when told to: no automatic showing after a while, no automatic
    // hiding when the value reaches the maximum.
    m_progress = new QProgressDialog(this);
    m_progress->setWindowTitle(QStringLiteral("VLXLogger"));
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setMinimumDuration(INT_MAX);
    m_progress->setAutoReset(false);
    m_progress->setAutoClose(false);
    m_progress->reset();
    m_progress->hide();
    connect(m_progress, &QProgressDialog::canceled, this, &Form::onPrgDlgCancelled);
    connect(m_progress, &QDialog::rejected, this, &Form::onPrgDlgCancelled);

    loadSettings();

    m_languageListReady = false;
    fillLanguageList();
    m_languageListReady = true;

    ui->tabWidget->setCurrentIndex(0);
    // The chart page shows a download's file once it is archived.
    connect(this, &Form::archiveChanged, ui->chartTab, &ChartTab::showDownloaded);
    // The "Debi" page shows the rating of the chart's station; the chart
    // follows what is saved there.
    connect(ui->chartTab, &ChartTab::stationChosen, ui->ratingTab, &RatingTab::showStation);
    connect(ui->ratingTab, &RatingTab::tableSaved, ui->chartTab, &ChartTab::ratingChanged);
    // "Şimdi topla" never uses a link this form holds open.
    ui->stationsTab->setFormSession(m_session);
    on_cbAlrCh1_toggled(ui->cbAlrCh1->isChecked());
    on_cbAlrCh2_toggled(ui->cbAlrCh2->isChecked());
    on_cmbAlrRole1_currentIndexChanged(ui->cmbAlrRole1->currentIndex());

    m_abakLoaded = false;
    m_abakReader = std::make_unique<AbakReader>();
}

Form::~Form()
{
    saveSettings();
    emit debuging(VLX_TRACE("(XX) Finish %1:%2"));
    m_debugLog.close();
    // The session's links go while the form is still whole: a GSM call
    // being hung up still reports to it.
    delete m_session;
    m_session = nullptr;
    delete ui;
}

void Form::onDebuging(QString message) { m_debugLog.write(message); }

void Form::on_btnCikis_clicked() { emit closeApplication(); }

void Form::fillPortList()
{
    ui->cmbPortList->clear();
    QStringList ports = m_session->availablePorts();
    for (const QString &extra : Options::extraPorts()) {
        if (!ports.contains(extra))
            ports.append(extra);
    }
    ui->cmbPortList->addItems(ports);
}

void Form::loadSettings()
{
    QSettings settings(Paths::settingsFile(), QSettings::IniFormat);
    const QString port = settings.value(QStringLiteral("RS232/port"), QString()).toString();
    const QString host = settings.value(QStringLiteral("GPRS/host"), QString()).toString();
    const QString phone = settings.value(QStringLiteral("GSM/phone"), QString()).toString();
    m_currentLanguage = settings.value(QStringLiteral("Application/lang"), QStringLiteral("tr_TR")).toString();

    const int index = ui->cmbPortList->findText(port, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        ui->cmbPortList->setCurrentIndex(index);
    ui->txtHost->setText(host);
    ui->txtPhone->setText(phone);
}

void Form::saveSettings()
{
    QSettings settings(Paths::settingsFile(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("RS232/port"), ui->cmbPortList->currentText());
    settings.setValue(QStringLiteral("GPRS/host"), ui->txtHost->text());
    settings.setValue(QStringLiteral("GSM/phone"), ui->txtPhone->text());
    settings.setValue(QStringLiteral("Application/lang"), m_currentLanguage);
    settings.sync();
}

void Form::fillLanguageList()
{
    ui->cmbLanguage->clear();
    const QDir dir(Paths::langDir());
    const QFileInfoList files = dir.entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo &file : files) {
        const QString base = file.baseName();
        QString label;
        if (base == QLatin1String("en_US"))
            label = QStringLiteral("English");
        else if (base == QLatin1String("tr_TR"))
            label = QStringLiteral("Türkçe");
        ui->cmbLanguage->addItem(label, base);
    }
    ui->cmbLanguage->setCurrentIndex(ui->cmbLanguage->findData(m_currentLanguage));
}

void Form::on_cmbLanguage_currentIndexChanged(int index)
{
    const QString locale = ui->cmbLanguage->itemData(index).toString();
    if (!m_languageListReady)
        return;
    m_currentLanguage = locale;
    Application::setLanguage(locale);
}

void Form::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}

void Form::resetFields()
{
    for (QLineEdit *edit : {ui->txtIstasyonAdi, ui->txtIstasyonNo, ui->txtOfsetDeg, ui->txtKanal1Ad,
                            ui->txtKanal2Ad, ui->txtKanal2Birim, ui->txtKayitAraligi,
                            ui->txtCihazTarihSaat, ui->txtKurulumTarihi, ui->txtKullanilanBellek,
                            ui->txtModel, ui->txtSeriNo})
        edit->clear();
    ui->cmbKanal1Birim->setCurrentIndex(ui->cmbKanal1Birim->count() > 0 ? 0 : -1);

    // Radio pairs are cleared as a whole: without exclusivity for a moment,
    // neither button of a pair stays checked.
    for (QAbstractButton *button :
         std::initializer_list<QAbstractButton *>{ui->rbOrtalamaKayit, ui->rbAnlikKayit, ui->rbAnliktakiVerOrt,
                                                  ui->rbKayittakiVerOrt, ui->rbBaraj, ui->rbKuyu,
                                                  ui->rbKayitMinMax, ui->rbAnlikMinMax, ui->cbRS485,
                                                  ui->cbKayitTamSaat}) {
        const bool exclusive = button->autoExclusive();
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(exclusive);
    }

    for (QLabel *label : {ui->txtBataryaDurumu, ui->txtAnlikSeviye, ui->txtAnlikSicaklik, ui->txtAnlikDebi})
        label->setText(QStringLiteral("N/A"));
    for (QLabel *label : {ui->txtMaxSeviye, ui->txtMinSeviye, ui->txtMaxSicaklik, ui->txtMinSicaklik})
        label->setText(QStringLiteral("00/00/00 00:00 0"));
    ui->cmbDosya->clear();
    ui->prgMemory->setValue(0);
    ui->txtDosyaAdedi->setText(QStringLiteral("0"));
}

void Form::updateLinkButtons()
{
    const StationSession::Link link = m_session->openLink();
    const bool rs232 = link == StationSession::Rs232Link;
    const bool gprs = link == StationSession::GprsLink;
    const bool gsm = link == StationSession::GsmLink;
    const bool any = rs232 || gprs || gsm;

    ui->btnRS232->setText(rs232 ? tr("Bağlantıyı Kes") : tr("RS232"));
    ui->btnGPRS->setText(gprs ? tr("Bağlantıyı Kes") : tr("GPRS"));
    ui->btnGSM->setText(gsm ? tr("Bağlantıyı Kes") : tr("GSM"));

    if (any) {
        if (!rs232)
            ui->btnRS232->setEnabled(false);
        ui->cmbPortList->setEnabled(false);
        if (!gprs)
            ui->btnGPRS->setEnabled(false);
        if (!gsm)
            ui->btnGSM->setEnabled(false);
    } else {
        // Without any port the serial controls keep their state (disabled
        // from construction on).
        if (ui->cmbPortList->count() > 0) {
            ui->btnRS232->setEnabled(true);
            ui->cmbPortList->setEnabled(true);
        }
        ui->btnGPRS->setEnabled(true);
        ui->btnGSM->setEnabled(true);
    }
    ui->txtHost->setEnabled(!any);
    ui->txtPhone->setEnabled(!any);
    for (QPushButton *button : {ui->btnParametreOku, ui->btnSifreDegistir, ui->btnSensorSifirla,
                                ui->btnAlarmKur, ui->btnParametreYukle, ui->btnVeriAktar})
        button->setEnabled(any);
    // A GSM call left up by closing the program costs money: the exit button
    // waits for the hang-up like it does for the other links.
    ui->btnCikis->setEnabled(!any);
    ui->cmbLanguage->setEnabled(!any);
}

// Alarm tab rules

void Form::on_cbAlrCh1_toggled(bool checked)
{
    ui->txtAlrCh1High->setEnabled(checked);
    ui->txtAlrCh1Low->setEnabled(checked);
}

void Form::on_cbAlrCh2_toggled(bool checked)
{
    ui->txtAlrCh2High->setEnabled(checked);
    ui->txtAlrCh2Low->setEnabled(checked);
}

namespace {
void setRelayItemEnabled(QComboBox *box, int row, bool enabled)
{
    auto *model = qobject_cast<QStandardItemModel *>(box->model());
    if (!model || !model->item(row))
        return;
    QStandardItem *item = model->item(row);
    Qt::ItemFlags flags = item->flags();
    flags.setFlag(Qt::ItemIsEnabled, enabled);
    flags.setFlag(Qt::ItemIsSelectable, enabled);
    item->setFlags(flags);
}
} // namespace

void Form::on_cmbAlrRole1_currentIndexChanged(int index)
{
    // The two relays never follow the same channel: the channel relay 1 takes
    // is not offered to relay 2, which moves to the other channel if it had one.
    QComboBox *role2 = ui->cmbAlrRole2;
    const int remembered = role2->currentIndex();
    if (index == 1) {
        setRelayItemEnabled(role2, 1, false);
        setRelayItemEnabled(role2, 2, true);
        if (remembered != 0)
            role2->setCurrentIndex(2);
    } else if (index == 2) {
        setRelayItemEnabled(role2, 1, true);
        setRelayItemEnabled(role2, 2, false);
        if (remembered != 0)
            role2->setCurrentIndex(1);
    } else {
        setRelayItemEnabled(role2, 1, true);
        setRelayItemEnabled(role2, 2, true);
    }
}
