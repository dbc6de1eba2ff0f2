#ifndef ICONNECTION_H
#define ICONNECTION_H

#include <QString>

// The byte level of a link: one transport device (serial port, TCP socket).
// A connection writes command bytes and cuts what arrives into chunks
// (ChunkRule); its concrete class delivers each chunk by the signal
// dataReceived(QByteArray), which only the owning communication listens to.
//
//   RS232Connection line(this);
//   connect(&line, &RS232Connection::dataReceived, this, &Me::onChunk);
//   if (line.open("COM1"))
//       line.send("\x02OKU\r", false);
//
// A plain abstract class: the concrete class derives from QObject first.
class IConnection
{
public:
    virtual ~IConnection() = default;

    // Secondary address: serial port name, or TCP port number as decimal text.
    virtual void setPort(QString value) = 0;
    // Opens the link to a port name or a host; true when the link is usable.
    virtual bool open(QString target) = 0;
    virtual void close() = 0;
    virtual bool isOpen() = 0;
    // Writes the NUL-terminated command (the NUL is not sent) and sets the reply
    // mode for its answer: binary for data blocks, text otherwise. True when the
    // device confirmed the write within its wait.
    virtual bool send(const char *command, bool binaryReply) = 0;
};

#endif // ICONNECTION_H
