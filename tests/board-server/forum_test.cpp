#include "board_test_support.h"
#include "text.h"

#include <gtest/gtest.h>

namespace zentab::board::testing {
namespace {

const std::string kPostStart = "<!-- google_ad_section_start -->";

std::string userVariable(const std::string& user) {
    return "var pb_username = \"" + user + "\";";
}

std::string textareaOf(const std::string& page) {
    const auto open = page.find('>', page.find("<textarea name=\"message\" id=\"message\""));
    return page.substr(open + 1, page.find("</textarea>") - open - 1);
}

TEST(BoardServerIndex, SeventhTableListsTwentyThreadsPerPage) {
    ServedForum client(23);
    const auto first = client.page("board=accounts&page=1");
    const auto table = nthTable(first, 7);
    EXPECT_TRUE(contains(table, ">Subject</td>"));
    EXPECT_EQ(countOf(table, "action=display&amp;thread="), 20u);
    const auto oldest = table.find("thread=20\">Account 20</a>");
    EXPECT_LT(table.find("thread=1\">Account 1</a>"), oldest);
    EXPECT_NE(oldest, std::string::npos);
    EXPECT_EQ(client.page("board=accounts"), first);
    EXPECT_EQ(titleOf(client.page("board=Accounts&page=1")), "Test Bank - Accounts");
    const auto second = nthTable(client.page("board=accounts&page=2"), 7);
    EXPECT_EQ(countOf(second, "action=display&amp;thread="), 3u);
    EXPECT_TRUE(contains(second, "thread=23\">Account 23</a>"));

    ServedForum empty(0);
    const auto none = nthTable(empty.page("board=accounts&page=1"), 7);
    EXPECT_TRUE(contains(none, ">Subject</td>"));
    EXPECT_FALSE(contains(none, "thread="));
    EXPECT_TRUE(isErrorPage(empty.page("board=accounts&page=2")));
}

TEST(BoardServerIndex, ErrorPageForEveryBadRequest) {
    ServedForum client(23);
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
}

TEST(BoardServerMembers, ListFiltersByFirstLetterOfTheName) {
    ServedForum client(1);
    const auto zed = client.page("action=members&view=letter&letter=z");
    EXPECT_TRUE(contains(zed, "user=other\">Zed Other</a>"));
    EXPECT_FALSE(contains(zed, "The teller"));
    const auto t = client.page("action=members&view=letter&letter=T");
    EXPECT_EQ(countOf(t, "action=viewprofile&amp;user="), 3u);
    EXPECT_FALSE(contains(t, "Zed Other"));
    EXPECT_TRUE(contains(client.page("action=viewprofile&user=member"), "Posts: 1"));
}

TEST(BoardServerThread, PageCarriesDateBodyAndRightsWhereReadersCutThem) {
    ServedForum client(2, "teller");
    const auto page = client.page(accountsQuery("display", 2));
    EXPECT_TRUE(contains(titleOf(page), "Account 2"));
    const auto started = page.find("Thread Started on ");
    ASSERT_NE(started, std::string::npos);
    const auto guillemet = page.find("&#187;", started);
    const auto date = page.substr(started + 18, guillemet - started - 18);
    EXPECT_TRUE(date.starts_with("<B>Today</B> at ") || date.starts_with("<B>Yesterday</B> at "))
        << date;

    const auto bodyStart = page.find(kPostStart, guillemet) + kPostStart.size();
    const auto bodyEnd = page.find("<!-- google_ad_section_end -->", bodyStart);
    ASSERT_NE(bodyEnd, std::string::npos);
    EXPECT_EQ(page.substr(bodyStart, bodyEnd - bodyStart),
              "Galleons: 2<br>Sickles: 1<br>Knuts: 2<br>");
    for (const auto* button : {"modify.gif", "delete.gif"}) {
        EXPECT_TRUE(contains(page.substr(0, bodyEnd), button));
    }
    EXPECT_FALSE(contains(page, "<i>Last Edit:</i>"));
}

// Long enough that httplib's own 8 KiB limit on form bodies would cut it.
std::string longAccountPost() {
    std::string message = "\r\nGalleons: 7\nSickles: 0\r\nKnuts: 5\r\n[b]paid[/b] <i>&amp;[list]";
    while (message.size() < 40000) {
        message += "\r\n[*]Dec 03,2026, 1:09:38 am  (UTC)\nAmount: [color=red]- 5 Galleons[/color]";
    }
    return message + "\r\n[/list]";
}

TEST(BoardServerPosting, EditRoundTripKeepsRawTextAndNotesTheEditor) {
    ServedForum client(2, "teller");
    const auto editForm = client.page(accountsQuery("modifypost", 1, 1));
    EXPECT_TRUE(contains(titleOf(editForm), "Modify Post"));
    for (const auto* part :
         {"name=\"postForm\"", "id=\"postForm\"", "id=\"subject\" size=\"50\" value=\"Account 1\"",
          "id=\"nextaction\" value=\"post\""}) {
        EXPECT_TRUE(contains(editForm, part));
    }
    EXPECT_EQ(textareaOf(editForm), "\nGalleons: 1\r\nSickles: 1\r\nKnuts: 2\r\n");

    const auto message = longAccountPost();
    const auto saved = client.post(postForm("modifypost2", 1, 1, "Account 1", message));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->status, 303);
    EXPECT_EQ(threadOfLocation(saved), 1);

