#pragma once

#include "ForumWait.h"
#include "HtmlDocument.h"
#include "PostText.h"

#include <QPointer>
#include <functional>
#include <optional>

class WebBrowser;

namespace bank {

// Every post the program writes goes through here: the forum's own post form
// is sent, and the save counts only when the post read back from its edit
// page is the post that was sent. A page title is never taken as evidence.
class PostSaver {
public:
    enum class Outcome {
        Saved,
        Unchanged, // the forum holds the post as it was before: nothing happened
        Unknown,   // neither: the post could not be read back, or holds something else
    };
    struct Result {
        Outcome outcome = Outcome::Unknown;
        QString answerTitle; // of the forum's answer to the form
    };
    // Tells what the edit page of the post is, from the forum's answer page.
    using EditAddressOf = std::function<QString(const WebBrowser& answer)>;

    // A busy forum is asked again after busyPauseMs, then twice that.
    explicit PostSaver(ForumWait wait, int busyPauseMs = 1000);
    ~PostSaver();
    PostSaver(const PostSaver&) = delete;
    PostSaver& operator=(const PostSaver&) = delete;

    // Loads a page of the forum afresh, asking a busy forum again after a
    // pause; false when the page did not come.
    bool load(WebBrowser& browser, const QString& address);

    // The post an edit page shows, as the forum holds it; nothing when the
    // page holds no post form (an error, a post that is gone, a forum that
    // stays busy).
    std::optional<PostFields> read(const QString& editAddress);

    // Fills the post form that `browser` shows with `post`, sends it, and
    // reads the post back once the forum has answered. `before` is the post
    // as it was, when there was one.
    Result save(WebBrowser& browser, const PostFields& post, const EditAddressOf& editAddressOf,
                const std::optional<PostFields>& before);

private:
    bool waitForPage(const QPointer<WebBrowser>& browser) const;

    ForumWait wait_;
    int busyPauseMs_;
    WebBrowser* reader_; // reads back, so that the browser that saved keeps the answer
};

// The addresses of every link of the page a browser shows.
QStringList linksOf(const WebBrowser& page);

// The forum's post form as a page holds it.
struct PostForm {
    explicit PostForm(const WebBrowser& browser);
    bool complete() const;
    PostFields fields() const;
    void fill(const PostFields& post);
    bool submit() const;

    HtmlForm form;
    HtmlElement subject;
    HtmlElement message;
    HtmlElement nextaction;
};

} // namespace bank
