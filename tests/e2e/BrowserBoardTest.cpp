// The browser component against the board server when the forum cannot answer. That its login
// is every browser's login, and that its forms edit posts, every other test here relies on.
#include "BoardE2e.h"
#include "WebBrowser.h"

#include <QNetworkProxy>
#include <QSignalSpy>

namespace {

TEST(BrowserOnBoard, ABusyOrDeadServerNeverLeavesTheBrowserWaiting) {
    zentab::board::testing::TestServer server{zentab::board::testing::smallState(3)};
    ForumProxy proxy{server.port()};
    WebBrowser browser;
    const auto titleOnce = [&](const char* faults) {
        EXPECT_TRUE(!*faults || server.faults(faults));
        QSignalSpy completed(&browser, &WebBrowser::DocumentComplete);
        browser.Navigate(TestBoard);
        EXPECT_TRUE(completed.wait(10000) &&
                    browser.ReadyState() == WebBrowser::ReadyStateComplete);
        return browser.LocationName();
    };
    EXPECT_EQ(titleOnce("overload=1"), "Too Many Connections");
    // The network layer tries a GET again on fresh connections a few times.
    EXPECT_TRUE(titleOnce("drop=10").contains("Error"));
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", 1));
    EXPECT_TRUE(titleOnce("").contains("Error"));
}

} // namespace
