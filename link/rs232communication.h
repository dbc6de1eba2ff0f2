#ifndef RS232COMMUNICATION_H
#define RS232COMMUNICATION_H

#include "icommunication.h"
#include "messagerule.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class RS232Connection;

// The serial cable to the logger, message level. The form sets the port, opens
// it under the same name and receives complete replies by dataReceived.
//
//   auto *rs232 = new RS232Communication(this);
//   rs232->setPort(port);
//   if (rs232->open(port))
//       connect(rs232, &RS232Communication::dataReceived, this, &Form::onDataReceived);
//
// The message buffer is emptied by open() and close(); the connection below
// keeps its own receive buffer across both.
class RS232Communication : public QObject, public ICommunication
{
    Q_OBJECT
public:
    explicit RS232Communication(QObject *parent = nullptr);
    ~RS232Communication() override;

    void setPort(QString name) override;
    bool open(QString name) override;
    void close() override;
    bool isOpen() override;
    bool send(const char *command, bool binaryReply) override;

    // The serial port names the form offers (printer ports left out).
    QStringList availablePorts() const;

    RS232Connection *connection() const { return m_connection; }
    // Chunks received and not yet delivered as a message.
    qsizetype pendingBytes() const { return m_messages.size(); }

signals:
    void dataReceived(QByteArray message);

public slots:
    void onDataReceived(QByteArray chunk);

private:
    MessageRule m_messages;
    RS232Connection *m_connection;
};

#endif // RS232COMMUNICATION_H
