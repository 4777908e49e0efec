#include "board_test_support.h"
#include "text.h"

#include <gtest/gtest.h>

namespace zentab::board::testing {
namespace {

httplib::Params form(const char* action, int thread, int post, std::string subject,
                     std::string message) {
    httplib::Params fields = {{"action", action},
                              {"board", "accounts"},
                              {"subject", subject},
                              {"message", message},
                              {"nextaction", "post"}};
    if (thread != 0) {
        fields.emplace("thread", std::to_string(thread));
    }
    if (post != 0) {
        fields.emplace("post", std::to_string(post));
    }
    return fields;
}

std::string textareaOf(const std::string& page) {
    const auto open = page.find('>', page.find("<textarea name=\"message\" id=\"message\""));
    return page.substr(open + 1, page.find("</textarea>") - open - 1);
}

TEST(BoardServerPosting, EditRoundTripKeepsRawTextAndNotesTheEditor) {
    TestServer server(smallState(2));
    ForumClient client(server.port());
    ASSERT_TRUE(client.login("teller"));

    const auto editForm = client.page("board=accounts&action=modifypost&thread=1&post=1");
    EXPECT_NE(titleOf(editForm).find("Modify Post"), std::string::npos);
    for (const auto* part :
         {"name=\"postForm\"", "id=\"postForm\"", "id=\"subject\" size=\"50\" value=\"Account 1\"",
          "id=\"nextaction\" value=\"post\""}) {
        EXPECT_NE(editForm.find(part), std::string::npos) << part;
    }
    EXPECT_EQ(textareaOf(editForm), "\nGalleons: 1\r\nSickles: 1\r\nKnuts: 2\r\n");

    const std::string message = "\r\nGalleons: 7\nSickles: 0\r\nKnuts: 5\r\n[b]paid[/b] <i>&amp;";
    const auto saved = client.post(form("modifypost2", 1, 1, "Account 1", message));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->status, 303);
    EXPECT_EQ(threadOfLocation(saved), 1);

    const auto page = client.page("board=accounts&action=display&thread=1");
    EXPECT_NE(page.find("<!-- google_ad_section_start --><br>Galleons: 7<br>Sickles: 0<br>Knuts: "
                        "5<br><b>paid</b> &lt;i&gt;&amp;amp;<!-- google_ad_section_end -->"),
              std::string::npos);
    const auto note = page.find("<i>Last Edit:</i> <B>Today</B> at ");
    ASSERT_NE(note, std::string::npos);
    const auto by = page.find(" by ", note);
    EXPECT_EQ(page.substr(by, page.find("</font>", by) + 7 - by),
              " by <a href=\"index.cgi?action=viewprofile&amp;user=teller\"><font "
              "color=\"#35557a\">The teller</font>");

    EXPECT_EQ(textareaOf(client.page("board=accounts&action=modifypost&thread=1&post=1")),
              "\n" + htmlEscape(crlfLines(message)));
}

TEST(BoardServerPosting, PostsFarBeyondEightKilobytesSave) {
    TestServer server(smallState(1));
    ForumClient client(server.port());
    ASSERT_TRUE(client.login("teller"));
    std::string message = "Galleons: 1\r\nSickles: 2\r\nKnuts: 3\r\n\r\n[list]";
    while (message.size() < 40000) {
        message +=
            "\r\n[*]Dec 03,2026, 1:09:38 am  (UTC)\r\nAmount: [color=red]- 5 Galleons[/color]";
    }
    message += "\r\n[/list]";
    const auto saved = client.post(form("modifypost2", 1, 1, "Account 1", message));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->status, 303);
    EXPECT_EQ(textareaOf(client.page("board=accounts&action=modifypost&thread=1&post=1")),
              "\n" + htmlEscape(message));
}

