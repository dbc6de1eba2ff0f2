#ifndef SIMSTATE_H
#define SIMSTATE_H

#include <QDateTime>
#include <QString>

// The simulated logger's state as plain values: what the parameter and alarm
// records report and what the setting commands change.

// The logger's settings and identity, as the parameter record reports them.
struct SimParameters {
    QString serialNo = QStringLiteral("00012345");
    QString model = QStringLiteral("VLX-2");
    QString stationName = QStringLiteral("Yeni");   // a logger fresh from the factory
    QString stationNo = QStringLiteral("0000");
    double offset = 0.0;
    QString battery = QStringLiteral("12.6 V");
    QString channel1Name = QStringLiteral("Seviye");
    QString channel1Unit = QStringLiteral("cm");
    QString channel2Name = QStringLiteral("Sicaklik");
    QString channel2Unit = QStringLiteral("C");
    // Record order: RS485 output, instantaneous record, instantaneous min/max,
    // average of the records, wait for the full hour, well (not dam).
    int options[6] = {0, 0, 0, 0, 0, 0};
    int intervalMinutes = 15;
};

// Current and last-24-hour values of both channels.
struct SimLiveValues {
    double level = 0;
    double temperature = 0;
    QDateTime minLevelTime, maxLevelTime, minTemperatureTime, maxTemperatureTime;
    double minLevel = 0, maxLevel = 0, minTemperature = 0, maxTemperature = 0;
};

struct SimAlarms {
    double thresholds[4] = {150.0, 140.0, 30.0, 25.0};  // ch1 high, ch1 reset, ch2 high, ch2 reset
    int relay1 = 0;              // 0 none, 1 channel 1, 2 channel 2
    int relay2 = 0;
    bool channel1On = false;
    bool channel2On = false;
    QDateTime lastAlarm[2];      // invalid: never
    double lastAlarmValue[2] = {0, 0};
};

#endif // SIMSTATE_H
