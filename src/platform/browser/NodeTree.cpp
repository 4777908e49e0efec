#include "NodeTree.h"

#include "NestingScan.h"
#include "ParserArena.h"
#include "ParserShield.h"

#include <algorithm>
#include <gumbo.h>
#include <string_view>
#include <unordered_map>
#include <utility>

using namespace Qt::Literals::StringLiterals;

namespace browser {

namespace {

// Texts that recur across a page, the white space between tags above all, and
// attribute names and short values, each converted once and shared by the nodes.
class PageTexts {
public:
    // What the parser read, with the characters shielded from it put back.
    QString text(const char* utf8) {
        return shared(m_texts, utf8, [](std::string_view view) {
            return unshield(QString::fromUtf8(view.data(), qsizetype(view.size())));
        });
    }
    QString name(const char* utf8) {
        return shared(m_names, utf8, [](std::string_view view) {
            return QString::fromUtf8(view.data(), qsizetype(view.size()));
        });
    }

private:
    static constexpr size_t kLongestShared = 32;
    using Known = std::unordered_map<std::string_view, QString>; // views into the parser's output

    template <class Convert>
    static QString shared(Known& known, const char* utf8, Convert convert) {
        const std::string_view view(utf8);
        if (view.size() > kLongestShared)
            return convert(view);
        auto [at, added] = known.try_emplace(view);
        if (added)
            at->second = convert(view);
        return at->second;
    }

    Known m_texts;
    Known m_names;
};

QString fromPiece(const GumboStringPiece& piece) {
    return QString::fromUtf8(piece.data, qsizetype(piece.length));
}

// The names of the elements the parser knows, made once: every node shares them.
const QString& knownName(GumboTag tag) {
    static const std::vector<QString> names = [] {
        std::vector<QString> all;
        for (int tag = 0; tag < GUMBO_TAG_UNKNOWN; ++tag)
            all.push_back(QString::fromLatin1(gumbo_normalized_tagname(GumboTag(tag))));
        return all;
    }();
    return names[size_t(tag)];
}

QString elementName(const GumboElement& element) {
    QString name;
    if (element.tag < GUMBO_TAG_UNKNOWN) {
        name = knownName(element.tag);
    } else {
        GumboStringPiece piece = element.original_tag;
        gumbo_tag_from_original_text(&piece);
        name = fromPiece(piece).toLower();
    }
    if (element.tag_namespace == GUMBO_NAMESPACE_SVG) {
        const QByteArray lower = name.toUtf8();
        const GumboStringPiece piece{lower.constData(), size_t(lower.size())};
        if (const char* svgName = gumbo_normalize_svg_tagname(&piece))
            name = QString::fromLatin1(svgName);
    }
    return name;
}

QString attributeName(const GumboAttribute& attribute, PageTexts& texts) {
    const QString name = texts.name(attribute.name);
    switch (attribute.attr_namespace) {
    case GUMBO_ATTR_NAMESPACE_XLINK:
        return QStringLiteral("xlink:") + name;
    case GUMBO_ATTR_NAMESPACE_XML:
        return QStringLiteral("xml:") + name;
    case GUMBO_ATTR_NAMESPACE_XMLNS:
        return name == QLatin1String("xmlns") ? name : QStringLiteral("xmlns:") + name;
    case GUMBO_ATTR_NAMESPACE_NONE:
        break;
    }
    return name;
}

Node elementNode(const GumboElement& element, PageTexts& texts) {
    Node node;
    node.kind = NodeKind::Element;
    node.ns = element.tag_namespace == GUMBO_NAMESPACE_SVG      ? Namespace::Svg
              : element.tag_namespace == GUMBO_NAMESPACE_MATHML ? Namespace::MathMl
                                                                : Namespace::Html;
    node.name = elementName(element);
    if (element.attributes.length > 0) // else reserving would allocate for nothing
        node.attributes.reserve(qsizetype(element.attributes.length));
    for (unsigned i = 0; i < element.attributes.length; ++i) {
        const auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[i]);
        node.attributes.append({attributeName(*attribute, texts), texts.text(attribute->value)});
    }
    return node;
}

const GumboVector* childrenOf(const GumboNode* node) {
    switch (node->type) {
    case GUMBO_NODE_DOCUMENT:
        return &node->v.document.children;
    case GUMBO_NODE_ELEMENT:
    case GUMBO_NODE_TEMPLATE:
        return &node->v.element.children;
    default:
        return nullptr;
    }
}

std::optional<Node> convert(const GumboNode* source, PageTexts& texts) {
    switch (source->type) {
    case GUMBO_NODE_DOCUMENT:
        return Node{};
    case GUMBO_NODE_ELEMENT:
    case GUMBO_NODE_TEMPLATE:
        return elementNode(source->v.element, texts);
    case GUMBO_NODE_TEXT:
    case GUMBO_NODE_WHITESPACE:
    case GUMBO_NODE_CDATA: {
        Node node;
        node.kind = NodeKind::Text;
        node.data = texts.text(source->v.text.text);
        return node;
    }
    case GUMBO_NODE_COMMENT: {
        Node node;
        node.kind = NodeKind::Comment;
        node.data = texts.text(source->v.text.text);
        return node;
    }
    }
    return std::nullopt;
}

QByteArray cappedUtf8(const QString& markup) {
    QByteArray utf8 = markup.toUtf8();
    if (utf8.size() <= kMaxParseBytes)
        return utf8;
    qsizetype cut = kMaxParseBytes;
    while (cut > 0 && (uchar(utf8.at(cut)) & 0xC0) == 0x80)
        --cut; // never split a UTF-8 sequence
    utf8.truncate(cut);
    return utf8;
}

} // namespace

