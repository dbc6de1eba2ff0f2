// The .abk file as texts, checked into a RatingCurve, and the save that
// writes edits into the file's own XML (xmltree.h) through QSaveFile.

#include "ratingtable.h"

#include "abakreader.h"
#include "localenumber.h"
#include "xmltree.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace {

const QString fromFormat = QStringLiteral("yyyy-MM-dd hh:mm");
const QString rootTag = QStringLiteral("ROOT");
const QString stationTag = QStringLiteral("STATION");
const QString valuesTag = QStringLiteral("VALUES");
const QString valueTag = QStringLiteral("VALUE");
const QString levelKey = QStringLiteral("LEVEL");
const QString flowKey = QStringLiteral("FLOW");
const QString fromKey = QStringLiteral("FROM");
const QString interpolationKey = QStringLiteral("INTERP");
const QString unitKey = QStringLiteral("UNIT");

bool readNumber(const QString &text, double *value)
{
    return LocaleNumber::toDouble(text.trimmed(), value) && std::isfinite(*value);
}

// A number as a save writes it: C notation, as few digits as tell the value.
QString numberText(const QString &text)
{
    double value = 0;
    return readNumber(text, &value) ? QString::number(value, 'f', QLocale::FloatingPointShortest) : text.trimmed();
}

bool readFrom(const QString &text, QDateTime *from)
{
    const QDateTime local = QDateTime::fromString(text.trimmed(), fromFormat);
    if (!local.isValid())
        return false;
    *from = QDateTime(local.date(), local.time(), Qt::UTC);
    return true;
}

// The white space a node is indented with: the text just before it.
QString indentOf(const XmlNode *node)
{
    const XmlNode *parent = node->parent;
    const int index = parent ? parent->indexOf(node) : -1;
    if (index > 0 && parent->children[std::size_t(index - 1)]->isWhiteSpace())
        return parent->children[std::size_t(index - 1)]->text;
    return QString();
}

// Takes a node out of its parent with the white space that indents it.
std::unique_ptr<XmlNode> takeWithIndent(XmlNode *node, int *index = nullptr)
{
    XmlNode *parent = node->parent;
    int at = parent->indexOf(node);
    if (at > 0 && parent->children[std::size_t(at - 1)]->isWhiteSpace()) {
        parent->take(parent->children[std::size_t(at - 1)].get());
        --at;
    }
    if (index)
        *index = at;
    return parent->take(node);
}

// Sets an attribute to what the user left, when it differs from the file's.
void updateAttribute(XmlNode *node, const QString &key, const QString &text, const QString &written)
{
    if (node->attribute(key) == text)
        return;
    if (text.trimmed().isEmpty())
        node->removeAttribute(key);
    else
        node->setAttribute(key, written);
}

// The rows of one period become the VALUE elements of its VALUES, in the
// rows' order, where the first of them stood. What else VALUES holds stays.
void writeRows(XmlNode *values, const QList<RatingTable::Row> &rows, const std::vector<XmlNode *> &elements)
{
    const QString outer = indentOf(values).isEmpty() ? QStringLiteral("\n  ") : indentOf(values);
    QString indent = elements.empty() ? QString() : indentOf(elements.front());
    if (indent.isEmpty())
        indent = outer + QStringLiteral("  ");
    const bool wasEmpty = values->children.empty();

    std::vector<std::unique_ptr<XmlNode>> kept(elements.size());
    int insertAt = -1;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        int at = 0;
        const bool direct = elements[i]->parent == values;
        kept[i] = takeWithIndent(elements[i], &at);
        if (direct && insertAt < 0)
            insertAt = at;
    }
    if (insertAt < 0) {
        insertAt = int(values->children.size());
        if (insertAt > 0 && values->children.back()->isWhiteSpace())
            --insertAt;
    }
    for (const RatingTable::Row &row : rows) {
        std::unique_ptr<XmlNode> element;
        if (row.source >= 0 && std::size_t(row.source) < kept.size() && kept[std::size_t(row.source)])
            element = std::move(kept[std::size_t(row.source)]);
        else
            element = XmlNode::element(valueTag);
        updateAttribute(element.get(), levelKey, row.level, numberText(row.level));
        updateAttribute(element.get(), flowKey, row.flow, numberText(row.flow));
        values->insert(insertAt++, XmlNode::whiteSpace(indent));
        values->insert(insertAt++, std::move(element));
    }
    if (wasEmpty && !rows.isEmpty())
        values->insert(insertAt, XmlNode::whiteSpace(outer));
}

