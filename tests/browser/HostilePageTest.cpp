// Pages built to make the parser work or allocate without bound: each ends,
// well within a deadline, as its document or as an error document that says
// the page is too complex, and never holds more nodes than the budget.
#include "BrowserLimits.h"
#include "LoopbackServer.h"
#include "Repeated.h"
#include "SharedNetwork.h"

#include <QScopeGuard>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Formatting elements that differ from each other, so that the parser keeps every one of them.
std::string distinctBold(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "<b id=" + std::to_string(i) + ">";
    return text;
}

std::string longForumPage() {
    std::string page = "<html><head><title>Bank - Account</title></head><body>";
    while (page.size() < 1'000'000) {
        page += "<table width=\"92%\"><tr><td class=windowbg><b><a href=\"index.cgi?action="
                "viewprofile&amp;user=teller\">Teller</a></b></td><td>Galleons: 12<br>";
        page +=
            repeated("<li>Dec 05,2026<br>Amount: <font color=lime>+ 3 Galleons</font></li>", 10);
        page += "</td></tr></table>";
    }
    return page + "<p>end of page</body></html>";
}

// What old boards and their members write: ends left to the parser, misnested formatting.
std::string tagSoup() {
    return "<select name=jump>" + repeated("<option>board", 5000) + "</select><ul>" +
           repeated("<li>member", 5000) + "</ul>" + repeated("<p>paragraph", 5000) + "<table>" +
           repeated("<tr><td><font size=1><b>a</font></b><td><div><font color=red>b", 2000) +
           "</table><center><p>end of page";
}

enum class Outcome { TooComplex, Parsed };

struct HostileCase {
    const char* name;
    std::function<std::string()> page;
    Outcome outcome;
};

void PrintTo(const HostileCase& hostile, std::ostream* out) {
    *out << hostile.name;
}

class HostilePage : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostilePage, EndsWithinTheBudget) {
    const std::string markup = GetParam().page();
    LoopbackServer server;
    server.servePage("/page", markup);
    server.start();
    browser::sharedNetwork();
    QStringList log;
    setBrowserLog([&](const QString& line) { log.append(line); });
    const auto restore = qScopeGuard([] { setBrowserLog(nullptr); });

    WebBrowser browser;
    ASSERT_TRUE(navigateAndWait(browser, server.url(QStringLiteral("/page"))));
    const HtmlDocument document = browser.Document();
    EXPECT_LE(document.body().tree()->nodes.size(), size_t(browser::kMaxParseNodes));
    if (GetParam().outcome == Outcome::TooComplex) {
        EXPECT_TRUE(document.title().startsWith(QStringLiteral("An Error Has Occurred")));
        EXPECT_TRUE(document.title().contains(QStringLiteral("too complex")))
            << document.title().toStdString();
        ASSERT_EQ(log.size(), 1);
        EXPECT_TRUE(log.front().contains(QStringLiteral("too complex")));
    } else {
        EXPECT_EQ(log, QStringList());
        EXPECT_TRUE(document.body().innerText().endsWith(QStringLiteral("end of page")));
    }

    const HtmlDocument again = HtmlDocument::parse(QString::fromStdString(markup), document.url(),
                                                   QStringLiteral("UTF-8"));
    EXPECT_EQ(again.title(), document.title());
    EXPECT_EQ(again.body().innerHTML(), document.body().innerHTML());
}

INSTANTIATE_TEST_SUITE_P(
    Browser, HostilePage,
    ::testing::Values(
        HostileCase{"100,000 unclosed blocks", [] { return repeated("<div>", 100'000); },
                    Outcome::TooComplex},
        HostileCase{"200,000 unclosed blocks with attributes",
                    [] { return repeated("<div class=post>", 200'000); }, Outcome::TooComplex},
        HostileCase{"100,000 unclosed inline elements", [] { return repeated("<span>", 100'000); },
                    Outcome::TooComplex},
        HostileCase{"formatting reopened in every paragraph",
                    [] { return "<p>" + distinctBold(1000) + repeated("<p>x", 3000); },
                    Outcome::TooComplex},
        HostileCase{"shallow formatting reopened into too many nodes",
                    [] { return "<p>" + distinctBold(300) + repeated("<p>x", 2000); },
                    Outcome::TooComplex},
        HostileCase{"misnested formatting that deepens",
                    [] { return repeated("<b><div></b>", 50'000); }, Outcome::TooComplex},
        HostileCase{"list items left open through lists",
                    [] { return repeated("<li><ul></li>", 50'000); }, Outcome::TooComplex},
        HostileCase{"blocks after a foreign style",
                    [] { return "<svg><style>" + repeated("<div>", 100'000); },
                    Outcome::TooComplex},
        HostileCase{"more nodes than the budget", [] { return repeated("<i>x</i>", 250'000); },
                    Outcome::TooComplex},
        HostileCase{"tables nested 200 deep", [] { return repeated("<table><tr><td>", 200); },
                    Outcome::TooComplex},
        HostileCase{"markup that fails the parser's own checks",
                    [] { return "<table><math><select><math><mi><select><tr>"; },
                    Outcome::TooComplex},
        HostileCase{"a long forum page", longForumPage, Outcome::Parsed},
        HostileCase{"tag soup of an old board", tagSoup, Outcome::Parsed},
        HostileCase{"nesting within the budget",
                    [] { return repeated("<div>", 400) + "end of page"; }, Outcome::Parsed}));

} // namespace
