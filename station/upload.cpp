#include "upload.h"

#include "commands.h"
#include "localenumber.h"

#include <QLocale>

namespace Upload {

QString clockText(const QDateTime &clock)
{
    if (!clock.isValid())
        return QString();
    // Fixed digits whatever the user's locale; the logger wants 1 = Monday .. 7 = Sunday,
    // which is Qt's numbering too.
    return QLocale::c().toString(clock, QStringLiteral("ddMMyyhhmmss"))
        + QString::number(clock.date().dayOfWeek());
}

float parseLocaleNumber(const QString &text) { return LocaleNumber::toFloat(text); }

QByteArray traceText(const QByteArray &frame, const QString &password)
{
    // The password sits right after STX "PAR"; the trace must not keep it.
    QByteArray bytes = frame;
    const QByteArray head = QByteArray(1, Commands::STX) + "PAR";
    const QByteArray secret = Commands::toWire(password);
    if (!secret.isEmpty() && bytes.startsWith(head + secret)) {
        const QByteArray stars(password.toUcs4().size(), '*');
        bytes.replace(head.size(), secret.size(), stars);
    }

    QByteArray trace;
    trace.reserve(bytes.size() + 16);
    for (int i = 0; i < bytes.size(); ++i) {
        const uchar c = uchar(bytes.at(i));
        if (c == uchar(Commands::STX)) {
            trace.append("\\02");
        } else if (c == uchar(Commands::CR)) {
            trace.append("\\0d");
        } else if ((c & 0xC0) == 0x80 && i > 0 && (uchar(bytes.at(i - 1)) & 0x80)) {
            // Continuation byte of a UTF-8 character: the trace keeps only
            // the first byte of each character.
            continue;
        } else {
            trace.append(char(c));
        }
    }
    return trace;
}

} // namespace Upload
