#include "HtmlSerializer.h"

using namespace Qt::Literals::StringLiterals;

namespace browser {

namespace {

bool holdsRawText(const Node& node) {
    static constexpr QLatin1StringView kRaw[] = {"style"_L1,    "script"_L1,  "xmp"_L1,
                                                 "iframe"_L1,   "noembed"_L1, "noframes"_L1,
                                                 "plaintext"_L1};
    return isOneOf(node, kRaw);
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
    static constexpr QLatin1StringView kVoid[] = {
        "area"_L1,  "base"_L1,  "basefont"_L1, "bgsound"_L1, "br"_L1,    "col"_L1,
        "embed"_L1, "frame"_L1, "hr"_L1,       "img"_L1,     "input"_L1, "keygen"_L1,
        "link"_L1,  "meta"_L1,  "param"_L1,    "source"_L1,  "track"_L1, "wbr"_L1};
    return isOneOf(node, kVoid);
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
