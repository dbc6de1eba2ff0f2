#include "hostport.h"

#include <QRegularExpression>

bool splitHostPort(const QString &text, QString *host, quint16 *port)
{
    const QString trimmed = text.trimmed();
    *host = trimmed;
    *port = 80;
    if (trimmed.isEmpty())
        return false;

    // "[v6-address]:port"
    static const QRegularExpression bracketed(QStringLiteral("^\\[([^\\]]+)\\](?::(\\d{1,5}))?$"));
    QRegularExpressionMatch match = bracketed.match(trimmed);
    if (match.hasMatch()) {
        *host = match.captured(1);
        if (match.hasCaptured(2)) {
            const uint value = match.captured(2).toUInt();
            if (value == 0 || value > 65535)
                return false;
            *port = quint16(value);
        }
        return true;
    }

    // "host:port"; a text with several colons is a bare IPv6 address.
    if (trimmed.count(QLatin1Char(':')) == 1) {
        const qsizetype colon = trimmed.indexOf(QLatin1Char(':'));
        bool ok = false;
        const uint value = trimmed.mid(colon + 1).toUInt(&ok);
        if (!ok || value == 0 || value > 65535 || colon == 0)
            return false;
        *host = trimmed.left(colon);
        *port = quint16(value);
    }
    return true;
}
