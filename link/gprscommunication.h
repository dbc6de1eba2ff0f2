#ifndef GPRSCOMMUNICATION_H
#define GPRSCOMMUNICATION_H

#include "icommunication.h"
#include "messagerule.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class TCPConnection;

// The GPRS link to the logger, message level: a TCP client (port 80 unless
// setPort says otherwise). Besides complete replies it reports socket errors,
// the loss of the connection and trace lines for the debug log.
//
//   auto *gprs = new GPRSCommunication(this);
//   if (gprs->open(host.trimmed())) {
//       connect(gprs, &GPRSCommunication::dataReceived, this, &Form::onDataReceived);
//       connect(gprs, &GPRSCommunication::connectionClosed, this, &Form::onConnectionClosed);
//       connect(gprs, &GPRSCommunication::socketError, this, &Form::onSocketError);
//       connect(gprs, &GPRSCommunication::debugging, this, &Form::onDebuging);
//   }
//
// On an error of an established connection socketError comes first, then
// connectionClosed (possibly twice: receivers must tolerate the repeat).
class GPRSCommunication : public QObject, public ICommunication
{
    Q_OBJECT
public:
    explicit GPRSCommunication(QObject *parent = nullptr);
    ~GPRSCommunication() override;

    void setPort(QString text) override;
    bool open(QString host) override;
    void close() override;
    bool isOpen() override;
    bool send(const char *command, bool binaryReply) override;

    TCPConnection *connection() const { return m_connection; }
    // Chunks received and not yet delivered as a message.
    qsizetype pendingBytes() const { return m_messages.size(); }

signals:
    void dataReceived(QByteArray message);
    void socketError(int error, QString errorString);
    void connectionClosed();
    void debugging(QString line);

public slots:
    void onDataReceived(QByteArray chunk);

private:
    MessageRule m_messages;
    TCPConnection *m_connection;
};

#endif // GPRSCOMMUNICATION_H
