#include "page_shell.h"
#include "text.h"

namespace zentab::board {

namespace {

std::string hidden(std::string_view name, std::string_view value) {
    return "<input type=\"hidden\" name=\"" + std::string(name) + "\" value=\"" +
           htmlEscape(value) + "\">";
}

struct FormText {
    std::string_view title;
    std::string_view action;
    std::string_view button;
};

FormText formText(FormKind kind) {
    switch (kind) {
    case FormKind::Reply:
        return {"Post Reply", "post2", "Post Reply"};
    case FormKind::Modify:
        return {"Modify Post", "modifypost2", "Save Changes"};
    case FormKind::NewThread:
        break;
    }
    return {"Post New Thread", "post2", "Post Thread"};
}

} // namespace

std::string postFormPage(const PageContext& context, const Board& board,
                         const PostFormFields& fields) {
    const auto text = formText(fields.kind);
    std::string form =
        "<form name=\"postForm\" id=\"postForm\" method=\"post\" action=\"index.cgi\" "
        "accept-charset=\"UTF-8\">\n" +
        hidden("board", board.id) + hidden("action", text.action);
    if (fields.kind != FormKind::NewThread) {
        form += hidden("thread", std::to_string(fields.thread));
    }
    if (fields.kind == FormKind::Modify) {
        form += hidden("post", std::to_string(fields.post));
    }
    // The parser drops one newline right after <textarea>; the one written here keeps a
    // message's own leading line break.
    form += "\n<table width=\"92%\" align=\"center\" cellpadding=\"4\">\n"
            "<tr><td class=\"titlebg\" colspan=\"2\"><b>" +
            std::string(text.title) +
            "</b></td></tr>\n<tr><td class=\"windowbg\">Subject:</td><td class=\"windowbg\">"
            "<input type=\"text\" name=\"subject\" id=\"subject\" size=\"50\" value=\"" +
            htmlEscape(fields.subject) +
            "\"></td></tr>\n<tr><td class=\"windowbg\" valign=\"top\">Message:</td>"
            "<td class=\"windowbg\"><textarea name=\"message\" id=\"message\" rows=\"14\" "
            "cols=\"70\">\n" +
            htmlEscape(fields.message) +
            "</textarea></td></tr>\n<tr><td class=\"windowbg2\" colspan=\"2\" align=\"center\">"
            "<input type=\"hidden\" name=\"nextaction\" id=\"nextaction\" value=\"post\">"
            "<input type=\"submit\" value=\"" +
            std::string(text.button) + "\"></td></tr>\n</table>\n</form>\n";
    return pageShell(context, context.forum.title + " - " + std::string(text.title), form);
}

std::string loginPage(const PageContext& context) {
    const auto title = context.forum.title + " - Login";
    if (context.viewer != nullptr) {
        return pageShell(
            context, title,
            box("windowbg", "You are already logged in as <b>" +
                                htmlEscape(context.viewer->displayName) +
                                "</b>. <a href=\"index.cgi?action=logout\">Logout</a>"));
    }
    const std::string form =
        "<form name=\"loginform\" id=\"loginform\" method=\"post\" action=\"index.cgi\" "
        "accept-charset=\"UTF-8\">\n" +
        hidden("action", "login2") + hidden("board", context.boardId) +
        "\n<table width=\"50%\" align=\"center\" cellpadding=\"4\">\n"
        "<tr><td class=\"titlebg\" colspan=\"2\"><b>Login</b></td></tr>\n"
        "<tr><td class=\"windowbg\">Username:</td><td class=\"windowbg\"><input type=\"text\" "
        "name=\"username\" id=\"username\" size=\"20\"></td></tr>\n"
        "<tr><td class=\"windowbg\">Password:</td><td class=\"windowbg\"><input type=\"password\" "
        "name=\"password\" id=\"password\" size=\"20\"></td></tr>\n"
        "<tr><td class=\"windowbg2\" colspan=\"2\" align=\"center\"><input type=\"submit\" "
        "value=\"Login\"></td></tr>\n</table>\n</form>\n";
    return pageShell(context, title, form);
}

} // namespace zentab::board
