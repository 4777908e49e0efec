// The viewer window shows what the page shows without letting the rich-text
// renderer run away: each page is laid out well within a deadline, with tables
// nested no deeper than the bound, or as plain text.
#include "BrowserLimits.h"
#include "LoopbackServer.h"
#include "Repeated.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBrowser>
#include <QTextFrame>
#include <QTextTable>
#include <functional>
#include <gtest/gtest.h>

namespace {

int tableDepth(const QTextFrame* frame) {
    int deepest = 0;
    for (const QTextFrame* child : frame->childFrames())
        deepest = std::max(deepest, tableDepth(child));
    return deepest + (qobject_cast<const QTextTable*>(frame) ? 1 : 0);
}

struct ViewerCase {
    const char* name;
    std::function<std::string()> page;
    const char* shown;
    int tableDepth; // of the rendering
};

void PrintTo(const ViewerCase& viewer, std::ostream* out) {
    *out << viewer.name;
}

class ViewerBound : public ::testing::TestWithParam<ViewerCase> {
protected:
    void TearDown() override {
        for (QWidget* window : QApplication::topLevelWidgets())
            delete window;
    }
};

TEST_P(ViewerBound, LaysThePageOutWithinTheBounds) {
    LoopbackServer server;
    server.servePage("/page", GetParam().page());
    server.start();

    WebBrowser browser;
    browser.Navigate(server.url(QStringLiteral("/page")), WebBrowser::navOpenInNewWindow);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !browser.Busy(); }, 20'000));
    ASSERT_EQ(pageViewers().size(), 1);
    const auto* view = pageViewers().front()->findChild<QTextBrowser*>();
    ASSERT_NE(view, nullptr);
    (void)view->document()->documentLayout()->documentSize(); // lays the whole page out
    EXPECT_TRUE(view->toPlainText().contains(QString::fromUtf8(GetParam().shown)))
        << view->toPlainText().left(300).toStdString();
    EXPECT_EQ(tableDepth(view->document()->rootFrame()), GetParam().tableDepth);
    EXPECT_LE(view->document()->characterCount(), browser::kViewerMaxCharacters + 100);
}

INSTANTIATE_TEST_SUITE_P(
    Browser, ViewerBound,
    ::testing::Values(
        ViewerCase{"25 tables inside each other",
                   [] { return repeated("<table><tr><td>", 25) + "deepest"; }, "deepest",
                   browser::kViewerMaxTableDepth},
        ViewerCase{"many cells six tables deep",
                   [] {
                       return repeated("<table><tr><td>side</td><td>", 6) + "<table>" +
                              repeated("<tr>" + repeated("<td>cell</td>", 10) + "</tr>", 100) +
                              "</table>inner end";
                   },
                   "inner end", browser::kViewerMaxTableDepth},
        ViewerCase{"cells spanning 100,000 columns",
                   [] {
                       return "<table>" + repeated("<tr><td colspan=100000>wide</td></tr>", 300) +
                              "</table>";
                   },
                   "wide", 1},
        ViewerCase{"100,000 paragraphs", [] { return repeated("<p>paragraph</p>", 100'000); },
                   "The rest of the page is too long", 0},
        ViewerCase{"more elements than the budget",
                   [] { return repeated("<span>x</span>", 20'000); }, "xxxxxxxx", 0},
        ViewerCase{"blocks 400 deep", [] { return repeated("<blockquote>", 400) + "deep"; }, "deep",
                   0},
        ViewerCase{"a forum page",
                   [] {
                       return "<title>Bank</title><body bgcolor=#ECE9D8><table width=92%><tr>"
                              "<td><font color=lime>+ 3 Galleons</font></td><td>Teller</td></tr>"
                              "</table><p>Galleons: 12<br>Sickles: 3";
                   },
                   "+ 3 Galleons", 1}));

} // namespace
