#pragma once

#include "SharedNetwork.h"
#include "WebBrowser.h"

#include <QNetworkProxy>
#include <QSignalSpy>
#include <functional>

// Sends every browser of the process to a forum on a loopback port, as
// http_proxy does for the program, for as long as it lives.
class ForumProxy {
public:
    explicit ForumProxy(int port) {
        browser::routeThroughLoopbackProxy(static_cast<quint16>(port));
    }
    ~ForumProxy() { QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy); }
    ForumProxy(const ForumProxy&) = delete;
    ForumProxy& operator=(const ForumProxy&) = delete;
};

// Logs the process's browsers in through the forum's own login form, whoever
// was logged in before; true when the forum then names the user.
inline bool logInThroughForum(const QString& boardUrl, const QString& user) {
    WebBrowser browser;
    QSignalSpy completed(&browser, &WebBrowser::DocumentComplete);
    auto completes = [&](const std::function<void()>& action) {
        action();
        return completed.wait(30000);
    };
    const QString forum = boardUrl.section('?', 0, 0);
    if (!completes([&] { browser.Navigate(forum + "?action=logout"); }) ||
        !completes([&] { browser.Navigate(boardUrl + "&action=login"); }))
        return false;
    HtmlForm form = browser.Document().forms("loginform");
    form.field("username").setValue(user);
    form.field("password").setValue(user);
    return completes([&] { form.submit(); }) &&
           browser.Document().scriptVariable("pb_username") == user;
}
