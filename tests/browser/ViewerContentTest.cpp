// A viewer window shows what the page shows without letting the rich-text renderer
// run away: an ordinary page reads as its markup rendered unfiltered, and a page
// beyond the bounds is laid out with tables nested no deeper than the bound, or as
// plain text.
#include "ViewerContent.h"

#include "BrowserLimits.h"
#include "Fixtures.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <functional>
#include <gtest/gtest.h>

namespace {

class OrdinaryPage : public ::testing::TestWithParam<const char*> {};

TEST_P(OrdinaryPage, ReadsAsItsMarkupRenderedUnfiltered) {
    const QString markup = fixture(GetParam());
    ASSERT_FALSE(markup.isEmpty());
    QTextDocument unfiltered;
    unfiltered.setHtml(markup);
    const browser::ViewerContent content = browser::viewerContent(*page(markup).body().tree());
    ASSERT_TRUE(content.rich);
    QTextDocument shown;
    shown.setHtml(content.text);
    EXPECT_EQ(shown.toPlainText(), unfiltered.toPlainText());
}

INSTANTIATE_TEST_SUITE_P(Browser, OrdinaryPage,
                         ::testing::Values("browser/board_index.html", "browser/pitfalls.html",
                                           "pages/board-page1.html",
                                           "pages/thread-with-transactions.html",
                                           "pages/thread-account-guest.html"));

int tableDepth(const QTextFrame* frame) {
    int deepest = 0;
    for (const QTextFrame* child : frame->childFrames())
        deepest = std::max(deepest, tableDepth(child));
    return deepest + (qobject_cast<const QTextTable*>(frame) ? 1 : 0);
}

struct ViewerCase {
    const char* name;
    std::function<QString()> markup;
    const char* shown;
    int tableDepth; // of the rendering
};

void PrintTo(const ViewerCase& viewer, std::ostream* out) {
    *out << viewer.name;
}

class ViewerBound : public ::testing::TestWithParam<ViewerCase> {};

TEST_P(ViewerBound, LaysThePageOutWithinTheBounds) {
    const auto content = browser::viewerContent(*page(GetParam().markup()).body().tree());
    QTextDocument shown;
    if (content.rich)
        shown.setHtml(content.text);
    else
        shown.setPlainText(content.text);
    (void)shown.documentLayout()->documentSize(); // lays the whole page out
    EXPECT_TRUE(shown.toPlainText().contains(GetParam().shown)) << shown.toPlainText().left(300);
    EXPECT_EQ(tableDepth(shown.rootFrame()), GetParam().tableDepth);
    EXPECT_LE(shown.characterCount(), browser::kViewerMaxCharacters + 100);
}

INSTANTIATE_TEST_SUITE_P(
    Browser, ViewerBound,
    ::testing::Values(
        ViewerCase{"25 tables inside each other",
                   [] { return many("<table><tr><td>", 25) + "deepest"; }, "deepest",
                   browser::kViewerMaxTableDepth},
        ViewerCase{"many cells six tables deep",
                   [] {
                       return many("<table><tr><td>side</td><td>", 6) + "<table>" +
                              ("<tr>" + many("<td>cell</td>", 10) + "</tr>").repeated(100) +
                              "</table>inner end";
                   },
                   "inner end", browser::kViewerMaxTableDepth},
        ViewerCase{"cells spanning 100,000 columns",
                   [] {
                       return "<table>" + many("<tr><td colspan=100000>wide</td></tr>", 300) +
                              "</table>";
                   },
                   "wide", 1},
        ViewerCase{"100,000 paragraphs", [] { return many("<p>paragraph</p>", 100'000); },
                   "The rest of the page is too long", 0},
        ViewerCase{"more elements than the budget", [] { return many("<span>x</span>", 20'000); },
                   "xxxxxxxx", 0},
        ViewerCase{"blocks 400 deep", [] { return many("<blockquote>", 400) + "deep"; }, "deep", 0},
        ViewerCase{"a forum page",
                   [] {
                       return QString("<title>Bank</title><body bgcolor=#ECE9D8><table width=92%>"
                                      "<tr><td><font color=lime>+ 3 Galleons</font></td><td>Teller"
                                      "</td></tr></table><p>Galleons: 12<br>Sickles: 3");
                   },
                   "+ 3 Galleons", 1}));

} // namespace
