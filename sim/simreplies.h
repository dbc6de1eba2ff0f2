#ifndef SIMREPLIES_H
#define SIMREPLIES_H

#include "simmemory.h"
#include "simstate.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// The logger's side of the command protocol as plain functions: the replies
// it composes and the command frames it reads. Text replies are the reply
// word, fields each followed by STX, and a final CR.

namespace SimReplies {

constexpr char STX = 0x02;
constexpr char CR = 0x0D;

// Word, STX, CR: "DEG", "SIFIR", "UKLEND", "SYANLIS", "AYUOK".
QByteArray shortAnswer(const char *word);

// "PAR" and 18 fields (fewer when fieldCount says so). Field 5 is the clock
// as "dd/MM/yy hh:mm:ss", a blank and the day of the week (1 Monday .. 7).
QByteArray parameterRecord(const SimParameters &p, const SimLiveValues &live,
                           const QDateTime &clock, int fieldCount = 18);
QStringList parameterFields(const SimParameters &p, const SimLiveValues &live,
                            const QDateTime &clock);

// "DOS": interval, file count, five date slots ("00/00/00 00:00" when empty),
// used pages, bytes in the last page, then the end page and offset per file.
QByteArray fileListRecord(int intervalMinutes, const QList<SimMemory::File> &files,
                          qint64 usedBytes);

// "ALR": four thresholds, two last-alarm fields (14 characters not read by
// the program, then "dd/MM/yy hh:mm") and relay1 relay2 ch1on ch2on.
QByteArray alarmRecord(const SimAlarms &alarms);

// "D", the block number (address / 264) most significant byte first, up to
// 264 bytes from the address and FB FB FB; "BITTI" STX at or past the end.
QByteArray blockReply(const QByteArray &usedImage, qint64 address);
QByteArray endOfTransfer();
QByteArray blockFrame(int blockNo, const QByteArray &payload);

// --- command frames (STX, word, fields, CR) as the program sends them ---

// The command word of a frame, or empty when it is not a frame.
QByteArray commandWord(const QByteArray &frame);

struct BlockRequest {
    int page = 0;
    int offset = 0;
    qint64 address() const { return qint64(page) * SimMemory::PageBytes + offset; }
};
// "\x02AKT" pppp STX oooo STX CR; the offset must lie within a page.
std::optional<BlockRequest> parseBlockRequest(const QByteArray &frame);

// The text after the command word and before the final CR (SIF, SEN).
QByteArray frameBody(const QByteArray &frame);

struct UploadFrame {
    QByteArray passwordAndRest;  // password, file-action digit and serial number joined
    QString stationName;
    QString stationNo;
    QByteArray flags;            // full hour, well, "0", RS485
    QByteArray clock;            // "ddMMyyhhmmss" and the day digit
    QByteArray offset;           // "%.2f"
    QString unit;
    QString channel1Name;
    QString interval;
    QByteArray recordFlags;      // instantaneous record, instantaneous min/max, record average
};
std::optional<UploadFrame> parseUpload(const QByteArray &frame);

// "ddMMyyhhmmss" (the day digit after it is not needed) as a local time.
QDateTime parseUploadClock(const QByteArray &text);

// "\x02AYU" four thresholds with STX between, STX, four digits, CR. A relay
// index the program could not show comes as -1 and is kept as 0.
std::optional<SimAlarms> parseAlarmSet(const QByteArray &frame);

} // namespace SimReplies

#endif // SIMREPLIES_H
