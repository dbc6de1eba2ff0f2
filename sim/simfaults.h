#ifndef SIMFAULTS_H
#define SIMFAULTS_H

#include <QtGlobal>

// Misbehaviour the simulated logger can be told to show, to exercise the
// program's retries and checks. Block numbers are the block's address / 264.
// The "once" faults switch themselves off (back to -1) when they have fired.
struct SimFaults {
    // Every reply goes out in 2 to 5 random pieces with a pause of up to
    // splitPauseMs between them.
    bool splitReplies = false;
    int splitPauseMs = 20;
    // Every reply waits this long before its first byte.
    int replyDelayMs = 0;

    int ignoreBlock = -1;       // once: the request for this block gets no answer
    int duplicateBlock = -1;    // once: this block is answered twice, the copy 150 ms later
    int wrongNumberBlock = -1;  // once: answered with a neighbouring block's number
    int shortBlock = -1;        // once: answered 10 bytes short
    int garbageBlock = -1;      // once: answered with text not starting with "D", ending FB FB FB
    // Within a transfer (counted from VER), the request after this many
    // answered blocks gets "BITTI" STX instead of its block.
    int endAfterBlocks = -1;

    bool silent = false;        // nothing is answered at all
    // TCP: the connection is closed right after the answer to this many
    // requests (counted per connection).
    int closeAfterRequests = -1;
    // The parameter record carries only this many fields.
    int parameterFields = -1;
    // The alarm-set command is acknowledged with "AYUOK" but the old alarm
    // settings stay: a logger that only pretends to take them.
    bool ignoreAlarmSet = false;

    quint32 seed = 1;           // random pieces and pauses are repeatable
};

#endif // SIMFAULTS_H
