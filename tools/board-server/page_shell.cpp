#include "page_shell.h"

#include "text.h"

namespace zentab::board {

namespace {

constexpr std::string_view kStyle =
    "body{font-family:Verdana,sans-serif;font-size:13px}"
    ".titlebg,.catbg{background:#35557a;color:#fff}.windowbg{background:#eef2f7}"
    ".windowbg2{background:#f7f9fc}table{border-collapse:collapse}";

std::string loginHref(const PageContext& context) {
    std::string href = "index.cgi?action=login";
    if (!context.boardId.empty()) {
        href += "&board=" + context.boardId;
    }
    return htmlEscape(href);
}

} // namespace

std::string box(std::string_view cssClass, std::string_view html) {
    return "<table width=\"92%\" align=\"center\" cellpadding=\"4\"><tr><td class=\"" +
           std::string(cssClass) + "\">" + std::string(html) + "</td></tr></table>\n";
}

std::string pageShell(const PageContext& context, std::string_view title,
                      std::string_view content) {
    const bool guest = context.viewer == nullptr;
    const std::string username = guest ? "Guest" : context.viewer->username;
    const std::string shownName = guest ? "Guest" : context.viewer->displayName;
    std::string html =
        "<!DOCTYPE html>\n<html><head><meta charset=\"UTF-8\">\n<title>" + htmlEscape(title) +
        "</title>\n<script type=\"text/javascript\">\nvar pb_username = " + jsString(username) +
        ";\nvar pb_displayname = " + jsString(shownName) + ";\n</script>\n<style>" +
        std::string(kStyle) + "</style>\n</head><body>\n";
    html +=
        box("titlebg", "<font size=\"5\"><b>" + htmlEscape(context.forum.title) + "</b></font>");
    html +=
        box("windowbg2", "<a href=\"index.cgi\">Home</a> | "
                         "<a href=\"index.cgi?action=members&amp;view=letter&amp;letter=A\">"
                         "Members</a> | " +
                             std::string(guest ? "<a href=\"" + loginHref(context) + "\">Login</a>"
                                               : "<a href=\"index.cgi?action=logout\">Logout</a>"));
    html += box("windowbg",
                guest ? "Hey, Guest. Please <a href=\"" + loginHref(context) + "\">login</a>."
                      : "Hey, <b>" + htmlEscape(shownName) + "</b>!");
    html += content;
    html += "<p align=\"center\"><font size=\"1\">Zentab forum board</font></p>\n</body></html>\n";
    return html;
}

std::string boardHref(const Board& board, std::string_view query) {
    std::string href = "index.cgi?board=" + board.id;
    if (!query.empty()) {
        href += "&" + std::string(query);
    }
    return htmlEscape(href);
}

std::string displayName(const Forum& forum, std::string_view username) {
    const auto* user = forum.findUser(username);
    return user != nullptr ? user->displayName : std::string(username);
}

std::string profileLink(const Forum& forum, std::string_view username) {
    return "<a href=\"" + htmlEscape("index.cgi?action=viewprofile&user=" + std::string(username)) +
           "\">" + htmlEscape(displayName(forum, username)) + "</a>";
}

std::string errorPage(const PageContext& context, std::string_view message) {
    return pageShell(context, context.forum.title + " - An Error Has Occurred",
                     box("titlebg", "<b>An Error Has Occurred</b>") +
                         box("windowbg", htmlEscape(message)));
}

std::string overloadPage() {
    return "<!DOCTYPE html>\n<html><head><meta charset=\"UTF-8\"><title>Too Many Connections"
           "</title></head><body>\n<h3>Too Many Connections</h3>\n<p>The forum is serving too "
           "many visitors right now. Please wait a moment and try again.</p>\n</body></html>\n";
}

} // namespace zentab::board
