#include "HtmlSerializer.h"

namespace browser {

namespace {

bool holdsRawText(const Node& node) {
    static const char* const kRaw[] = {"style",   "script",   "xmp",      "iframe",
                                       "noembed", "noframes", "plaintext"};
    for (const char* name : kRaw) {
        if (node.isElement(name))
            return true;
    }
    return false;
}

void appendEscaped(QString& out, const QString& text, bool inAttribute) {
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case 0xA0:
            out += QLatin1String("&nbsp;");
            break;
        case '"':
            out += inAttribute ? QLatin1String("&quot;") : QLatin1String("\"");
            break;
        case '<':
            out += inAttribute ? QLatin1String("<") : QLatin1String("&lt;");
            break;
        case '>':
            out += inAttribute ? QLatin1String(">") : QLatin1String("&gt;");
            break;
        default:
            out += c;
        }
    }
}

} // namespace

bool isVoid(const Node& node) {
    static const char* const kVoid[] = {"area",  "base",  "basefont", "bgsound", "br",    "col",
                                        "embed", "frame", "hr",       "img",     "input", "keygen",
                                        "link",  "meta",  "param",    "source",  "track", "wbr"};
    for (const char* name : kVoid) {
        if (node.isElement(name))
            return true;
    }
    return false;
}

void appendStartTag(QString& out, const QString& name, const QList<Attribute>& attributes) {
    out += QLatin1Char('<') + name;
    for (const Attribute& attribute : attributes) {
        out += QLatin1Char(' ') + attribute.name + QLatin1String("=\"");
        appendEscaped(out, attribute.value, true);
        out += QLatin1Char('"');
    }
    out += QLatin1Char('>');
}

void appendEscapedText(QString& out, const QString& text) {
    appendEscaped(out, text, false);
}

QString serializeChildren(const NodeTree& tree, int index) {
    QString out;
    walkDescendants(
        tree, index,
        [&](int i) {
            const Node& node = tree.nodes[size_t(i)];
            switch (node.kind) {
            case NodeKind::Element:
                appendStartTag(out, node.name, node.attributes);
                return !isVoid(node);
            case NodeKind::Text:
                if (node.parent >= 0 && holdsRawText(tree.nodes[size_t(node.parent)]))
                    out += node.data;
                else
                    appendEscaped(out, node.data, false);
                break;
            case NodeKind::Comment:
                out += QLatin1String("<!--") + node.data + QLatin1String("-->");
                break;
            case NodeKind::Document:
                break;
            }
            return false;
        },
        [&](int i) {
            const Node& node = tree.nodes[size_t(i)];
            out += QLatin1String("</") + node.name + QLatin1Char('>');
        });
    return out;
}

} // namespace browser
