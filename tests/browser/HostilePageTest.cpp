// Pages built to make the parser work or allocate without bound: each ends as its
// document or as an error document that says the page is too complex, and never
// holds more nodes than the budget.
#include "BrowserLimits.h"
#include "Fixtures.h"

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

TEST(BrowserHostilePage, EndsWithinTheBudget) {
    const struct {
        const char* name;
        QString markup;
        bool tooComplex;
    } cases[] = {
        {"100,000 unclosed blocks", many("<div>", 100'000), true},
        {"200,000 unclosed blocks with attributes", many("<div class=post>", 200'000), true},
        {"100,000 unclosed inline elements", many("<span>", 100'000), true},
        {"formatting reopened in every paragraph", distinctBold(1000) + many("<p>x", 3000), true},
        {"shallow formatting reopened into too many nodes", distinctBold(300) + many("<p>x", 2000),
         true},
        {"misnested formatting that deepens", many("<b><div></b>", 50'000), true},
        {"list items left open through lists", many("<li><ul></li>", 50'000), true},
        {"blocks after a foreign style", "<svg><style>" + many("<div>", 100'000), true},
        {"more nodes than the budget", many("<i>x</i>", 250'000), true},
        {"tables nested 200 deep", many("<table><tr><td>", 200), true},
        {"markup that fails the parser's own checks", "<table><math><select><math><mi><select><tr>",
         true},
        {"a long forum page", longForumPage(), false},
        {"tag soup of an old board", tagSoup(), false},
        {"nesting within the budget", many("<div>", 400) + "end of page", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const HtmlDocument document = page(c.markup);
        EXPECT_LE(document.body().tree()->nodes.size(), size_t(browser::kMaxParseNodes));
        if (c.tooComplex) {
            EXPECT_EQ(document.parseFailure(), "The page is too complex to show");
            EXPECT_EQ(document.title(), "An Error Has Occurred - The page is too complex to show");
        } else {
            EXPECT_EQ(document.parseFailure(), QString());
            EXPECT_TRUE(document.body().innerText().endsWith("end of page"));
        }
    }
}

} // namespace
