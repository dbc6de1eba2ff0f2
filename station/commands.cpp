#include "commands.h"

#include "records.h"
#include "upload.h"

#include <cmath>

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

namespace {
QByteArray digit(bool on) { return on ? "1" : "0"; }

// What printf's "%.2f" prints for a float, but with "." whatever the locale.
// printf rounds the exact binary value half to even (0.125 -> "0.12"), where
// QByteArray::number rounds half up; a float times 100 is exact in a double,
// so the rounding can be done on that product.
QByteArray twoDecimals(float value)
{
    const double scaled = double(value) * 100.0;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.0e15)
        return QByteArray::number(double(value), 'f', 2);  // whole numbers or inf/nan: nothing to round
    const qint64 hundredths = qint64(std::fabs(std::nearbyint(scaled)));
    QByteArray text;
    if (std::signbit(value))
        text.append('-');
    text.append(QByteArray::number(hundredths / 100)).append('.');
    text.append(QByteArray::number(hundredths % 100).rightJustified(2, '0'));
    return text;
}
} // namespace

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

QByteArray par(const UploadRequest &request)
{
    // Password, file action and serial number run together; the logger
    // separates them by the password length it knows.
    QByteArray frame;
    frame.append(STX).append("PAR");
    frame.append(toWire(request.password));
    frame.append(QByteArray::number(request.fileAction));
    frame.append(toWire(request.serialNo)).append(STX);
    frame.append(toWire(request.stationName)).append(STX);
    frame.append(toWire(request.stationNo)).append(STX);
    frame.append(digit(request.waitFullHour)).append(digit(request.well)).append('0')
        .append(digit(request.rs485)).append(STX);
    frame.append(toWire(Upload::clockText(request.clock))).append(STX);
    frame.append(twoDecimals(request.offset)).append(STX);
    frame.append(toWire(request.channel1Unit)).append(STX);
    frame.append(toWire(request.channel1Name)).append(STX);
    frame.append(toWire(request.recordInterval)).append(STX);
    frame.append(digit(request.instantRecord)).append(digit(request.instantMinMax))
        .append(digit(request.recordAverage)).append(STX);
    frame.append(CR);
    return frame;
}

QByteArray ayu(const AlarmSettings &settings)
{
    QByteArray frame;
    frame.append(STX).append("AYU");
    for (int i = 0; i < 4; ++i)
        frame.append(twoDecimals(settings.thresholds[i])).append(STX);
    frame.append(QByteArray::number(settings.relay1)).append(QByteArray::number(settings.relay2));
    frame.append(digit(settings.channel1On)).append(digit(settings.channel2On));
    frame.append(CR);
    return frame;
}

} // namespace Commands
