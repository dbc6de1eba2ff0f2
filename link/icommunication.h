#ifndef ICOMMUNICATION_H
#define ICOMMUNICATION_H

#include <QString>

// The message level of a link, the only level the working form sees. A
// communication owns its connection, adds what its transport needs on top,
// and joins chunks into complete messages (MessageRule); its concrete class
// delivers each message, terminator included, by dataReceived(QByteArray).
//
//   auto *link = new RS232Communication(this);
//   link->setPort(name);
//   if (link->open(name)) {
//       connect(link, &RS232Communication::dataReceived, this, &Form::onDataReceived);
//       link->send(frame.constData(), false);
//   }
//   ...
//   link->close();
//
// Replies arrive only through dataReceived; reply time-outs belong to the
// caller. A plain abstract class: the concrete class derives from QObject first.
class ICommunication
{
public:
    virtual ~ICommunication() = default;

    // Serial: the port name; GSM: the modem's port name; GPRS: the TCP port.
    virtual void setPort(QString value) = 0;
    // Serial: a port name; GPRS: a host name or address; GSM: a phone number.
    // Synchronous: returns when the link is usable (true) or has failed.
    virtual bool open(QString target) = 0;
    virtual void close() = 0;
    virtual bool isOpen() = 0;
    // Writes the NUL-terminated command; binaryReply only for data-block requests.
    virtual bool send(const char *command, bool binaryReply) = 0;
};

#endif // ICOMMUNICATION_H
