#include "board_test_support.h"

#include <gtest/gtest.h>

namespace zentab::board::testing {
namespace {

TEST(BoardServerSession, LoginCookieNamesTheUserInPageVariables) {
    TestServer server(smallState(3));
    ForumClient client(server.port());

    const auto guestLogin = client.page("action=login&board=accounts");
    EXPECT_NE(guestLogin.find("var pb_username = \"Guest\";"), std::string::npos);
    EXPECT_NE(guestLogin.find("var pb_displayname = \"Guest\";"), std::string::npos);
    for (const auto* part : {"name=\"loginform\"", "id=\"username\"", "id=\"password\""}) {
        EXPECT_NE(guestLogin.find(part), std::string::npos) << part;
    }

    const auto login = client.post({{"action", "login2"},
                                    {"board", "accounts"},
                                    {"username", "TELLER"},
                                    {"password", "teller"}});
    ASSERT_TRUE(login);
    EXPECT_EQ(login->status, 303);
    EXPECT_EQ(login->get_header_value("Location"),
              "http://testbank.proboards.com/index.cgi?board=accounts");

    const auto index = client.page("board=accounts");
    EXPECT_NE(index.find("var pb_username = \"teller\";"), std::string::npos);
    EXPECT_NE(index.find("var pb_displayname = \"The teller\";"), std::string::npos);
    EXPECT_NE(client.page("action=login&board=accounts").find("already logged in"),
              std::string::npos);

    client.get("action=logout");
    EXPECT_NE(client.page("board=accounts").find("var pb_username = \"Guest\";"),
              std::string::npos);
}

TEST(BoardServerSession, WrongPasswordOrForeignSessionStaysGuest) {
    TestServer server(smallState(3));
    ForumClient client(server.port());
    const auto result = client.post({{"action", "login2"},
                                     {"board", "accounts"},
                                     {"username", "teller"},
                                     {"password", "nope"}});
    ASSERT_TRUE(result);
    EXPECT_FALSE(result->has_header("Set-Cookie"));
    EXPECT_NE(titleOf(result->body).find("An Error Has Occurred"), std::string::npos);
    EXPECT_NE(result->body.find("var pb_username = \"Guest\";"), std::string::npos);

    httplib::Client forged("127.0.0.1", server.port());
    const auto page = forged.Get("/index.cgi?board=accounts",
                                 {{"Host", kForumHost}, {"Cookie", "zentab_board_session=0123"}});
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("var pb_username = \"Guest\";"), std::string::npos);
}

struct RightsCase {
    const char* user; // empty: guest
    bool mayPost;
    bool mayModifyOwn;   // thread 1 belongs to member
    bool mayModifyOther; // thread 2 belongs to teller
    bool mayDelete;
};

void PrintTo(const RightsCase& c, std::ostream* out) {
    *out << (*c.user ? c.user : "guest");
}

class BoardServerRights : public ::testing::TestWithParam<RightsCase> {};

TEST_P(BoardServerRights, PagesOfferExactlyWhatTheServerAllows) {
    const auto& role = GetParam();
    TestServer server(smallState(3));
    ForumClient client(server.port());
    if (*role.user != '\0') {
        ASSERT_TRUE(client.login(role.user));
    }
    const auto has = [](const std::string& page, const char* part) {
        return page.find(part) != std::string::npos;
    };
    const auto isForm = [&](const std::string& query) {
        return has(titleOf(client.page(query)), "Modify Post");
    };

    EXPECT_EQ(has(client.page("board=accounts"), "newthread.gif"), role.mayPost);
    const auto own = client.page("board=accounts&action=display&thread=1");
    const auto other = client.page("board=accounts&action=display&thread=2");
    EXPECT_EQ(has(own, "modify.gif"), role.mayModifyOwn);
    EXPECT_EQ(has(other, "modify.gif"), role.mayModifyOther);
    EXPECT_EQ(has(own, "delete.gif"), role.mayDelete);
    EXPECT_EQ(isForm("board=accounts&action=modifypost&thread=1&post=1"), role.mayModifyOwn);
    EXPECT_EQ(isForm("board=accounts&action=modifypost&thread=2&post=2"), role.mayModifyOther);
    EXPECT_EQ(has(titleOf(client.page("board=accounts&action=post")), "Post New Thread"),
              role.mayPost);

    const auto saved = client.post({{"action", "modifypost2"},
                                    {"board", "accounts"},
                                    {"thread", "2"},
                                    {"post", "2"},
                                    {"subject", "Account 2"},
                                    {"message", "Galleons: 99"},
                                    {"nextaction", "post"}});
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->status == 303, role.mayModifyOther);
    EXPECT_EQ(has(client.page("board=accounts&action=display&thread=2"), "Galleons: 99"),
              role.mayModifyOther);

    client.get("board=accounts&action=deletepost&thread=3&post=3");
    const auto gone = client.page("board=accounts&action=display&thread=3");
    EXPECT_EQ(has(titleOf(gone), "An Error Has Occurred"), role.mayDelete);
}

INSTANTIATE_TEST_SUITE_P(BoardServer, BoardServerRights,
                         ::testing::Values(RightsCase{"", false, false, false, false},
                                           RightsCase{"member", true, true, false, false},
                                           RightsCase{"other", true, false, false, false},
                                           RightsCase{"teller", true, true, true, true},
                                           RightsCase{"admin", true, true, true, true}),
                         [](const auto& info) {
                             return std::string(*info.param.user ? info.param.user : "guest");
                         });

} // namespace
} // namespace zentab::board::testing
