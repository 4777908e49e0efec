#include "board_test_support.h"
#include "text.h"

#include <gtest/gtest.h>

namespace zentab::board::testing {
namespace {

const std::string kPostStart = "<!-- google_ad_section_start -->";
const std::string kThreadLink = "action=display&amp;thread=";

std::string userVariable(const std::string& user) {
    return "var pb_username = \"" + user + "\";";
}

std::string textareaOf(const std::string& page) {
    const auto open = page.find('>', page.find("<textarea name=\"message\" id=\"message\""));
    return page.substr(open + 1, page.find("</textarea>") - open - 1);
}

TEST(BoardServerPages, IndexPagesMembersAndAnErrorPageForEveryBadRequest) {
    ServedForum client(23);
    const auto first = client.page("board=accounts&page=1");
    EXPECT_EQ(countOf(first, kThreadLink), 20u);
    EXPECT_LT(first.find("thread=1\">Account 1</a>"), first.find("thread=20\">Account 20</a>"));
    EXPECT_EQ(client.page("board=accounts"), first);
    EXPECT_EQ(titleOf(client.page("board=Accounts&page=1")), "Test Bank - Accounts");
    const auto second = client.page("board=accounts&page=2");
    EXPECT_EQ(countOf(second, kThreadLink), 3u);
    EXPECT_TRUE(contains(second, "thread=23\">Account 23</a>"));

    const auto zed = client.page("action=members&view=letter&letter=z");
    EXPECT_TRUE(contains(zed, "user=other\">Zed Other</a>"));
    EXPECT_FALSE(contains(zed, "The teller"));
    EXPECT_EQ(countOf(client.page("action=members&view=letter&letter=T"), "user="), 3u);
    EXPECT_TRUE(contains(client.page("action=viewprofile&user=member"), "Posts: 1"));

    for (const auto* query :
         {"board=accounts&page=3", "board=accounts&page=0", "board=accounts&page=2x",
          "board=nosuch", "board=accounts&action=display&thread=999",
          "board=accounts&action=display&thread=abc", "board=accounts&action=bogus",
          "board=accounts&action=modifypost&thread=1&post=77",
          "action=members&view=letter&letter=%3C"}) {
        const auto result = client.get(query);
        ASSERT_TRUE(result) << query;
        EXPECT_EQ(result->status, 200) << query;
        EXPECT_TRUE(isErrorPage(result->body)) << query;
        EXPECT_TRUE(contains(result->body, userVariable("Guest"))) << query;
    }

    ServedForum empty(0);
    EXPECT_TRUE(contains(empty.page("board=accounts&page=1"), ">Subject</td>"));
    EXPECT_TRUE(isErrorPage(empty.page("board=accounts&page=2")));
}

// Long enough that httplib's own 8 KiB limit on form bodies would cut it.
std::string longAccountPost() {
    std::string message = "\r\nGalleons: 7\nSickles: 0\r\nKnuts: 5\r\n[b]paid[/b] <i>&amp;[list]";
    while (message.size() < 40000) {
        message += "\r\n[*]Dec 03,2026, 1:09:38 am  (UTC)\nAmount: [color=red]- 5 Galleons[/color]";
    }
    return message + "\r\n[/list]";
}

TEST(BoardServerPosting, EditsRepliesDeletionsAndRefusedFormsInOneForum) {
    ServedForum client(2, "teller");
    {
        SCOPED_TRACE("an edit longer than httplib's form limit keeps its raw text");
        const auto message = longAccountPost();
        EXPECT_EQ(
            threadOfLocation(client.post(postForm("modifypost2", 1, 1, "Account 1", message))), 1);
        EXPECT_EQ(textareaOf(client.page(accountsQuery("modifypost", 1, 1))),
                  "\n" + htmlEscape(crlfLines(message)));
    }
    {
        SCOPED_TRACE("a reply lands in its thread and deleting it keeps the thread");
        EXPECT_TRUE(contains(client.page(accountsQuery("post", 2, 2)), "value=\"Re: Account 2\""));
        EXPECT_EQ(
            threadOfLocation(client.post(postForm("post2", 2, 0, "Archive", "[list][/list]"))), 2);
        const auto page = client.page(accountsQuery("display", 2));
        EXPECT_EQ(countOf(page, kPostStart), 2u);
        EXPECT_TRUE(contains(page, "Reply #1 on <B>Today</B>"));
        EXPECT_TRUE(contains(page, "action=modifypost&amp;thread=2&amp;post=3"));
        EXPECT_EQ(threadOfLocation(client.get(accountsQuery("deletepost", 2, 3))), 2);
        EXPECT_EQ(countOf(client.page(accountsQuery("display", 2)), kPostStart), 1u);
    }
    {
        SCOPED_TRACE("deleting the first post removes the thread");
        const auto deleted = client.get(accountsQuery("deletepost", 2, 2));
        ASSERT_TRUE(deleted);
        EXPECT_EQ(deleted->get_header_value("Location"),
                  "http://testbank.proboards.com/index.cgi?board=accounts");
        EXPECT_FALSE(contains(client.page("board=accounts"), "thread=2\""));
        EXPECT_TRUE(isErrorPage(client.page(accountsQuery("display", 2))));
    }
    {
        SCOPED_TRACE("incomplete forms change nothing");
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
        for (const auto& fields : cases) {
            const auto result = client.post(fields);
            ASSERT_TRUE(result);
            EXPECT_EQ(result->status, 200);
            EXPECT_TRUE(isErrorPage(result->body)) << "form " << &fields - cases;
        }
        EXPECT_TRUE(isErrorPage(client.page(accountsQuery("modifypost2", 1, 1) +
                                            "&subject=x&message=changed&nextaction=post")))
            << "a GET must not save";
        const auto page = client.page(accountsQuery("display", 1));
        EXPECT_FALSE(contains(page, "changed"));
        EXPECT_EQ(countOf(page, kPostStart), 1u);
    }
    {
        SCOPED_TRACE("user text is escaped everywhere it is shown");
        const std::string hostile = "<script>alert(1)</script>";
        const auto thread = threadOfLocation(
            client.post(postForm("post2", 0, 0, hostile + "\"'", hostile + "\xFF")));
        for (const auto& page :
             {client.page(accountsQuery("display", thread)), client.page("board=accounts"),
              client.page(accountsQuery("modifypost", thread, thread))}) {
            EXPECT_FALSE(contains(page, hostile));
            EXPECT_TRUE(contains(page, "&lt;script&gt;alert(1)&lt;/script&gt;"));
        }
        EXPECT_TRUE(
            contains(client.page(accountsQuery("display", thread)), "&lt;/script&gt;\xEF\xBF\xBD"));
    }
}

TEST(BoardServerSession, LoginCookieNamesTheUserInPageVariables) {
    ServedForum client(1);
    const auto login = [&](const char* user, const char* password) {
        return client.post({{"action", "login2"},
                            {"board", "accounts"},
                            {"username", user},
                            {"password", password}});
    };
    const auto wrong = login("teller", "no");
    ASSERT_TRUE(wrong);
    EXPECT_FALSE(wrong->has_header("Set-Cookie"));
    EXPECT_TRUE(contains(wrong->body, userVariable("Guest")));
    EXPECT_EQ(login("TELLER", "teller")->status, 303) << "user names are matched in any case";
    const auto index = client.page("board=accounts");
    EXPECT_TRUE(contains(index, userVariable("teller")));
    EXPECT_TRUE(contains(index, "var pb_displayname = \"The teller\";"));
    client.get("action=logout");
    EXPECT_TRUE(contains(client.page("board=accounts"), userVariable("Guest")));

    httplib::Client forged("127.0.0.1", client.server.port());
    const auto page = forged.Get("/index.cgi?board=accounts",
                                 {{"Host", kForumHost}, {"Cookie", "zentab_board_session=0123"}});
    ASSERT_TRUE(page);
    EXPECT_TRUE(contains(page->body, userVariable("Guest")));
}

TEST(BoardServerRights, PagesOfferExactlyWhatTheServerAllows) {
    const struct {
        const char* user; // empty: guest
        bool mayPost, mayModifyOwn /* thread 1 is member's */, mayModifyOther, mayDelete;
    } cases[] = {{"", false, false, false, false},
                 {"member", true, true, false, false},
                 {"other", true, false, false, false},
                 {"teller", true, true, true, true},
                 {"admin", true, true, true, true}};
    const auto has = [](const std::string& page, const char* part) {
        return page.find(part) != std::string::npos;
    };
    for (const auto& role : cases) {
        SCOPED_TRACE(*role.user ? role.user : "guest");
        ServedForum client(3, role.user);
        const auto isForm = [&](int thread) {
            return has(titleOf(client.page(accountsQuery("modifypost", thread, thread))),
                       "Modify Post");
        };
        EXPECT_EQ(has(client.page("board=accounts"), "newthread.gif"), role.mayPost);
        const auto own = client.page(accountsQuery("display", 1));
        EXPECT_EQ(has(own, "modify.gif"), role.mayModifyOwn);
        EXPECT_EQ(has(client.page(accountsQuery("display", 2)), "modify.gif"), role.mayModifyOther);
        EXPECT_EQ(has(own, "delete.gif"), role.mayDelete);
        EXPECT_EQ(isForm(1), role.mayModifyOwn);
        EXPECT_EQ(isForm(2), role.mayModifyOther);
        EXPECT_EQ(has(titleOf(client.page("board=accounts&action=post")), "Post New Thread"),
                  role.mayPost);
        EXPECT_EQ(threadOfLocation(client.post(postForm("post2", 0, 0, "New", "Galleons: 1"))),
                  role.mayPost ? 4 : 0);

        const auto saved = client.post(postForm("modifypost2", 2, 2, "Account 2", "Galleons: 99"));
        ASSERT_TRUE(saved);
        EXPECT_EQ(saved->status == 303, role.mayModifyOther);
        EXPECT_EQ(has(client.page(accountsQuery("display", 2)), "Galleons: 99"),
                  role.mayModifyOther);
        client.get(accountsQuery("deletepost", 3, 3));
        EXPECT_EQ(isErrorPage(client.page(accountsQuery("display", 3))), role.mayDelete);
    }
}

} // namespace
} // namespace zentab::board::testing
