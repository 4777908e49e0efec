#include "HtmlDocument.h"

#include "FetchedPage.h"
#include "NodeTree.h"
#include "ScriptVariables.h"

using browser::Node;
using browser::NodeKind;

namespace {

bool isPageScript(const Node& node) {
    if (!node.isElement("script") || node.attribute(QStringLiteral("src")))
        return false;
    const QString* type = node.attribute(QStringLiteral("type"));
    const QString kind = type ? type->trimmed().toLower() : QString();
    return kind.isEmpty() || kind == QLatin1String("text/javascript") ||
           kind == QLatin1String("application/javascript") ||
           kind == QLatin1String("text/ecmascript") ||
           kind == QLatin1String("application/x-javascript");
}

// The tree of the markup, or of an error page when it is past the parse budget.
std::shared_ptr<browser::NodeTree> treeOf(browser::DocumentState& state, const QString& markup,
                                          const std::atomic<bool>* cancelled) {
    if (auto tree = browser::parseHtml(markup, cancelled)) {
        state.parseFailure.clear();
        return tree;
    }
    state.parseFailure = QStringLiteral("The page is too complex to show");
    return browser::parseHtml(browser::errorPageMarkup(state.url, state.parseFailure));
}

} // namespace

HtmlDocument::HtmlDocument()
    : HtmlDocument(parse(QString(), QUrl(QStringLiteral("about:blank")), QStringLiteral("UTF-8"))) {
}

HtmlDocument::HtmlDocument(std::shared_ptr<browser::DocumentState> state) : d(std::move(state)) {}

HtmlDocument HtmlDocument::parse(const QString& markup, const QUrl& url, const QString& charset,
                                 const std::atomic<bool>* cancelled) {
    auto state = std::make_shared<browser::DocumentState>();
    state->url = url;
    state->charset = charset;
    state->tree = treeOf(*state, markup, cancelled);
    return HtmlDocument(std::move(state));
}

QString HtmlDocument::title() const {
    const int title = d->tree->firstElement(0, "title");
    return title < 0 ? QString() : d->tree->textContent(title).simplified();
}

HtmlElement HtmlDocument::body() const {
    return HtmlElement(d->tree, d->tree->firstElement(0, "body"));
}

HtmlElement HtmlDocument::getElementById(const QString& id) const {
    if (id.isEmpty())
        return {};
    for (size_t i = 0; i < d->tree->nodes.size(); ++i) {
        const QString* value = d->tree->nodes[i].attribute(QStringLiteral("id"));
        if (d->tree->nodes[i].kind == NodeKind::Element && value && *value == id)
            return HtmlElement(d->tree, int(i));
    }
    return {};
}

QList<HtmlElement> HtmlDocument::getElementsByTagName(const QString& tagName) const {
    return root().getElementsByTagName(tagName);
}

HtmlForm HtmlDocument::forms(const QString& nameOrId) const {
    if (nameOrId.isEmpty())
        return {};
    for (const HtmlElement& form : getElementsByTagName(QStringLiteral("form"))) {
        if (form.id() == nameOrId || form.getAttribute(QStringLiteral("name")) == nameOrId)
            return HtmlForm(d, form);
    }
    return {};
}

HtmlForm HtmlDocument::forms(int index) const {
    const QList<HtmlElement> all = getElementsByTagName(QStringLiteral("form"));
    if (index < 0 || index >= all.size())
        return {};
    return HtmlForm(d, all[index]);
}

std::optional<QString> HtmlDocument::scriptVariable(const QString& name) const {
    std::optional<QString> value;
    for (size_t i = 0; i < d->tree->nodes.size(); ++i) {
        if (!isPageScript(d->tree->nodes[i]))
            continue;
        // Later declarations run later and win.
        for (const auto& [variable, literal] :
             browser::scriptStringVariables(d->tree->textContent(int(i)))) {
            if (variable == name)
                value = literal;
        }
    }
    return value;
}

void HtmlDocument::write(const QString& markup) {
    d->written = d->written.value_or(QString()) + markup;
    d->tree = treeOf(*d, *d->written, nullptr);
}

QString HtmlDocument::bgColor() const {
    return body().getAttribute(QStringLiteral("bgcolor"));
}

void HtmlDocument::setBgColor(const QString& colour) {
    body().setAttribute(QStringLiteral("bgcolor"), colour);
}

void HtmlDocument::setSubmitHandler(std::function<void(const browser::FormSubmission&)> handler) {
    d->submit = std::move(handler);
}
