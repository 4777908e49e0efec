#include "NodeTree.h"

#include "NestingScan.h"

#include <algorithm>
#include <csetjmp>
#include <csignal>
#include <cstdlib>
#include <gumbo.h>
#include <utility>

namespace browser {

namespace {

// Gumbo frees its tree recursively, which overflows the stack on deeply nested
// input. Every block it allocates is linked into a list instead and the whole
// list is released at once after the tree has been copied. The arena also
// holds the parser to the budget: past it, when cancelled, or when one of the
// parser's own checks fails on hostile input, it jumps out of the parser,
// whose blocks it then releases like any others.
struct alignas(std::max_align_t) BlockHeader {
    BlockHeader* prev;
    BlockHeader* next;
    size_t size;
};

class TrackedArena {
public:
    explicit TrackedArena(const std::atomic<bool>* cancelled) : m_cancelled(cancelled) {}
    TrackedArena(const TrackedArena&) = delete;
    TrackedArena& operator=(const TrackedArena&) = delete;
    ~TrackedArena() {
        while (m_head) {
            BlockHeader* next = m_head->next;
            std::free(m_head);
            m_head = next;
        }
    }

    // The parser's output; nothing when the arena stopped it.
    const GumboOutput* parse(GumboOptions options, const QByteArray& utf8) {
        options.allocator = &TrackedArena::allocate;
        options.deallocator = &TrackedArena::release;
        options.userdata = this;
        catchParserAborts();
        if (sigsetjmp(m_escape, 1) != 0) {
            parsing = nullptr;
            return nullptr;
        }
        parsing = this;
        const GumboOutput* output =
            gumbo_parse_with_options(&options, utf8.constData(), size_t(utf8.size()));
        parsing = nullptr;
        return output;
    }

private:
    static void* allocate(void* arena, size_t size) {
        auto* self = static_cast<TrackedArena*>(arena);
        self->m_bytes += size;
        if (size == sizeof(GumboNode))
            ++self->m_nodes; // now and then a block of another kind: a stricter count
        if (self->m_nodes > kMaxParseNodes || self->m_bytes > kMaxParseMemory ||
            (self->m_cancelled && self->m_cancelled->load(std::memory_order_relaxed)))
            siglongjmp(self->m_escape, 1);
        auto* block = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + size));
        if (!block)
            std::abort();
        block->prev = nullptr;
        block->next = self->m_head;
        block->size = size;
        if (self->m_head)
            self->m_head->prev = block;
        self->m_head = block;
        return block + 1;
    }

    static void release(void* arena, void* pointer) {
        if (!pointer)
            return;
        auto* self = static_cast<TrackedArena*>(arena);
        BlockHeader* block = static_cast<BlockHeader*>(pointer) - 1;
        self->m_bytes -= block->size;
        if (block->prev)
            block->prev->next = block->next;
        else
            self->m_head = block->next;
        if (block->next)
            block->next->prev = block->prev;
        std::free(block);
    }

    // A failed assertion in the parser aborts the process; while this thread
    // parses, the abort jumps out of the parser instead.
    static void catchParserAborts() {
        static const bool installed = [] {
            struct sigaction action {};
            action.sa_handler = [](int) {
                if (parsing)
                    siglongjmp(parsing->m_escape, 1);
                std::signal(SIGABRT, SIG_DFL); // any other abort ends the process
            };
            sigemptyset(&action.sa_mask);
            return sigaction(SIGABRT, &action, nullptr) == 0;
        }();
        (void)installed;
    }

    static thread_local TrackedArena* parsing;
    BlockHeader* m_head = nullptr;
    const std::atomic<bool>* m_cancelled;
    size_t m_bytes = 0; // held by the parser now
    int m_nodes = 0;
    sigjmp_buf m_escape;
};

thread_local TrackedArena* TrackedArena::parsing = nullptr;

QString fromPiece(const GumboStringPiece& piece) {
    return QString::fromUtf8(piece.data, qsizetype(piece.length));
}

