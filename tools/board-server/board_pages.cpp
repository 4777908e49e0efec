#include "page_shell.h"
#include "text.h"

#include <algorithm>

namespace zentab::board {

namespace {

std::string navigation(const PageContext& context, const Board& board) {
    return box("windowbg2", "<a href=\"index.cgi\">" + htmlEscape(context.forum.title) +
                                "</a> &#187; <a href=\"" + boardHref(board, "") + "\">" +
                                htmlEscape(board.title) + "</a>");
}

std::string pageLinks(const Board& board, int page) {
    std::string links = "Pages:";
    for (int n = 1; n <= boardPageCount(board); ++n) {
        links += n == page ? " [" + std::to_string(n) + "]"
                           : " <a href=\"" + boardHref(board, "page=" + std::to_string(n)) + "\">" +
                                 std::to_string(n) + "</a>";
    }
    return links;
}

std::string toolbar(const PageContext& context, const Board& board, int page) {
    std::string cells = "<td class=\"windowbg2\">" + pageLinks(board, page) + "</td>";
    if (mayPost(context.viewer)) {
        cells +=
            "<td class=\"windowbg2\" align=\"right\"><a href=\"" + boardHref(board, "action=post") +
            "\"><img src=\"/images/newthread.gif\" alt=\"[New Thread]\" border=\"0\"></a></td>";
    }
    return "<table width=\"92%\" align=\"center\" cellpadding=\"4\"><tr>" + cells +
           "</tr></table>\n";
}

std::string threadRow(const PageContext& context, const Board& board, const Thread& thread) {
    const auto& last = thread.posts.back();
    return "<tr><td class=\"windowbg\" width=\"4%\"><img src=\"/images/thread.gif\" alt=\"\"></td>"
           "<td class=\"windowbg2\" width=\"4%\"><img src=\"/images/xx.gif\" alt=\"\"></td>"
           "<td class=\"windowbg\"><a href=\"" +
           boardHref(board, "action=display&thread=" + std::to_string(thread.id)) + "\">" +
           htmlEscape(thread.subject()) + "</a></td><td class=\"windowbg2\">" +
           profileLink(context.forum, thread.posts.front().author) +
           "</td><td class=\"windowbg\">" + std::to_string(thread.posts.size() - 1) +
           "</td><td class=\"windowbg2\"><font size=\"1\">" + forumDate(last.time, context.now) +
           "<br>by " + profileLink(context.forum, last.author) + "</font></td></tr>\n";
}

} // namespace

int boardPageCount(const Board& board) {
    const int threads = static_cast<int>(board.threads.size());
    return std::max(1, (threads + kThreadsPerPage - 1) / kThreadsPerPage);
}

std::string boardIndexPage(const PageContext& context, const Board& board, int page) {
    std::string list =
        "<table width=\"92%\" align=\"center\" cellpadding=\"4\" border=\"1\">\n"
        "<tr><td class=\"titlebg\"></td><td class=\"titlebg\"></td>"
        "<td class=\"titlebg\">Subject</td><td class=\"titlebg\">Started By</td>"
        "<td class=\"titlebg\">Replies</td><td class=\"titlebg\">Last Post</td></tr>\n";
    const auto threads = board.threadsByActivity();
    const auto first = static_cast<std::size_t>(page - 1) * kThreadsPerPage;
    for (auto i = first; i < std::min(threads.size(), first + kThreadsPerPage); ++i) {
        list += threadRow(context, board, *threads[i]);
    }
    list += "</table>\n";
    const auto heading = "<b>" + htmlEscape(board.title) + "</b><br><font size=\"1\">" +
                         htmlEscape(board.description) + "</font>";
    return pageShell(context, context.forum.title + " - " + board.title,
                     navigation(context, board) + box("catbg", heading) +
                         toolbar(context, board, page) + list);
}

std::string forumHomePage(const PageContext& context) {
    std::string rows;
    for (const auto& board : context.forum.boards) {
        rows += "<tr><td class=\"windowbg\"><a href=\"" + boardHref(board, "") + "\"><b>" +
                htmlEscape(board.title) + "</b></a><br><font size=\"1\">" +
                htmlEscape(board.description) + "</font></td><td class=\"windowbg2\">" +
                std::to_string(board.threads.size()) + " threads</td></tr>\n";
    }
    return pageShell(
        context, context.forum.title,
        "<table width=\"92%\" align=\"center\" cellpadding=\"4\" border=\"1\">\n"
        "<tr><td class=\"titlebg\">Board</td><td class=\"titlebg\">Threads</td></tr>\n" +
            rows + "</table>\n");
}

} // namespace zentab::board
