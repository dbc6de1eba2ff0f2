#ifndef MODEMSEARCH_H
#define MODEMSEARCH_H

#include <QString>

// The modem of a GSM station whose station file names none, found as the
// program's modem finder finds it, without its dialog: every serial port is
// probed (FindModemThread), the first modem that answers is taken and set to
// the 115200 baud the GSM link always uses ("ATL+IPR=115200\r").
//
//   QString error;
//   const QString port = ModemSearch::findModem(&error);   // empty: none, *error says why
//
// Blocks the calling thread, processing its events, for the length of the
// search (a few seconds per port); a thread asked to stop ends it at once.
namespace ModemSearch {

QString findModem(QString *error);

// Sets the modem on `port`, which answered at `speed` baud, to 115200 baud.
// False when the port cannot be opened or the modem does not say "OK".
bool prepareModem(const QString &port, int speed);

} // namespace ModemSearch

#endif // MODEMSEARCH_H