TEST(BoardServerPosting, NewThreadAndReplyLandInTheirThreads) {
    TestServer server(smallState(2));
    ForumClient client(server.port());
    ASSERT_TRUE(client.login("member"));

    const auto created = client.post(form("post2", 0, 0, "Fresh Account", "Galleons: 30"));
    const int thread = threadOfLocation(created);
    EXPECT_EQ(thread, 3);
    EXPECT_NE(titleOf(client.page("board=accounts&action=display&thread=3")).find("Fresh Account"),
              std::string::npos);
    EXPECT_NE(nthTable(client.page("board=accounts"), 7).find("thread=3\">Fresh Account</a>"),
              std::string::npos);

    const auto replyForm = client.page("board=accounts&action=post&thread=3&post=3");
    EXPECT_NE(titleOf(replyForm).find("Post Reply"), std::string::npos);
    EXPECT_NE(replyForm.find("value=\"Re: Fresh Account\""), std::string::npos);

    const auto replied =
        client.post(form("post2", 3, 0, "Archive: Fresh Account", "[list][/list]"));
    EXPECT_EQ(threadOfLocation(replied), 3);
    const auto page = client.page("board=accounts&action=display&thread=3");
    EXPECT_EQ(countOf(page, "<!-- google_ad_section_start -->"), 2u);
    EXPECT_NE(page.find("Reply #1 on <B>Today</B>"), std::string::npos);
    EXPECT_NE(page.find("action=modifypost&amp;thread=3&amp;post=4"), std::string::npos);
}

TEST(BoardServerPosting, DeletingAReplyKeepsTheThreadDeletingTheFirstPostRemovesIt) {
    TestServer server(smallState(2));
    ForumClient client(server.port());
    ASSERT_TRUE(client.login("teller"));
    client.post(form("post2", 1, 0, "Re: Account 1", "note"));

    const auto reply = client.get("board=accounts&action=deletepost&thread=1&post=3");
    EXPECT_EQ(threadOfLocation(reply), 1);
    EXPECT_EQ(countOf(client.page("board=accounts&action=display&thread=1"),
                      "<!-- google_ad_section_start -->"),
              1u);

    const auto first = client.get("board=accounts&action=deletepost&thread=1&post=1");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->get_header_value("Location"),
              "http://testbank.proboards.com/index.cgi?board=accounts");
    EXPECT_EQ(nthTable(client.page("board=accounts"), 7).find("thread=1\""), std::string::npos);
    EXPECT_NE(titleOf(client.page("board=accounts&action=display&thread=1")).find("Error"),
              std::string::npos);
}

TEST(BoardServerPosting, IncompleteFormsChangeNothing) {
    TestServer server(smallState(1));
    ForumClient client(server.port());
    ASSERT_TRUE(client.login("teller"));
    auto noNextAction = form("modifypost2", 1, 1, "Account 1", "changed");
    noNextAction.erase("nextaction");
    const httplib::Params cases[] = {
        noNextAction,
        form("modifypost2", 1, 1, "  ", "changed"),
        form("modifypost2", 1, 1, "Account 1", " \r\n "),
        form("modifypost2", 1, 1, "Account 1", std::string(70000, 'x')),
        form("modifypost2", 1, 1, std::string(300, 's'), "changed"),
        form("post2", 99, 0, "Re: nothing", "changed"),
    };
    for (const auto& fields : cases) {
        const auto result = client.post(fields);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, 200);
        EXPECT_NE(titleOf(result->body).find("An Error Has Occurred"), std::string::npos);
    }
    EXPECT_NE(titleOf(client.page("action=modifypost2&board=accounts&thread=1&post=1&subject=x&"
                                  "message=changed&nextaction=post"))
                  .find("An Error Has Occurred"),
              std::string::npos);
    const auto page = client.page("board=accounts&action=display&thread=1");
    EXPECT_EQ(page.find("changed"), std::string::npos);
    EXPECT_EQ(countOf(page, "<!-- google_ad_section_start -->"), 1u);
}

TEST(BoardServerPosting, UserTextIsEscapedEverywhereItIsShown) {
    TestServer server(smallState(1));
    ForumClient client(server.port());
    ASSERT_TRUE(client.login("member"));
    const std::string hostile = "<script>alert(1)</script>";
    const auto created = client.post(form("post2", 0, 0, hostile + "\"'", hostile + "\xFF"));
    const auto query =
        "board=accounts&action=display&thread=" + std::to_string(threadOfLocation(created));
    for (const auto& page : {client.page(query), client.page("board=accounts"),
                             client.page(query.substr(0, query.find("&action")) +
                                         "&action=modifypost&thread=2&post=2")}) {
        EXPECT_EQ(page.find(hostile), std::string::npos);
        EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    }
    EXPECT_NE(client.page(query).find("&lt;/script&gt;\xEF\xBF\xBD"), std::string::npos);
}

} // namespace
} // namespace zentab::board::testing
