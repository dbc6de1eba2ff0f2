#ifndef RS232CONNECTION_H
#define RS232CONNECTION_H

#include "chunkrule.h"
#include "iconnection.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class QSerialPort;

// The serial line, byte level: 115200 baud (unless set otherwise before
// open), 8 data bits, no parity, 1 stop bit, no flow control, RTS raised.
// Used under RS232Communication (the cable to the logger) and under the GSM
// link (the line to the modem), which is why its chunk rule also ends a chunk
// at the modem's "CONNECT".
//
//   RS232Connection line(this);
//   connect(&line, &RS232Connection::dataReceived, this, &Me::onChunk);
//   line.setPort("COM3");
//   if (line.open("COM3"))
//       line.send("ATD123\r", false);
//
// The receive buffer survives close() and open(): bytes left over from an
// earlier exchange stay in front of the next reply.
class RS232Connection : public QObject, public IConnection
{
    Q_OBJECT
public:
    explicit RS232Connection(QObject *parent = nullptr);
    ~RS232Connection() override;

    void setPort(QString name) override;
    bool open(QString name) override;
    void close() override;
    bool isOpen() override;
    bool send(const char *command, bool binaryReply) override;

    // Port names of the system, in the enumerator's order, printer ports left out.
    static QStringList availablePorts();
    // The names that remain once every name starting with "LPT" is left out.
    static QStringList withoutPrinterPorts(const QStringList &names);
    // The display name of a port: its description, then the name in parentheses;
    // empty when the system lists no port of that name.
    static QString friendlyName(const QString &portName);
    static QString friendlyName(const QString &description, const QString &portName);

    int baudRate() const { return m_baudRate; }
    // Takes effect at the next open(); a logger set to 9600 baud needs it.
    void setBaudRate(int baud) { m_baudRate = baud; }
    bool binaryReply() const { return m_chunks.binaryReply(); }
    // While on, a read that ends in CR LF (a modem answer) also ends a chunk.
    // The GSM link turns it on while it dials and hangs up.
    void setModemAnswers(bool on) { m_chunks.setModemAnswers(on); }
    bool modemAnswers() const { return m_chunks.modemAnswers(); }
    // Bytes read and not yet delivered as a chunk.
    qsizetype pendingBytes() const { return m_chunks.size(); }
    qsizetype bufferCap() const { return m_chunks.cap(); }

signals:
    void dataReceived(QByteArray chunk);
    void newData();

public slots:
    void onReadyRead();
    void onNewData();

private:
    QSerialPort *m_port;
    ChunkRule m_chunks;
    int m_baudRate = 115200;
};

#endif // RS232CONNECTION_H
