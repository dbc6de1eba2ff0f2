// Connection control of the working form: the three link buttons, a GPRS
// connection that drops or fails, and the busy indicator while connecting.
#include "form.h"
#include "ui_form.h"

#include "abakreader.h"
#include "commands.h"
#include "findmodem.h"
#include "gprscommunication.h"
#include "gsmcommunication.h"
#include "messagebox.h"
#include "rs232communication.h"
#include "timerthread.h"
#include "waits.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QTimer>

bool Form::splitHostPort(const QString &text, QString *host, quint16 *port)
{
    const QString trimmed = text.trimmed();
    *host = trimmed;
    *port = 80;
    if (trimmed.isEmpty())
        return false;

    // "[v6-address]:port"
    static const QRegularExpression bracketed(QStringLiteral("^\\[([^\\]]+)\\](?::(\\d{1,5}))?$"));
    QRegularExpressionMatch match = bracketed.match(trimmed);
    if (match.hasMatch()) {
        *host = match.captured(1);
        if (match.hasCaptured(2)) {
            const uint value = match.captured(2).toUInt();
            if (value == 0 || value > 65535)
                return false;
            *port = quint16(value);
        }
        return true;
    }

    // "host:port"; a text with several colons is a bare IPv6 address.
    if (trimmed.count(QLatin1Char(':')) == 1) {
        const qsizetype colon = trimmed.indexOf(QLatin1Char(':'));
        bool ok = false;
        const uint value = trimmed.mid(colon + 1).toUInt(&ok);
        if (!ok || value == 0 || value > 65535 || colon == 0)
            return false;
        *host = trimmed.left(colon);
        *port = quint16(value);
    }
    return true;
}

void Form::showBusy(const QString &label)
{
    m_progress->setRange(0, 0);
    m_progress->setValue(1);
    m_progress->setLabelText(label);
    m_progress->show();
}

void Form::hideProgress()
{
    m_progress->hide();
    m_progress->setMinimumWidth(0);
}

void Form::forgetRatingTable()
{
    m_abakLoaded = false;
    m_abakReader->clear();
    // Nothing is awaited from a link that is gone: a transfer in progress
    // stops instead of retrying into the void.
    m_pendingCommand = 0;
    m_watchdogTimer->stop();
    m_timerThread->stop();
}

void Form::disconnectGprs()
{
    disconnect(m_gprs, &GPRSCommunication::dataReceived, this, &Form::onDataReceived);
    disconnect(m_gprs, &GPRSCommunication::connectionClosed, this, &Form::onConnectionClosed);
    disconnect(m_gprs, &GPRSCommunication::socketError, this, &Form::onSocketError);
    disconnect(m_gprs, &GPRSCommunication::debugging, this, &Form::onDebuging);
}

void Form::on_btnRS232_clicked()
{
    if (m_rs232->isOpen()) {
        m_rs232->close();
        disconnect(m_rs232, &RS232Communication::dataReceived, this, &Form::onDataReceived);
        resetFields();
        forgetRatingTable();
    } else {
        const QString port = ui->cmbPortList->currentText();
        m_rs232->setPort(port);
        m_watchdogTimer->setInterval(Waits::current().watchdogRS232);
        m_timerThread->setDelay(Waits::current().delayRS232);
        if (m_rs232->open(port)) {
            connect(m_rs232, &RS232Communication::dataReceived, this, &Form::onDataReceived,
                    Qt::UniqueConnection);
            sendOKU();
        } else {
            MessageBox::critical(this, tr("Error"), tr("Port açılamadı"), tr("Tamam"));
        }
    }
    updateLinkButtons();
}

