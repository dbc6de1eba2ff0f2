#include "findmodem.h"
#include "ui_findmodem.h"

#include "findmodemthread.h"
#include "rs232connection.h"
#include "waits.h"

#include <QCoreApplication>
#include <QDebug>
#include <QSerialPort>

QString FindModem::searchingText()
{
    return QStringLiteral("<html><h3>Modem aranıyor</h3></html>");
}

QString FindModem::foundText()
{
    return QStringLiteral("<html><h3 style=\"color:green;\">Modem bulundu</h3></html>");
}

QString FindModem::notFoundText()
{
    return QStringLiteral("<html><h3 style=\"color:red;\">Modem bulunamadı</h3></html>");
}

QString FindModem::preparingText()
{
    return QStringLiteral("Modem hazırlanıyor...");
}

QString FindModem::readyText()
{
    return QStringLiteral("<html><h3 style=\"color:green;\">Modem hazır.</h3></html>");
}

QString FindModem::notReadyText()
{
    return QStringLiteral("<html><h3 style=\"color:red;\">Modem hazırlanamadı!</h3></html>");
}

FindModem::FindModem(QWidget *parent) : QDialog(parent), ui(new Ui::FindModem)
{
    ui->setupUi(this);
    ui->widgetSearch->show();
    ui->widgetSelect->hide();
    resize(311, 80);
    ui->progressBar->setRange(0, 0);
    ui->progressBar->setValue(0);
    m_port = new QSerialPort(this);
    ui->lblStatus->setText(searchingText());

    m_search = new FindModemThread(this);
    connect(m_search, &FindModemThread::portChanged, this, &FindModem::onPortChanged);
    connect(m_search, &FindModemThread::modemFound, this, &FindModem::onModemFound);
    connect(m_search, &FindModemThread::searchComplete, this, &FindModem::onSearchComplete);
    m_search->start(QThread::InheritPriority);
}

FindModem::~FindModem()
{
    // The search must be over before its receiver and its thread object go.
    m_search->stop();
    closePort();
    delete ui;
}

void FindModem::done(int result)
{
    m_finished = true;
    m_search->stop();
    QDialog::done(result);
}

QString FindModem::portFromEntry(const QString &text)
{
    const qsizetype open = text.indexOf(QLatin1Char('('));
    const qsizetype close = text.indexOf(QLatin1Char(')'));
    if (open >= 0 && close > open)
        return text.mid(open + 1, close - open - 1);
    if (open >= 0)
        return text.mid(open + 1);
    if (close >= 0)
        return text.left(close);
    return text;
}

QString FindModem::entryText(const QString &portName)
{
    const QString listed = RS232Connection::friendlyName(portName);
    if (!listed.isEmpty())
        return listed;
    // A port given on the command line (a pseudo-terminal, a by-id link) has
    // no friendly name; it is shown by name, in the same shape.
    return RS232Connection::friendlyName(portName, portName);
}

void FindModem::onPortChanged(QString portName)
{
    ui->lblPort->setText(portName);
}

void FindModem::onModemFound(QString portName, int baudRateType)
{
    ui->comboBox->addItem(entryText(portName), baudRateType);
}

void FindModem::onSearchComplete()
{
    closePort();
    // A report that was under way when the dialog ended.
    if (m_finished)
        return;

    const int pause = Waits::current().modemSleep;
    if (m_stage == 1) {
        if (ui->comboBox->count() > 0) {
            ui->lblStatus->setText(foundText());
            QCoreApplication::processEvents();
            // The user may have closed the dialog while events ran.
            if (m_finished)
                return;
            Waits::sleep(pause);
            ui->comboBox->setCurrentIndex(-1);
            ui->widgetSearch->hide();
            ui->widgetSelect->show();
        } else {
            ui->lblStatus->setText(notFoundText());
            QCoreApplication::processEvents();
            if (m_finished)
                return;
            Waits::sleep(pause);
            reject();
        }
        return;
    }

    if (!m_preparationFailed) {
        ui->lblStatus->setText(readyText());
        Waits::sleep(pause);
        accept();
    } else {
        ui->lblStatus->setText(notReadyText());
        Waits::sleep(pause);
        reject();
    }
}

void FindModem::on_btnSelect_clicked()
{
    if (ui->comboBox->currentIndex() < 0)
        return;
    if (m_stage == 1)
        prepareModem();
    else
        accept();
}

void FindModem::on_comboBox_currentIndexChanged(int index)
{
    m_selectedPort = portFromEntry(ui->comboBox->itemText(index));
    m_preparationSpeed = FindModemThread::speedOf(ui->comboBox->itemData(index).toInt());
    qDebug().noquote() << "on_comboBox_currentIndexChanged(): " + m_selectedPort;
    qDebug().noquote() << "on_comboBox_currentIndexChanged(): " + QString::number(m_preparationSpeed);
}

void FindModem::prepareModem()
{
    m_stage = 2;
    ui->lblPort->setText(m_selectedPort);
    ui->lblStatus->setText(preparingText());
    ui->widgetSelect->hide();
    ui->widgetSearch->show();
    QCoreApplication::processEvents();

    m_port->setPortName(m_selectedPort);
    m_port->setBaudRate(m_preparationSpeed);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setStopBits(QSerialPort::OneStop);
    // Without the port the dialog stays as it is; the user can only close it.
    if (!m_port->open(QIODevice::ReadWrite)) {
        m_port->clearError();
        return;
    }
    if (!m_port->setRequestToSend(true))
        m_port->clearError();

    // Fixes the modem's serial speed to the one the GSM link always uses.
    m_port->write("ATL+IPR=115200\r");
    m_port->flush();
    if (m_port->bytesToWrite() > 0)
        m_port->waitForBytesWritten(Waits::current().serialWrite);
    Waits::sleep(Waits::current().modemSleep);

    // The user interface stood still during the sleep; what the modem
    // answered meanwhile is taken in now.
    for (int i = 0; i < 50; ++i) {
        if (!m_port->waitForReadyRead(20))
            break;
    }
    if (m_port->bytesAvailable() > 0) {
        const QByteArray answer = m_port->readAll();
        qDebug() << answer;
        m_preparationFailed = !FindModemThread::answerIsOk(answer);
        onSearchComplete();
    }
    closePort();
}

void FindModem::closePort()
{
    if (m_port && m_port->isOpen())
        m_port->close();
}
