#include "HtmlElement.h"

#include "FormControls.h"
#include "HtmlSerializer.h"
#include "InnerText.h"

#include <algorithm>

using browser::Node;
using browser::NodeKind;

HtmlElement::HtmlElement(std::shared_ptr<browser::NodeTree> tree, int index)
    : m_tree(index >= 0 ? std::move(tree) : nullptr), m_index(index) {}

QString HtmlElement::tagName() const {
    if (!m_tree)
        return {};
    const Node& node = m_tree->nodes[size_t(m_index)];
    return node.ns == browser::Namespace::Html ? node.name.toUpper() : node.name;
}

QString HtmlElement::getAttribute(const QString& name) const {
    if (!m_tree)
        return {};
    const QString* value = m_tree->nodes[size_t(m_index)].attribute(name.toLower());
    return value ? *value : QString();
}

void HtmlElement::setAttribute(const QString& name, const QString& value) {
    if (!m_tree)
        return;
    Node& node = m_tree->nodes[size_t(m_index)];
    const QString key = name.toLower();
    const auto existing =
        std::find_if(node.attributes.begin(), node.attributes.end(),
                     [&](const browser::Attribute& attribute) { return attribute.name == key; });
    if (existing != node.attributes.end())
        existing->value = value;
    else
        node.attributes.append({key, value});
    browser::classifyRendering(node);
}

QString HtmlElement::innerHTML() const {
    return m_tree ? browser::serializeChildren(*m_tree, m_index) : QString();
}

QString HtmlElement::innerText() const {
    return m_tree ? browser::innerText(*m_tree, m_index) : QString();
}

QString HtmlElement::textContent() const {
    return m_tree ? m_tree->textContent(m_index) : QString();
}

QList<HtmlElement> HtmlElement::getElementsByTagName(const QString& tagName) const {
    QList<HtmlElement> found;
    if (!m_tree)
        return found;
    const QString wanted = tagName.toLower();
    const bool all = wanted == QLatin1String("*");
    for (int i = m_index + 1; i < m_tree->nodes[size_t(m_index)].end; ++i) {
        const Node& node = m_tree->nodes[size_t(i)];
        if (node.kind == NodeKind::Element && (all || node.name.toLower() == wanted))
            found.append(HtmlElement(m_tree, i));
    }
    return found;
}

QList<HtmlElement> HtmlElement::rows() const {
    QList<HtmlElement> head, body, foot;
    if (!m_tree || !m_tree->nodes[size_t(m_index)].isElement("table"))
        return {};
    for (int child : m_tree->children(m_index)) {
        const Node& node = m_tree->nodes[size_t(child)];
        if (node.isElement("tr")) {
            body.append(HtmlElement(m_tree, child));
            continue;
        }
        if (!node.isElement("thead") && !node.isElement("tbody") && !node.isElement("tfoot"))
            continue;
        QList<HtmlElement>& target = node.isElement("thead")   ? head
                                     : node.isElement("tfoot") ? foot
                                                               : body;
        for (int row : m_tree->children(child)) {
            if (m_tree->nodes[size_t(row)].isElement("tr"))
                target.append(HtmlElement(m_tree, row));
        }
    }
    return head + body + foot;
}

QList<HtmlElement> HtmlElement::cells() const {
    QList<HtmlElement> found;
    if (!m_tree || !m_tree->nodes[size_t(m_index)].isElement("tr"))
        return found;
    for (int child : m_tree->children(m_index)) {
        const Node& node = m_tree->nodes[size_t(child)];
        if (node.isElement("td") || node.isElement("th"))
            found.append(HtmlElement(m_tree, child));
    }
    return found;
}

QString HtmlElement::value() const {
    return m_tree ? browser::controlValue(*m_tree, m_index) : QString();
}

void HtmlElement::setValue(const QString& value) {
    if (m_tree)
        browser::setControlValue(*m_tree, m_index, value);
}

bool HtmlElement::checked() const {
    return m_tree && browser::isChecked(*m_tree, m_index);
}

void HtmlElement::setChecked(bool checked) {
    if (m_tree)
        m_tree->nodes[size_t(m_index)].checked = checked;
}
