#include "PostSaver.h"

#include "WebBrowser.h"

namespace bank {
namespace {

const QString TooManyConnections = QStringLiteral("Too Many Connections");
constexpr int ReadAttempts = 3;

} // namespace

QStringList linksOf(const WebBrowser& page) {
    QStringList links;
    for (const HtmlElement& link : page.Document().getElementsByTagName(QStringLiteral("A")))
        links.append(link.getAttribute(QStringLiteral("href")));
    return links;
}

PostForm::PostForm(const WebBrowser& browser) {
    const HtmlDocument page = browser.Document();
    form = page.forms(QStringLiteral("postForm"));
    subject = page.getElementById(QStringLiteral("subject"));
    message = page.getElementById(QStringLiteral("message"));
    nextaction = page.getElementById(QStringLiteral("nextaction"));
}

bool PostForm::complete() const {
    return !form.isNull() && !subject.isNull() && !message.isNull() && !nextaction.isNull();
}

PostFields PostForm::fields() const {
    return {subject.value(), message.value()};
}

void PostForm::fill(const PostFields& post) {
    subject.setValue(post.subject);
    message.setValue(post.message);
    nextaction.setValue(QStringLiteral("post"));
}

bool PostForm::submit() const {
    return form.submit();
}

PostSaver::PostSaver(ForumWait wait, int busyPauseMs)
    : wait_(std::move(wait)), busyPauseMs_(busyPauseMs), reader_(new WebBrowser) {
    reader_->setObjectName(QStringLiteral("PostReader"));
}

PostSaver::~PostSaver() {
    delete reader_;
}

bool PostSaver::waitForPage(const QPointer<WebBrowser>& browser) const {
    return wait_.whileTrue([&] {
        return browser && browser->ReadyState() < WebBrowser::ReadyStateComplete;
    }) && browser;
}

bool PostSaver::load(WebBrowser& browser, const QString& address) {
    const QPointer<WebBrowser> page(&browser);
    for (int attempt = 1; attempt <= ReadAttempts; ++attempt) {
        browser.Navigate(address, WebBrowser::navNoHistory | WebBrowser::navNoReadFromCache);
        if (!waitForPage(page))
            return false;
        if (browser.LocationName() != TooManyConnections)
            return true;
        if (attempt < ReadAttempts && !wait_.pause(busyPauseMs_ * attempt))
            return false;
    }
    return false;
}

std::optional<PostFields> PostSaver::read(const QString& editAddress) {
    if (!load(*reader_, editAddress))
        return std::nullopt;
    const PostForm form(*reader_);
    return form.complete() ? std::optional(form.fields()) : std::nullopt;
}

PostSaver::Result PostSaver::save(WebBrowser& browser, const PostFields& post,
                                  const EditAddressOf& editAddressOf,
                                  const std::optional<PostFields>& before) {
    const QPointer<WebBrowser> sender(&browser);
    PostForm form(browser);
    if (!form.complete())
        return {Outcome::Unchanged, browser.LocationName()};
    form.fill(post);
    if (!form.submit())
        return {Outcome::Unchanged, browser.LocationName()};
    if (!waitForPage(sender))
        return {Outcome::Unknown, {}};
    Result result{Outcome::Unknown, sender->LocationName()};
    const QString editAddress = editAddressOf(*sender);
    const std::optional<PostFields> held = editAddress.isEmpty() ? std::nullopt : read(editAddress);
    if (held && holdsAsSent(post, *held))
        result.outcome = Outcome::Saved;
    else if (held && before && holdsAsSent(*before, *held))
        result.outcome = Outcome::Unchanged;
    return result;
}

} // namespace bank
