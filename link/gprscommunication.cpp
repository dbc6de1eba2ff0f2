#include "gprscommunication.h"

#include "tcpconnection.h"

GPRSCommunication::GPRSCommunication(QObject *parent)
    : QObject(parent),
      m_messages(QStringLiteral("GPRSCommunication::onDataReceived()")),
      m_connection(new TCPConnection(this))
{
    connect(m_connection, &TCPConnection::dataReceived, this, &GPRSCommunication::onDataReceived);
    connect(m_connection, &TCPConnection::socketError, this, &GPRSCommunication::socketError);
    connect(m_connection, &TCPConnection::connectionClosed, this,
            &GPRSCommunication::connectionClosed);
    connect(m_connection, &TCPConnection::debugging, this, &GPRSCommunication::debugging);
}

GPRSCommunication::~GPRSCommunication() = default;

void GPRSCommunication::setPort(QString text)
{
    m_connection->setPort(text);
}

bool GPRSCommunication::open(QString host)
{
    m_messages.clear();
    return m_connection->open(host);
}

void GPRSCommunication::close()
{
    m_messages.clear();
    m_connection->close();
}

bool GPRSCommunication::isOpen()
{
    return m_connection->isOpen();
}

bool GPRSCommunication::send(const char *command, bool binaryReply)
{
    return m_connection->send(command, binaryReply);
}

void GPRSCommunication::onDataReceived(QByteArray chunk)
{
    emit debugging(QStringLiteral("(14) GPRS ReadyRead %1:%2")
                       .arg(QLatin1String("gprscommunication"))
                       .arg(68));
    if (auto message = m_messages.feed(chunk))
        emit dataReceived(*message);
}
