#include "gsmcommunication.h"

#include "linkbytes.h"
#include "rs232connection.h"
#include "waits.h"

#include <QDebug>

#include <algorithm>

GSMCommunication::GSMCommunication(QObject *parent)
    : QObject(parent),
      m_messages(QStringLiteral("GSMCommunication::onDataReceived()")),
      m_line(new RS232Connection(this))
{
    connect(m_line, &RS232Connection::dataReceived, this, &GSMCommunication::onDataReceived);
    connect(this, &GSMCommunication::connected, this, &GSMCommunication::onConnected);
}

GSMCommunication::~GSMCommunication() = default;

QByteArray GSMCommunication::dialLine(const QString &phone)
{
    return QStringLiteral("ATD%1\r").arg(phone).toUtf8();
}

namespace {
// A modem answer, quoted with its control bytes escaped, on one line.
QString modemAnswerLine(const char *process, const QByteArray &chunk)
{
    QString line;
    QDebug(&line).nospace() << process << chunk;
    return line;
}
} // namespace

QString GSMCommunication::disconnectLine(const QByteArray &chunk)
{
    return modemAnswerLine("Disconnect Process: ", chunk);
}

bool GSMCommunication::isDialRefusal(const QByteArray &chunk)
{
    const QByteArrayList refusals = LinkBytes::dialRefusals();
    return std::any_of(refusals.cbegin(), refusals.cend(),
                       [&chunk](const QByteArray &word) { return chunk.contains(word); });
}

QString GSMCommunication::refusalLine(const QByteArray &chunk)
{
    return modemAnswerLine("Dial Process: ", chunk);
}

QByteArray GSMCommunication::withoutLeadingLineEnds(const QByteArray &chunk)
{
    qsizetype start = 0;
    while (start < chunk.size() && (chunk.at(start) == '\r' || chunk.at(start) == '\n'))
        ++start;
    return chunk.mid(start);
}

void GSMCommunication::setPort(QString name)
{
    m_portName = name;
    m_line->setPort(name);
}

bool GSMCommunication::open(QString phone)
{
    m_messages.clear();
    m_dropModemLineEnd = false;
    setCallState(Dialing);
    if (m_line->open(m_portName)) {
        m_waiting = true;
        m_line->send(dialLine(phone).constData(), false);
        waitForModem();
        // A serial port opens only once: left open, it would keep the next
        // modem search from probing the modem.
        if (!m_connected)
            m_line->close();
    }
    setCallState(Online);
    m_dropModemLineEnd = m_connected;
    return m_connected;
}

void GSMCommunication::close()
{
    m_messages.clear();
    m_dropModemLineEnd = false;
    setCallState(HangingUp);
    // The port closes after a confirmed hang-up and after a dial that did
    // not come about: without it there is no call, and nothing to wait for.
    if (!m_line->isOpen()) {
        m_connected = false;
        m_lastWaitAnswered = false;
        return;
    }
    m_waiting = true;
    // "+++" escapes to command mode and ATH hangs up, in one write.
    m_line->send(hangUpLine().constData(), false);
    waitForModem();
    // Without the modem's "OK" the call is taken as still up: the line stays
    // open so that a further close() can try again.
    if (m_connected)
        return;
    // The reset ends with CR so that the modem carries it out before the port
    // closes.
    m_line->send(resetLine().constData(), false);
    m_line->close();
}

bool GSMCommunication::isOpen()
{
    return m_connected;
}

bool GSMCommunication::send(const char *command, bool binaryReply)
{
    return m_line->send(command, binaryReply);
}

void GSMCommunication::onDataReceived(QByteArray chunk)
{
    switch (m_callState) {
    case Dialing:
        if (chunk.contains(LinkBytes::connect())) {
            m_connected = true;
            emit connected();
        } else if (isDialRefusal(chunk)) {
            // No call will come: the wait ends now instead of after a minute.
            qDebug().noquote() << refusalLine(chunk);
            m_waiting = false;
        }
        return;
    case HangingUp:
        // Whatever the logger still sends during or after the hang-up is
        // dropped; only the modem's confirmation counts.
        if (chunk.contains(LinkBytes::ok())) {
            qDebug().noquote() << disconnectLine(chunk);
            m_connected = false;
            emit connected();
        }
        return;
    default:
        if (m_dropModemLineEnd) {
            // The rest of the modem's answer line would otherwise stand in
            // front of the logger's first reply, which is then no longer
            // recognised by its first letters.
            chunk = withoutLeadingLineEnds(chunk);
            if (chunk.isEmpty())
                return;
            m_dropModemLineEnd = false;
        }
        if (auto message = m_messages.feed(chunk))
            emit dataReceived(*message);
        return;
    }
}

void GSMCommunication::onConnected()
{
    qDebug() << "onConnected()";
    m_waiting = false;
}

void GSMCommunication::setCallState(int state)
{
    m_callState = state;
    // Modem answers end in CR LF; the logger's replies keep their own rules.
    m_line->setModemAnswers(state == Dialing || state == HangingUp);
}

void GSMCommunication::waitForModem()
{
    const Waits::Values &waits = Waits::current();
    m_lastWaitAnswered = Waits::waitWhile(&m_waiting, waits.gsmSleep, waits.gsmPasses);
    m_waiting = false;
}
