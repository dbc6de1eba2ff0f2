// The command protocol of the working form: sending through the open link,
// routing every complete reply by the awaited answer, and the time-out of
// block requests.
#include "form.h"
#include "ui_form.h"

#include "commands.h"
#include "dispatch.h"
#include "gprscommunication.h"
#include "gsmcommunication.h"
#include "messagebox.h"
#include "rs232communication.h"
#include "timerthread.h"
#include "waits.h"

#include <QCoreApplication>
#include <QDebug>
#include <QProgressDialog>
#include <QTimer>

void Form::sendCommand(const QByteArray &command, bool binaryReply)
{
    // The frame goes out NUL-terminated; a frame never holds a 0 byte.
    if (m_rs232->isOpen())
        m_rs232->send(command.constData(), binaryReply);
    else if (m_gprs->isOpen())
        m_gprs->send(command.constData(), binaryReply);
    else if (m_gsm->isOpen())
        m_gsm->send(command.constData(), binaryReply);
}

void Form::sendOKU()
{
    trace(VLX_TRACE("(04) OKU %1:%2"));
    m_alarmCheck.reset();
    setPending(Commands::PendingOKU);
    sendCommand(Commands::oku(), false);
}

void Form::sendDKU()
{
    trace(VLX_TRACE("(06) DKU %1:%2"));
    setPending(Commands::PendingDKU);
    sendCommand(Commands::dku(), false);
}

void Form::sendALO()
{
    trace(VLX_TRACE("(08) ALO %1:%2"));
    setPending(Commands::PendingALO);
    sendCommand(Commands::alo(), false);
}

void Form::sendVER()
{
    trace(VLX_TRACE("(10) VER %1:%2"));
    m_alarmCheck.reset();
    setPending(Commands::PendingVER);
    sendCommand(Commands::ver(), false);
}

void Form::on_btnParametreOku_clicked()
{
    showBusy(tr("Veri için bekleniyor..."));
    QCoreApplication::processEvents();
    sendOKU();
}

void Form::on_btnVeriAktar_clicked() { sendVER(); }

void Form::onDataReceived(QByteArray message)
{
    trace(VLX_TRACE("(15) Parse %1:%2"));
    dispatchResponse(message);
}

void Form::endReadWithShortRecord()
{
    m_pendingCommand = 0;
    m_alarmCheck.reset();
    hideProgress();
    MessageBox::critical(this, tr("Parametre Oku"), tr("Cihazdan gelen bilgi eksik!"), tr("Tamam"));
}

void Form::dispatchResponse(const QByteArray &message)
{
    switch (dispatchAction(m_pendingCommand, message)) {
    case ReplyAction::Ignore:
        break;
    case ReplyAction::ShowParameters:
        if (showParameters(message))
            sendDKU();
        else
            endReadWithShortRecord();
        break;
    case ReplyAction::ShowFileList:
        showFileList(message);
        sendALO();
        break;
    case ReplyAction::ShowAlarms: {
        // After "Alarm Kur" this record is the read-back: the logger must now
        // hold exactly what was sent. A record too short to read proves
        // nothing, so it too leaves the alarm set unconfirmed.
        const std::optional<AlarmSettings> sent = m_alarmCheck;
        m_alarmCheck.reset();
        const bool shown = showAlarms(message);
        if (!sent) {
            if (!shown) {
                endReadWithShortRecord();
                break;
            }
            hideProgress();
            MessageBox::information(this, tr("Parametre Oku"), tr("Parametre bilgileri okundu"), tr("Tamam"));
            break;
        }
        hideProgress();
        if (shown && sameAlarmSettings(alarmSettingsFromWidgets(), *sent)) {
            MessageBox::information(this, tr("Alarm Kur"), tr("Alarm bilgileri yüklendi."), tr("Tamam"));
        } else {
            if (!shown)
                m_pendingCommand = 0;
            MessageBox::critical(this, tr("Alarm Kur"), tr("Alarm bilgileri doğrulanamadı!"), tr("Tamam"));
        }
        break;
    }
    case ReplyAction::AlarmsSetAnswer: {
        // Whatever the logger answered, read the alarms back to see what it holds.
        const std::optional<AlarmSettings> sent = m_alarmCheck;
        sendALO();
        m_alarmCheck = sent;
        break;
    }
    case ReplyAction::PasswordChanged:
        MessageBox::information(this, tr("Şifre Değiştir"), tr("Şifre değişti."), tr("Tamam"));
        break;
    case ReplyAction::OldPasswordWrong:
        MessageBox::critical(this, tr("Şifre Değiştir"), tr("Eski şifre yanlış!"), tr("Tamam"));
        break;
    case ReplyAction::SensorZeroed:
        MessageBox::information(this, tr("Sensör Sıfırla"), tr("Sensör sıfırlandı."), tr("Tamam"));
        break;
    case ReplyAction::SensorPasswordWrong:
        MessageBox::critical(this, tr("Sensör Sıfırla"), tr("Şifre yanlış!"), tr("Tamam"));
        break;
    case ReplyAction::ParametersUploaded:
        MessageBox::information(this, tr("Parametre Yükleme"), tr("Parametre bilgileri yüklendi."), tr("Tamam"));
        break;
    case ReplyAction::UploadPasswordWrong:
        MessageBox::critical(this, tr("Parametre Yükleme"), tr("Şifre yanlış!"), tr("Tamam"));
        break;
    case ReplyAction::StartTransfer:
        startTransfer(message);
        break;
    case ReplyAction::BlockReply:
        Waits::sleep(Waits::current().blockPause);
        handleBlockReply(message);
        break;
    }
}

void Form::startTransfer(const QByteArray &reply)
{
    showFileList(reply);
    if (!planTransfer())
        return;
    m_timerExpired = false;
    m_timerThread->start();
    m_watchdogTimer->start();
    m_retryCount = 0;
    m_lastBlockNo = -1;
    Waits::sleep(Waits::current().blockPause);
    requestBlock();
}

void Form::onThreadFinished() { m_timerExpired = true; }

void Form::onTimeout()
{
    if (m_pendingCommand != Commands::PendingAKT || !m_timerExpired)
        return;
    m_timerExpired = false;
    if (m_retryCount == 10) {
        hideProgress();
        m_pendingCommand = 0;
        MessageBox::criticalWithDetails(this, tr("Aktarım Hatası"),
                                        tr("Cihaz uzun süredir yanıt vermiyor.Lütfen tekrar deneyin."),
                                        keptForNextTry(), tr("Tamam"));
        return;
    }
    ++m_retryCount;
    updateTransferLabel();
    qDebug().nospace() << "Timeout (" << m_retryCount << ")";
    m_timerThread->start();
    requestBlock();
}

void Form::onPrgDlgCancelled()
{
    m_pendingCommand = 0;
    m_alarmCheck.reset();
}

QString Form::keptForNextTry() const
{
    if (!m_keepingCopy)
        return QString();
    return tr("Sonraki deneme için saklanan: %1 blok").arg(keptBlocks());
}
