#include "messagerule.h"

#include "linkbytes.h"

#include <QDebug>

MessageRule::MessageRule(const QString &owner, qsizetype cap)
    : m_buffer(owner, QStringLiteral("message buffer"), cap), m_owner(owner)
{
}

MessageRule::Verdict MessageRule::judge(const QByteArray &buffer)
{
    if (buffer.isEmpty())
        return Verdict::Incomplete;
    if (buffer.endsWith(LinkBytes::CR))
        return Verdict::Message;
    // The block test does not depend on the reply mode: the chunk rule has
    // already decided when a binary reply is complete.
    if (LinkBytes::endsWithBlockEnd(buffer))
        return buffer.startsWith('D') ? Verdict::Message : Verdict::StrayBlock;
    if (buffer.startsWith(LinkBytes::endOfTransfer()))
        return Verdict::Message;
    return Verdict::Incomplete;
}

QString MessageRule::strayBlockLine(const QString &owner, const QByteArray &buffer)
{
    QString shown;
    shown.reserve(buffer.size() + 2);
    for (const char c : buffer) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '"' || byte == '\\')
            shown += QLatin1String("\\") + QLatin1Char(c);
        else if (byte >= 0x20 && byte < 0x7F)
            shown += QLatin1Char(c);
        else
            shown += QLatin1String("\\x")
                + QString::number(byte, 16).toUpper().rightJustified(2, QLatin1Char('0'));
    }
    return QStringLiteral("[Hata] %1 :  \"%2\"").arg(owner, shown);
}

std::optional<QByteArray> MessageRule::feed(const QByteArray &chunk)
{
    m_buffer.append(chunk);
    switch (judge(m_buffer.bytes())) {
    case Verdict::Incomplete:
        return std::nullopt;
    case Verdict::StrayBlock:
        qDebug().noquote() << strayBlockLine(m_owner, m_buffer.bytes());
        break;
    case Verdict::Message:
        break;
    }
    return m_buffer.take();
}
