#ifndef RATINGTABLE_H
#define RATINGTABLE_H

#include "ratingcurve.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>

// A station's rating table file, <data root>/Debi/<station number>.abk, as
// the "Debi" tab edits it and as the chart and vlxdecode read its curve:
//
//   <ROOT>
//     <STATION NAME="Baraj" CODE="1234"/>
//     <VALUES UNIT="m³/s">                         from the beginning of time
//       <VALUE LEVEL="100" FLOW="1.25"/> ...
//     </VALUES>
//     <VALUES FROM="2024-03-10 06:00" INTERP="log"> after the flood of March
//       ...
//   </ROOT>
//
// FROM ("yyyy-MM-dd hh:mm", the logger's clock), INTERP ("linear", the
// default, or "log") and UNIT ("m³/s" by default) are optional. Numbers are
// read as the label's reader reads them (the user's locale, then C, never a
// thousands separator).
//
// The table is held as the texts of the file, so that what a user typed is
// checked as it stands and a value left alone is written back as it was.
// A save writes the edits into the file's own XML: elements and attributes
// the program does not know, comments and layout stay; points are written
// in level order; the file is replaced atomically or not at all.
class RatingTable
{
    Q_DECLARE_TR_FUNCTIONS(RatingTable)
public:
    struct Row {
        QString level;
        QString flow;
        int source = -1;   // the VALUE element it came from; -1 for a new row
        int line = 0;      // of that element in the file
    };
    struct Period {
        QString from;
        QString interpolation;
        QString unit;
        QList<Row> rows;
        int source = -1;   // the VALUES element it came from; -1 for a new period
        int line = 0;
    };

    // Reads the file; false with the reason (file missing, unreadable, XML
    // error at line N, not a rating table, wrong station code). A table that
    // reads but does not make a curve loads: curve() tells why.
    bool load(const QString &path, const QString &stationNumber, QString *error);
    // A table for a station that has none yet, saved to path.
    static RatingTable create(const QString &path, const QString &stationNumber, const QString &stationName);
    // The station's curve from its file (AbakReader::tablePath) in one step.
    static bool loadCurve(const QString &stationNumber, RatingCurve *curve, QString *error);

    QString path() const { return m_path; }
    QString stationName() const { return m_stationName; }
    QString stationCode() const { return m_stationCode; }
    bool fileExists() const { return !m_bytes.isEmpty() && !m_created; }

    const QList<Period> &periods() const { return m_periods; }
    void setPeriods(const QList<Period> &periods) { m_periods = periods; }

    // The curve of the periods; false with the reason: a number that does
    // not read, a negative flow, a level twice or out of order, an unknown
    // INTERP, a FROM that does not read, two periods from the same time,
    // periods of different units.
    bool curve(RatingCurve *curve, QString *error) const;
    static bool curveOf(const QList<Period> &periods, RatingCurve *curve, QString *error);

    // Rows in level order (rows whose level does not read last), rows with
    // neither value dropped: what a save writes.
    static QList<Row> sortedRows(const QList<Row> &rows);

    // Writes the periods into the file, rows in level order, after checking
    // that they make a curve; false with the reason, the file as it was.
    bool save(QString *error);

private:
    QString m_path;
    QString m_stationNumber;
    QString m_stationName;
    QString m_stationCode;
    QByteArray m_bytes;   // the file as read: the XML the edits go into
    bool m_created = false;
    QList<Period> m_periods;
};

#endif // RATINGTABLE_H
