#ifndef RAWDUMP_H
#define RAWDUMP_H

#include <QByteArray>
#include <QString>

// The raw dump of a download ("raw_data.txt"): one line per byte, "%02d\t%02X\t%c"
// (decimal value, hexadecimal value, the character of that code), an empty
// line and "<n> bytes data received.". UTF-8, CR LF line ends on every
// platform. A byte 0x0A appears in its line as CR LF, as a text-mode file on
// Windows writes it; the reader takes the value from the two number columns.
//
//   QString error;
//   RawDump::write(QStringLiteral("raw_data.txt"), data, &error);
//   QByteArray back;
//   if (RawDump::parse(RawDump::toText(data), &back)) ...   // back == data
namespace RawDump {

QByteArray toText(const QByteArray &data);

// Replaces the file at path with the dump of data (never half-written).
bool write(const QString &path, const QByteArray &data, QString *errorText = nullptr);

// True when text is a complete dump; bytes (if given) receives the bytes it
// lists. Accepts LF as well as CR LF line ends.
bool parse(const QByteArray &text, QByteArray *bytes = nullptr);

} // namespace RawDump

#endif // RAWDUMP_H
