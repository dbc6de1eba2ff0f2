#ifndef STATIONFILE_H
#define STATIONFILE_H

#include <QList>
#include <QString>

// The station file of a network: an INI file with one group per station, the
// group's name being the station's name in every report. The collector reads
// it at start, the program's station overview whenever it is shown, so both
// agree on what a station is and refuse the same mistakes.
//
//   [Baraj-1]
//   link = gprs
//   host = 10.1.2.3:8080
//   interval = 30
//
//   QString error;
//   const QList<StationConfig> stations = readStationFile(path, &error);
//   if (!error.isEmpty()) { /* exit 2 */ }
//
// A missing required key, an unknown key, a bad value or a station named
// twice is an error naming the station and the key; nothing is half-read.
struct StationConfig {
    enum Link { Rs232, Gprs, Gsm };

    QString name;
    Link link = Gprs;
    QString port;                // rs232: the serial port
    int baud = 115200;           // rs232
    QString host;                // gprs: the address, without the port
    quint16 tcpPort = 80;        // gprs
    QString phone;               // gsm
    QString modem;               // gsm: the modem's serial port; empty: searched for
    int intervalMinutes = 60;
    int retries = 2;
    int retryWaitSeconds = 60;
    int timeoutSeconds = defaultTimeoutSeconds;
    bool enabled = true;

    // Long enough for a first download of a whole memory (some 37,000
    // blocks with the logger's 300 ms each, over three hours) and its
    // analysis.
    static constexpr int defaultTimeoutSeconds = 4 * 3600;

    // What a visit occupies: visits with the same lane go one after another.
    // "serial:<port>" for a cable or a modem named in the file, "tcp:<host>:<port>"
    // for GPRS, "modem-search" for a GSM station whose modem is searched for
    // (the search tries every free port: it never overlaps a visit on a
    // serial line, nor another search).
    QString lane() const;
    // Whether this station's visit would use the link a session has open
    // (StationSession::linkTarget()).
    bool uses(const QString &linkTarget) const;
    // "rs232 /dev/ttyUSB0", "gprs 10.1.2.3:8080", "gsm +905551234567".
    QString linkText() const;
};

// The stations in the file's order; on failure an empty list and *error set
// (a message naming the file, the station and the key).
QList<StationConfig> readStationFile(const QString &path, QString *error);

#endif // STATIONFILE_H
