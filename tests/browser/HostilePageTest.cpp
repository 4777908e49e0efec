// Pages built to make the parser work or allocate without bound: each ends as its
// document or as an error document that says the page is too complex, and never
// holds more nodes than the budget.
#include "BrowserLimits.h"
#include "Fixtures.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

// Formatting elements that differ from each other, so that the parser keeps every one of them.
QString distinctBold(int count) {
    QString text = "<p>";
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("<b id=%1>").arg(i);
    return text;
}

QString longForumPage() {
    const QString account =
        "<table width=\"92%\"><tr><td class=windowbg><b><a href=\"index.cgi?"
        "action=viewprofile&amp;user=teller\">Teller</a></b></td><td>"
        "Galleons: 12<br>" +
        many("<li>Dec 05,2026<br>Amount: <font color=lime>+ 3 Galleons</font></li>", 10) +
        "</td></tr></table>";
    return "<html><head><title>Bank - Account</title></head><body>" +
           account.repeated(1'000'000 / account.size() + 1) + "<p>end of page</body></html>";
}

// What old boards and their members write: ends left to the parser, misnested formatting.
QString tagSoup() {
    return "<select name=jump>" + many("<option>board", 5000) + "</select><ul>" +
           many("<li>member", 5000) + "</ul>" + many("<p>paragraph", 5000) + "<table>" +
           many("<tr><td><font size=1><b>a</font></b><td><div><font color=red>b", 2000) +
           "</table><center><p>end of page";
}

struct HostileCase {
    const char* name;
    std::function<QString()> markup;
    bool tooComplex;
};

void PrintTo(const HostileCase& hostile, std::ostream* out) {
    *out << hostile.name;
}

class HostilePage : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostilePage, EndsWithinTheBudget) {
    const HtmlDocument document = page(GetParam().markup());
    EXPECT_LE(document.body().tree()->nodes.size(), size_t(browser::kMaxParseNodes));
    if (GetParam().tooComplex) {
        EXPECT_EQ(document.parseFailure(), "The page is too complex to show");
        EXPECT_TRUE(document.title().startsWith("An Error Has Occurred")) << document.title();
        EXPECT_TRUE(document.title().contains("too complex")) << document.title();
    } else {
        EXPECT_EQ(document.parseFailure(), QString());
        EXPECT_TRUE(document.body().innerText().endsWith("end of page"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Browser, HostilePage,
    ::testing::Values(
        HostileCase{"100,000 unclosed blocks", [] { return many("<div>", 100'000); }, true},
        HostileCase{"200,000 unclosed blocks with attributes",
                    [] { return many("<div class=post>", 200'000); }, true},
        HostileCase{"100,000 unclosed inline elements", [] { return many("<span>", 100'000); },
                    true},
        HostileCase{"formatting reopened in every paragraph",
                    [] { return distinctBold(1000) + many("<p>x", 3000); }, true},
        HostileCase{"shallow formatting reopened into too many nodes",
                    [] { return distinctBold(300) + many("<p>x", 2000); }, true},
        HostileCase{"misnested formatting that deepens",
                    [] { return many("<b><div></b>", 50'000); }, true},
        HostileCase{"list items left open through lists",
                    [] { return many("<li><ul></li>", 50'000); }, true},
        HostileCase{"blocks after a foreign style",
                    [] { return "<svg><style>" + many("<div>", 100'000); }, true},
        HostileCase{"more nodes than the budget", [] { return many("<i>x</i>", 250'000); }, true},
        HostileCase{"tables nested 200 deep", [] { return many("<table><tr><td>", 200); }, true},
        HostileCase{"markup that fails the parser's own checks",
                    [] { return QString("<table><math><select><math><mi><select><tr>"); }, true},
        HostileCase{"a long forum page", longForumPage, false},
        HostileCase{"tag soup of an old board", tagSoup, false},
        HostileCase{"nesting within the budget", [] { return many("<div>", 400) + "end of page"; },
                    false}));

} // namespace
