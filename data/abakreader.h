#ifndef ABAKREADER_H
#define ABAKREADER_H

#include "abakvalue.h"

#include <QList>
#include <QObject>
#include <QString>

// The rating table of one station: <data root>/Debi/<station number>.abk, an
// XML document
//
//   <ROOT>
//     <STATION NAME="Baraj" CODE="1234"/>
//     <VALUES> <VALUE LEVEL="99" FLOW="12.5"/> ... </VALUES>
//   </ROOT>
//
// that turns a level into a flow by an exact match on the level's whole part.
//
//   AbakReader reader;
//   if (reader.load(QStringLiteral("1234")))
//       double flow = reader.flowForLevel(99.7f);   // entry of level 99
//
// flowForLevel answers -1 outside the open range (minLevel, maxLevel) and 0
// when no entry matches.
class AbakReader : public QObject
{
    Q_OBJECT
public:
    explicit AbakReader(QObject *parent = nullptr);

    void clear();
    // True when the station's table was loaded (also one without entries).
    bool load(const QString &stationNumber);
    double flowForLevel(float level) const;

    QString name() const { return m_name; }
    QString code() const { return m_code; }
    float minLevel() const { return m_minLevel; }
    float maxLevel() const { return m_maxLevel; }
    const QList<AbakValue> &values() const { return m_values; }

    // The file load() reads for a station number.
    static QString tablePath(const QString &stationNumber);

private:
    QString m_name;
    QString m_code;
    float m_minLevel = 0.0f;
    float m_maxLevel = 0.0f;
    QList<AbakValue> m_values;
};

#endif // ABAKREADER_H
