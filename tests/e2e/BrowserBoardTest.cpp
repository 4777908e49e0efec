// The browser component against the board server, as the bank manager uses it:
// through the proxy, logged in with the forum's own form, editing a post.
#include "ForumProxy.h"
#include "QtPrinting.h"
#include "WebBrowser.h"
#include "board_test_support.h"

#include <QNetworkProxy>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

using zentab::board::testing::smallState;
using zentab::board::testing::TestServer;

const QString Board = "http://testbank.proboards.com/index.cgi?board=accounts";

class BrowserOnBoard : public testing::Test {
protected:
    static bool completes(WebBrowser& browser, const std::function<void()>& action) {
        QSignalSpy completed(&browser, &WebBrowser::DocumentComplete);
        action();
        return completed.wait(10000) && browser.ReadyState() == WebBrowser::ReadyStateComplete;
    }

    static bool navigate(WebBrowser& browser, const QString& url) {
        return completes(browser, [&] { browser.Navigate(url); });
    }

    static void logIn(WebBrowser& browser, const QString& user) {
        ASSERT_TRUE(navigate(browser, Board + "&action=login"));
        HtmlForm form = browser.Document().forms("loginform");
        ASSERT_FALSE(form.isNull());
        form.field("username").setValue(user);
        form.field("password").setValue(user);
        ASSERT_TRUE(completes(browser, [&] { form.submit(); }));
    }

    TestServer server{smallState(3)};
    ForumProxy proxy{server.port()};
};

TEST_F(BrowserOnBoard, TheLoginOfOneBrowserIsTheLoginOfEvery) {
    WebBrowser first;
    ASSERT_TRUE(navigate(first, Board));
    EXPECT_EQ(first.Document().scriptVariable("pb_username"), "Guest");
    logIn(first, "teller");
    EXPECT_EQ(first.Document().scriptVariable("pb_username"), "teller");

    WebBrowser second;
    ASSERT_TRUE(navigate(second, Board + "&page=1"));
    EXPECT_EQ(second.Document().scriptVariable("pb_username"), "teller");
    EXPECT_EQ(second.Document().scriptVariable("pb_displayname"), "The teller");
}

TEST_F(BrowserOnBoard, TheEditFormChangesThePost) {
    WebBrowser browser;
    logIn(browser, "teller");
    ASSERT_TRUE(navigate(browser, Board + "&action=modifypost&thread=2&post=2"));
    EXPECT_TRUE(browser.LocationName().contains("Modify Post"));
    HtmlForm form = browser.Document().forms("postForm");
    HtmlElement message = form.field("message");
    // A text box's value has plain line feeds; the form sends them as CR LF.
    ASSERT_TRUE(message.value().startsWith("Galleons: 2\n"));
    message.setValue(QString(message.value()).replace("Galleons: 2", "Galleons: 99"));
    ASSERT_TRUE(completes(browser, [&] { form.submit(); }));

    EXPECT_TRUE(browser.LocationName().contains("Account 2"));
    EXPECT_TRUE(browser.Document().body().innerText().contains("Galleons: 99"));
}

TEST_F(BrowserOnBoard, ABusyOrDeadServerNeverLeavesTheBrowserWaiting) {
    WebBrowser browser;
    ASSERT_TRUE(server.faults("overload=1"));
    ASSERT_TRUE(navigate(browser, Board));
    EXPECT_EQ(browser.LocationName(), "Too Many Connections");

    // The network layer tries a GET again on fresh connections a few times.
    ASSERT_TRUE(server.faults("drop=10"));
    ASSERT_TRUE(navigate(browser, Board));
    EXPECT_TRUE(browser.LocationName().contains("Error")) << browser.LocationName().toStdString();

    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", 1));
    ASSERT_TRUE(navigate(browser, Board));
    EXPECT_TRUE(browser.LocationName().contains("Error"));
}

} // namespace
