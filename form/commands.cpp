#include "commands.h"

namespace Commands {

namespace {
QByteArray simple(const char *word)
{
    QByteArray frame;
    frame.append(STX).append(word).append(CR);
    return frame;
}
} // namespace

QByteArray toWire(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    bytes.replace('\0', QByteArray());
    return bytes;
}

QByteArray oku() { return simple("OKU"); }
QByteArray dku() { return simple("DKU"); }
QByteArray alo() { return simple("ALO"); }
QByteArray ver() { return simple("VER"); }

QByteArray akt(int page, int offset)
{
    QByteArray frame;
    frame.append(STX).append("AKT");
    frame.append(QByteArray::number(page).rightJustified(4, '0'));
    frame.append(STX);
    frame.append(QByteArray::number(offset).rightJustified(4, '0'));
    frame.append(STX).append(CR);
    return frame;
}

QByteArray sif(const QString &oldPassword, const QString &newPassword)
{
    QByteArray frame;
    frame.append(STX).append("SIF").append(toWire(oldPassword)).append(toWire(newPassword)).append(CR);
    return frame;
}

QByteArray sen(const QString &password)
{
    QByteArray frame;
    frame.append(STX).append("SEN").append(toWire(password)).append(CR);
    return frame;
}

} // namespace Commands
