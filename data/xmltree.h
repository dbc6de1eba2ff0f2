#ifndef XMLTREE_H
#define XMLTREE_H

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <memory>
#include <vector>

// A small XML tree that writes back what it read: attributes in their order,
// comments, processing instructions, the DOCTYPE and the white space between
// elements. A rating table edited in the program is saved through it, so that
// what the program does not know of a user's file (a remark attribute, a
// comment, an element of another tool) survives the save, and a diff of the
// file shows the edited values and nothing else. QDomDocument keeps
// attributes in a hash and drops white space, which would rewrite every line.
//
//   XmlDocument doc;
//   if (!XmlDocument::parse(bytes, &doc, &error, &line)) ...
//   for (XmlNode *value : doc.documentElement()->descendants(QStringLiteral("VALUE"))) ...
//   QByteArray saved = doc.toBytes();
struct XmlNode {
    enum Kind { Element, Text, CData, Comment, ProcessingInstruction, Dtd };

    Kind kind = Element;
    QString name;   // the tag of an element, the target of a processing instruction
    QString text;   // text, comment, instruction data, the whole DOCTYPE
    QList<QPair<QString, QString>> attributes;   // in document order
    std::vector<std::unique_ptr<XmlNode>> children;
    XmlNode *parent = nullptr;
    int line = 0;   // where the node starts in the parsed bytes; 0 for a new node

    static std::unique_ptr<XmlNode> element(const QString &name);
    static std::unique_ptr<XmlNode> whiteSpace(const QString &text);

    bool isWhiteSpace() const;
    // Empty when the attribute is missing, as for QDomElement.
    QString attribute(const QString &name) const;
    bool hasAttribute(const QString &name) const;
    // A present attribute keeps its place; a new one goes last.
    void setAttribute(const QString &name, const QString &value);
    void removeAttribute(const QString &name);

    // Every element of that tag below this node, in document order.
    std::vector<XmlNode *> descendants(const QString &tag);
    XmlNode *firstDescendant(const QString &tag);

    int indexOf(const XmlNode *child) const;
    XmlNode *insert(int index, std::unique_ptr<XmlNode> child);
    std::unique_ptr<XmlNode> take(XmlNode *child);
};

struct XmlDocument {
    // The XML declaration, when the document has one.
    bool declared = false;
    QString version;
    QString standalone;   // "yes" or empty
    // Line ends of the parsed bytes: CR LF when any line ended so.
    bool crlf = false;
    // The prolog's nodes, the document element and what follows it.
    XmlNode top;

    XmlNode *documentElement();

    // False with the parser's reason and line when bytes are not well formed.
    static bool parse(const QByteArray &bytes, XmlDocument *document, QString *error, int *line);
    // Always UTF-8: a declaration naming another encoding is written as UTF-8.
    QByteArray toBytes() const;
};

#endif // XMLTREE_H