const QString* Node::attribute(const QString& attributeName) const {
    for (const Attribute& attribute : attributes) {
        if (attribute.name == attributeName)
            return &attribute.value;
    }
    return nullptr;
}

QString NodeTree::textContent(int index) const {
    QString text;
    for (int i = index + 1; i < nodes[size_t(index)].end; ++i) {
        if (nodes[size_t(i)].kind == NodeKind::Text)
            text += nodes[size_t(i)].data;
    }
    return text;
}

int NodeTree::firstElement(int from, const char* localName) const {
    const QLatin1StringView name(localName);
    for (int i = from; i < nodes[size_t(from)].end; ++i) {
        if (nodes[size_t(i)].isElement(name))
            return i;
    }
    return -1;
}

void classifyRendering(Node& node) {
    static constexpr QLatin1StringView kHidden[] = {
        "area"_L1, "base"_L1,   "basefont"_L1, "datalist"_L1, "head"_L1,
        "link"_L1, "meta"_L1,   "noembed"_L1,  "noframes"_L1, "param"_L1,
        "rp"_L1,   "script"_L1, "style"_L1,    "template"_L1, "title"_L1};
    static constexpr QLatin1StringView kPreformatted[] = {"pre"_L1, "listing"_L1, "xmp"_L1,
                                                          "plaintext"_L1, "textarea"_L1};
    const auto hiddenInput = [&] {
        const QString* type = node.attribute(QStringLiteral("type"));
        return type && type->trimmed().compare("hidden"_L1, Qt::CaseInsensitive) == 0;
    };
    node.displayNone = isOneOf(node, kHidden) || node.attribute(QStringLiteral("hidden")) ||
                       (node.isElement("input") && hiddenInput());
    node.preformatted = isOneOf(node, kPreformatted);
}

bool isBlock(const Node& node) {
    static constexpr QLatin1StringView kBlock[] = {
        "address"_L1,   "article"_L1, "aside"_L1,    "blockquote"_L1, "body"_L1,   "caption"_L1,
        "center"_L1,    "dd"_L1,      "details"_L1,  "dialog"_L1,     "dir"_L1,    "div"_L1,
        "dl"_L1,        "dt"_L1,      "fieldset"_L1, "figcaption"_L1, "figure"_L1, "footer"_L1,
        "form"_L1,      "h1"_L1,      "h2"_L1,       "h3"_L1,         "h4"_L1,     "h5"_L1,
        "h6"_L1,        "header"_L1,  "hgroup"_L1,   "hr"_L1,         "html"_L1,   "legend"_L1,
        "li"_L1,        "listing"_L1, "main"_L1,     "menu"_L1,       "nav"_L1,    "ol"_L1,
        "plaintext"_L1, "pre"_L1,     "section"_L1,  "summary"_L1,    "table"_L1,  "ul"_L1,
        "xmp"_L1};
    return isOneOf(node, kBlock);
}

std::shared_ptr<NodeTree> parseHtml(const QString& markup, const std::atomic<bool>* cancelled) {
    const QByteArray utf8 = cappedUtf8(shieldFromParser(markup));
    if (nestingDepth(utf8, kMaxParseDepth) > kMaxParseDepth)
        return nullptr;
    ParserArena arena(cancelled);
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0; // each recorded error copies the open-element stack
    const GumboOutput* output = arena.parse(options, utf8);
    if (!output)
        return nullptr;

    auto tree = std::make_shared<NodeTree>();
    tree->nodes.reserve(size_t(arena.nodes()));
    PageTexts texts;
    std::vector<std::pair<const GumboNode*, int>> pending{{output->document, -1}};
    while (!pending.empty()) {
        auto [source, parent] = pending.back();
        pending.pop_back();
        std::optional<Node> node = convert(source, texts);
        if (!node)
            continue;
        const int index = int(tree->nodes.size());
        node->parent = parent;
        if (node->kind == NodeKind::Element)
            classifyRendering(*node);
        tree->nodes.push_back(std::move(*node));
        if (const GumboVector* children = childrenOf(source)) {
            for (unsigned i = children->length; i > 0; --i)
                pending.emplace_back(static_cast<const GumboNode*>(children->data[i - 1]), index);
        }
    }
    // Nodes come in document order, so a node's descendants all follow it: going
    // backwards, each node knows its end before it extends its parent's.
    for (size_t i = tree->nodes.size(); i > 0; --i) {
        Node& node = tree->nodes[i - 1];
        node.end = std::max(node.end, int(i));
        if (node.parent >= 0) {
            int& parentEnd = tree->nodes[size_t(node.parent)].end;
            parentEnd = std::max(parentEnd, node.end);
        }
    }
    return tree;
}

} // namespace browser
