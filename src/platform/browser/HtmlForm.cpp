#include "HtmlForm.h"

#include "FormControls.h"
#include "HtmlDocument.h"
#include "PageDecoding.h"

namespace {

QUrl baseUrl(const browser::DocumentState& document) {
    const int base = document.tree->firstElement(0, "base");
    const QString* href =
        base < 0 ? nullptr : document.tree->nodes[size_t(base)].attribute(QStringLiteral("href"));
    return href ? document.url.resolved(QUrl(href->trimmed())) : document.url;
}

QString submissionCharset(const browser::DocumentState& document, const HtmlElement& form) {
    const QStringList accepted = form.getAttribute(QStringLiteral("accept-charset"))
                                     .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& label : accepted) {
        const QString charset = browser::canonicalCharset(label);
        if (!charset.isEmpty())
            return charset;
    }
    return document.charset;
}

} // namespace

HtmlForm::HtmlForm(std::shared_ptr<browser::DocumentState> document, HtmlElement form)
    : m_document(std::move(document)), m_form(std::move(form)) {}

HtmlElement HtmlForm::field(const QString& nameOrId) const {
    if (m_form.isNull() || nameOrId.isEmpty())
        return {};
    for (int control : browser::formControls(*m_form.tree(), m_form.index())) {
        const HtmlElement element(m_form.tree(), control);
        if (element.id() == nameOrId || element.getAttribute(QStringLiteral("name")) == nameOrId)
            return element;
    }
    return {};
}

std::optional<browser::FormSubmission> HtmlForm::submission() const {
    if (m_form.isNull())
        return std::nullopt;
    const QString action = m_form.getAttribute(QStringLiteral("action")).trimmed();
    QUrl url = action.isEmpty() ? m_document->url : baseUrl(*m_document).resolved(QUrl(action));
    const QByteArray data =
        browser::urlEncodeFormData(browser::formDataSet(*m_form.tree(), m_form.index()),
                                   submissionCharset(*m_document, m_form));
    const QStringList secrets = browser::passwordFieldNames(*m_form.tree(), m_form.index());
    if (!secrets.isEmpty() || m_form.getAttribute(QStringLiteral("method"))
                                      .trimmed()
                                      .compare(QLatin1String("post"), Qt::CaseInsensitive) == 0)
        return browser::FormSubmission{"POST", url, data, secrets};
    // An empty form still leaves the "?" behind, as in browsers.
    url.setQuery(data.isEmpty() ? QStringLiteral("") : QString::fromLatin1(data));
    return browser::FormSubmission{"GET", url, {}, {}};
}

bool HtmlForm::submit() const {
    const std::optional<browser::FormSubmission> request = submission();
    if (!request || !m_document->submit)
        return false;
    m_document->submit(*request);
    return true;
}
