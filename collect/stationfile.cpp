// Reading the station file: the group headers in the file's own order (for
// duplicates and the order of reports), the keys through QSettings, every
// value checked before a single station is handed out.
#include "stationfile.h"

#include "hostport.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QStringList>

namespace {

const QStringList commonKeys = {QStringLiteral("link"),       QStringLiteral("interval"),
                                QStringLiteral("retries"),    QStringLiteral("retry_wait"),
                                QStringLiteral("timeout"),    QStringLiteral("enabled")};

QStringList linkKeys(StationConfig::Link link)
{
    switch (link) {
    case StationConfig::Rs232:
        return {QStringLiteral("port"), QStringLiteral("baud")};
    case StationConfig::Gprs:
        return {QStringLiteral("host")};
    case StationConfig::Gsm:
        return {QStringLiteral("phone"), QStringLiteral("modem")};
    }
    return {};
}

// The group headers in the file's order, as written: QSettings merges a
// group named twice and sorts the rest, so neither a duplicate nor the
// order would show through it.
QStringList groupHeaders(const QByteArray &text)
{
    QStringList headers;
    for (const QByteArray &raw : text.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']')))
            headers << line.mid(1, line.size() - 2).trimmed();
    }
    return headers;
}

// One station's keys, read and checked; the first fault ends the reading.
class StationReader
{
public:
    StationReader(QSettings &settings, const QString &name) : m_settings(settings), m_name(name) {}

    QString text(const QString &key) const
    {
        const QVariant value = m_settings.value(key);
        // An unquoted comma makes QSettings read a list.
        return value.typeId() == QMetaType::QStringList ? value.toStringList().join(QLatin1Char(','))
                                                        : value.toString().trimmed();
    }
    bool has(const QString &key) const { return m_settings.contains(key); }

    bool fail(const QString &key, const QString &what)
    {
        m_error = key.isEmpty() ? QStringLiteral("station \"%1\": %2").arg(m_name, what)
                                : QStringLiteral("station \"%1\": key \"%2\": %3").arg(m_name, key, what);
        return false;
    }

    bool number(const QString &key, int min, int max, const QString &unit, int *value)
    {
        if (!has(key))
            return true;
        bool ok = false;
        const int v = text(key).toInt(&ok);
        if (!ok || v < min || v > max)
            return fail(key, QStringLiteral("expected %1 from %2 to %3, got \"%4\"")
                                 .arg(unit).arg(min).arg(max).arg(text(key)));
        *value = v;
        return true;
    }

    bool required(const QString &key, QString *value)
    {
        *value = text(key);
        if (!has(key) || value->isEmpty())
            return fail(key, QStringLiteral("missing; a %1 station needs it").arg(text(QStringLiteral("link")).toLower()));
        return true;
    }

    bool read(StationConfig *station)
    {
        station->name = m_name;
        if (!m_settings.childGroups().isEmpty())
            return fail(m_settings.childGroups().first(), QStringLiteral("unknown key"));
        const QString link = text(QStringLiteral("link")).toLower();
        if (!has(QStringLiteral("link")))
            return fail(QStringLiteral("link"), QStringLiteral("missing; expected rs232, gprs or gsm"));
        if (link == QLatin1String("rs232"))
            station->link = StationConfig::Rs232;
        else if (link == QLatin1String("gprs"))
            station->link = StationConfig::Gprs;
        else if (link == QLatin1String("gsm"))
            station->link = StationConfig::Gsm;
        else
            return fail(QStringLiteral("link"), QStringLiteral("expected rs232, gprs or gsm, got \"%1\"").arg(link));

        const QStringList own = linkKeys(station->link);
        for (const QString &key : m_settings.childKeys()) {
            if (commonKeys.contains(key) || own.contains(key))
                continue;
            for (StationConfig::Link other : {StationConfig::Rs232, StationConfig::Gprs, StationConfig::Gsm}) {
                if (linkKeys(other).contains(key))
                    return fail(key, QStringLiteral("not a key of a %1 station").arg(link));
            }
            return fail(key, QStringLiteral("unknown key"));
        }

        switch (station->link) {
        case StationConfig::Rs232:
            if (!required(QStringLiteral("port"), &station->port)
                || !number(QStringLiteral("baud"), 0, 115200, QStringLiteral("9600 or 115200"), &station->baud))
                return false;
            if (station->baud != 9600 && station->baud != 115200)
                return fail(QStringLiteral("baud"), QStringLiteral("expected 9600 or 115200, got \"%1\"")
                                                        .arg(text(QStringLiteral("baud"))));
            break;
        case StationConfig::Gprs: {
            QString host;
            if (!required(QStringLiteral("host"), &host))
                return false;
            if (!splitHostPort(host, &station->host, &station->tcpPort))
                return fail(QStringLiteral("host"),
                            QStringLiteral("expected \"host\", \"host:port\" or \"[v6-address]:port\", got \"%1\"").arg(host));
            break;
        }
        case StationConfig::Gsm: {
            if (!required(QStringLiteral("phone"), &station->phone))
                return false;
            static const QRegularExpression dialable(QStringLiteral("^\\+?[0-9*#,]+$"));
            if (!dialable.match(station->phone).hasMatch())
                return fail(QStringLiteral("phone"),
                            QStringLiteral("expected digits (a leading + allowed), got \"%1\"").arg(station->phone));
            station->modem = text(QStringLiteral("modem"));
            if (has(QStringLiteral("modem")) && station->modem.isEmpty())
                return fail(QStringLiteral("modem"), QStringLiteral("empty; leave the key out to search for the modem"));
            break;
        }
        }

        const bool numbersOk =
            number(QStringLiteral("interval"), 1, 525600, QStringLiteral("whole minutes"), &station->intervalMinutes)
            && number(QStringLiteral("retries"), 0, 100, QStringLiteral("a count"), &station->retries)
            && number(QStringLiteral("retry_wait"), 0, 86400, QStringLiteral("whole seconds"), &station->retryWaitSeconds)
            && number(QStringLiteral("timeout"), 1, 7 * 86400, QStringLiteral("whole seconds"), &station->timeoutSeconds);
        if (!numbersOk)
            return false;
        if (has(QStringLiteral("enabled"))) {
            const QString value = text(QStringLiteral("enabled")).toLower();
            if (QStringList{"true", "yes", "on", "1"}.contains(value))
                station->enabled = true;
            else if (QStringList{"false", "no", "off", "0"}.contains(value))
                station->enabled = false;
            else
                return fail(QStringLiteral("enabled"),
                            QStringLiteral("expected true or false, got \"%1\"").arg(text(QStringLiteral("enabled"))));
        }
        return true;
    }

