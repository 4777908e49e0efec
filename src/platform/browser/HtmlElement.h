#pragma once

#include "NodeTree.h"

#include <QList>
#include <QString>
#include <memory>

// A handle to one element of a page. It keeps its page alive, so it stays
// valid after the browser has moved on; a null handle reads as empty.
class HtmlElement {
public:
    HtmlElement() = default;
    HtmlElement(std::shared_ptr<browser::NodeTree> tree, int index);

    bool isNull() const { return !m_tree; }
    QString tagName() const; // upper case for HTML elements, as the DOM reports it
    QString id() const { return getAttribute(QStringLiteral("id")); }
    QString getAttribute(const QString& name) const;
    void setAttribute(const QString& name, const QString& value);

    QString innerHTML() const;
    QString innerText() const;
    // The text of its descendants as written, white space kept: DOM textContent.
    QString textContent() const;
    QList<HtmlElement> getElementsByTagName(const QString& tagName) const;
    QList<HtmlElement> rows() const;  // of a table: thead rows, then body rows, then tfoot rows
    QList<HtmlElement> cells() const; // of a row

    // The live value of a form control (input, textarea, select, option).
    QString value() const;
    void setValue(const QString& value);
    bool checked() const;
    void setChecked(bool checked);

    int index() const { return m_index; }
    const std::shared_ptr<browser::NodeTree>& tree() const { return m_tree; }

private:
    std::shared_ptr<browser::NodeTree> m_tree;
    int m_index = -1;
};
