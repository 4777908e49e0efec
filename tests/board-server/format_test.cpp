#include "board_json.h"
#include "board_test_support.h"
#include "forum_dates.h"
#include "markup.h"
#include "text.h"

#include <regex>
#include <tuple>

namespace zentab::board {
namespace {

// What users type reaches pages and the state file only through these conversions; an empty
// expectation stands for the input left as it is.
TEST(BoardServerText, ConversionsOfUserText) {
    using Convert = std::string (*)(std::string_view);
    const std::string fffd = "\xEF\xBF\xBD"; // the replacement character
    const std::pair<Convert, std::vector<std::pair<std::string, std::string>>> tables[] = {
        {renderMarkup,
         {{"<script>alert('x')</script> & \"q\"",
           "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; &quot;q&quot;"},
          {"one\r\ntwo\nthree\rfour", "one<br>two<br>three<br>four"},
          {"[b]bold[/b] [I]it[/i] [u]u[/u] [s]s[/s]", "<b>bold</b> <i>it</i> <u>u</u> <s>s</s>"},
          {"[url=http://x.example.org/?a=1&b=2]site[/url]",
           "<a href=\"http://x.example.org/?a=1&amp;b=2\" target=\"_blank\">site</a>"},
          {"[url=index.cgi?action=viewprofile&user=jdoe ]42 [/url]",
           "<a href=\"index.cgi?action=viewprofile&amp;user=jdoe\" target=\"_blank\">42 </a>"},
          {"[url]http://a.test[/url]",
           "<a href=\"http://a.test\" target=\"_blank\">http://a.test</a>"},
          {"[url=javascript:alert(1)]x[/url][url] JavaScript:x[/url]", ""},
          {"[color=red]r[/color][color=#0a0]g[/color][color=red\" onmouseover=\"x]t[/color]",
           "<font color=\"red\">r</font><font color=\"#0a0\">g</font>"
           "[color=red&quot; onmouseover=&quot;x]t[/color]"},
          {"[size=1]\xC2\xAB [font=serif]sig[/font]\xC2\xBB[/size]",
           "<font size=\"1\">\xC2\xAB <font face=\"serif\">sig</font>\xC2\xBB</font>"},
          {"[list]\r\n[*]one\r\n[*]two\r\n[/list]", "<ul><br><li>one<br><li>two<br></ul>"},
          {"[quote]q[/quote] [quote=x]y[/quote]", "<blockquote>q</blockquote> [quote=x]y[/quote]"},
          {"[b][i]x[/b] y [b]never closed", "<b><i>x</i></b> y <b>never closed</b>"},
          {"[size=9]9[/size] [*]no list [/b]stray [nope]tag[/nope] [unclosed", ""}}},
        {validUtf8,
         {{"plain caf\xC3\xA9 \xF0\x9F\x98\x80", ""},
          {"\xFF\xFE overlong \xC0\xAF", fffd + fffd + " overlong " + fffd + fffd},
          {"surrogate \xED\xA0\x80 cut \xC3", "surrogate " + fffd + fffd + fffd + " cut " + fffd}}},
        {crlfLines, {{"a\nb\rc\r\nd\r\n\r\n", "a\r\nb\r\nc\r\nd\r\n\r\n"}}},
        {jsString, {{"a\"b\\</script>\n", "\"a\\\"b\\\\\\u003c/script\\u003e\\u000a\""}}},
    };
    for (const auto& [convert, cases] : tables)
        for (const auto& [input, expected] : cases)
            EXPECT_EQ(convert(input), expected.empty() ? input : expected) << input;
}

TEST(BoardServerDates, RecentDaysUseDayNamesAndSeedTimesCountDaysBack) {
    const auto now = localTimeDaysAgo(unixNow(), 0, 15, 30);
    // Days ago, hour and minute, and how the forum shows that time.
    const std::tuple<int, int, int, const char*> cases[] = {
        {0, 9, 5, R"(<B>Today</B> at 9:05am)"},
        {0, 12, 0, R"(<B>Today</B> at 12:00pm)"},
        {1, 16, 45, R"(<B>Yesterday</B> at 4:45pm)"},
        {2, 0, 7, R"([A-Z][a-z]{2} \d{2}, \d{4}, 12:07am)"},
        {400, 23, 59, R"([A-Z][a-z]{2} \d{2}, \d{4}, 11:59pm)"},
    };
    for (const auto& [daysAgo, hour, minute, pattern] : cases) {
        const auto text = forumDate(localTimeDaysAgo(now, daysAgo, hour, minute), now);
        EXPECT_TRUE(std::regex_match(text, std::regex(pattern))) << text;
    }
    // The demo seed dates its posts this way, so that they stay recent.
    auto document = testing::smallForum(2);
    auto& threads = document["forums"][0]["boards"][0]["threads"];
    threads[0]["posts"][0]["time"] = "-1d 16:45";
    threads[1]["posts"][0]["time"] = "-0d 23:59";
    const auto read = stateFromJson(document, now).forums.at(0).boards.at(0).threads;
    EXPECT_EQ(read.at(0).posts.at(0).time, localTimeDaysAgo(now, 1, 16, 45));
    EXPECT_EQ(read.at(1).posts.at(0).time, now) << "a time later today is taken as now";
}

} // namespace
} // namespace zentab::board
