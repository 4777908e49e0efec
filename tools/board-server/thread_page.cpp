#include "markup.h"
#include "page_shell.h"
#include "text.h"

namespace zentab::board {

namespace {

std::string postLink(const Board& board, std::string_view action, const Thread& thread,
                     const Post& post) {
    return boardHref(board, "action=" + std::string(action) + "&thread=" +
                                std::to_string(thread.id) + "&post=" + std::to_string(post.id));
}

std::string postButtons(const PageContext& context, const Board& board, const Thread& thread,
                        const Post& post) {
    std::string buttons;
    if (mayModify(context.viewer, post)) {
        buttons += "<a href=\"" + postLink(board, "modifypost", thread, post) +
                   "\"><img src=\"/images/modify.gif\" alt=\"[Modify]\" border=\"0\"></a> ";
    }
    if (mayDelete(context.viewer)) {
        buttons += "<a href=\"" + postLink(board, "deletepost", thread, post) +
                   "\" onclick=\"return confirm('Delete this post?');\"><img "
                   "src=\"/images/delete.gif\" alt=\"[Delete]\" border=\"0\"></a>";
    }
    return buttons;
}

std::string lastEditNote(const PageContext& context, const Post& post) {
    if (!post.lastEdit) {
        return {};
    }
    const auto& edit = *post.lastEdit;
    return "<br><br><font size=\"1\"><i>Last Edit:</i> " + forumDate(edit.time, context.now) +
           " by <a href=\"" + htmlEscape("index.cgi?action=viewprofile&user=" + edit.editor) +
           "\"><font color=\"#35557a\">" + htmlEscape(displayName(context.forum, edit.editor)) +
           "</font></a></font>";
}

std::string postTable(const PageContext& context, const Board& board, const Thread& thread,
                      std::size_t index) {
    const auto& post = thread.posts[index];
    const auto* author = context.forum.findUser(post.author);
    const auto position = author != nullptr ? std::string(roleName(author->role)) : "former member";
    const auto when =
        index == 0 ? forumDate(post.time, context.now)
                   : "Reply #" + std::to_string(index) + " on " + forumDate(post.time, context.now);
    return "<table width=\"92%\" align=\"center\" cellpadding=\"4\" border=\"1\">\n"
           "<tr><td class=\"windowbg\" width=\"20%\" valign=\"top\" rowspan=\"2\"><b>" +
           profileLink(context.forum, post.author) + "</b><br><font size=\"1\">" + position +
           "</font></td><td class=\"windowbg\" valign=\"top\"><b>" + htmlEscape(post.subject) +
           "</b><br><font size=\"1\">&#171; " + when +
           " &#187;</font></td><td class=\"windowbg\" align=\"right\" valign=\"top\">" +
           postButtons(context, board, thread, post) +
           "</td></tr>\n<tr><td class=\"windowbg2\" colspan=\"2\" valign=\"top\"><hr size=\"1\">"
           "<!-- google_ad_section_start -->" +
           renderMarkup(post.body) + "<!-- google_ad_section_end -->" +
           lastEditNote(context, post) + "</td></tr>\n</table>\n";
}

std::string toolbar(const PageContext& context, const Board& board, const Thread& thread) {
    if (!mayPost(context.viewer)) {
        return {};
    }
    return box(
        "windowbg2",
        "<a href=\"" + boardHref(board, "action=post&thread=" + std::to_string(thread.id)) +
            "\"><img src=\"/images/reply.gif\" alt=\"[Reply]\" border=\"0\"></a> <a href=\"" +
            boardHref(board, "action=post") +
            "\"><img src=\"/images/newthread.gif\" alt=\"[New Thread]\" border=\"0\"></a>");
}

} // namespace

std::string threadPage(const PageContext& context, const Board& board, const Thread& thread) {
    // The start date runs straight into the closing guillemet: readers cut the date at it.
    std::string content =
        box("windowbg2", "<a href=\"index.cgi\">" + htmlEscape(context.forum.title) +
                             "</a> &#187; <a href=\"" + boardHref(board, "") + "\">" +
                             htmlEscape(board.title) + "</a> &#187; " +
                             htmlEscape(thread.subject())) +
        toolbar(context, board, thread) +
        box("catbg", "Thread: <b>" + htmlEscape(thread.subject()) +
                         "</b> &nbsp; <font size=\"1\">Thread Started on " +
                         forumDate(thread.posts.front().time, context.now) + "&#187;</font>");
    for (std::size_t i = 0; i < thread.posts.size(); ++i) {
        content += postTable(context, board, thread, i);
    }
    return pageShell(context, context.forum.title + " - " + thread.subject(), content);
}

} // namespace zentab::board