QString lineNote(int line)
{
    return line > 0 ? RatingTable::tr(" (satır %1)").arg(line) : QString();
}

QList<RatingTable::Period> periodsOf(XmlNode *root)
{
    QList<RatingTable::Period> periods;
    for (XmlNode *values : root->descendants(valuesTag)) {
        RatingTable::Period period;
        period.from = values->attribute(fromKey);
        period.interpolation = values->attribute(interpolationKey);
        period.unit = values->attribute(unitKey);
        period.source = int(periods.size());
        period.line = values->line;
        for (XmlNode *value : values->descendants(valueTag))
            period.rows.append({value->attribute(levelKey), value->attribute(flowKey), int(period.rows.size()),
                                value->line});
        periods.append(period);
    }
    return periods;
}

} // namespace

bool RatingTable::load(const QString &file, const QString &number, QString *error)
{
    // Copies first: save() passes this table's own members.
    const QString path = file;
    const QString stationNumber = number;
    *this = RatingTable();
    m_path = path;
    m_stationNumber = stationNumber;
    const QString shown = QDir::toNativeSeparators(path);
    QFile in(path);
    if (!in.exists()) {
        *error = tr("Dosya yok: %1").arg(shown);
        return false;
    }
    if (!in.open(QIODevice::ReadOnly)) {
        *error = tr("Dosya okunamadı: %1: %2").arg(shown, in.errorString());
        return false;
    }
    const QByteArray bytes = in.readAll();
    XmlDocument document;
    QString why;
    int line = 0;
    if (!XmlDocument::parse(bytes, &document, &why, &line)) {
        *error = tr("XML hatası, satır %1: %2").arg(line).arg(why);
        return false;
    }
    XmlNode *root = document.documentElement();
    if (!root || root->name != rootTag) {
        *error = tr("Debi tablosu değil: belge öğesi <%1>, <ROOT> olmalı").arg(root ? root->name : QString());
        return false;
    }
    const XmlNode *station = root->firstDescendant(stationTag);
    m_stationName = station ? station->attribute(QStringLiteral("NAME")).trimmed() : QString();
    m_stationCode = station ? station->attribute(QStringLiteral("CODE")).trimmed() : QString();
    if (m_stationCode != stationNumber) {
        *error = tr("Yanlış istasyon kodu: dosyada \"%1\", beklenen \"%2\"").arg(m_stationCode, stationNumber);
        return false;
    }
    m_bytes = bytes;
    m_periods = periodsOf(root);
    return true;
}

RatingTable RatingTable::create(const QString &path, const QString &stationNumber, const QString &stationName)
{
    XmlDocument document;
    document.declared = true;
    document.crlf = true;   // a file for Notepad on the field laptop
    auto root = XmlNode::element(rootTag);
    auto station = XmlNode::element(stationTag);
    station->setAttribute(QStringLiteral("NAME"), stationName);
    station->setAttribute(QStringLiteral("CODE"), stationNumber);
    auto values = XmlNode::element(valuesTag);
    values->insert(0, XmlNode::whiteSpace(QStringLiteral("\n  ")));
    root->insert(0, XmlNode::whiteSpace(QStringLiteral("\n  ")));
    root->insert(1, std::move(station));
    root->insert(2, XmlNode::whiteSpace(QStringLiteral("\n  ")));
    root->insert(3, std::move(values));
    root->insert(4, XmlNode::whiteSpace(QStringLiteral("\n")));
    document.top.insert(0, std::move(root));

    RatingTable table;
    table.m_path = path;
    table.m_stationNumber = stationNumber;
    table.m_stationName = stationName;
    table.m_stationCode = stationNumber;
    table.m_bytes = document.toBytes();
    table.m_created = true;
    table.m_periods = periodsOf(document.documentElement());
    return table;
}

