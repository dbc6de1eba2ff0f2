#include "simmodem.h"

QByteArray SimModem::answer(const char *word)
{
    return QByteArray("\r\n") + word + "\r\n";
}

void SimModem::reset()
{
    m_online = false;
    m_line.clear();
}

QList<SimPiece> SimModem::receive(const QByteArray &bytes, const LoggerInput &logger)
{
    QList<SimPiece> out;
    QByteArray rest = bytes;
    while (!rest.isEmpty()) {
        if (m_online) {
            const qsizetype escape = rest.indexOf("+++");
            if (escape < 0) {
                out += logger(rest);
                return out;
            }
            if (escape > 0)
                out += logger(rest.left(escape));
            rest.remove(0, escape + 3);
            m_online = false;
            m_line.clear();
            log(QStringLiteral("modem: +++, command mode"));
            continue;
        }
        m_line += rest;
        rest.clear();
        qsizetype cr;
        while (!m_online && (cr = m_line.indexOf('\r')) >= 0) {
            const QByteArray line = m_line.left(cr);
            m_line.remove(0, cr + 1);
            out += command(line);
        }
        if (m_online) {
            // Bytes after the dial line belong to the call.
            rest = m_line;
            m_line.clear();
            continue;
        }
        // The reset is sometimes written without its CR.
        if (m_line.trimmed().toUpper() == "ATZ") {
            m_line.clear();
            out += command("ATZ");
        }
    }
    return out;
}

QList<SimPiece> SimModem::command(const QByteArray &rawLine)
{
    const QByteArray line = rawLine.trimmed().toUpper();
    if (line.isEmpty())
        return {};
    log(QStringLiteral("modem: %1").arg(QString::fromLatin1(rawLine.trimmed())));
    if (line.startsWith("ATD")) {
        const DialAnswer dialAnswer = m_refusals == 0 ? Connect : m_dialAnswer;
        if (dialAnswer != Connect && m_refusals > 0)
            --m_refusals;
        switch (dialAnswer) {
        case Busy:
            log(QStringLiteral("FAULT modem answers BUSY"));
            return reply("BUSY", m_dialDelayMs);
        case NoCarrier:
            log(QStringLiteral("FAULT modem answers NO CARRIER"));
            return reply("NO CARRIER", m_dialDelayMs);
        case Connect:
            break;
        }
        m_online = true;
        if (m_onConnect)
            m_onConnect();
        log(QStringLiteral("modem: call connected"));
        return reply("CONNECT 9600", m_dialDelayMs);
    }
    if (line.startsWith("ATH"))
        log(QStringLiteral("modem: call ended"));
    if (line.startsWith("AT"))
        return reply("OK", 0);
    return reply("ERROR", 0);
}

QList<SimPiece> SimModem::reply(const char *word, int pauseMs) const
{
    const QByteArray text = answer(word);
    if (!m_lfApart)
        return {{text, pauseMs}};
    return {{text.chopped(1), pauseMs}, {QByteArray("\n"), 50}};
}

void SimModem::log(const QString &line) const
{
    if (m_log)
        m_log(line);
}
