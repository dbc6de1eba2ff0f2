#ifndef WAITS_H
#define WAITS_H

// The fixed waits and intervals of the program, in milliseconds, in one place.
// The product uses the values as they stand; tests shorten them through
// Waits::current() before they build the objects that read them.

class QString;

namespace Waits {

struct Values {
    // serial link: how long send() waits for the bytes to leave the port
    int serialWrite = 300;
    // TCP link: connection and write confirmation
    int tcpConnect = 30000;
    int tcpWrite = 30000;
    // GSM link: one pass of the modem wait sleeps this long, at most this many passes
    int gsmSleep = 10;
    int gsmPasses = 6000;
    // modem finder: every sleep of the probe, the preparation and the status texts
    int modemSleep = 2000;

    // the working form: before the first block request and before handling a block reply
    int blockPause = 300;
    // while connecting: before open (GPRS, GSM), after a GPRS open, after a GSM open
    int connectSettle = 2000;
    int gprsSettle = 5000;
    int gsmSettle = 8000;

    // a command other than a block request: how long its answer may take
    // before the operation ends with "Cihaz yanıt vermiyor."
    int replyTimeout = 60000;

    // block request supervision: watchdog interval and delay per link
    int watchdogDefault = 3000;
    int watchdogRS232 = 1000;
    int watchdogGPRS = 12000;
    int watchdogGSM = 10000;
    int delayDefault = 900;
    int delayRS232 = 900;
    int delayGPRS = 11900;
    int delayGSM = 9900;

    // the chart page, while shown: how often it asks the database whether
    // another program (vlxdecode --db, a second VLXLogger) has changed it
    int archiveWatch = 2000;

    // SQLite files (data.db, memory.db): how long a write waits for another
    // program's write to end. A whole memory's store takes tens of seconds on
    // a slow laptop; the second writer waits it out instead of failing.
    int databaseBusy = 120000;
    // How long giving a file's write-ahead log back waits for other readers
    // and writers; when they do not let it, the last one to close does it.
    int databaseCheckpoint = 1000;

    // the station overview, while shown: how often it reads the collection
    // log again (a collector elsewhere writes it)
    int stationsRefresh = 5000;

    // An archive on a PostgreSQL server: how long opening the connection may
    // take (libpq's connect_timeout, whole seconds, at least 2) before a dead
    // or unreachable server is reported instead of waited for.
    int serverConnect = 5000;
    // After a failed connect, how long a server is not tried again: a chart
    // that looks every archiveWatch ms does not wait out the time-out each time.
    int serverRetry = 10000;
};

Values &current();

// Sets values by name from "name=ms,name=ms" (the member names above), for
// the collector's tests and benchmarks, which run it as a separate process.
// False, with the values untouched and the reason in *error, when a name is
// unknown or a value is not a number of milliseconds.
bool setFromText(const QString &text, QString *error);

// Blocks the calling thread; no events are processed. Used where the program
// waits on purpose and the user interface is meant to stand still. In a
// thread asked to stop (QThread::requestInterruption) it returns early: a
// collector that is told to end abandons its visits within moments.
void sleep(int ms);

// Sleeps in steps of `step` ms and processes pending events after each step,
// until *flag turns false or `passes` steps have gone by (or the thread is
// asked to stop). Returns true when the flag turned false before the passes
// ran out.
bool waitWhile(const volatile bool *flag, int step, int passes);

} // namespace Waits

#endif // WAITS_H
