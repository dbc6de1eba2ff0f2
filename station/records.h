#ifndef RECORDS_H
#define RECORDS_H

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

// The logger's text records as plain values, and their parsers. Every parser
// takes the message exactly as the link delivered it (reply word first,
// terminating CR included) and never reads past what is there.
//
//   ParameterRecord par;
//   if (!parseParameterRecord(message, &par)) { /* "Cihazdan gelen bilgi eksik!" */ }
//   FileListRecord list = parseFileList(message);
//   AlarmRecord alarms;
//   if (!parseAlarmRecord(message, &alarms)) { ... }

// Splits the text after the 3-letter reply word at STX, empty fields kept.
// The text ends at the first 0 byte; a CR (and any LF) closing the message is
// not part of the last field. Converted with the program's 8-bit codec (UTF-8).
QStringList recordFields(const QByteArray &message);

// The answer to OKU ("PAR" ...): 18 fields.
struct ParameterRecord {
    QString serialNo;        // 0
    QString model;           // 1
    QString stationName;     // 2
    QString stationNo;       // 3
    QString offset;          // 4
    QString deviceTime;      // 5, its first 17 characters ("dd/MM/yy hh:mm:ss")
    int dayNumber = 0;       // 5, from character 18 on; 0 when absent or not a number
    QString battery;         // 6
    QString channel1Name;    // 7
    QString level;           // 8
    QString channel1Unit;    // 9
    QString channel2Name;    // 10
    QString temperature;     // 11
    QString channel2Unit;    // 12
    QString minLevel;        // 13
    QString minTemperature;  // 14
    QString maxLevel;        // 15
    QString maxTemperature;  // 16
    // 17: the six option digits in record order (RS485, record mode, daily
    // min/max, daily average type, wait for the full hour, measurement type);
    // a missing or non-numeric character counts as 0.
    int options[6] = {0, 0, 0, 0, 0, 0};
};

// False (and *record untouched) when the record has fewer than 18 fields.
bool parseParameterRecord(const QByteArray &message, ParameterRecord *record);

// The untranslated day name of a day number (1 Monday .. 7 Sunday), marked
// for translation in the "Form" context; empty for any other number.
const char *dayNameSource(int dayNumber);

// A logger date "dd/MM/yy": two-digit years are 2000 to 2099 ("29/02/00" is
// 29 February 2000). Invalid for anything else or a day that does not exist.
QDate dateOfTwoDigitYear(const QString &text);

// The answer to DKU or VER ("DOS" ...): the file list and the memory use.
struct FileListEntry {
    QDateTime date;          // date of the file (UTC, time 00:00); invalid when it did not parse
    int endPage = 0;
    int endOffset = 0;
};

struct FileListRecord {
    QString interval;        // field 0, shown unchanged
    QString countText;       // field 1, shown unchanged
    qint64 usedBytes = 0;    // field 7 x 1056 + field 8, clamped to 0..memory size
    // The files in order: at most the count, at most five, at most the fields
    // present; the list stops at a date field beginning with "00".
    QList<FileListEntry> files;
};

FileListRecord parseFileList(const QByteArray &message);

// The answer to ALO ("ALR" ...).
struct AlarmRecord {
    double thresholds[4] = {0, 0, 0, 0};  // ch1 high, ch1 reset, ch2 high, ch2 reset; C conventions, 0 when not a number
    QDateTime lastAlarm[2];               // from character 14 on, "dd/MM/yy hh:mm", years 2000..2099; invalid when unreadable
    int relay1 = 0;                       // field 6 character 0 minus '0'
    int relay2 = 0;                       // field 6 character 1 minus '0'
    bool channel1On = false;              // field 6 character 2 is not '0'
    bool channel2On = false;              // field 6 character 3 is not '0'
};

// False (and *record untouched) with fewer than 7 fields or a field 6 shorter
// than four characters.
bool parseAlarmRecord(const QByteArray &message, AlarmRecord *record);

// What the alarm tab sends back with AYU.
struct AlarmSettings {
    float thresholds[4] = {0, 0, 0, 0};   // ch1 high, ch1 reset, ch2 high, ch2 reset
    int relay1 = 0;
    int relay2 = 0;
    bool channel1On = false;
    bool channel2On = false;
};

// The logger's memory: 9340 pages of 1056 bytes.
constexpr qint64 LoggerMemoryBytes = 9863168;
constexpr int PageBytes = 1056;
constexpr int BlockBytes = 264;

#endif // RECORDS_H
