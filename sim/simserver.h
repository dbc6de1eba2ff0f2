#ifndef SIMSERVER_H
#define SIMSERVER_H

#include "simlogger.h"
#include "simmodem.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class PtyPort;
class QTcpServer;
class QTcpSocket;
class SimOutput;

// The simulated logger on its transports, in the thread's event loop: a
// pseudo-terminal (the RS232 cable, or the GSM modem's line with setModem)
// and a TCP server (the GPRS modem). One TCP client at a time; a new one
// replaces the old.
//
//   SimServer sim;
//   sim.listenPty();                 // RS232Communication opens sim.ptyPath()
//   sim.listenTcp();                 // GPRSCommunication::setPort(sim.tcpPort())
//   sim.logger()->faults().ignoreBlock = 2;
class SimServer : public QObject
{
    Q_OBJECT
public:
    explicit SimServer(QObject *parent = nullptr);
    ~SimServer() override;

    SimLogger *logger() { return &m_logger; }

    bool listenPty(const QString &linkPath = QString());
    QString ptyPath() const;
    bool listenTcp(quint16 port = 0, const QHostAddress &address = QHostAddress::LocalHost);
    quint16 tcpPort() const;
    QHostAddress tcpAddress() const;
    bool hasTcpClient() const { return !m_socket.isNull(); }
    void close();

    // An AT modem in front of the pseudo-terminal.
    void setModem(bool on) { m_modemOn = on; m_modem.reset(); }
    bool modem() const { return m_modemOn; }
    void setModemBusy(bool busy);
    void setModemNoCarrier(bool noCarrier);
    // Only the first `count` dials are refused (-1: all of them).
    void setModemRefusals(int count) { m_modem.setRefusals(count); }
    void setModemDialDelay(int ms) { m_modem.setDialDelayMs(ms); }
    void setModemLfApart(bool apart) { m_modem.setLfApart(apart); }
    bool modemOnline() const { return m_modem.isOnline(); }

    // Paces output like an 8N1 line of that rate; 0 sends at once.
    void setBaud(int baud);

signals:
    // Console lines: where it listens, each command, each fault.
    void message(const QString &line);

private:
    void onPtyBytes(const QByteArray &bytes);
    void onNewTcpClient();
    void onTcpBytes();
    void afterReplies(SimOutput *output, QTcpSocket *socket);

    SimLogger m_logger;
    SimModem m_modem;
    bool m_modemOn = false;
    int m_baud = 0;
    PtyPort *m_pty = nullptr;
    SimOutput *m_ptyOutput = nullptr;
    QTcpServer *m_tcpServer = nullptr;
    QPointer<QTcpSocket> m_socket;
    SimOutput *m_tcpOutput = nullptr;
};

#endif // SIMSERVER_H
