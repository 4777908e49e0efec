// The one save every post goes through, against the board server: a save
// counts only when the post read back from its edit page is the one sent.
#include "PostSaver.h"

#include "BoardE2e.h"
#include "WebBrowser.h"

#include <QSignalSpy>

namespace {

using bank::PostFields;
using bank::PostSaver;
QString editAddress(int thread) {
    return TestBoard + QStringLiteral("&action=modifypost&thread=%1&post=%1").arg(thread);
}

class PostSaving : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(logInThroughForum(TestBoard, "teller")); }

    // The edit form of a thread's first post, loaded in `browser`.
    bool openEditForm(int thread) {
        QSignalSpy completed(&browser, &WebBrowser::DocumentComplete);
        browser.Navigate(editAddress(thread));
        return completed.wait(30000) && bank::PostForm(browser).complete();
    }

    zentab::board::testing::TestServer server{zentab::board::testing::smallState(3)};
    ForumProxy proxy{server.port()};
    WebBrowser browser;
    PostSaver saver{bank::ForumWait([] { return true; }, 20), 50};
};

TEST_F(PostSaving, OnlyAPostReadBackAsSentCountsAsSaved) {
    const PostFields post{"Account 2", "Galleons: 7\r\nSickles: 0\r\nKnuts: 0\r\n\r\nRenée & <Co>"};
    const struct {
        const char* what;
        std::function<void()> meanwhile; // after the form was loaded, before it is sent
        PostSaver::Outcome outcome;
        const char* answerTitle;
    } cases[] = {
        {"kept", [] {}, PostSaver::Outcome::Saved, "Test Bank - Account 2"},
        {"answered busy", [&] { ASSERT_TRUE(server.faults("overload=1")); },
         PostSaver::Outcome::Unchanged, "Too Many Connections"},
        // The error page's title holds the account's name ("Test Bank"...): no evidence.
        {"thread deleted", [&] { deleteInForum(server.port(), 3); }, PostSaver::Outcome::Unknown,
         "Test Bank - An Error Has Occurred"},
    };
    for (int thread = 2; const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(openEditForm(thread));
        const auto before = bank::PostForm(browser).fields();
        c.meanwhile();
        const auto saved = saver.save(
            browser, {before.subject, post.message},
            [&](const WebBrowser&) { return editAddress(thread); }, before);
        EXPECT_EQ(saved.outcome, c.outcome);
        EXPECT_EQ(saved.answerTitle, c.answerTitle);
        const auto held = saver.read(editAddress(thread));
        EXPECT_EQ(held && bank::holdsAsSent({before.subject, post.message}, *held),
                  c.outcome == PostSaver::Outcome::Saved);
        if (c.outcome == PostSaver::Outcome::Saved)
            ++thread;
    }
}

TEST_F(PostSaving, ABusyForumIsAskedAgainBeforeAReadFails) {
    ASSERT_TRUE(server.faults("overload=2"));
    const auto held = saver.read(editAddress(2));
    ASSERT_TRUE(held);
    EXPECT_TRUE(held->message.contains("Galleons:"));

    ASSERT_TRUE(server.faults("overload=3"));
    EXPECT_FALSE(saver.read(editAddress(2)));
    EXPECT_FALSE(saver.read(editAddress(99)));
}

} // namespace
