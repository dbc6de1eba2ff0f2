#ifndef GSMCOMMUNICATION_H
#define GSMCOMMUNICATION_H

#include "icommunication.h"
#include "messagerule.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class RS232Connection;

// The GSM data call, message level. The line to the modem is a serial line
// (115200 baud, 8N1, RTS raised); open() dials the logger's phone number and
// close() hangs up. Once the modem reports "CONNECT" the call carries the
// logger's command protocol like the serial cable.
//
//   auto *gsm = new GSMCommunication(this);
//   gsm->setPort(finder.selectedPort());
//   if (gsm->open(phone))        // until the modem answers, at most about 60 s
//       connect(gsm, &GSMCommunication::dataReceived, this, &Form::onDataReceived);
//   ...
//   gsm->close();                // hang-up, until the modem's "OK", at most about 60 s
//
// open() and close() process pending events while they wait for the modem,
// so handlers (the caller's too) can run inside them. A dial that does not
// come about closes the modem's port again; a hang-up with the port already
// closed has nothing to do and returns at once.
class GSMCommunication : public QObject, public ICommunication
{
    Q_OBJECT
public:
    // What chunks from the modem line mean, by the state of the call.
    enum CallState { Idle = 0, Dialing = 1, Online = 2, HangingUp = 3 };

    explicit GSMCommunication(QObject *parent = nullptr);
    ~GSMCommunication() override;

    // The modem's serial port name.
    void setPort(QString name) override;
    // Dials `phone`; true when the modem reported the connection in time.
    // Ends at once when the modem refuses the call.
    bool open(QString phone) override;
    // Hangs up; when the modem confirms, resets it and closes its port.
    // Without an open port there is nothing to hang up.
    void close() override;
    // Whether the call is up.
    bool isOpen() override;
    bool send(const char *command, bool binaryReply) override;

    // The modem lines this link writes.
    static QByteArray dialLine(const QString &phone);
    static QByteArray hangUpLine() { return QByteArrayLiteral("+++ATH\r"); }
    static QByteArray resetLine() { return QByteArrayLiteral("ATZ\r"); }
    // The diagnostic line written when the modem confirms the hang-up.
    static QString disconnectLine(const QByteArray &chunk);
    // Whether a modem answer to the dial line says the call has failed
    // ("BUSY", "NO CARRIER", "NO ANSWER", "NO DIALTONE", "ERROR").
    static bool isDialRefusal(const QByteArray &chunk);
    // The diagnostic line written when the modem refuses the call.
    static QString refusalLine(const QByteArray &chunk);
    // `chunk` without the CR and LF bytes at its start.
    static QByteArray withoutLeadingLineEnds(const QByteArray &chunk);

    int callState() const { return m_callState; }
    QString portName() const { return m_portName; }
    RS232Connection *connection() const { return m_line; }
    // Whether the latest wait for the modem ended by its answer (a connection,
    // a refusal, a confirmed hang-up) rather than by running out of passes.
    bool lastWaitAnswered() const { return m_lastWaitAnswered; }
    // Chunks received online and not yet delivered as a message.
    qsizetype pendingBytes() const { return m_messages.size(); }

signals:
    void dataReceived(QByteArray message);
    // The modem answered while the link waits for it (dialing or hanging up).
    void connected();

public slots:
    void onDataReceived(QByteArray chunk);
    void onConnected();

private:
    void setCallState(int state);
    // Lets events run until onConnected() ends the wait or the passes run out.
    void waitForModem();

    MessageRule m_messages;
    RS232Connection *m_line;
    QString m_portName;
    int m_callState = Idle;
    // Read by the wait loop while handlers run inside it.
    volatile bool m_waiting = false;
    bool m_connected = false;
    bool m_lastWaitAnswered = false;
    // Set when the call comes up: the CR LF that closes the modem's
    // "CONNECT 9600" line may arrive in a read of its own after the link has
    // gone online; it is dropped until the logger's first byte.
    bool m_dropModemLineEnd = false;
};

#endif // GSMCOMMUNICATION_H
