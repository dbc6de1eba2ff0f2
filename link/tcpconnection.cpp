#include "tcpconnection.h"

#include "waits.h"

#include <QDebug>
#include <QMetaEnum>
#include <QTcpSocket>

#include <cstring>

namespace {
const char unitName[] = "tcpconnection";
}

TCPConnection::TCPConnection(QObject *parent)
    : QObject(parent),
      m_socket(new QTcpSocket(this)),
      m_chunks(QStringLiteral("TCPConnection::onReadyRead()"), ChunkRule::ConnectIgnored)
{
    connect(this, &TCPConnection::newData, this, &TCPConnection::onNewData);
}

TCPConnection::~TCPConnection()
{
    // The socket goes with this object; its last reports must not reach
    // handlers of an object half destroyed.
    unrouteSocket();
}

void TCPConnection::trace(const char *format, int line)
{
    emit debugging(QString::fromUtf8(format).arg(QLatin1String(unitName)).arg(line));
}

void TCPConnection::setPort(QString text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    m_port = (ok && value >= 0 && value <= 65535) ? value : 0;
}

bool TCPConnection::open(QString host)
{
    trace("(02) TCP Connecting %1:%2", 24);
    if (m_socket->isOpen())
        return m_connected;

    // Routings left from a connection the peer ended would turn this
    // attempt's own reports into socketError and connectionClosed.
    unrouteSocket();
    m_socket->connectToHost(host, static_cast<quint16>(m_port), QIODevice::ReadWrite);
    if (!m_socket->waitForConnected(Waits::current().tcpConnect)) {
        m_socket->abort();
        m_socket->close();
        m_connected = false;
        return false;
    }
    m_connected = true;
    routeSocket();
    return true;
}

void TCPConnection::close()
{
    trace("(16) TCP Disonnecting %1:%2", 51);
    if (m_socket->isOpen()) {
        // While the routings stand, the socket's own reports of the
        // disconnection reach onStateChanged and onDisconnected.
        m_socket->disconnectFromHost();
        m_socket->close();
    }
    // Removed in every case: onError may have closed the socket already, and
    // a routing left behind would be doubled by the next open.
    unrouteSocket();
    // Nothing can report a disconnection that is still under way once the
    // routings are gone, so the link counts as closed from here on.
    m_connected = false;
}

bool TCPConnection::isOpen()
{
    return m_connected;
}

bool TCPConnection::send(const char *command, bool binaryReply)
{
    m_chunks.setBinaryReply(binaryReply);
    if (!command || m_socket->state() != QAbstractSocket::ConnectedState)
        return false;
    const qint64 length = static_cast<qint64>(std::strlen(command));
    if (m_socket->write(command, length) != length)
        return false;
    m_socket->flush();
    // flush() usually hands everything to the system at once; only what is
    // still queued needs the wait.
    if (m_socket->bytesToWrite() == 0)
        return true;
    return m_socket->waitForBytesWritten(Waits::current().tcpWrite);
}

void TCPConnection::routeSocket()
{
    connect(m_socket, &QTcpSocket::connected, this, &TCPConnection::onConnected,
            Qt::UniqueConnection);
    connect(m_socket, &QTcpSocket::disconnected, this, &TCPConnection::onDisconnected,
            Qt::UniqueConnection);
    connect(m_socket, &QTcpSocket::readyRead, this, &TCPConnection::onReadyRead,
            Qt::UniqueConnection);
    connect(m_socket, &QTcpSocket::stateChanged, this, &TCPConnection::onStateChanged,
            Qt::UniqueConnection);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &TCPConnection::onError,
            Qt::UniqueConnection);
    connect(m_socket, &QTcpSocket::aboutToClose, this, &TCPConnection::onAboutToClose,
            Qt::UniqueConnection);
}

void TCPConnection::unrouteSocket()
{
    disconnect(m_socket, &QTcpSocket::connected, this, &TCPConnection::onConnected);
    disconnect(m_socket, &QTcpSocket::disconnected, this, &TCPConnection::onDisconnected);
    disconnect(m_socket, &QTcpSocket::readyRead, this, &TCPConnection::onReadyRead);
    disconnect(m_socket, &QTcpSocket::stateChanged, this, &TCPConnection::onStateChanged);
    disconnect(m_socket, &QTcpSocket::errorOccurred, this, &TCPConnection::onError);
    disconnect(m_socket, &QTcpSocket::aboutToClose, this, &TCPConnection::onAboutToClose);
}

void TCPConnection::onConnected()
{
    m_connected = true;
    trace("(03) TCP Connected %1:%2", 96);
}

void TCPConnection::onDisconnected()
{
    m_connected = false;
    m_socket->close();
    emit connectionClosed();
    trace("(17) TCP Disonnected %1:%2", 104);
}

void TCPConnection::onStateChanged(QAbstractSocket::SocketState state)
{
    if (state == QAbstractSocket::UnconnectedState)
        onDisconnected();
}

void TCPConnection::onReadyRead()
{
    trace("(13) TCP ReadyRead %1:%2", 109);
    if (m_socket->bytesAvailable() <= 0)
        return;
    trace("(13) TCP ReadyRead %1:%2", 111);
    m_chunks.append(m_socket->readAll());
    emit newData();
    m_socket->flush();
    m_socket->flush();
}

void TCPConnection::onError(QAbstractSocket::SocketError error)
{
    // Taken before anything closes the socket, so the report names the
    // error that happened.
    const int code = static_cast<int>(m_socket->error());
    const QString text = m_socket->errorString();

    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        qDebug().noquote() << "The connection was refused by the peer (or timed out)."
                           << QStringLiteral("%1:%2").arg(QLatin1String(unitName)).arg(130);
        break;
    case QAbstractSocket::RemoteHostClosedError:
        qDebug().noquote() << "The remote host closed the connection."
                           << QStringLiteral("%1:%2").arg(QLatin1String(unitName)).arg(133);
        break;
    default:
        qDebug().noquote().nospace()
            << "TCPConnection::onError("
            << QMetaEnum::fromType<QAbstractSocket::SocketError>().valueToKey(error) << ")";
        break;
    }

    // The error is reported before the socket is closed: closing reports the
    // disconnection at once, and a receiver that drops its routings on
    // connectionClosed() would never learn why the connection went down.
    emit socketError(code, text);
    emit debugging(QStringLiteral("(XX) SockerError. %1 - %2 %3:%4")
                       .arg(code)
                       .arg(text, QLatin1String(unitName))
                       .arg(143));
    if (error == QAbstractSocket::RemoteHostClosedError)
        m_socket->close();
    close();
}

void TCPConnection::onAboutToClose()
{
}

void TCPConnection::onNewData()
{
    if (auto chunk = m_chunks.take())
        emit dataReceived(*chunk);
}
