// The setting commands of the working form: parameter upload, password
// change, sensor zero and alarm set. The password is asked for at the moment
// of the operation and never kept.
#include "form.h"
#include "ui_form.h"

#include "commands.h"
#include "messagebox.h"
#include "sifre.h"
#include "sifredegistir.h"
#include "upload.h"

#include <QDebug>
#include <QFile>

namespace {

// A copy of the last upload for the service technician, with the password
// masked. A file that cannot be written costs only the copy.
void writeUploadTrace(const QByteArray &frame, const QString &password)
{
    QFile file(QStringLiteral("temp.txt"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    file.write(Upload::traceText(frame, password));
}

} // namespace

bool Form::askPassword(const QString &cancelTitle, QString *password)
{
    // The prompt lives only for this question; the password is never kept.
    Sifre prompt(this);
    if (prompt.exec() != QDialog::Accepted) {
        MessageBox::critical(this, cancelTitle, tr("İşlem kullanıcı tarafından iptal edildi!"), tr("Tamam"));
        return false;
    }
    *password = prompt.password();
    return true;
}

void Form::on_btnParametreYukle_clicked()
{
    QString password;
    if (!askPassword(tr("İptal"), &password))
        return;

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
    const int answer = MessageBox::question(this, tr("Dosya Eylemi"), text, {yes, no, cancel}, 0, -1);
    if (answer != 0 && answer != 1) {
        MessageBox::critical(this, tr("İptal"), tr("İşlem kullanıcı tarafından iptal edildi!"), tr("Tamam"));
        return;
    }

    UploadRequest request;
    request.password = password;
    request.fileAction = answer;
    request.stationName = ui->txtIstasyonAdi->text().trimmed();
    request.stationNo = ui->txtIstasyonNo->text().trimmed();
    request.waitFullHour = ui->cbKayitTamSaat->isChecked();
    request.instantRecord = ui->rbAnlikKayit->isChecked();
    request.recordAverage = ui->rbKayittakiVerOrt->isChecked();
    request.well = ui->rbKuyu->isChecked();
    request.instantMinMax = ui->rbAnlikMinMax->isChecked();
    request.rs485 = ui->cbRS485->isChecked();
    request.clock = QDateTime::currentDateTime();
    request.offset = Upload::parseLocaleNumber(ui->txtOfsetDeg->text().trimmed());
    request.channel1Unit = ui->cmbKanal1Birim->currentText();
    request.channel1Name = ui->txtKanal1Ad->text().trimmed();
    request.recordInterval = ui->txtKayitAraligi->text().trimmed();
    request.serialNo = ui->txtSeriNo->text().trimmed();

    const QByteArray frame = Commands::par(request);
    writeUploadTrace(frame, password);
    m_alarmCheck.reset();
    setPending(Commands::PendingPAR);
    sendCommand(frame, false);
}

void Form::on_btnSifreDegistir_clicked()
{
    QString oldPassword;
    QString newPassword;
    {
        SifreDegistir dialog(this);
        if (dialog.exec() != QDialog::Accepted) {
            MessageBox::critical(this, tr("Hata"), tr("İşlem kullanıcı tarafından iptal edildi!"), tr("Tamam"));
            return;
        }
        oldPassword = dialog.oldPassword();
        newPassword = dialog.newPassword();
    }
    m_alarmCheck.reset();
    setPending(Commands::PendingSIF);
    sendCommand(Commands::sif(oldPassword, newPassword), false);
}

void Form::on_btnSensorSifirla_clicked()
{
    MessageBox::warning(this, tr("Uyarı"), tr("Sensörün suyun dışında olduğundan emin olun!"), tr("Tamam"));
    QString password;
    if (!askPassword(tr("Hata"), &password))
        return;
    m_alarmCheck.reset();
    setPending(Commands::PendingSEN);
    sendCommand(Commands::sen(password), false);
}

void Form::on_btnAlarmKur_clicked()
{
    const AlarmSettings settings = alarmSettingsFromWidgets();
    const QByteArray frame = Commands::ayu(settings);
    qDebug().noquote() << QStringLiteral("ALR Kur:") << QLatin1Char('"') + QString::fromUtf8(frame) + QLatin1Char('"');
    setPending(Commands::PendingAYU);
    // Any answer makes the form read the alarms back and compare them with
    // what was sent.
    m_alarmCheck = settings;
    sendCommand(frame, false);
}