QString elementName(const GumboElement& element) {
    QString name;
    if (element.tag != GUMBO_TAG_UNKNOWN) {
        name = QString::fromLatin1(gumbo_normalized_tagname(element.tag));
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

QString attributeName(const GumboAttribute& attribute) {
    const QString name = QString::fromUtf8(attribute.name);
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

Node elementNode(const GumboElement& element) {
    Node node;
    node.kind = NodeKind::Element;
    node.ns = element.tag_namespace == GUMBO_NAMESPACE_SVG      ? Namespace::Svg
              : element.tag_namespace == GUMBO_NAMESPACE_MATHML ? Namespace::MathMl
                                                                : Namespace::Html;
    node.name = elementName(element);
    for (unsigned i = 0; i < element.attributes.length; ++i) {
        const auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[i]);
        node.attributes.append({attributeName(*attribute), QString::fromUtf8(attribute->value)});
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

std::optional<Node> convert(const GumboNode* source) {
    switch (source->type) {
    case GUMBO_NODE_DOCUMENT:
        return Node{};
    case GUMBO_NODE_ELEMENT:
    case GUMBO_NODE_TEMPLATE:
        return elementNode(source->v.element);
    case GUMBO_NODE_TEXT:
    case GUMBO_NODE_WHITESPACE:
    case GUMBO_NODE_CDATA: {
        Node node;
        node.kind = NodeKind::Text;
        node.data = QString::fromUtf8(source->v.text.text);
        return node;
    }
    case GUMBO_NODE_COMMENT: {
        Node node;
        node.kind = NodeKind::Comment;
        node.data = QString::fromUtf8(source->v.text.text);
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
    for (int i = from; i < nodes[size_t(from)].end; ++i) {
        if (nodes[size_t(i)].isElement(localName))
            return i;
    }
    return -1;
}

void classifyRendering(Node& node) {
    static const char* const kHidden[] = {"area", "base",   "basefont", "datalist", "head",
                                          "link", "meta",   "noembed",  "noframes", "param",
                                          "rp",   "script", "style",    "template", "title"};
    static const char* const kPreformatted[] = {"pre", "listing", "xmp", "plaintext", "textarea"};
    const QString* type = node.attribute(QStringLiteral("type"));
    node.displayNone = isOneOf(node, kHidden) || node.attribute(QStringLiteral("hidden")) ||
                       (node.isElement("input") && type &&
                        type->trimmed().compare(QLatin1String("hidden"), Qt::CaseInsensitive) == 0);
    node.preformatted = isOneOf(node, kPreformatted);
}

bool isBlock(const Node& node) {
    static const char* const kBlock[] = {
        "address",  "article",    "aside",  "blockquote", "body",    "caption", "center",
        "dd",       "details",    "dialog", "dir",        "div",     "dl",      "dt",
        "fieldset", "figcaption", "figure", "footer",     "form",    "h1",      "h2",
        "h3",       "h4",         "h5",     "h6",         "header",  "hgroup",  "hr",
        "html",     "legend",     "li",     "listing",    "main",    "menu",    "nav",
        "ol",       "plaintext",  "pre",    "section",    "summary", "table",   "ul",
        "xmp"};
    return isOneOf(node, kBlock);
}

std::shared_ptr<NodeTree> parseHtml(const QString& markup, const std::atomic<bool>* cancelled) {
    const QByteArray utf8 = cappedUtf8(markup);
    if (nestingDepth(utf8, kMaxParseDepth) > kMaxParseDepth)
        return nullptr;
    TrackedArena arena(cancelled);
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0; // each recorded error copies the open-element stack
    const GumboOutput* output = arena.parse(options, utf8);
    if (!output)
        return nullptr;

    auto tree = std::make_shared<NodeTree>();
    std::vector<std::pair<const GumboNode*, int>> pending{{output->document, -1}};
    while (!pending.empty()) {
        auto [source, parent] = pending.back();
        pending.pop_back();
        std::optional<Node> node = convert(source);
        if (!node)
            continue;
        const int index = int(tree->nodes.size());
        node->parent = parent;
        if (node->kind == NodeKind::Element)
            classifyRendering(*node);
        tree->nodes.push_back(std::move(*node));
        if (parent >= 0)
            tree->nodes[size_t(parent)].children.push_back(index);
        if (const GumboVector* children = childrenOf(source)) {
            for (unsigned i = children->length; i > 0; --i)
                pending.emplace_back(static_cast<const GumboNode*>(children->data[i - 1]), index);
        }
    }
    for (size_t i = tree->nodes.size(); i > 0; --i) {
        Node& node = tree->nodes[i - 1];
        node.end = node.children.empty() ? int(i) : tree->nodes[size_t(node.children.back())].end;
    }
    return tree;
}

} // namespace browser
