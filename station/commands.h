#ifndef COMMANDS_H
#define COMMANDS_H

#include <QByteArray>
#include <QString>

struct AlarmSettings;
struct UploadRequest;

// Frames of the logger's commands: STX, the command word, its fields, CR.
// Text goes out UTF-8 encoded; a frame never contains a 0 byte, so it can be
// handed to a link as a NUL-terminated string.
namespace Commands {

constexpr char STX = 0x02;
constexpr char CR = 0x0D;

// Codes of the awaited answer (Form::pendingCommand).
enum Pending {
    PendingNone = 0,
    PendingOKU = 1,
    PendingDKU = 2,
    PendingALO = 3,
    PendingAYU = 5,
    PendingSIF = 6,
    PendingSEN = 7,
    PendingPAR = 8,
    PendingVER = 9,
    PendingAKT = 10
};

QByteArray oku();   // parameter record
QByteArray dku();   // file list, as part of the read chain
QByteArray alo();   // alarm record
QByteArray ver();   // file list that opens a transfer

// One memory block: page and offset as four decimal digits each.
QByteArray akt(int page, int offset);

// Password change and sensor zero; passwords go out exactly as typed.
QByteArray sif(const QString &oldPassword, const QString &newPassword);
QByteArray sen(const QString &password);

// Parameter upload: password, file action and serial number joined without
// separator; the offset with two decimals and "." whatever the locale.
QByteArray par(const UploadRequest &request);

// Alarm set: four thresholds with two decimals (rounded to single precision
// first), the two relay indexes and the two alarm switches.
QByteArray ayu(const AlarmSettings &settings);

// Text as the logger receives it: UTF-8, any 0 byte dropped so that the
// frame stays a valid NUL-terminated string.
QByteArray toWire(const QString &text);

} // namespace Commands

#endif // COMMANDS_H