bool RatingTable::loadCurve(const QString &stationNumber, RatingCurve *curve, QString *error)
{
    RatingTable table;
    return table.load(AbakReader::tablePath(stationNumber), stationNumber, error) && table.curve(curve, error);
}

bool RatingTable::curve(RatingCurve *curve, QString *error) const { return curveOf(m_periods, curve, error); }

bool RatingTable::curveOf(const QList<Period> &periods, RatingCurve *curve, QString *error)
{
    RatingCurve result;
    for (int p = 0; p < periods.size(); ++p) {
        const Period &period = periods.at(p);
        RatingCurve::Period out;
        const QString from = period.from.trimmed();
        if (!from.isEmpty() && !readFrom(from, &out.from)) {
            *error = tr("FROM okunamadı: \"%1\"%2; yyyy-MM-dd hh:mm olmalı").arg(from, lineNote(period.line));
            return false;
        }
        const QString kind = period.interpolation.trimmed().toLower();
        if (kind == QLatin1String("log")) {
            out.interpolation = RatingCurve::Interpolation::LogLog;
        } else if (!kind.isEmpty() && kind != QLatin1String("linear")) {
            *error = tr("Bilinmeyen INTERP \"%1\"%2: \"linear\" ya da \"log\" olmalı")
                         .arg(period.interpolation.trimmed(), lineNote(period.line));
            return false;
        }
        const QString unit = period.unit.trimmed().isEmpty() ? RatingCurve::defaultUnit() : period.unit.trimmed();
        if (p == 0) {
            result.unit = unit;
        } else if (unit != result.unit) {
            *error = tr("Dönemlerin birimleri farklı: %1 ve %2").arg(result.unit, unit);
            return false;
        }
        for (const Row &row : period.rows) {
            RatingCurve::Point point;
            const QString where = lineNote(row.line);
            if (!readNumber(row.level, &point.level)) {
                *error = tr("Seviye okunamadı: \"%1\"%2").arg(row.level, where);
                return false;
            }
            if (!readNumber(row.flow, &point.flow)) {
                *error = tr("Debi okunamadı: \"%1\" (seviye %2)%3").arg(row.flow, row.level.trimmed(), where);
                return false;
            }
            if (point.flow < 0) {
                *error = tr("Negatif debi: %1 (seviye %2)%3").arg(row.flow.trimmed(), row.level.trimmed(), where);
                return false;
            }
            if (!out.points.empty() && point.level == out.points.back().level) {
                *error = tr("Aynı seviye iki kez: %1%2").arg(row.level.trimmed(), where);
                return false;
            }
            if (!out.points.empty() && point.level < out.points.back().level) {
                *error = tr("Seviyeler sırasız: %1, %2 seviyesinden sonra%3")
                             .arg(row.level.trimmed())
                             .arg(out.points.back().level)
                             .arg(where);
                return false;
            }
            out.points.push_back(point);
        }
        result.periods.push_back(out);
    }
    std::stable_sort(result.periods.begin(), result.periods.end(),
                     [](const RatingCurve::Period &a, const RatingCurve::Period &b) {
                         return a.from.isValid() && b.from.isValid() ? a.from < b.from : !a.from.isValid() && b.from.isValid();
                     });
    for (std::size_t i = 1; i < result.periods.size(); ++i) {
        const QDateTime &a = result.periods[i - 1].from;
        const QDateTime &b = result.periods[i].from;
        if (a == b || (!a.isValid() && !b.isValid())) {
            *error = a.isValid() ? tr("İki dönem aynı anda başlıyor: %1").arg(a.toString(fromFormat))
                                 : tr("İki dönem başlangıçtan geçerli: birinin FROM'u olmalı");
            return false;
        }
    }
    *curve = std::move(result);
    return true;
}

