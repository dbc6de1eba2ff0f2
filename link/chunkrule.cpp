#include "chunkrule.h"

#include "linkbytes.h"

ChunkRule::ChunkRule(const QString &owner, ConnectStep connectStep, qsizetype cap)
    : m_buffer(owner, QStringLiteral("receive buffer"), cap), m_connectStep(connectStep)
{
}

bool ChunkRule::isComplete(const QByteArray &buffer, bool binaryReply, ConnectStep connectStep,
                           bool modemAnswers)
{
    if (buffer.isEmpty())
        return false;
    // The modem's answer to a dial line is wanted at once, even before its
    // line ends and whatever the reply mode.
    if (connectStep == ConnectEndsChunk && buffer.contains(LinkBytes::connect()))
        return true;
    // A modem's "OK", "BUSY" or "NO CARRIER" ends in CR LF, so its last byte
    // is LF; without this step such an answer would wait for a later CR.
    if (modemAnswers && buffer.endsWith(LinkBytes::modemLineEnd()))
        return true;
    if (binaryReply)
        return buffer.startsWith(LinkBytes::endOfTransfer()) || LinkBytes::endsWithBlockEnd(buffer);
    return buffer.endsWith(LinkBytes::CR);
}

std::optional<QByteArray> ChunkRule::take()
{
    if (!isComplete(m_buffer.bytes(), m_binaryReply, m_connectStep, m_modemAnswers))
        return std::nullopt;
    return m_buffer.take();
}
