#ifndef VLXDATA_H
#define VLXDATA_H

#include <QDateTime>
#include <QObject>
#include <QString>

// One decoded logger record: an instantaneous measurement, a missing record or
// one line of a daily summary. Owned by the records list of its VLXFile.
//
//   VLXData d;
//   d.setValues(time, 0, VLXData::Instant, 10.0f, 100.0f, false);
//   d.dateText();   // "07/12/2013"   d.timeText();   // "14:30"
//
// value1 belongs to channel 1 and value2 to channel 2 in every record.
class VLXData : public QObject
{
    Q_OBJECT
public:
    // type codes
    enum Type { Instant = 0, Max = 1, Min = 2, Average = 3 };

    explicit VLXData(QObject *parent = nullptr);

    void setValues(const QDateTime &time, int channel, int type, float value1, float value2,
                   bool timeSet);
    void setMissing(bool missing);

    QDateTime time() const { return m_time; }
    int channel() const { return m_channel; }
    int type() const { return m_type; }
    float value1() const { return m_value1; }
    float value2() const { return m_value2; }
    bool timeSet() const { return m_timeSet; }
    bool missing() const { return m_missing; }

    QString timeText() const;   // "hh:mm", empty for an invalid time
    QString dateText() const;   // "dd/MM/yyyy", empty for an invalid time

private:
    QDateTime m_time;
    int m_channel = 0;
    int m_type = 0;
    float m_value1 = 0.0f;
    float m_value2 = 0.0f;
    bool m_timeSet = false;
    bool m_missing = false;
};

#endif // VLXDATA_H
