#include "PostSaver.h"

#include "WebBrowser.h"

namespace bank {
namespace {

const QString TooManyConnections = QStringLiteral("Too Many Connections");
constexpr int ReadAttempts = 3;

} // namespace

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

std::optional<PostFields> PostSaver::read(const QString& editAddress) {
    // A busy forum is asked again after a pause.
    for (int attempt = 1; attempt <= ReadAttempts; ++attempt) {
        reader_->Navigate(editAddress, WebBrowser::navNoHistory | WebBrowser::navNoReadFromCache);
        if (!waitForPage(reader_))
            return std::nullopt;
        if (reader_->LocationName() != TooManyConnections) {
            const PostForm form(*reader_);
            if (!form.complete())
                return std::nullopt;
            return form.fields();
        }
        if (attempt < ReadAttempts && !wait_.pause(busyPauseMs_ * attempt))
            return std::nullopt;
    }
    return std::nullopt;
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
