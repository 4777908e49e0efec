#pragma once

#include "BrowserLimits.h"

#include <QList>
#include <QString>
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <iterator>
#include <memory>
#include <optional>
#include <vector>

namespace browser {

enum class NodeKind { Document, Element, Text, Comment };
enum class Namespace { Html, Svg, MathMl };

struct Attribute {
    QString name;
    QString value;
};

// Nodes are stored in document order, so a node's descendants are exactly the
// index range (index, end): walks over a subtree are plain loops.
struct Node {
    NodeKind kind = NodeKind::Document;
    Namespace ns = Namespace::Html;
    QString name; // local name of an element, lower case for HTML
    QString data; // text or comment data
    QList<Attribute> attributes;
    int parent = -1;
    int end = 0; // one past the last descendant
    // Live state of form controls, set through the DOM; the markup keeps its defaults.
    std::optional<QString> value;
    std::optional<bool> checked;
    std::optional<bool> selected;
    // How the element renders without style sheets; kept up to date by classifyRendering().
    bool displayNone = false;  // neither it nor anything inside it is shown
    bool preformatted = false; // its white space is kept as written

    template <size_t N> bool isElement(const char (&localName)[N]) const {
        return isElement(QLatin1StringView(localName, N - 1));
    }
    bool isElement(QLatin1StringView localName) const {
        return isHtmlElement() && name == localName;
    }
    bool isHtmlElement() const { return kind == NodeKind::Element && ns == Namespace::Html; }
    const QString* attribute(const QString& attributeName) const;
};

// Whether the node is an HTML element of one of these local names.
template <size_t N> bool isOneOf(const Node& node, const QLatin1StringView (&names)[N]) {
    return node.isHtmlElement() &&
           std::find(std::begin(names), std::end(names), node.name) != std::end(names);
}

// The children of a node in order: each child's descendants end where the next child begins.
class Children {
public:
    class Iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = int;
        using difference_type = std::ptrdiff_t;
        using pointer = const int*;
        using reference = int;

        Iterator(const std::vector<Node>& nodes, int index) : m_nodes(&nodes), m_index(index) {}
        int operator*() const { return m_index; }
        Iterator& operator++() {
            m_index = (*m_nodes)[size_t(m_index)].end;
            return *this;
        }
        bool operator==(const Iterator& other) const { return m_index == other.m_index; }

    private:
        const std::vector<Node>* m_nodes;
        int m_index;
    };

    Children(const std::vector<Node>& nodes, int parent) : m_nodes(nodes), m_parent(parent) {}
    Iterator begin() const { return {m_nodes, m_parent + 1}; }
    Iterator end() const { return {m_nodes, m_nodes[size_t(m_parent)].end}; }
    bool empty() const { return begin() == end(); }

private:
    const std::vector<Node>& m_nodes;
    int m_parent;
};

struct NodeTree {
    std::vector<Node> nodes; // nodes[0] is the document

    Children children(int index) const { return {nodes, index}; }

    // Concatenated text of the descendants, as DOM textContent.
    QString textContent(int index) const;
    int firstElement(int from, const char* localName) const;
};

// The tree of the markup, cut to kMaxParseBytes; nothing when the page is
// beyond the parse budget or `cancelled` was set while parsing. Runs on any
// thread, and the same markup always gives the same outcome.
std::shared_ptr<NodeTree> parseHtml(const QString& markup,
                                    const std::atomic<bool>* cancelled = nullptr);

// Sets displayNone and preformatted from the element's name and attributes.
void classifyRendering(Node& node);
// Whether the element starts and ends a line of its own when rendered.
bool isBlock(const Node& node);

// Visits the descendants of root in document order without recursion.
// enter(i) returns whether to descend into node i; leave(i) follows the
// descendants of every node that was descended into.
template <class Enter, class Leave>
void walkDescendants(const NodeTree& tree, int root, Enter enter, Leave leave) {
    std::vector<int> open;
    int i = root + 1;
    const int stop = tree.nodes[size_t(root)].end;
    while (i < stop) {
        while (!open.empty() && i >= tree.nodes[size_t(open.back())].end) {
            leave(open.back());
            open.pop_back();
        }
        if (enter(i)) {
            open.push_back(i);
            ++i;
        } else {
            i = tree.nodes[size_t(i)].end;
        }
    }
    while (!open.empty()) {
        leave(open.back());
        open.pop_back();
    }
}

} // namespace browser
