#include "ViewerContent.h"

#include "HtmlSerializer.h"
#include "InnerText.h"

#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace browser {

namespace {

bool isCell(const Node& node) {
    return node.isElement("td") || node.isElement("th");
}

// Parts of a table that are shown as such only inside a table that is.
bool isTablePart(const Node& node) {
    static constexpr QLatin1StringView kParts[] = {"caption"_L1, "col"_L1,   "colgroup"_L1,
                                                   "tbody"_L1,   "td"_L1,    "tfoot"_L1,
                                                   "th"_L1,      "thead"_L1, "tr"_L1};
    return isOneOf(node, kParts);
}

// Hidden elements whose content still matters to the renderer.
bool isDocumentMetadata(const Node& node) {
    return node.isElement("head") || node.isElement("title") || node.isElement("style");
}

// Writes the tree as rich text, element by element, while it stays within the
// viewer bounds. An element nested past them is left out and its content
// shown in its place, a line break for a block and a space after a cell.
class RichTextWriter {
public:
    explicit RichTextWriter(const NodeTree& tree) : m_tree(tree) {}

    // The markup; nothing when the page has more elements or text than the budget.
    std::optional<QString> write() {
        walkDescendants(
            m_tree, 0, [this](int i) { return enter(m_tree.nodes[size_t(i)]); },
            [this](int i) { leave(m_tree.nodes[size_t(i)]); });
        if (m_overBudget)
            return std::nullopt;
        return m_out;
    }

private:
    bool enter(const Node& node) {
        if (m_overBudget)
            return false;
        if (node.kind == NodeKind::Text)
            text(node);
        if (node.kind != NodeKind::Element)
            return false;
        if (++m_elements > kViewerMaxElements) {
            m_overBudget = true;
            return false;
        }
        if (node.displayNone && !isDocumentMetadata(node))
            return false;
        const bool shown = isShown(node);
        m_open.push_back(shown);
        if (node.isElement("table")) {
            m_tables.push_back(shown);
            m_tableDepth += shown ? 1 : 0;
        }
        if (!shown) {
            if (isBlock(node) || isTablePart(node))
                lineBreak();
            return true;
        }
        m_depth += isTablePart(node) ? 0 : 1;
        appendStartTag(m_out, node.name, boundedAttributes(node));
        return true;
    }

    void leave(const Node& node) {
        const bool shown = m_open.back();
        m_open.pop_back();
        if (node.isElement("table")) {
            m_tableDepth -= m_tables.back() ? 1 : 0;
            m_tables.pop_back();
        }
        if (shown) {
            m_depth -= isTablePart(node) ? 0 : 1;
            if (!isVoid(node))
                m_out += QLatin1String("</") + node.name + QLatin1Char('>');
        } else if (isCell(node)) {
            m_out += QLatin1Char(' ');
        } else if (isBlock(node) || isTablePart(node)) {
            lineBreak();
        }
    }

    bool isShown(const Node& node) const {
        if (node.isElement("table"))
            return m_tableDepth < kViewerMaxTableDepth && m_depth < kViewerMaxDepth;
        if (isTablePart(node))
            return !m_tables.empty() && m_tables.back();
        return m_depth < kViewerMaxDepth;
    }

    void text(const Node& node) {
        if (m_tree.nodes[size_t(node.parent)].isElement("style")) {
            // A style sheet applies to every element: only a short one is kept.
            m_styleCharacters += node.data.size();
            if (m_styleCharacters <= kViewerMaxStyleCharacters)
                m_out += node.data;
            return;
        }
        count(node.data.size());
        appendEscapedText(m_out, node.data);
    }

    QList<Attribute> boundedAttributes(const Node& node) {
        QList<Attribute> attributes = node.attributes;
        for (Attribute& attribute : attributes) {
            count(attribute.value.size());
            if (attribute.name != QLatin1String("colspan") &&
                attribute.name != QLatin1String("rowspan"))
                continue;
            bool isNumber = false;
            const int span = attribute.value.trimmed().toInt(&isNumber);
            attribute.value = QString::number(std::clamp(isNumber ? span : 1, 1, kViewerMaxSpan));
        }
        return attributes;
    }

    void count(qsizetype characters) {
        m_characters += characters;
        m_overBudget = m_overBudget || m_characters > kViewerMaxCharacters;
    }

    void lineBreak() {
        if (!m_out.endsWith(QLatin1String("<br>")))
            m_out += QLatin1String("<br>");
    }

    const NodeTree& m_tree;
    QString m_out;
    std::vector<bool> m_open;   // of each element entered: whether its tags are written
    std::vector<bool> m_tables; // of each table entered: whether it is shown as a table
    int m_depth = 0;            // shown elements open, not counting the parts of tables
    int m_tableDepth = 0;       // shown tables open
    int m_elements = 0;
    qsizetype m_characters = 0;
    qsizetype m_styleCharacters = 0;
    bool m_overBudget = false;
};

QString boundedText(const NodeTree& tree) {
    const int body = tree.firstElement(0, "body");
    QString text = innerText(tree, std::max(body, 0));
    if (text.size() <= kViewerMaxCharacters)
        return text;
    qsizetype cut = kViewerMaxCharacters;
    if (text.at(cut).isLowSurrogate())
        --cut; // never split a character
    text.truncate(cut);
    return text + QStringLiteral("\n\nThe rest of the page is too long to show here.");
}

} // namespace

ViewerContent viewerContent(const NodeTree& tree) {
    if (std::optional<QString> markup = RichTextWriter(tree).write())
        return {std::move(*markup), true};
    return {boundedText(tree), false};
}

} // namespace browser
