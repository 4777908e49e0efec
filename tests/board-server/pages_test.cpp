#include "board_test_support.h"

#include <gtest/gtest.h>
#include <vector>

namespace zentab::board::testing {
namespace {

// Rows of a table that link to a thread, each split into its cells.
std::vector<std::vector<std::string>> threadRows(const std::string& table) {
    std::vector<std::vector<std::string>> rows;
    for (auto at = table.find("<tr>"); at != std::string::npos; at = table.find("<tr>", at + 1)) {
        const auto row = table.substr(at, table.find("</tr>", at) - at);
        std::vector<std::string> cells;
        for (auto cell = row.find("<td"); cell != std::string::npos;
             cell = row.find("<td", cell + 1)) {
            cells.push_back(row.substr(cell, row.find("</td>", cell) - cell));
        }
        if (row.find("thread=") != std::string::npos) {
            rows.push_back(cells);
        }
    }
    return rows;
}

TEST(BoardServerIndex, SeventhTableListsTwentyThreadsPerPage) {
    TestServer server(smallState(23));
    ForumClient client(server.port());

    const auto first = client.page("board=accounts&page=1");
    const auto table = nthTable(first, 7);
    EXPECT_NE(table.find(">Subject</td>"), std::string::npos);
    const auto rows = threadRows(table);
    ASSERT_EQ(rows.size(), 20u);
    EXPECT_NE(rows.front()[2].find("thread=1\">Account 1</a>"), std::string::npos);
    EXPECT_NE(rows.back()[2].find("thread=20\">Account 20</a>"), std::string::npos);
    EXPECT_EQ(client.page("board=accounts"), first);
    EXPECT_EQ(titleOf(client.page("board=Accounts&page=1")), "Test Bank - Accounts");

    const auto second = threadRows(nthTable(client.page("board=accounts&page=2"), 7));
    ASSERT_EQ(second.size(), 3u);
    EXPECT_NE(second.back()[2].find("Account 23"), std::string::npos);
}

TEST(BoardServerIndex, ErrorPageForEveryBadRequest) {
    TestServer server(smallState(23));
    ForumClient client(server.port());
    for (const auto* query :
         {"board=accounts&page=3", "board=accounts&page=0", "board=accounts&page=2x",
          "board=nosuch", "board=accounts&action=display&thread=999",
          "board=accounts&action=display&thread=abc", "board=accounts&action=bogus",
          "board=accounts&action=modifypost&thread=1&post=77"}) {
        const auto result = client.get(query);
        ASSERT_TRUE(result) << query;
        EXPECT_EQ(result->status, 200) << query;
        EXPECT_NE(titleOf(result->body).find("An Error Has Occurred"), std::string::npos) << query;
        EXPECT_NE(result->body.find("var pb_username = \"Guest\";"), std::string::npos) << query;
    }
}

TEST(BoardServerIndex, EmptyBoardHasOneEmptyPage) {
    TestServer server(smallState(0));
    ForumClient client(server.port());
    const auto page = client.page("board=accounts&page=1");
    EXPECT_NE(nthTable(page, 7).find(">Subject</td>"), std::string::npos);
    EXPECT_TRUE(threadRows(nthTable(page, 7)).empty());
    EXPECT_NE(titleOf(client.page("board=accounts&page=2")).find("An Error Has Occurred"),
              std::string::npos);
}

TEST(BoardServerThread, PageCarriesDateBodyAndRightsWhereReadersCutThem) {
    TestServer server(smallState(2));
    ForumClient client(server.port());
    ASSERT_TRUE(client.login("teller"));
    const auto page = client.page("board=accounts&action=display&thread=2");

    EXPECT_NE(titleOf(page).find("Account 2"), std::string::npos);
    const auto started = page.find("Thread Started on ");
    ASSERT_NE(started, std::string::npos);
    const auto guillemet = page.find("&#187;", started);
    const auto date = page.substr(started + 18, guillemet - started - 18);
    EXPECT_TRUE(date.find("<B>Today</B> at ") == 0 || date.find("<B>Yesterday</B> at ") == 0)
        << date;

    const std::string start = "<!-- google_ad_section_start -->";
    const auto bodyStart = page.find(start, guillemet);
    const auto bodyEnd = page.find("<!-- google_ad_section_end -->", bodyStart);
    ASSERT_NE(bodyEnd, std::string::npos);
    EXPECT_EQ(page.substr(bodyStart + start.size(), bodyEnd - bodyStart - start.size()),
              "Galleons: 2<br>Sickles: 1<br>Knuts: 2<br>");

    const auto head = page.substr(0, page.find("google_ad_section_end"));
    EXPECT_NE(head.find("modify.gif"), std::string::npos);
    EXPECT_NE(head.find("delete.gif"), std::string::npos);
    EXPECT_EQ(page.find("<i>Last Edit:</i>"), std::string::npos);
}

TEST(BoardServerMembers, ListFiltersByFirstLetterOfTheName) {
    TestServer server(smallState(1));
    ForumClient client(server.port());
    const auto zed = client.page("action=members&view=letter&letter=z");
    EXPECT_NE(zed.find("user=other\">Zed Other</a>"), std::string::npos);
    EXPECT_EQ(zed.find("The teller"), std::string::npos);

    const auto t = client.page("action=members&view=letter&letter=T");
    EXPECT_EQ(countOf(t, "action=viewprofile&amp;user="), 3u);
    EXPECT_EQ(t.find("Zed Other"), std::string::npos);

    EXPECT_NE(titleOf(client.page("action=members&view=letter&letter=%3C")).find("Error"),
              std::string::npos);
    EXPECT_NE(client.page("action=viewprofile&user=member").find("Posts: 1"), std::string::npos);
}

} // namespace
} // namespace zentab::board::testing