    QString error() const { return m_error; }

private:
    QSettings &m_settings;
    QString m_name;
    QString m_error;
};

} // namespace

QString StationConfig::lane() const
{
    switch (link) {
    case Rs232:
        return QStringLiteral("serial:") + port;
    case Gprs:
        return QStringLiteral("tcp:%1:%2").arg(host).arg(tcpPort);
    case Gsm:
        return modem.isEmpty() ? QStringLiteral("modem-search") : QStringLiteral("serial:") + modem;
    }
    return QString();
}

bool StationConfig::uses(const QString &linkTarget) const
{
    if (linkTarget.isEmpty())
        return false;
    // The search would pass over a modem the program holds, or disturb it.
    if (link == Gsm && modem.isEmpty())
        return linkTarget.startsWith(QLatin1String("serial:"));
    return lane() == linkTarget;
}

QString StationConfig::linkText() const
{
    switch (link) {
    case Rs232:
        return QStringLiteral("rs232 ") + port;
    case Gprs:
        return QStringLiteral("gprs %1:%2").arg(host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host)
            .arg(tcpPort);
    case Gsm:
        return QStringLiteral("gsm ") + phone;
    }
    return QString();
}

QList<StationConfig> readStationFile(const QString &path, QString *error)
{
    error->clear();
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: cannot read the station file: %2")
                     .arg(path, QFileInfo::exists(path) ? file.errorString() : QStringLiteral("no such file"));
        return {};
    }
    const QStringList headers = groupHeaders(file.readAll());
    auto failed = [&](const QString &what) {
        *error = QStringLiteral("%1: %2").arg(path, what);
        return QList<StationConfig>();
    };

    QSettings settings(path, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return failed(QStringLiteral("not a readable INI file"));
    if (!settings.childKeys().isEmpty()) {
        return failed(headers.contains(QLatin1String("General"), Qt::CaseInsensitive)
                          ? QStringLiteral("\"General\" cannot name a station: the INI format keeps it for keys outside any group")
                          : QStringLiteral("key \"%1\" stands outside any station").arg(settings.childKeys().first()));
    }
    if (headers.isEmpty())
        return failed(QStringLiteral("no station; each station is a group such as [Baraj-1]"));

    QList<StationConfig> stations;
    QSet<QString> seen;
    const QStringList groups = settings.childGroups();
    for (const QString &name : headers) {
        if (name.isEmpty())
            return failed(QStringLiteral("a station without a name ([])"));
        if (seen.contains(name))
            return failed(QStringLiteral("station \"%1\": named twice").arg(name));
        seen.insert(name);
        if (!groups.contains(name))
            return failed(QStringLiteral("station \"%1\": key \"link\": missing (a name with '%', '/' or '\\' "
                                         "cannot be read at all; use letters, digits, spaces, '-' or '_')").arg(name));
        settings.beginGroup(name);
        StationReader reader(settings, name);
        StationConfig station;
        const bool ok = reader.read(&station);
        settings.endGroup();
        if (!ok)
            return failed(reader.error());
        stations << station;
    }
    return stations;
}
