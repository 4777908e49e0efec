#pragma once

#include "HtmlElement.h"
#include "HtmlForm.h"

#include <QUrl>
#include <optional>

namespace browser {

struct DocumentState {
    std::shared_ptr<NodeTree> tree;
    QUrl url;
    QString charset;
    std::optional<QString> written; // markup written since the page was opened for writing
    QString parseFailure;           // why the markup is shown as an error page instead
    std::function<void(const FormSubmission&)> submit;
};

} // namespace browser

// The page a WebBrowser shows. Copies are handles to the same page, so a
// write through one copy is seen through every other.
class HtmlDocument {
public:
    HtmlDocument(); // an empty page, as about:blank
    // A page past the parse budget becomes an error page that says it is too
    // complex; `cancelled` may stop the parse from another thread.
    static HtmlDocument parse(const QString& markup, const QUrl& url, const QString& charset,
                              const std::atomic<bool>* cancelled = nullptr);

    // Why the markup could not be parsed and the page is an error page; empty when it was parsed.
    QString parseFailure() const { return d->parseFailure; }

    QUrl url() const { return d->url; }
    QString charset() const { return d->charset; }
    QString title() const;
    HtmlElement body() const;
    HtmlElement getElementById(const QString& id) const;
    QList<HtmlElement> getElementsByTagName(const QString& tagName) const;
    // document.forms[nameOrId]: a form by its name or id.
    HtmlForm forms(const QString& nameOrId) const;
    // document.forms[index], in document order.
    HtmlForm forms(int index) const;
    // The value of a top-level `var name = "literal"` of the page's inline scripts.
    std::optional<QString> scriptVariable(const QString& name) const;

    // document.write after loading: the first write replaces the page, later ones append.
    void write(const QString& markup);

    QString bgColor() const;
    void setBgColor(const QString& colour);

    void setSubmitHandler(std::function<void(const browser::FormSubmission&)> handler);

private:
    explicit HtmlDocument(std::shared_ptr<browser::DocumentState> state);
    HtmlElement root() const { return HtmlElement(d->tree, 0); }

    std::shared_ptr<browser::DocumentState> d;
};
