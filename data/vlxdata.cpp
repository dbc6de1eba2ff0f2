#include "vlxdata.h"

VLXData::VLXData(QObject *parent)
    : QObject(parent)
{
}

void VLXData::setValues(const QDateTime &time, int channel, int type, float value1, float value2,
                        bool timeSet)
{
    m_time = time;
    m_channel = channel;
    m_type = type;
    m_value1 = value1;
    m_value2 = value2;
    m_timeSet = timeSet;
}

void VLXData::setMissing(bool missing) { m_missing = missing; }

QString VLXData::timeText() const { return m_time.toString(QStringLiteral("hh:mm")); }

QString VLXData::dateText() const { return m_time.toString(QStringLiteral("dd/MM/yyyy")); }
