#ifndef SIMMODEM_H
#define SIMMODEM_H

#include "simlogger.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

// An AT-command GSM modem in front of the logger. In command mode it reads
// lines ending with CR (any letter case) and answers CR LF word CR LF; a dial
// connects the call after a short delay, and from then on bytes pass to the
// logger until "+++" escapes back to command mode.
//
//   SimModem modem;
//   QList<SimPiece> out = modem.receive("ATD05551234\r", [&](const QByteArray &b) {
//       return logger.receive(b);
//   });
class SimModem
{
public:
    enum DialAnswer { Connect, Busy, NoCarrier };

    using LoggerInput = std::function<QList<SimPiece>(const QByteArray &)>;

    // Bytes from the program's serial line; returns what goes back on it.
    QList<SimPiece> receive(const QByteArray &bytes, const LoggerInput &logger);

    bool isOnline() const { return m_online; }
    void setDialAnswer(DialAnswer answer) { m_dialAnswer = answer; }
    DialAnswer dialAnswer() const { return m_dialAnswer; }
    // How many dials get a refusing dial answer before the calls connect;
    // -1 (the default) refuses every one.
    void setRefusals(int count) { m_refusals = count; }
    int refusals() const { return m_refusals; }
    void setDialDelayMs(int ms) { m_dialDelayMs = ms; }
    // Sends the LF that closes each answer as a piece of its own, a little
    // later, so that a reader which waits for a final CR sees the answer.
    void setLfApart(bool apart) { m_lfApart = apart; }
    void reset();

    // Called when the call has just been connected (the logger's input starts afresh).
    void setOnConnect(std::function<void()> onConnect) { m_onConnect = std::move(onConnect); }
    void setLog(std::function<void(const QString &)> log) { m_log = std::move(log); }

    static QByteArray answer(const char *word);   // CR LF word CR LF

private:
    QList<SimPiece> command(const QByteArray &line);
    QList<SimPiece> reply(const char *word, int pauseMs) const;
    void log(const QString &line) const;

    bool m_online = false;
    DialAnswer m_dialAnswer = Connect;
    int m_refusals = -1;
    int m_dialDelayMs = 300;
    bool m_lfApart = false;
    QByteArray m_line;
    std::function<void()> m_onConnect;
    std::function<void(const QString &)> m_log;
};

#endif // SIMMODEM_H