void Form::on_btnGPRS_clicked()
{
    if (m_gprs->isOpen()) {
        m_gprs->close();
        disconnectGprs();
        resetFields();
        forgetRatingTable();
        updateLinkButtons();
        return;
    }

    QString host;
    quint16 port = 80;
    if (!splitHostPort(ui->txtHost->text(), &host, &port)) {
        MessageBox::critical(this, tr("Hata"), tr("Lütfen geçerli bir IP adresi girin!"), tr("Tamam"));
        ui->txtHost->selectAll();
        ui->txtHost->setFocus();
        return;
    }

    showBusy(tr("Bağlantı için bekleniyor..."));
    QCoreApplication::processEvents();
    Waits::sleep(Waits::current().connectSettle);
    QCoreApplication::processEvents();

    m_watchdogTimer->setInterval(Waits::current().watchdogGPRS);
    m_timerThread->setDelay(Waits::current().delayGPRS);
    m_gprs->setPort(QString::number(port));
    if (m_gprs->open(host)) {
        connect(m_gprs, &GPRSCommunication::dataReceived, this, &Form::onDataReceived, Qt::UniqueConnection);
        connect(m_gprs, &GPRSCommunication::connectionClosed, this, &Form::onConnectionClosed,
                Qt::UniqueConnection);
        connect(m_gprs, &GPRSCommunication::socketError, this, &Form::onSocketError, Qt::UniqueConnection);
        connect(m_gprs, &GPRSCommunication::debugging, this, &Form::onDebuging, Qt::UniqueConnection);
        updateLinkButtons();
        Waits::sleep(Waits::current().gprsSettle);
        QCoreApplication::processEvents();
        // The peer may have hung up while we waited.
        if (m_gprs->isOpen())
            on_btnParametreOku_clicked();
    } else {
        MessageBox::critical(this, tr("Hata"), tr("Bağlantı sağlanamadı!"), tr("Tamam"));
        hideProgress();
        QCoreApplication::processEvents();
    }
    updateLinkButtons();
}

void Form::on_btnGSM_clicked()
{
    if (m_gsm->isOpen()) {
        m_progress->setValue(0);
        // The first hang-up may meet a modem still busy with data; the second
        // one makes sure the call is down. After a confirmed first one the
        // modem's port is closed and the second returns at once.
        m_gsm->close();
        m_gsm->close();
        disconnect(m_gsm, &GSMCommunication::dataReceived, this, &Form::onDataReceived);
        resetFields();
        hideProgress();
        forgetRatingTable();
        updateLinkButtons();
        return;
    }

    const QString phone = ui->txtPhone->text().trimmed();
    if (phone.isEmpty()) {
        MessageBox::critical(this, tr("Hata"), tr("Lütfen geçerli bir IP adresi girin!"), tr("Tamam"));
        ui->txtPhone->selectAll();
        ui->txtPhone->setFocus();
        return;
    }

    QString modemPort;
    {
        FindModem finder(this);
        if (finder.exec() != QDialog::Accepted) {
            updateLinkButtons();
            return;
        }
        modemPort = finder.selectedPort();
    }

    showBusy(tr("Bağlantı için bekleniyor..."));
    Waits::sleep(Waits::current().connectSettle);

    m_watchdogTimer->setInterval(Waits::current().watchdogGSM);
    m_timerThread->setDelay(Waits::current().delayGSM);
    m_gsm->setPort(modemPort);
    if (m_gsm->open(phone)) {
        connect(m_gsm, &GSMCommunication::dataReceived, this, &Form::onDataReceived, Qt::UniqueConnection);
        updateLinkButtons();
        m_progress->setLabelText(QStringLiteral("Modem bekleniyor..."));
        QCoreApplication::processEvents();
        Waits::sleep(Waits::current().gsmSettle);
        on_btnParametreOku_clicked();
    } else {
        m_progress->cancel();
        hideProgress();
    }
    updateLinkButtons();
}

void Form::on_txtHost_returnPressed() { ui->btnGPRS->click(); }

void Form::on_txtPhone_returnPressed() { ui->btnGSM->click(); }

void Form::onConnectionClosed()
{
    m_pendingCommand = 0;
    m_watchdogTimer->stop();
    m_timerThread->stop();
    hideProgress();
    disconnectGprs();
    resetFields();
    updateLinkButtons();
}

void Form::onSocketError(int error, QString errorString)
{
    // A line lost in the middle of a transfer leaves the accepted blocks in
    // the kept copy; the user learns that the next download goes on from there.
    const QString kept = m_pendingCommand == Commands::PendingAKT ? keptForNextTry() : QString();
    if (m_progress->isVisible())
        hideProgress();
    if (error == 1) {
        MessageBox::criticalWithDetails(this, tr("Socket Error"), tr("Karşı modem bağlantıyı kapattı!"), kept,
                                        tr("Tamam"));
    } else {
        MessageBox::criticalWithDetails(this, tr("Socket Error"),
                                        tr("Error No : %1\nError Msg: %2").arg(error).arg(errorString), kept,
                                        tr("Tamam"));
    }
}
