// Reading and writing the order-preserving XML tree of xmltree.h. The
// reader is QXmlStreamReader, which sees what QDomDocument sees (the label's
// reader uses that), so both read a rating table alike.

#include "xmltree.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>

std::unique_ptr<XmlNode> XmlNode::element(const QString &name)
{
    auto node = std::make_unique<XmlNode>();
    node->name = name;
    return node;
}

std::unique_ptr<XmlNode> XmlNode::whiteSpace(const QString &text)
{
    auto node = std::make_unique<XmlNode>();
    node->kind = Text;
    node->text = text;
    return node;
}

bool XmlNode::isWhiteSpace() const
{
    return kind == Text && std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.isSpace(); });
}

QString XmlNode::attribute(const QString &attributeName) const
{
    for (const auto &a : attributes) {
        if (a.first == attributeName)
            return a.second;
    }
    return QString();
}

bool XmlNode::hasAttribute(const QString &attributeName) const
{
    return std::any_of(attributes.cbegin(), attributes.cend(),
                       [&](const QPair<QString, QString> &a) { return a.first == attributeName; });
}

void XmlNode::setAttribute(const QString &attributeName, const QString &value)
{
    for (auto &a : attributes) {
        if (a.first == attributeName) {
            a.second = value;
            return;
        }
    }
    attributes.append({attributeName, value});
}

void XmlNode::removeAttribute(const QString &attributeName)
{
    attributes.removeIf([&](const QPair<QString, QString> &a) { return a.first == attributeName; });
}

std::vector<XmlNode *> XmlNode::descendants(const QString &tag)
{
    std::vector<XmlNode *> found;
    for (const auto &child : children) {
        if (child->kind != Element)
            continue;
        if (child->name == tag)
            found.push_back(child.get());
        const std::vector<XmlNode *> below = child->descendants(tag);
        found.insert(found.end(), below.begin(), below.end());
    }
    return found;
}

XmlNode *XmlNode::firstDescendant(const QString &tag)
{
    const std::vector<XmlNode *> found = descendants(tag);
    return found.empty() ? nullptr : found.front();
}

int XmlNode::indexOf(const XmlNode *child) const
{
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (children[i].get() == child)
            return int(i);
    }
    return -1;
}

XmlNode *XmlNode::insert(int index, std::unique_ptr<XmlNode> child)
{
    child->parent = this;
    XmlNode *inserted = child.get();
    children.insert(children.begin() + qBound(0, index, int(children.size())), std::move(child));
    return inserted;
}

std::unique_ptr<XmlNode> XmlNode::take(XmlNode *child)
{
    const int index = indexOf(child);
    if (index < 0)
        return nullptr;
    std::unique_ptr<XmlNode> taken = std::move(children[std::size_t(index)]);
    children.erase(children.begin() + index);
    taken->parent = nullptr;
    return taken;
}

XmlNode *XmlDocument::documentElement()
{
    for (const auto &child : top.children) {
        if (child->kind == XmlNode::Element)
            return child.get();
    }
    return nullptr;
}

bool XmlDocument::parse(const QByteArray &bytes, XmlDocument *document, QString *error, int *line)
{
    XmlDocument doc;
    doc.crlf = bytes.contains("\r\n");
    QXmlStreamReader reader(bytes);
    reader.setNamespaceProcessing(false);
    XmlNode *current = &doc.top;
    auto add = [&](XmlNode::Kind kind) {
        auto node = std::make_unique<XmlNode>();
        node->kind = kind;
        node->line = int(reader.lineNumber());
        return current->insert(int(current->children.size()), std::move(node));
    };
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartDocument:
            doc.declared = true;
            doc.version = reader.documentVersion().toString();
            // standalone="no" says what its absence says.
            if (reader.isStandaloneDocument())
                doc.standalone = QStringLiteral("yes");
            break;
        case QXmlStreamReader::StartElement: {
            XmlNode *node = add(XmlNode::Element);
            node->name = reader.qualifiedName().toString();
            for (const QXmlStreamAttribute &a : reader.attributes())
                node->attributes.append({a.qualifiedName().toString(), a.value().toString()});
            current = node;
            break;
        }
        case QXmlStreamReader::EndElement:
            current = current->parent;
            break;
        case QXmlStreamReader::Characters:
            add(reader.isCDATA() ? XmlNode::CData : XmlNode::Text)->text = reader.text().toString();
            break;
        case QXmlStreamReader::Comment:
            add(XmlNode::Comment)->text = reader.text().toString();
            break;
        case QXmlStreamReader::ProcessingInstruction: {
            XmlNode *node = add(XmlNode::ProcessingInstruction);
            node->name = reader.processingInstructionTarget().toString();
            node->text = reader.processingInstructionData().toString();
            break;
        }
        case QXmlStreamReader::DTD:
            // The reader reports no white space outside the document
            // element, and a DOCTYPE with the white space before it.
            add(XmlNode::Dtd)->text = reader.text().toString().trimmed();
            break;
        default:
            break;
        }
    }
    if (reader.hasError()) {
        *error = reader.errorString();
        *line = int(reader.lineNumber());
        return false;
    }
    *document = std::move(doc);
    for (const auto &child : document->top.children)
        child->parent = &document->top;
    return true;
}

namespace {

void writeNode(QXmlStreamWriter &out, const XmlNode &node)
{
    switch (node.kind) {
    case XmlNode::Element:
        out.writeStartElement(node.name);
        for (const auto &a : node.attributes)
            out.writeAttribute(a.first, a.second);
        for (const auto &child : node.children)
            writeNode(out, *child);
        out.writeEndElement();
        break;
    case XmlNode::Text:
        out.writeCharacters(node.text);
        break;
    case XmlNode::CData:
        out.writeCDATA(node.text);
        break;
    case XmlNode::Comment:
        out.writeComment(node.text);
        break;
    case XmlNode::ProcessingInstruction:
        out.writeProcessingInstruction(node.name, node.text);
        break;
    case XmlNode::Dtd:
        out.writeDTD(node.text);
        break;
    }
}

} // namespace

QByteArray XmlDocument::toBytes() const
{
    QByteArray bytes;
    if (declared) {
        bytes = "<?xml version=\"" + (version.isEmpty() ? QByteArray("1.0") : version.toUtf8())
            + "\" encoding=\"UTF-8\"";
        if (!standalone.isEmpty())
            bytes += " standalone=\"" + standalone.toUtf8() + '"';
        bytes += "?>";
        bytes += '\n';
    }
    QByteArray body;
    {
        QXmlStreamWriter out(&body);
        // Nodes outside the document element go on lines of their own.
        for (std::size_t i = 0; i < top.children.size(); ++i) {
            writeNode(out, *top.children[i]);
            if (i + 1 < top.children.size() && !top.children[i]->isWhiteSpace()
                && !top.children[i + 1]->isWhiteSpace())
                out.writeCharacters(QStringLiteral("\n"));
        }
    }
    // The reader turns every CR LF into LF, as XML wants; the file keeps its own.
    if (crlf) {
        bytes += body;
        bytes.replace("\r\n", "\n");
        bytes.replace("\n", "\r\n");
        return bytes.endsWith("\r\n") ? bytes : bytes + "\r\n";
    }
    bytes += body;
    return bytes.endsWith('\n') ? bytes : bytes + '\n';
}
