#include "board_checks.h"
#include "text.h"

namespace zentab::board::testing {
namespace {

const std::string kPostStart = "<!-- google_ad_section_start -->";
const std::string kThreadLink = "action=display&amp;thread=";
const std::string kGuest = "var pb_username = \"Guest\";";

TEST(BoardServerPages, IndexPagesMembersAndAnErrorPageForEveryBadRequest) {
    TestServer server(smallState(21));
    ForumClient client(server.port());
    const auto first = client.page("board=accounts&page=1");
    EXPECT_TRUE(countOf(first, kThreadLink) == 20 &&
                first.find("thread=1\">Account 1</a>") < first.find("thread=20\">Account 20</a>"));
    EXPECT_EQ(titleOf(client.page("board=Accounts&page=1")), "Test Bank - Accounts");
    const auto second = client.page("board=accounts&page=2");
    EXPECT_TRUE(countOf(second, kThreadLink) == 1 &&
                contains(second, "thread=21\">Account 21</a>") && contains(second, ">1</a> [2]"));

    const auto zed = client.page("action=members&view=letter&letter=z");
    EXPECT_TRUE(contains(zed, "user=other\">Zed Other</a>") && !contains(zed, "The teller") &&
                contains(zed, "letter=Z\">Z</a>"));
    EXPECT_EQ(countOf(client.page("action=members&view=letter&letter=T"), "&amp;user="), 3u);
    EXPECT_TRUE(contains(client.page("action=viewprofile&user=other"), "Zed Other"));

    for (const auto* query :
         {"board=accounts&page=3", "board=accounts&page=0", "board=accounts&page=2x",
          "board=nosuch", "board=accounts&action=display&thread=999",
          "board=accounts&action=display&thread=abc", "board=accounts&action=bogus",
          "board=accounts&action=modifypost&thread=1&post=77",
          "action=members&view=letter&letter=%3C", "action=viewprofile&user=nosuch"}) {
        const auto result = client.get(query);
        EXPECT_TRUE(refused(result) && contains(result->body, kGuest)) << query;
    }

    TestServer emptyServer(smallState(0));
    ForumClient empty(emptyServer.port());
    EXPECT_TRUE(contains(empty.page("board=accounts&page=1"), ">Subject</td>") &&
                refused(empty.get("board=accounts&page=2")));
}

TEST(BoardServerPosting, SessionsLongEditsRepliesRefusedFormsAndHostileTextInOneForum) {
    TestServer server(smallState(2));
    ForumClient client(server.port());
    ASSERT_TRUE(client.login("teller"));
    const auto forged = httplib::Client("127.0.0.1", server.port())
                            .Get("/index.cgi?board=accounts",
                                 {{"Host", kForumHost}, {"Cookie", "zentab_board_session=0123"}});
    EXPECT_TRUE(forged && contains(forged->body, kGuest)) << "a forged session";
    // An edit longer than httplib's own form limit keeps its raw text.
    const auto message = "\r\nGalleons: 7\n<i>&amp;" + std::string(40000, 'x') + "\r";
    EXPECT_EQ(threadOfLocation(client.post(postForm("modifypost2", 1, 1, "Account", message))), 1);
    const auto form = client.page(accountsQuery("modifypost", 1, 1));
    const auto start = form.find('>', form.find("<textarea name=\"message\"")) + 1;
    EXPECT_EQ(form.substr(start, form.find("</textarea>") - start),
              "\n" + htmlEscape(crlfLines(message)));
    // A reply lands in its thread and deleting it keeps the thread.
    EXPECT_EQ(threadOfLocation(client.post(postForm("post2", 2, 0, "Re", "[list][/list]"))), 2);
    EXPECT_TRUE(contains(client.page(accountsQuery("display", 2)), "Reply #1 on <B>Today</B>"));
    EXPECT_EQ(threadOfLocation(client.get(accountsQuery("deletepost", 2, 3))), 2);
    EXPECT_EQ(countOf(client.page(accountsQuery("display", 2)), kPostStart), 1u);
    // Incomplete forms change nothing.
    auto noNextAction = postForm("modifypost2", 1, 1, "Account 1", "changed");
    noNextAction.erase("nextaction");
    const httplib::Params cases[] = {
        noNextAction,
        postForm("modifypost2", 1, 1, "  ", "changed"),
        postForm("modifypost2", 1, 1, "Account 1", " \r\n "),
        postForm("modifypost2", 1, 1, "Account 1", std::string(70000, 'x')),
        postForm("modifypost2", 1, 1, std::string(300, 's'), "changed"),
        postForm("post2", 99, 0, "Re: nothing", "changed"),
    };
    for (const auto& fields : cases)
        EXPECT_TRUE(refused(client.post(fields))) << "form " << &fields - cases;
    EXPECT_TRUE(refused(client.get(accountsQuery("modifypost2", 1, 1) +
                                   "&subject=x&message=changed&nextaction=post")))
        << "a GET must not save";
    const auto page = client.page(accountsQuery("display", 1));
    EXPECT_TRUE(!contains(page, "changed") && countOf(page, kPostStart) == 1);
    // User text is escaped everywhere it is shown.
    const std::string hostile = "<script>alert(1)</script>";
    const auto thread =
        threadOfLocation(client.post(postForm("post2", 0, 0, hostile + "\"'", hostile + "\xFF")));
    for (const auto& shown :
         {client.page(accountsQuery("display", thread)), client.page("board=accounts"),
          client.page(accountsQuery("modifypost", thread, thread))})
        EXPECT_TRUE(!contains(shown, hostile) &&
                    contains(shown, "&lt;script&gt;alert(1)&lt;/script&gt;"));
}

TEST(BoardServerRights, PagesOfferExactlyWhatTheServerAllows) {
    // The rights of each user: to start threads, to change member's thread 1 ("own") and
    // teller's thread 2 ("other"), and to delete; each is offered on the page and also enforced.
    const std::string all = "post own other delete";
    const std::pair<const char*, std::string> cases[] = {
        {"", ""}, {"member", "post own"}, {"other", "post"}, {"teller", all}, {"admin", all}};
    for (const auto& [user, rights] : cases) {
        SCOPED_TRACE(*user ? user : "guest");
        TestServer server(smallState(3));
        ForumClient client(server.port());
        ASSERT_TRUE(!*user || client.login(user));
        const auto has = [&](const std::string& query, const char* part) {
            return client.page(query).find(part) != std::string::npos;
        };
        const std::pair<std::string, bool> seen[] = {
            {"post", has("board=accounts", "newthread.gif")},
            {"post", has("board=accounts&action=post", "<title>Test Bank - Post New Thread")},
            {"post", threadOfLocation(client.post(postForm("post2", 0, 0, "New", "G: 1"))) == 4},
            {"own", has(accountsQuery("display", 1), "modify.gif")},
            {"own", has(accountsQuery("modifypost", 1, 1), "<title>Test Bank - Modify Post")},
            {"other", has(accountsQuery("display", 2), "modify.gif")},
            {"other", has(accountsQuery("modifypost", 2, 2), "<title>Test Bank - Modify Post")},
            {"other", client.post(postForm("modifypost2", 2, 2, "Account", "Galleons: 99")) &&
                          has(accountsQuery("display", 2), "Galleons: 99")},
            {"delete", has(accountsQuery("display", 1), "delete.gif")},
            {"delete", client.get(accountsQuery("deletepost", 3, 3)) &&
                           refused(client.get(accountsQuery("display", 3)))},
        };
        for (const auto& check : seen)
            EXPECT_EQ(check.second, rights.find(check.first) != std::string::npos)
                << check.first << ", check " << &check - seen;
    }
}

} // namespace
} // namespace zentab::board::testing
