#include "InnerText.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace browser {

namespace {

bool isRendered(const Node& node) {
    return node.kind != NodeKind::Element || !node.displayNone;
}

bool isCell(const Node& node) {
    return node.isElement("td") || node.isElement("th");
}

bool isAsciiWhitespace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// Builds the text the way a renderer lays it out: white space collapses across
// inline boundaries, and runs of required line breaks merge into the largest.
class TextBuilder {
public:
    void text(const QString& data, bool preformatted) {
        for (const QChar c : data) {
            if (!preformatted && isAsciiWhitespace(c)) {
                m_pendingSpace = !m_lineStart;
                continue;
            }
            flushBreaks();
            if (m_pendingSpace && !preformatted)
                m_out += QLatin1Char(' ');
            m_pendingSpace = false;
            m_out += c;
            m_lineStart = preformatted && c == u'\n';
        }
    }
    void literal(QChar c) {
        flushBreaks();
        m_pendingSpace = false;
        m_out += c;
        m_lineStart = true;
    }
    void requireBreaks(int count) {
        m_pendingSpace = false;
        m_lineStart = true;
        m_breaks = std::max(m_breaks, count);
    }
    void boundary() {
        m_pendingSpace = false;
        m_lineStart = true;
    }
    QString result() const { return m_out; }

private:
    void flushBreaks() {
        if (!m_out.isEmpty())
            m_out += QString(m_breaks, QLatin1Char('\n'));
        m_breaks = 0;
    }

    QString m_out;
    int m_breaks = 0;
    bool m_pendingSpace = false;
    bool m_lineStart = true;
};

int tableOfRow(const NodeTree& tree, int row) {
    int parent = tree.nodes[size_t(row)].parent;
    const Node& section = tree.nodes[size_t(parent)];
    if (section.isElement("tbody") || section.isElement("thead") || section.isElement("tfoot"))
        parent = section.parent;
    return tree.nodes[size_t(parent)].isElement("table") ? parent : -1;
}

// The rows and cells in the subtree that end their table or row: no tab or
// line break follows them.
std::unordered_set<int> lastRowsAndCells(const NodeTree& tree, int root) {
    std::unordered_map<int, int> lastChild; // table or row -> its last row or cell
    std::unordered_set<int> last;
    for (int i = root + 1; i < tree.nodes[size_t(root)].end; ++i) {
        const Node& node = tree.nodes[size_t(i)];
        const int container = node.isElement("tr") ? tableOfRow(tree, i)
                              : isCell(node)       ? node.parent
                                                   : -2;
        if (container == -2)
            continue;
        last.insert(i);
        if (container < 0)
            continue;
        auto [entry, inserted] = lastChild.try_emplace(container, i);
        if (!inserted) {
            last.erase(entry->second);
            entry->second = i;
        }
    }
    return last;
}

} // namespace

QString innerText(const NodeTree& tree, int index) {
    int preformatted = 0; // white space is kept inside these elements
    for (int i = index; i >= 0; i = tree.nodes[size_t(i)].parent) {
        if (!isRendered(tree.nodes[size_t(i)]))
            return tree.textContent(index);
        preformatted += tree.nodes[size_t(i)].preformatted ? 1 : 0;
    }
    const std::unordered_set<int> last = lastRowsAndCells(tree, index);
    TextBuilder builder;
    walkDescendants(
        tree, index,
        [&](int i) {
            const Node& node = tree.nodes[size_t(i)];
            if (node.kind == NodeKind::Text) {
                builder.text(node.data, preformatted > 0);
                return false;
            }
            if (node.kind != NodeKind::Element || !isRendered(node))
                return false;
            if (node.isElement("br")) {
                builder.literal(QLatin1Char('\n'));
                return false;
            }
            if (node.isElement("p"))
                builder.requireBreaks(2);
            else if (isBlock(node))
                builder.requireBreaks(1);
            else if (isCell(node))
                builder.boundary();
            preformatted += node.preformatted ? 1 : 0;
            return true;
        },
        [&](int i) {
            const Node& node = tree.nodes[size_t(i)];
            preformatted -= node.preformatted ? 1 : 0;
            if (node.isElement("p"))
                builder.requireBreaks(2);
            else if (isBlock(node))
                builder.requireBreaks(1);
            else if (isCell(node) && !last.count(i))
                builder.literal(QLatin1Char('\t'));
            else if (isCell(node))
                builder.boundary();
            else if (node.isElement("tr") && !last.count(i))
                builder.literal(QLatin1Char('\n'));
        });
    return builder.result();
}

} // namespace browser
