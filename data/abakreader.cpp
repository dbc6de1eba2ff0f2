#include "abakreader.h"

#include "localenumber.h"
#include "paths.h"

#include <QDomDocument>
#include <QDomElement>
#include <QDomNodeList>
#include <QFile>

#include <cmath>

AbakReader::AbakReader(QObject *parent)
    : QObject(parent)
{
}

void AbakReader::clear()
{
    m_name.clear();
    m_code.clear();
    m_minLevel = 0.0f;
    m_maxLevel = 0.0f;
    m_values.clear();
}

QString AbakReader::tablePath(const QString &stationNumber)
{
    return Paths::ratingDir() + QLatin1Char('/') + stationNumber + QStringLiteral(".abk");
}

bool AbakReader::load(const QString &stationNumber)
{
    clear();
    QFile file(tablePath(stationNumber));
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return false;
    // Read as bytes: the document's own declaration decides its encoding.
    const QByteArray content = file.readAll();
    file.close();

    QDomDocument document;
    if (!document.setContent(content))
        return false;
    const QDomElement root = document.documentElement();
    if (root.tagName() != QLatin1String("ROOT"))
        return false;

    const QDomElement station = root.elementsByTagName(QStringLiteral("STATION")).item(0).toElement();
    m_name = station.attribute(QStringLiteral("NAME")).trimmed();
    m_code = station.attribute(QStringLiteral("CODE")).trimmed();
    if (m_code != stationNumber)
        return false;

    const QDomElement table = root.elementsByTagName(QStringLiteral("VALUES")).item(0).toElement();
    const QDomNodeList entries = table.elementsByTagName(QStringLiteral("VALUE"));
    for (int i = 0; i < entries.count(); ++i) {
        const QDomElement entry = entries.item(i).toElement();
        AbakValue value;
        value.level = LocaleNumber::toFloat(entry.attribute(QStringLiteral("LEVEL")));
        value.flow = LocaleNumber::toFloat(entry.attribute(QStringLiteral("FLOW")));
        m_values.append(value);
        if (value.level < m_minLevel)
            m_minLevel = value.level;
        if (value.level > m_maxLevel)
            m_maxLevel = value.level;
    }
    return true;
}

double AbakReader::flowForLevel(float level) const
{
    if (!(level > m_minLevel) || !(level < m_maxLevel))
        return -1.0;
    const float whole = std::trunc(level);
    for (const AbakValue &value : m_values) {
        if (value.level == whole)
            return value.flow;
    }
    return 0.0;
}
