#include "boundedbuffer.h"

#include <QDebug>

BoundedBuffer::BoundedBuffer(const QString &owner, const QString &what, qsizetype cap)
    : m_owner(owner), m_what(what), m_cap(cap > 0 ? cap : DefaultCap)
{
}

void BoundedBuffer::append(const QByteArray &bytes)
{
    if (m_bytes.size() + bytes.size() <= m_cap) {
        m_bytes.append(bytes);
        return;
    }
    qint64 dropped = m_bytes.size();
    m_bytes.clear();
    if (bytes.size() > m_cap)
        dropped += bytes.size();
    else
        m_bytes = bytes;
    m_dropped += dropped;
    qWarning().noquote() << dropLine(dropped);
}

QByteArray BoundedBuffer::take()
{
    QByteArray all;
    all.swap(m_bytes);
    return all;
}

void BoundedBuffer::clear()
{
    m_bytes.clear();
}

QString BoundedBuffer::dropLine(qint64 count) const
{
    return QStringLiteral("[Hata] %1 : %2 over %3 bytes without an end, %4 bytes dropped")
        .arg(m_owner, m_what)
        .arg(m_cap)
        .arg(count);
}
