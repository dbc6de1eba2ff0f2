#ifndef TCPCONNECTION_H
#define TCPCONNECTION_H

#include "chunkrule.h"
#include "iconnection.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QObject>
#include <QString>

class QTcpSocket;

// The GPRS line, byte level: a TCP client to the logger's modem, port 80
// unless setPort says otherwise. open() and send() block the calling thread
// for up to their fixed waits. Trace lines for the debug log come out of
// debugging(QString); socket errors and the loss of the connection out of
// socketError(int,QString) and connectionClosed().
//
//   TCPConnection line(this);
//   connect(&line, &TCPConnection::dataReceived, this, &Me::onChunk);
//   connect(&line, &TCPConnection::connectionClosed, this, &Me::onClosed);
//   if (line.open("10.1.2.3"))
//       line.send("\x02OKU\r", false);
//
// The socket's notifications are routed only once the connection stands, so
// a failed attempt shows only as open() returning false.
class TCPConnection : public QObject, public IConnection
{
    Q_OBJECT
public:
    explicit TCPConnection(QObject *parent = nullptr);
    ~TCPConnection() override;

    // The TCP port as decimal text; anything that is not a port number gives 0.
    void setPort(QString text) override;
    bool open(QString host) override;
    void close() override;
    bool isOpen() override;
    bool send(const char *command, bool binaryReply) override;

    int port() const { return m_port; }
    bool binaryReply() const { return m_chunks.binaryReply(); }
    // Bytes read and not yet delivered as a chunk.
    qsizetype pendingBytes() const { return m_chunks.size(); }
    qsizetype bufferCap() const { return m_chunks.cap(); }

signals:
    void dataReceived(QByteArray chunk);
    void socketError(int error, QString errorString);
    void newData();
    void connectionClosed();
    void debugging(QString line);

public slots:
    void onConnected();
    void onDisconnected();
    void onReadyRead();
    void onError(QAbstractSocket::SocketError error);
    void onNewData();
    void onStateChanged(QAbstractSocket::SocketState state);
    void onAboutToClose();

private:
    void trace(const char *format, int line);
    void routeSocket();
    void unrouteSocket();

    QTcpSocket *m_socket;
    ChunkRule m_chunks;
    int m_port = 80;
    bool m_connected = false;
};

#endif // TCPCONNECTION_H
