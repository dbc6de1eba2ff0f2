#ifndef STATIONOUTCOME_H
#define STATIONOUTCOME_H

#include "downloadsummary.h"

#include <QDateTime>
#include <QList>
#include <QString>

// What the station engine hands its callers besides the records it reads:
// how an operation ended, with the texts a person is to be told, and where a
// transfer stands. Plain values, so that the form, the collector and a test
// read the same thing.

// One message for the person at the program, in the order they are to be
// told. Texts are translated in the working form's context.
struct StationNotice {
    enum Kind { Information, Critical, Warning };
    Kind kind = Information;
    QString title;
    QString text;
    QString details;   // shown below the text; empty for none
};

struct StationOutcome {
    enum Result {
        Done,        // the operation did what it was asked
        Failed,      // the logger, the link or the computer let it down
        Cancelled,   // a person (or a decision) stopped it
        Refused      // another operation was still running
    };
    Result result = Done;
    QList<StationNotice> notices;
    // The reason in one line, for callers without a person; empty when done.
    QString error;

    // A finished download: its newest export, which a desktop view opens
    // before the last notice, and what the download brought. The view sets
    // summary.exportOpened and puts summary.text() below that notice.
    QString exportToOpen;
    bool hasSummary = false;
    DownloadSummary summary;
    // The newest record of the download (UTC, as decoded); invalid when none.
    QDateTime newestRecord;
    float newestLevel = 0;
    float newestTemperature = 0;

    bool ok() const { return result == Done; }
};

// Where a download stands, after every reply and retry.
struct TransferProgress {
    int packet = 0;             // the block asked for now, from 1
    int packets = 0;            // the blocks of the plan, with its closing item
    int accepted = 0;           // blocks of this plan accepted so far
    int blockCount = 0;         // data blocks of this plan
    int attempt = 1;            // the request of the current block, from 1
    qint64 fetchedBytes = 0;
    qint64 plannedBytes = 0;
    qint64 secondsLeft = -1;    // estimated from the blocks so far; -1 before the first
    bool keepingCopy = false;   // accepted blocks are kept for a next try
    int keptBlocks = 0;
    QString message;            // what the "Mesaj" row says
    QString planNote;           // the message while nothing else is to be said
    QString widestMessage;      // the longest message this plan can show
};

#endif // STATIONOUTCOME_H
