// The read chain's records on the screen: the parameter record with the
// live flow, the file list with the memory use, and the alarm record.
#include "form.h"
#include "ui_form.h"

#include "abakreader.h"
#include "localenumber.h"
#include "vlxfile.h"


namespace {

// For a radio pair the first button is checked for digit 0, the second for
// any other digit.
void setPair(QRadioButton *whenZero, QRadioButton *otherwise, int digit)
{
    if (digit == 0)
        whenZero->setChecked(true);
    else
        otherwise->setChecked(true);
}

} // namespace

void Form::onParametersRead(const ParameterRecord &par)
{
    ui->txtSeriNo->setText(par.serialNo);
    ui->txtModel->setText(par.model);
    ui->txtIstasyonAdi->setText(par.stationName);
    ui->txtIstasyonNo->setText(par.stationNo);
    ui->txtOfsetDeg->setText(par.offset);
    ui->txtCihazTarihSaat->setText(tr("%1 %2").arg(par.deviceTime, tr(dayNameSource(par.dayNumber))));
    ui->txtBataryaDurumu->setText(par.battery);
    ui->txtKanal1Ad->setText(par.channel1Name);
    ui->txtAnlikSeviye->setText(QStringLiteral("%1 %2").arg(par.level, par.channel1Unit));
    ui->cmbKanal1Birim->setCurrentIndex(
        ui->cmbKanal1Birim->findText(par.channel1Unit, Qt::MatchExactly | Qt::MatchCaseSensitive));
    ui->txtKanal2Ad->setText(par.channel2Name);
    ui->txtAnlikSicaklik->setText(QStringLiteral("%1 %2").arg(par.temperature, par.channel2Unit));
    ui->txtKanal2Birim->setText(par.channel2Unit);
    ui->txtMinSeviye->setText(par.minLevel);
    ui->txtMinSicaklik->setText(par.minTemperature);
    ui->txtMaxSeviye->setText(par.maxLevel);
    ui->txtMaxSicaklik->setText(par.maxTemperature);

    setPair(ui->rbOrtalamaKayit, ui->rbAnlikKayit, par.options[1]);
    setPair(ui->rbAnliktakiVerOrt, ui->rbKayittakiVerOrt, par.options[3]);
    setPair(ui->rbBaraj, ui->rbKuyu, par.options[5]);
    setPair(ui->rbKayitMinMax, ui->rbAnlikMinMax, par.options[2]);
    ui->cbRS485->setChecked(par.options[0] != 0);
    ui->cbKayitTamSaat->setChecked(par.options[4] != 0);

    // A logger that calls its station "Yeni" is new and unconfigured: the
    // user may type its serial number before the first upload.
    ui->txtSeriNo->setReadOnly(ui->txtIstasyonAdi->text() != QLatin1String("Yeni"));

    m_abakLoaded = m_abakReader->load(ui->txtIstasyonNo->text());
    if (m_abakLoaded)
        updateFlow();
}

void Form::updateFlow()
{
    QString level = ui->txtAnlikSeviye->text();
    level.replace(QLatin1Char('.'), QLatin1Char(','));
    if (level.contains(QLatin1String("N/A")))
        return;
    const qsizetype blank = level.indexOf(QLatin1Char(' '));
    if (blank >= 0)
        level.truncate(blank);

    const double flow = m_abakReader->flowForLevel(LocaleNumber::toFloat(level));
    ui->txtAnlikDebi->setText(QStringLiteral("%1 m3").arg(QString::asprintf("%g", flow)));
}

void Form::onFileListRead(const FileListRecord &list)
{
    ui->txtKayitAraligi->setText(list.interval);
    ui->txtDosyaAdedi->setText(list.countText);
    ui->txtKullanilanBellek->setText(tr("%1 bayt").arg(list.usedBytes));
    ui->prgMemory->setValue(int(list.usedBytes));

    const std::vector<std::unique_ptr<VLXFile>> &files = m_session->fileList();
    ui->cmbDosya->clear();
    for (const auto &file : files)
        ui->cmbDosya->addItem(tr("%1 (%2 bayt)").arg(file->dateText()).arg(file->sizeBytes()));
    ui->cmbDosya->addItem(tr("Hepsi"));

    if (files.empty()) {
        ui->cmbDosya->setEnabled(false);
    } else {
        ui->cmbDosya->setEnabled(true);
        ui->txtKurulumTarihi->setText(files.back()->dateText());
    }
}

void Form::onAlarmsRead(const AlarmRecord &alarms)
{
    // The boxes clamp to their range and keep two decimals.
    ui->txtAlrCh1High->setValue(alarms.thresholds[0]);
    ui->txtAlrCh1Low->setValue(alarms.thresholds[1]);
    ui->txtAlrCh2High->setValue(alarms.thresholds[2]);
    ui->txtAlrCh2Low->setValue(alarms.thresholds[3]);

    QLabel *dates[2] = {ui->txtAlrCh1AlrDate, ui->txtAlrCh2AlrDate};
    QLabel *times[2] = {ui->txtAlrCh1AlrTime, ui->txtAlrCh2AlrTime};
    for (int channel = 0; channel < 2; ++channel) {
        const QDateTime &when = alarms.lastAlarm[channel];
        if (when.isValid()) {
            dates[channel]->setText(when.toString(QStringLiteral("dd.MM.yyyy")));
            times[channel]->setText(when.toString(QStringLiteral("hh:mm")));
        } else {
            dates[channel]->setText(QStringLiteral("00.00.0000"));
            times[channel]->setText(QStringLiteral("00:00"));
        }
    }

    // Relay 1 first: its rule may move relay 2, and the relay 2 the logger
    // reported wins.
    ui->cmbAlrRole1->setCurrentIndex(alarms.relay1);
    ui->cmbAlrRole2->setCurrentIndex(alarms.relay2);
    ui->cbAlrCh1->setChecked(alarms.channel1On);
    ui->cbAlrCh2->setChecked(alarms.channel2On);
    on_cbAlrCh1_toggled(ui->cbAlrCh1->isChecked());
    on_cbAlrCh2_toggled(ui->cbAlrCh2->isChecked());
}

AlarmSettings Form::alarmSettingsFromWidgets() const
{
    AlarmSettings settings;
    settings.thresholds[0] = float(ui->txtAlrCh1High->value());
    settings.thresholds[1] = float(ui->txtAlrCh1Low->value());
    settings.thresholds[2] = float(ui->txtAlrCh2High->value());
    settings.thresholds[3] = float(ui->txtAlrCh2Low->value());
    settings.relay1 = ui->cmbAlrRole1->currentIndex();
    settings.relay2 = ui->cmbAlrRole2->currentIndex();
    settings.channel1On = ui->cbAlrCh1->isChecked();
    settings.channel2On = ui->cbAlrCh2->isChecked();
    return settings;
}
