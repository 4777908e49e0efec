// An ordinary page reads in a viewer window as it did when its markup went to
// the rich-text renderer unfiltered: the bounds change only pages beyond them.
#include "ViewerContent.h"

#include "Fixtures.h"

#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

QString fixture(const char* path) {
    QFile file(QStringLiteral(BROWSER_FIXTURES "/../") + QString::fromUtf8(path));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

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

} // namespace
