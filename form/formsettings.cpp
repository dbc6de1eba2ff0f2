// The setting commands of the working form: parameter upload, password
// change, sensor zero and alarm set, and the dialogs that answer the
// session's questions. The password is asked for at the moment of the
// operation and never kept.
#include "form.h"
#include "ui_form.h"

#include "messagebox.h"
#include "sifre.h"
#include "sifredegistir.h"
#include "upload.h"

std::optional<QString> Form::password()
{
    // The prompt lives only for this question.
    Sifre prompt(this);
    if (prompt.exec() != QDialog::Accepted)
        return std::nullopt;
    return prompt.password();
}

std::optional<std::pair<QString, QString>> Form::passwordChange()
{
    SifreDegistir dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return std::make_pair(dialog.oldPassword(), dialog.newPassword());
}

int Form::storedDataAction()
{
    const QString yes = tr("Evet");
    const QString no = tr("Hayır");
    const QString cancel = tr("İptal");
    const QString text =
        tr("<html>Cihazdaki veriler silinsin mi?<br><br><table>"
           "<tr><th align='left'>%1</th><th>:</th><td>Cihazdaki tüm dosya ve veriler silinecek</td></tr>"
           "<tr><th align='left'>%2</th><th>:</th><td>Cihazdaki en son dosya ve veriler saklanıp yeni dosya oluşacak</td></tr>"
           "<tr><th align='left'>%3</th><th>:</th><td>İşlemi iptal et</td></tr></table></html>")
            .arg(yes, no, cancel);
    // No escape button: the user picks one of the three.
    return MessageBox::question(this, tr("Dosya Eylemi"), text, {yes, no, cancel}, 0, -1);
}

bool Form::sensorOutOfWater()
{
    MessageBox::warning(this, tr("Uyarı"), tr("Sensörün suyun dışında olduğundan emin olun!"), tr("Tamam"));
    return true;
}

void Form::on_btnParametreYukle_clicked()
{
    UploadRequest request;
    request.stationName = ui->txtIstasyonAdi->text().trimmed();
    request.stationNo = ui->txtIstasyonNo->text().trimmed();
    request.waitFullHour = ui->cbKayitTamSaat->isChecked();
    request.instantRecord = ui->rbAnlikKayit->isChecked();
    request.recordAverage = ui->rbKayittakiVerOrt->isChecked();
    request.well = ui->rbKuyu->isChecked();
    request.instantMinMax = ui->rbAnlikMinMax->isChecked();
    request.rs485 = ui->cbRS485->isChecked();
    request.offset = Upload::parseLocaleNumber(ui->txtOfsetDeg->text().trimmed());
    request.channel1Unit = ui->cmbKanal1Birim->currentText();
    request.channel1Name = ui->txtKanal1Ad->text().trimmed();
    request.recordInterval = ui->txtKayitAraligi->text().trimmed();
    request.serialNo = ui->txtSeriNo->text().trimmed();
    m_session->uploadParameters(request);
}

void Form::on_btnSifreDegistir_clicked() { m_session->changePassword(); }

void Form::on_btnSensorSifirla_clicked() { m_session->zeroSensor(); }

void Form::on_btnAlarmKur_clicked() { m_session->setAlarms(alarmSettingsFromWidgets()); }
