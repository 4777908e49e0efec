// A viewer window shows what the page shows without letting the rich-text renderer run away.
#include "ViewerContent.h"

#include "BrowserLimits.h"
#include "Fixtures.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <gtest/gtest.h>

namespace {

TEST(BrowserViewer, OrdinaryPagesReadAsTheirMarkupRenderedUnfiltered) {
    for (const char* path :
         {"browser/board_index.html", "browser/pitfalls.html", "pages/board-page1.html",
          "pages/thread-with-transactions.html", "pages/thread-account-guest.html"}) {
        SCOPED_TRACE(path);
        const QString markup = fixture(path);
        ASSERT_FALSE(markup.isEmpty());
        QTextDocument unfiltered;
        unfiltered.setHtml(markup);
        const browser::ViewerContent content = browser::viewerContent(*page(markup).body().tree());
        ASSERT_TRUE(content.rich);
        QTextDocument shown;
        shown.setHtml(content.text);
        EXPECT_EQ(shown.toPlainText(), unfiltered.toPlainText());
    }
}

int tableDepth(const QTextFrame* frame) {
    int deepest = 0;
    for (const QTextFrame* child : frame->childFrames())
        deepest = std::max(deepest, tableDepth(child));
    return deepest + (qobject_cast<const QTextTable*>(frame) ? 1 : 0);
}

// Pages beyond the bounds: what the viewer shows of them and how deep its tables nest.
TEST(BrowserViewer, LaysThePageOutWithinTheBounds) {
    const int bound = browser::kViewerMaxTableDepth;
    const struct {
        const char *name, *shown;
        QString markup;
        int tableDepth;
    } cases[] = {
        {"25 tables inside each other", "deepest", many("<table><tr><td>", 25) + "deepest", bound},
        {"many cells six tables deep", "inner end",
         many("<table><tr><td>side</td><td>", 6) + "<table>" +
             ("<tr>" + many("<td>cell</td>", 10) + "</tr>").repeated(100) + "</table>inner end",
         bound},
        {"cells spanning 100,000 columns", "wide",
         "<table>" + many("<tr><td colspan=100000>wide</td></tr>", 300) + "</table>", 1},
        {"100,000 paragraphs", "The rest of the page is too long",
         many("<p>paragraph</p>", 100'000), 0},
        {"more elements than the budget, as plain text", "xx<i>",
         many("<span>x</span>", 20'000) + "&lt;i&gt;", 0},
        {"blocks 400 deep", "deep", many("<blockquote>", 400) + "deep", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto content = browser::viewerContent(*page(c.markup).body().tree());
        QTextDocument shown;
        content.rich ? shown.setHtml(content.text) : shown.setPlainText(content.text);
        (void)shown.documentLayout()->documentSize(); // lays the whole page out
        EXPECT_TRUE(shown.toPlainText().contains(c.shown))
            << qPrintable(shown.toPlainText().left(300));
        EXPECT_EQ(tableDepth(shown.rootFrame()), c.tableDepth);
        EXPECT_LE(shown.characterCount(), browser::kViewerMaxCharacters + 100);
    }
}

} // namespace
