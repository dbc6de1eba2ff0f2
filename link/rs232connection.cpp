#include "rs232connection.h"

#include "waits.h"

#include <QSerialPort>
#include <QSerialPortInfo>

#include <cstring>

RS232Connection::RS232Connection(QObject *parent)
    : QObject(parent),
      m_port(new QSerialPort(this)),
      m_chunks(QStringLiteral("RS232Connection::onReadyRead()"), ChunkRule::ConnectEndsChunk)
{
    connect(this, &RS232Connection::newData, this, &RS232Connection::onNewData);
}

RS232Connection::~RS232Connection() = default;

void RS232Connection::setPort(QString name)
{
    m_port->setPortName(name);
}

bool RS232Connection::open(QString name)
{
    // Opening a port that is already open under another name moves the line;
    // under the same name the settings are applied again and the line stays.
    if (m_port->isOpen() && m_port->portName() != name)
        close();

    m_port->setPortName(name);
    m_port->setBaudRate(m_baudRate);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setStopBits(QSerialPort::OneStop);
    if (!m_port->isOpen() && !m_port->open(QIODevice::ReadWrite))
        return false;

    // A pseudo-terminal and some adapters have no RTS line; the port is
    // usable all the same, so the failure is forgotten.
    if (!m_port->setRequestToSend(true))
        m_port->clearError();
    connect(m_port, &QSerialPort::readyRead, this, &RS232Connection::onReadyRead,
            Qt::UniqueConnection);
    return true;
}

void RS232Connection::close()
{
    // Closing a port that is not open would only leave an error on it.
    if (m_port->isOpen())
        m_port->close();
    disconnect(m_port, &QSerialPort::readyRead, this, &RS232Connection::onReadyRead);
}

bool RS232Connection::isOpen()
{
    return m_port->isOpen();
}

bool RS232Connection::send(const char *command, bool binaryReply)
{
    m_chunks.setBinaryReply(binaryReply);
    if (!command || !m_port->isOpen())
        return false;
    const qint64 length = static_cast<qint64>(std::strlen(command));
    if (m_port->write(command, length) != length)
        return false;
    m_port->flush();
    // flush() usually hands everything to the device at once; only what is
    // still queued needs the wait.
    if (m_port->bytesToWrite() == 0)
        return true;
    return m_port->waitForBytesWritten(Waits::current().serialWrite);
}

QStringList RS232Connection::availablePorts()
{
    QStringList names;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        names << info.portName();
    return withoutPrinterPorts(names);
}

QStringList RS232Connection::withoutPrinterPorts(const QStringList &names)
{
    QStringList kept;
    for (const QString &name : names) {
        if (!name.startsWith(QLatin1String("LPT"), Qt::CaseSensitive))
            kept << name;
    }
    return kept;
}

QString RS232Connection::friendlyName(const QString &portName)
{
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
        if (info.portName() == portName)
            return friendlyName(info.description(), info.portName());
    }
    return QString();
}

QString RS232Connection::friendlyName(const QString &description, const QString &portName)
{
    return description + QLatin1String(" (") + portName + QLatin1Char(')');
}

void RS232Connection::onReadyRead()
{
    if (m_port->bytesAvailable() <= 0)
        return;
    m_chunks.append(m_port->readAll());
    emit newData();
    m_port->flush();
}

void RS232Connection::onNewData()
{
    if (auto chunk = m_chunks.take())
        emit dataReceived(*chunk);
}
