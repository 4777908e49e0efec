#include "forum_dates.h"
#include "markup.h"
#include "text.h"

#include <gtest/gtest.h>
#include <regex>

namespace zentab::board {
namespace {

struct MarkupCase {
    const char* markup;
    const char* html;
};

void PrintTo(const MarkupCase& c, std::ostream* out) {
    *out << c.markup;
}

class MarkupRendering : public ::testing::TestWithParam<MarkupCase> {};

TEST_P(MarkupRendering, RendersEscapedHtml) {
    EXPECT_EQ(renderMarkup(GetParam().markup), GetParam().html);
}

INSTANTIATE_TEST_SUITE_P(
    BoardServer, MarkupRendering,
    ::testing::Values(
        MarkupCase{"<script>alert('x')</script> & \"q\"",
                   "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; &quot;q&quot;"},
        MarkupCase{"one\r\ntwo\nthree\rfour", "one<br>two<br>three<br>four"},
        MarkupCase{"[b]bold[/b] [I]it[/i] [u]u[/u] [s]s[/s]",
                   "<b>bold</b> <i>it</i> <u>u</u> <s>s</s>"},
        MarkupCase{"[url=http://x.example.org/?a=1&b=2]site[/url]",
                   "<a href=\"http://x.example.org/?a=1&amp;b=2\" target=\"_blank\">site</a>"},
        MarkupCase{
            "[url=index.cgi?action=viewprofile&user=jdoe ]42 [/url]",
            "<a href=\"index.cgi?action=viewprofile&amp;user=jdoe\" target=\"_blank\">42 </a>"},
        MarkupCase{"[url]https://x.example.org[/url]",
                   "<a href=\"https://x.example.org\" target=\"_blank\">https://x.example.org</a>"},
        MarkupCase{"[url=javascript:alert(1)]x[/url]", "[url=javascript:alert(1)]x[/url]"},
        MarkupCase{"[url] JavaScript:alert(1)[/url]", "[url] JavaScript:alert(1)[/url]"},
        MarkupCase{"[color=red]r[/color][color=#0a0]g[/color]",
                   "<font color=\"red\">r</font><font color=\"#0a0\">g</font>"},
        MarkupCase{"[color=red\" onmouseover=\"x]t[/color]",
                   "[color=red&quot; onmouseover=&quot;x]t[/color]"},
        MarkupCase{"[size=1]\xC2\xAB [font=Garamond]sig[/font]\xC2\xBB[/size]",
                   "<font size=\"1\">\xC2\xAB <font face=\"Garamond\">sig</font>\xC2\xBB</font>"},
        MarkupCase{"[size=9]big[/size]", "[size=9]big[/size]"},
        MarkupCase{"[list]\r\n[*]one\r\n[*]two\r\n[/list]", "<ul><br><li>one<br><li>two<br></ul>"},
        MarkupCase{"[*]no list", "[*]no list"}, MarkupCase{"[b][i]x[/b] y", "<b><i>x</i></b> y"},
        MarkupCase{"[b]never closed", "<b>never closed</b>"},
        MarkupCase{"[/b]stray [nope]tag[/nope]", "[/b]stray [nope]tag[/nope]"},
        MarkupCase{"Galleons: 3 [unclosed", "Galleons: 3 [unclosed"}));

TEST(BoardServerText, RepairsMalformedUtf8) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "plain"},
        {"caf\xC3\xA9 \xF0\x9F\x98\x80", "caf\xC3\xA9 \xF0\x9F\x98\x80"},
        {"cut \xC3", "cut \xEF\xBF\xBD"},
        {"\xFF\xFE", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"overlong \xC0\xAF", "overlong \xEF\xBF\xBD\xEF\xBF\xBD"},
        {"surrogate \xED\xA0\x80", "surrogate \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(validUtf8(input), expected) << input;
    }
}

TEST(BoardServerText, NormalisesLineEndingsToCrLf) {
    EXPECT_EQ(crlfLines("a\nb\rc\r\nd\r\n\r\n"), "a\r\nb\r\nc\r\nd\r\n\r\n");
}

TEST(BoardServerText, ScriptStringsCannotCloseTheScript) {
    EXPECT_EQ(jsString("a\"b\\</script>\n"), "\"a\\\"b\\\\\\u003c/script\\u003e\\u000a\"");
}

TEST(BoardServerDates, RecentDaysUseDayNames) {
    const auto now = localTimeDaysAgo(unixNow(), 0, 15, 30);
    struct Case {
        int daysAgo, hour, minute;
        const char* pattern;
    };
    const Case cases[] = {
        {0, 9, 5, R"(<B>Today</B> at 9:05am)"},
        {0, 12, 0, R"(<B>Today</B> at 12:00pm)"},
        {1, 16, 45, R"(<B>Yesterday</B> at 4:45pm)"},
        {2, 0, 7, R"([A-Z][a-z]{2} \d{2}, \d{4}, 12:07am)"},
        {400, 23, 59, R"([A-Z][a-z]{2} \d{2}, \d{4}, 11:59pm)"},
    };
    for (const auto& c : cases) {
        const auto text = forumDate(localTimeDaysAgo(now, c.daysAgo, c.hour, c.minute), now);
        EXPECT_TRUE(std::regex_match(text, std::regex(c.pattern))) << text;
    }
}

} // namespace
} // namespace zentab::board