    const auto page = client.page(accountsQuery("display", 1));
    EXPECT_TRUE(contains(page, kPostStart +
                                   "<br>Galleons: 7<br>Sickles: 0<br>Knuts: 5<br><b>paid</b> "
                                   "&lt;i&gt;&amp;amp;<ul><br><li>Dec 03,2026"));
    const auto note = page.find("<i>Last Edit:</i> <B>Today</B> at ");
    ASSERT_NE(note, std::string::npos);
    const auto by = page.find(" by ", note);
    EXPECT_EQ(page.substr(by, page.find("</font>", by) + 7 - by),
              " by <a href=\"index.cgi?action=viewprofile&amp;user=teller\"><font "
              "color=\"#35557a\">The teller</font>");
    EXPECT_EQ(textareaOf(client.page(accountsQuery("modifypost", 1, 1))),
              "\n" + htmlEscape(crlfLines(message)));
}

TEST(BoardServerPosting, NewThreadAndReplyLandInTheirThreads) {
    ServedForum client(2, "member");
    EXPECT_EQ(threadOfLocation(client.post(postForm("post2", 0, 0, "Fresh Account", "G: 30"))), 3);
    EXPECT_TRUE(contains(titleOf(client.page(accountsQuery("display", 3))), "Fresh Account"));
    EXPECT_TRUE(
        contains(nthTable(client.page("board=accounts"), 7), "thread=3\">Fresh Account</a>"));

    const auto replyForm = client.page(accountsQuery("post", 3, 3));
    EXPECT_TRUE(contains(titleOf(replyForm), "Post Reply"));
    EXPECT_TRUE(contains(replyForm, "value=\"Re: Fresh Account\""));

    const auto replied = client.post(postForm("post2", 3, 0, "Archive: Fresh", "[list][/list]"));
    EXPECT_EQ(threadOfLocation(replied), 3);
    const auto page = client.page(accountsQuery("display", 3));
    EXPECT_EQ(countOf(page, kPostStart), 2u);
    EXPECT_TRUE(contains(page, "Reply #1 on <B>Today</B>"));
    EXPECT_TRUE(contains(page, "action=modifypost&amp;thread=3&amp;post=4"));
}

TEST(BoardServerPosting, DeletingAReplyKeepsTheThreadDeletingTheFirstPostRemovesIt) {
    ServedForum client(2, "teller");
    client.post(postForm("post2", 1, 0, "Re: Account 1", "note"));

    EXPECT_EQ(threadOfLocation(client.get(accountsQuery("deletepost", 1, 3))), 1);
    EXPECT_EQ(countOf(client.page(accountsQuery("display", 1)), kPostStart), 1u);

    const auto first = client.get(accountsQuery("deletepost", 1, 1));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->get_header_value("Location"),
              "http://testbank.proboards.com/index.cgi?board=accounts");
    EXPECT_FALSE(contains(nthTable(client.page("board=accounts"), 7), "thread=1\""));
    EXPECT_TRUE(isErrorPage(client.page(accountsQuery("display", 1))));
}

TEST(BoardServerPosting, IncompleteFormsChangeNothing) {
    ServedForum client(1, "teller");
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

TEST(BoardServerPosting, UserTextIsEscapedEverywhereItIsShown) {
    ServedForum client(1, "member");
    const std::string hostile = "<script>alert(1)</script>";
    client.post(postForm("post2", 0, 0, hostile + "\"'", hostile + "\xFF"));
    for (const auto& page :
         {client.page(accountsQuery("display", 2)), client.page("board=accounts"),
          client.page(accountsQuery("modifypost", 2, 2))}) {
        EXPECT_FALSE(contains(page, hostile));
        EXPECT_TRUE(contains(page, "&lt;script&gt;alert(1)&lt;/script&gt;"));
    }
    EXPECT_TRUE(contains(client.page(accountsQuery("display", 2)), "&lt;/script&gt;\xEF\xBF\xBD"));
}

TEST(BoardServerSession, LoginCookieNamesTheUserInPageVariables) {
    ServedForum client(3);
    const auto guestLogin = client.page("action=login&board=accounts");
    for (const auto* part : {"var pb_username = \"Guest\";", "var pb_displayname = \"Guest\";",
                             "name=\"loginform\"", "id=\"username\"", "id=\"password\""}) {
        EXPECT_TRUE(contains(guestLogin, part));
    }
    const auto wrong = client.post(
        {{"action", "login2"}, {"board", "accounts"}, {"username", "teller"}, {"password", "no"}});
    ASSERT_TRUE(wrong);
    EXPECT_FALSE(wrong->has_header("Set-Cookie"));
    EXPECT_TRUE(isErrorPage(wrong->body));
    EXPECT_TRUE(contains(wrong->body, userVariable("Guest")));

    const auto login = client.post({{"action", "login2"},
                                    {"board", "accounts"},
                                    {"username", "TELLER"},
                                    {"password", "teller"}});
    ASSERT_TRUE(login);
    EXPECT_EQ(login->status, 303) << "user names are matched in any case";
    const auto index = client.page("board=accounts");
    EXPECT_TRUE(contains(index, userVariable("teller")));
    EXPECT_TRUE(contains(index, "var pb_displayname = \"The teller\";"));
    EXPECT_TRUE(contains(client.page("action=login&board=accounts"), "already logged in"));
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
        bool mayPost;
        bool mayModifyOwn;   // thread 1 belongs to member
        bool mayModifyOther; // thread 2 belongs to teller
        bool mayDelete;
    } cases[] = {{"", false, false, false, false},
                 {"member", true, true, false, false},
                 {"other", true, false, false, false},
                 {"teller", true, true, true, true},
                 {"admin", true, true, true, true}};
    for (const auto& role : cases) {
        SCOPED_TRACE(*role.user ? role.user : "guest");
        ServedForum client(3, role.user);
        const auto has = [](const std::string& page, const char* part) {
            return page.find(part) != std::string::npos;
        };
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
