#ifndef DEMORATING_H
#define DEMORATING_H

#include <QByteArray>
#include <QDateTime>
#include <QString>

// A rating table for the simulated station, so that a new user of the demo
// sees a flow beside the level at once: one period from the beginning with
// every whole centimetre from 0 to 300 (the "Anlık Debi" label matches whole
// levels only), and one from a flood on, interpolated on log scales between
// points 20 cm apart, whose flows are higher: the flood scoured the bed.
// Levels are the simulator's centimetres, flows m³/s.
namespace DemoRating {

QByteArray table(const QString &stationName, const QString &stationNo, const QDateTime &flood);

// Writes the table to path unless a file is there (a user's table is never
// replaced). False with the reason when it cannot be written; *written
// tells whether it was.
bool writeIfMissing(const QString &path, const QString &stationName, const QString &stationNo,
                    const QDateTime &flood, bool *written, QString *error);

} // namespace DemoRating

#endif // DEMORATING_H
