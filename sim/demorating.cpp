// The demo's rating table as bytes, and its write that never replaces a
// table already there.

#include "demorating.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cmath>

namespace DemoRating {

namespace {

QByteArray escaped(const QString &text) { return text.toHtmlEscaped().toUtf8(); }

QByteArray value(int level, double flow)
{
    return "    <VALUE LEVEL=\"" + QByteArray::number(level) + "\" FLOW=\"" + QByteArray::number(flow, 'f', 3)
        + "\"/>\n";
}

} // namespace

QByteArray table(const QString &stationName, const QString &stationNo, const QDateTime &flood)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ROOT>\n  <STATION NAME=\"" + escaped(stationName)
        + "\" CODE=\"" + escaped(stationNo) + "\"/>\n  <VALUES UNIT=\"m\xc2\xb3/s\">\n";
    // No flow below the sill at 40 cm.
    for (int level = 0; level <= 300; ++level)
        xml += value(level, level <= 40 ? 0.0 : 2.4 * std::pow((level - 40) / 100.0, 1.7));
    xml += "  </VALUES>\n  <VALUES FROM=\"" + flood.toString(QStringLiteral("yyyy-MM-dd hh:mm")).toLatin1()
        + "\" INTERP=\"log\" UNIT=\"m\xc2\xb3/s\">\n";
    for (int level = 60; level <= 300; level += 20)
        xml += value(level, 3.1 * std::pow((level - 45) / 100.0, 1.6));
    xml += "  </VALUES>\n</ROOT>\n";
    return xml;
}

bool writeIfMissing(const QString &path, const QString &stationName, const QString &stationNo,
                    const QDateTime &flood, bool *written, QString *error)
{
    *written = false;
    if (QFileInfo::exists(path))
        return true;
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("cannot create the folder of %1").arg(path);
        return false;
    }
    const QByteArray xml = table(stationName, stationNo, flood);
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(xml) != xml.size() || !out.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, out.errorString());
        return false;
    }
    *written = true;
    return true;
}

} // namespace DemoRating
