#include "rs232communication.h"

#include "rs232connection.h"

RS232Communication::RS232Communication(QObject *parent)
    : QObject(parent),
      m_messages(QStringLiteral("RS232Communication::onDataReceived()")),
      m_connection(new RS232Connection(this))
{
    connect(m_connection, &RS232Connection::dataReceived, this,
            &RS232Communication::onDataReceived);
}

RS232Communication::~RS232Communication() = default;

void RS232Communication::setPort(QString name)
{
    m_connection->setPort(name);
}

bool RS232Communication::open(QString name)
{
    m_messages.clear();
    return m_connection->open(name);
}

void RS232Communication::close()
{
    m_messages.clear();
    m_connection->close();
}

bool RS232Communication::isOpen()
{
    return m_connection->isOpen();
}

bool RS232Communication::send(const char *command, bool binaryReply)
{
    return m_connection->send(command, binaryReply);
}

QStringList RS232Communication::availablePorts() const
{
    return RS232Connection::availablePorts();
}

void RS232Communication::onDataReceived(QByteArray chunk)
{
    if (auto message = m_messages.feed(chunk))
        emit dataReceived(*message);
}
