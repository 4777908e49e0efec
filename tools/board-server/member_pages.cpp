#include "page_shell.h"
#include "text.h"

namespace zentab::board {

namespace {

int postCount(const Forum& forum, const User& user) {
    int count = 0;
    for (const auto& board : forum.boards) {
        for (const auto& thread : board.threads) {
            for (const auto& post : thread.posts) {
                count += post.author == user.username ? 1 : 0;
            }
        }
    }
    return count;
}

std::string letterLinks() {
    std::string links = "<a href=\"index.cgi?action=members\">All</a>";
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        links += std::string(" <a href=\"index.cgi?action=members&amp;view=letter&amp;letter=") +
                 letter + "\">" + letter + "</a>";
    }
    return links;
}

std::string memberRow(const Forum& forum, const User& user) {
    return "<tr><td class=\"windowbg\">" + profileLink(forum, user.username) +
           "</td><td class=\"windowbg2\">" + htmlEscape(user.username) +
           "</td><td class=\"windowbg\">" + std::string(roleName(user.role)) +
           "</td><td class=\"windowbg2\">" + std::to_string(postCount(forum, user)) +
           "</td></tr>\n";
}

} // namespace

std::string memberListPage(const PageContext& context, char letter) {
    std::string rows;
    for (const auto& user : context.forum.users) {
        if (letter == 0 ||
            toLower(user.displayName.substr(0, 1)) == toLower(std::string(1, letter))) {
            rows += memberRow(context.forum, user);
        }
    }
    return pageShell(
        context, context.forum.title + " - Members",
        box("windowbg2", letterLinks()) +
            "<table width=\"92%\" align=\"center\" cellpadding=\"4\" border=\"1\">\n"
            "<tr><td class=\"titlebg\">Name</td><td class=\"titlebg\">Username</td>"
            "<td class=\"titlebg\">Position</td><td class=\"titlebg\">Posts</td></tr>\n" +
            rows + "</table>\n");
}

std::string profilePage(const PageContext& context, const User& user) {
    return pageShell(
        context, context.forum.title + " - Profile of " + user.displayName,
        box("titlebg", "<b>" + htmlEscape(user.displayName) + "</b>") +
            box("windowbg", "Username: " + htmlEscape(user.username) +
                                "<br>Position: " + std::string(roleName(user.role)) +
                                "<br>Posts: " + std::to_string(postCount(context.forum, user))));
}

} // namespace zentab::board
