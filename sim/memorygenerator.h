#ifndef MEMORYGENERATOR_H
#define MEMORYGENERATOR_H

#include "memoryencoder.h"
#include "simmemory.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

// One record as the decoder gives it back (times in UTC, as decoded).
struct SimRecord {
    QDateTime time;
    int channel = 0;   // 0 instantaneous, missing and average; 1 or 2 for a summary's extreme
    int type = 0;      // 0 instantaneous, 1 maximum, 2 minimum, 3 average
    float value1 = 0;
    float value2 = 0;
    bool timeSet = false;
    bool missing = false;
};

// What a logger records over days: files that start with a header and a time
// stamp, a measurement of both channels at every record interval, a daily
// summary at each midnight, and optionally missing records and a gap (the
// logger switched off for a while, then a new time stamp).
struct GeneratorOptions {
    int files = 1;                // 1..5
    int daysPerFile = 2;
    int intervalMinutes = 15;
    QDateTime start;              // first file's install time; invalid: midnight, files x days ago
    bool fullMemory = false;      // fill all 9863168 bytes (the days then follow from the size)
    int missingEvery = 0;         // every n-th measurement slot is a missing record; 0 none
    int gapMinutes = 0;           // one gap this long in the middle of each file; 0 none
    FileHeader header;            // names and units; install time and interval are set per file
};

struct GeneratedMemory {
    QByteArray image;                    // the used memory, end mark included
    QList<SimMemory::File> files;
    QList<SimRecord> lastFileRecords;    // what decoding the image gives back
};

// The simulated sensors: a level that moves slowly around a base value and a
// temperature with a daily swing, rounded to hundredths as the logger stores them.
float simulatedLevel(qint64 minutesSinceEpoch);
float simulatedTemperature(qint64 minutesSinceEpoch);

GeneratedMemory generateMemory(const GeneratorOptions &options);

// The image as the logger leaves it `days` days later: its last file goes on
// from its next record slot, at its own interval, with the options' missing
// records and gap; the end mark follows. An image without a file gets one
// (header from the options). Never more than the logger's memory.
QByteArray growImage(const QByteArray &image, int days, const GeneratorOptions &options);

#endif // MEMORYGENERATOR_H
