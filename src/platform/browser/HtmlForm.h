#pragma once

#include "HtmlElement.h"

#include <QByteArray>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>

namespace browser {

struct DocumentState;

struct FormSubmission {
    QByteArray method; // "GET" or "POST"
    QUrl url;
    QByteArray body;          // application/x-www-form-urlencoded, for POST
    QStringList secretFields; // names whose values must never be written to a log
};

} // namespace browser

class HtmlForm {
public:
    HtmlForm() = default;
    HtmlForm(std::shared_ptr<browser::DocumentState> document, HtmlElement form);

    bool isNull() const { return m_form.isNull(); }
    // form.elements[nameOrId]
    HtmlElement field(const QString& nameOrId) const;

    // What submitting would send; nothing for a null form. The loader refuses
    // actions that are not web addresses, so a page cannot make it read a file.
    // A form with a password is posted whatever its method, so that the
    // password never appears in an address.
    std::optional<browser::FormSubmission> submission() const;
    // Submits through the browser that shows the page; false when nothing was sent.
    bool submit() const;

private:
    std::shared_ptr<browser::DocumentState> m_document;
    HtmlElement m_form;
};
