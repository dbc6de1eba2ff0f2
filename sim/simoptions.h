#ifndef SIMOPTIONS_H
#define SIMOPTIONS_H

#include <QString>
#include <QStringList>

class SimServer;

// The simulator's command line, read into plain values and applied to a
// server, so that the same reading serves the tool and its tests.
//
//   SimOptions o;
//   QString error;
//   if (!o.parse(QCoreApplication::arguments(), &error)) ...
//   o.apply(&server, &error);
struct SimOptions {
    bool pty = false;
    QString link;
    int tcpPort = -1;            // -1: no TCP server
    QString address = QStringLiteral("127.0.0.1");
    bool modem = false;
    bool modemBusy = false;
    bool modemNoCarrier = false;
    int modemRefusals = -1;      // -1: every dial is refused (busy or no carrier)
    int modemDelayMs = 300;
    bool modemLfApart = false;
    int baud = 0;

    QString password;
    QString stationName;
    QString stationNo;
    QString serialNo;

    int files = 1;
    int days = 2;
    int interval = 15;
    bool fullMemory = false;
    int missingEvery = 40;       // the default image shows every kind of record
    int gapMinutes = 90;
    QString imageFile;           // load the memory from this file
    QString writeImage;          // write the used memory to this file
    int growDays = 0;            // with imageFile: append this many days and write it back
    bool ratingTable = false;    // write <data root>/Debi/<station number>.abk when missing

    bool split = false;
    int delayMs = 0;
    int ignoreBlock = -1;
    int duplicateBlock = -1;
    int wrongNumberBlock = -1;
    int shortBlock = -1;
    int garbageBlock = -1;
    int endAfter = -1;
    bool silent = false;
    int closeAfter = -1;
    int parameterFields = -1;
    bool ignoreAlarmSet = false;
    quint32 seed = 1;

    bool helpShown = false;      // --help or --version was answered
    QString helpText;

    bool parse(const QStringList &arguments, QString *error);
    // Builds the memory and sets the logger's state and faults; opens nothing.
    bool apply(SimServer *server, QString *error) const;
};

#endif // SIMOPTIONS_H
