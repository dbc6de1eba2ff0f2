#include "simserver.h"

#include "ptyport.h"
#include "simoutput.h"

#include <QTcpServer>
#include <QTcpSocket>

SimServer::SimServer(QObject *parent) : QObject(parent)
{
    auto log = [this](const QString &line) { emit message(line); };
    m_logger.setLog(log);
    m_modem.setLog(log);
    m_modem.setOnConnect([this] { m_logger.resetInput(); });
}

SimServer::~SimServer()
{
    close();
}

bool SimServer::listenPty(const QString &linkPath)
{
    if (!m_pty) {
        m_pty = new PtyPort(this);
        connect(m_pty, &PtyPort::bytesReceived, this, &SimServer::onPtyBytes);
        m_ptyOutput = new SimOutput(this);
        m_ptyOutput->setBaud(m_baud);
        m_ptyOutput->setWriter([this](const QByteArray &bytes) { m_pty->write(bytes); });
    }
    if (!m_pty->open(linkPath))
        return false;
    emit message(QStringLiteral("PTY %1").arg(m_pty->slavePath()));
    if (!linkPath.isEmpty())
        emit message(QStringLiteral("LINK %1").arg(linkPath));
    return true;
}

QString SimServer::ptyPath() const
{
    return m_pty ? m_pty->slavePath() : QString();
}

bool SimServer::listenTcp(quint16 port, const QHostAddress &address)
{
    if (!m_tcpServer) {
        m_tcpServer = new QTcpServer(this);
        connect(m_tcpServer, &QTcpServer::newConnection, this, &SimServer::onNewTcpClient);
    }
    if (!m_tcpServer->listen(address, port))
        return false;
    emit message(QStringLiteral("TCP %1:%2").arg(m_tcpServer->serverAddress().toString())
                     .arg(m_tcpServer->serverPort()));
    return true;
}

quint16 SimServer::tcpPort() const
{
    return m_tcpServer && m_tcpServer->isListening() ? m_tcpServer->serverPort() : 0;
}

QHostAddress SimServer::tcpAddress() const
{
    return m_tcpServer ? m_tcpServer->serverAddress() : QHostAddress();
}

void SimServer::close()
{
    if (m_ptyOutput)
        m_ptyOutput->clear();
    if (m_pty)
        m_pty->close();
    if (m_tcpOutput)
        m_tcpOutput->clear();
    if (m_socket)
        m_socket->abort();
    if (m_tcpServer)
        m_tcpServer->close();
}

void SimServer::setModemBusy(bool busy)
{
    m_modem.setDialAnswer(busy ? SimModem::Busy : SimModem::Connect);
}

void SimServer::setModemNoCarrier(bool noCarrier)
{
    m_modem.setDialAnswer(noCarrier ? SimModem::NoCarrier : SimModem::Connect);
}

void SimServer::setBaud(int baud)
{
    m_baud = baud;
    if (m_ptyOutput)
        m_ptyOutput->setBaud(baud);
    if (m_tcpOutput)
        m_tcpOutput->setBaud(baud);
}

void SimServer::onPtyBytes(const QByteArray &bytes)
{
    QList<SimPiece> out;
    if (m_modemOn)
        out = m_modem.receive(bytes, [this](const QByteArray &b) { return m_logger.receive(b); });
    else
        out = m_logger.receive(bytes);
    // Closing a connection is a TCP matter; a cable cannot be hung up.
    m_logger.takeCloseRequest();
    m_ptyOutput->enqueue(out);
}

void SimServer::onNewTcpClient()
{
    while (QTcpSocket *socket = m_tcpServer->nextPendingConnection()) {
        if (m_socket) {
            emit message(QStringLiteral("TCP client replaced"));
            m_socket->abort();
            m_socket->deleteLater();
        }
        // The old client's output goes with its socket.
        m_socket = socket;
        m_logger.resetInput();
        m_tcpOutput = new SimOutput(socket);
        m_tcpOutput->setBaud(m_baud);
        m_tcpOutput->setWriter([socket](const QByteArray &b) { socket->write(b); });
        connect(socket, &QTcpSocket::readyRead, this, &SimServer::onTcpBytes);
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            emit message(QStringLiteral("TCP client disconnected"));
            if (m_socket == socket)
                m_tcpOutput = nullptr;
            socket->deleteLater();
        });
        emit message(QStringLiteral("TCP client %1:%2").arg(socket->peerAddress().toString())
                         .arg(socket->peerPort()));
    }
}

void SimServer::onTcpBytes()
{
    QTcpSocket *socket = m_socket;
    if (!socket || !m_tcpOutput)
        return;
    const QList<SimPiece> out = m_logger.receive(socket->readAll());
    SimOutput *output = m_tcpOutput;
    if (m_logger.takeCloseRequest()) {
        // Hang up once the answer is out.
        connect(output, &SimOutput::drained, socket, [this, socket] {
            emit message(QStringLiteral("TCP connection closed by the logger"));
            socket->flush();
            socket->disconnectFromHost();
        }, Qt::SingleShotConnection);
    }
    output->enqueue(out);
}