QList<RatingTable::Row> RatingTable::sortedRows(const QList<Row> &rows)
{
    struct Keyed {
        bool read;
        double level;
        Row row;
    };
    std::vector<Keyed> keyed;
    for (const Row &row : rows) {
        if (row.level.trimmed().isEmpty() && row.flow.trimmed().isEmpty())
            continue;
        double level = 0;
        const bool read = readNumber(row.level, &level);
        keyed.push_back({read, level, row});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        return a.read && b.read ? a.level < b.level : a.read && !b.read;
    });
    QList<Row> sorted;
    for (const Keyed &k : keyed)
        sorted.append(k.row);
    return sorted;
}

bool RatingTable::save(QString *error)
{
    QList<Period> periods = m_periods;
    for (Period &period : periods)
        period.rows = sortedRows(period.rows);
    RatingCurve checked;
    if (!curveOf(periods, &checked, error))
        return false;

    XmlDocument document;
    QString why;
    int line = 0;
    if (!XmlDocument::parse(m_bytes, &document, &why, &line)) {
        *error = tr("XML hatası, satır %1: %2").arg(line).arg(why);
        return false;
    }
    XmlNode *root = document.documentElement();
    const std::vector<XmlNode *> valuesElements = root->descendants(valuesTag);
    std::vector<std::vector<XmlNode *>> valueElements;
    for (XmlNode *values : valuesElements)
        valueElements.push_back(values->descendants(valueTag));

    // Periods removed in the editor go with their VALUES element.
    std::vector<bool> used(valuesElements.size(), false);
    for (const Period &period : periods) {
        if (period.source >= 0 && std::size_t(period.source) < used.size())
            used[std::size_t(period.source)] = true;
    }
    XmlNode *last = nullptr;
    for (std::size_t i = 0; i < valuesElements.size(); ++i) {
        if (used[i])
            last = valuesElements[i];
        else
            takeWithIndent(valuesElements[i]);
    }
    // New periods follow the last VALUES, or the STATION, or open ROOT.
    XmlNode *anchor = last ? last : root->firstDescendant(stationTag);
    for (const Period &period : periods) {
        XmlNode *values = nullptr;
        std::vector<XmlNode *> elements;
        if (period.source >= 0 && std::size_t(period.source) < used.size()) {
            values = valuesElements[std::size_t(period.source)];
            elements = valueElements[std::size_t(period.source)];
        } else {
            XmlNode *parent = anchor ? anchor->parent : root;
            const QString indent = anchor && !indentOf(anchor).isEmpty() ? indentOf(anchor) : QStringLiteral("\n  ");
            int at = anchor ? parent->indexOf(anchor) + 1 : 0;
            parent->insert(at++, XmlNode::whiteSpace(indent));
            values = parent->insert(at, XmlNode::element(valuesTag));
            anchor = values;
        }
        QDateTime from;
        readFrom(period.from, &from);
        updateAttribute(values, fromKey, period.from, from.toString(fromFormat));
        updateAttribute(values, interpolationKey, period.interpolation, period.interpolation.trimmed().toLower());
        updateAttribute(values, unitKey, period.unit, period.unit.trimmed());
        writeRows(values, period.rows, elements);
    }

    const QByteArray bytes = document.toBytes();
    QSaveFile out(m_path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        *error = tr("Dosya yazılamadı: %1: %2").arg(QDir::toNativeSeparators(m_path), out.errorString());
        return false;
    }
    return load(m_path, m_stationNumber, error);
}
