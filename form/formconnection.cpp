// Connection control of the working form: the three link buttons, a GPRS
// connection that drops or fails, and the busy indicator while connecting.
#include "form.h"
#include "ui_form.h"

#include "abakreader.h"
#include "findmodem.h"
#include "hostport.h"
#include "messagebox.h"

#include <QCoreApplication>
#include <QProgressDialog>

bool Form::splitHostPort(const QString &text, QString *host, quint16 *port)
{
    return ::splitHostPort(text, host, port);
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
}

void Form::on_btnRS232_clicked()
{
    if (m_session->openLink() == StationSession::Rs232Link) {
        m_session->disconnectLink();
        resetFields();
        forgetRatingTable();
    } else {
        m_session->connectRs232(ui->cmbPortList->currentText());
    }
    updateLinkButtons();
}

void Form::on_btnGPRS_clicked()
{
    if (m_session->openLink() == StationSession::GprsLink) {
        m_session->disconnectLink();
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
    m_session->connectGprs(host, port);
    updateLinkButtons();
}

void Form::on_btnGSM_clicked()
{
    if (m_session->openLink() == StationSession::GsmLink) {
        m_progress->setValue(0);
        m_session->disconnectLink();
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

    m_connectFailed = false;
    m_session->connectGsm(modemPort, phone);
    if (m_connectFailed) {
        m_progress->cancel();
        hideProgress();
    }
    updateLinkButtons();
}

void Form::on_txtHost_returnPressed() { ui->btnGPRS->click(); }

void Form::on_txtPhone_returnPressed() { ui->btnGSM->click(); }

void Form::onLinkClosed()
{
    hideProgress();
    resetFields();
    updateLinkButtons();
}

void Form::onLinkError(int error, const QString &errorString, const QString &kept)
{
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
