#include "rawdump.h"

#include "savefile.h"

#include <QSaveFile>

namespace RawDump {

namespace {

// The character column of one byte: the character with that code, in UTF-8.
void appendCharacter(QByteArray &out, quint8 byte)
{
    if (byte == '\n')
        out.append("\r\n");
    else if (byte < 0x80)
        out.append(char(byte));
    else {
        out.append(char(0xC0 | (byte >> 6)));
        out.append(char(0x80 | (byte & 0x3F)));
    }
}

const char hexDigits[] = "0123456789ABCDEF";

// The two number columns of one byte's line with their tabs: "%02d\t%02X\t".
void appendColumns(QByteArray &out, quint8 byte)
{
    if (byte >= 100)
        out.append(char('0' + byte / 100));
    out.append(char('0' + byte / 10 % 10));
    out.append(char('0' + byte % 10));
    out.append('\t');
    out.append(hexDigits[byte >> 4]);
    out.append(hexDigits[byte & 0x0F]);
    out.append('\t');
}

// Reads the end of a line (CR LF or LF) at pos.
bool takeLineEnd(const QByteArray &text, qsizetype &pos)
{
    if (pos < text.size() && text.at(pos) == '\r')
        ++pos;
    if (pos < text.size() && text.at(pos) == '\n') {
        ++pos;
        return true;
    }
    return false;
}

bool takeDigits(const QByteArray &text, qsizetype &pos, int base, int maxDigits, qint64 &value)
{
    value = 0;
    int count = 0;
    while (pos < text.size() && count < maxDigits) {
        const char c = text.at(pos);
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            break;
        value = value * base + digit;
        ++pos;
        ++count;
    }
    return count > 0;
}

// The part of text from pos with at most n bytes.
QByteArrayView window(const QByteArray &text, qsizetype pos, qsizetype n)
{
    if (pos >= text.size())
        return QByteArrayView();
    return QByteArrayView(text).sliced(pos, qMin(n, text.size() - pos));
}

bool takeText(const QByteArray &text, qsizetype &pos, QByteArrayView expected)
{
    if (window(text, pos, expected.size()) != expected)
        return false;
    pos += expected.size();
    return true;
}

// The character column as written by appendCharacter.
bool takeCharacter(const QByteArray &text, qsizetype &pos, quint8 byte)
{
    if (byte == '\n')
        return takeText(text, pos, "\r\n") || takeText(text, pos, "\n");
    if (byte < 0x80) {
        const char plain = char(byte);
        return takeText(text, pos, QByteArrayView(&plain, 1));
    }
    const char utf8[2] = {char(0xC0 | (byte >> 6)), char(0x80 | (byte & 0x3F))};
    return takeText(text, pos, QByteArrayView(utf8, 2));
}

} // namespace

QByteArray toText(const QByteArray &data)
{
    QByteArray out;
    out.reserve(data.size() * 10 + 40);
    for (const char c : data) {
        const quint8 byte = quint8(c);
        appendColumns(out, byte);
        appendCharacter(out, byte);
        out.append("\r\n");
    }
    out.append("\r\n");
    out.append(QByteArray::number(data.size()));
    out.append(" bytes data received.\r\n");
    return out;
}

bool write(const QString &path, const QByteArray &data, QString *errorText)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        const QByteArray text = toText(data);
        if (file.write(text) == text.size())
            return SaveFile::commit(file, errorText);
    }
    if (errorText)
        *errorText = SaveFile::errorText(file);
    file.cancelWriting();
    return false;
}

bool parse(const QByteArray &text, QByteArray *bytes)
{
    QByteArray result;
    QByteArray columns;
    qsizetype pos = 0;
    for (;;) {
        // The empty line before the byte count ends the byte lines.
        qsizetype lineStart = pos;
        if (takeLineEnd(text, lineStart)) {
            pos = lineStart;
            break;
        }
        qint64 decimal = 0;
        qint64 hex = 0;
        const qsizetype start = pos;
        if (!takeDigits(text, pos, 10, 3, decimal) || !takeText(text, pos, "\t")
            || !takeDigits(text, pos, 16, 2, hex) || hex != decimal)
            return false;
        // Only the exact columns of the writer count: "%02d\t%02X\t".
        columns.resize(0);
        appendColumns(columns, quint8(hex));
        if (window(text, start, columns.size()) != columns)
            return false;
        pos = start + columns.size();
        if (!takeCharacter(text, pos, quint8(hex)) || !takeLineEnd(text, pos))
            return false;
        result.append(char(hex));
    }
    qint64 count = 0;
    if (!takeDigits(text, pos, 10, 12, count) || count != result.size()
        || !takeText(text, pos, " bytes data received.") || !takeLineEnd(text, pos)
        || pos != text.size())
        return false;
    if (bytes)
        *bytes = result;
    return true;
}

} // namespace RawDump
