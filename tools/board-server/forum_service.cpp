#include "forum_service.h"

#include "board_json.h"
#include "pages.h"
#include "server_limits.h"
#include "text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>

namespace zentab::board {

namespace {

constexpr std::string_view kNoBoard = "The board you requested does not exist.";
constexpr std::string_view kNoThread =
    "The thread you requested does not exist. It may have been deleted.";
constexpr std::string_view kNoPost =
    "The post you requested does not exist. It may have been deleted.";
constexpr std::string_view kNotSaved = "Your changes could not be saved. Please try again later.";
constexpr std::string_view kNoNumberLeft = "This forum cannot take any more posts.";

std::optional<int> positiveNumber(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value <= 0) {
        return std::nullopt;
    }
    return value;
}

ForumReply show(std::string html) {
    return ForumReply{std::move(html), {}, {}};
}

ForumReply redirectTo(std::string address) {
    return ForumReply{{}, std::move(address), {}};
}

std::string threadAddress(const Board& board, int threadId) {
    return "index.cgi?board=" + board.id + "&action=display&thread=" + std::to_string(threadId);
}

struct Submission {
    std::string subject;
    std::string message;
    std::string problem; // empty when the form may be saved
};

} // namespace

// The board, thread and post that a request names.
struct PostTarget {
    Board* board = nullptr;
    Thread* thread = nullptr;
    Post* post = nullptr;
};

struct ForumService::Call {
    const ForumRequest& request;
    Forum& forum;
    PageContext page;

    const User* viewer() const { return page.viewer; }

    std::string param(const std::string& name) const {
        const auto found = request.params.find(name);
        return found == request.params.end() ? std::string() : validUtf8(found->second);
    }

    ForumReply error(std::string_view message) const { return show(errorPage(page, message)); }

    Board* board() const { return forum.findBoard(param("board")); }

    Thread* thread(Board& board) const {
        const auto id = positiveNumber(param("thread"));
        return id ? board.findThread(*id) : nullptr;
    }

    Post* post(Thread& thread) const {
        const auto id = positiveNumber(param("post"));
        return id ? thread.findPost(*id) : nullptr;
    }

    // Fills in the post the request names; the error page when any part of it is missing.
    std::optional<ForumReply> findPost(PostTarget& target) const {
        target.board = board();
        if (target.board == nullptr) {
            return error(kNoBoard);
        }
        target.thread = thread(*target.board);
        if (target.thread == nullptr) {
            return error(kNoThread);
        }
        target.post = post(*target.thread);
        if (target.post == nullptr) {
            return error(kNoPost);
        }
        return std::nullopt;
    }

    // As findPost, for a post the viewer may modify.
    std::optional<ForumReply> findPostToModify(PostTarget& target) const {
        if (auto missing = findPost(target)) {
            return missing;
        }
        if (!mayModify(viewer(), *target.post)) {
            return error("You are not allowed to modify this post.");
        }
        return std::nullopt;
    }

    Submission submission() const {
        Submission s;
        s.subject = trim(param("subject"));
        std::replace(s.subject.begin(), s.subject.end(), '\r', ' ');
        std::replace(s.subject.begin(), s.subject.end(), '\n', ' ');
        s.message = crlfLines(param("message"));
        if (param("nextaction") != "post") {
            s.problem = "The form was not sent with its post button.";
        } else if (s.subject.empty()) {
            s.problem = "You must enter a subject.";
        } else if (s.subject.size() > kMaxSubjectBytes) {
            s.problem = "The subject is too long.";
        } else if (trim(s.message).empty()) {
            s.problem = "You must enter a message.";
        } else if (s.message.size() > kMaxMessageBytes) {
            s.problem = "The message is too long.";
        }
        return s;
    }
};

ForumService::ForumService(BoardState state, std::optional<std::filesystem::path> statePath)
    : state_(std::move(state)), statePath_(std::move(statePath)) {}

ForumReply ForumService::handle(const ForumRequest& request) {
    std::lock_guard lock(mutex_);
    const auto now = unixNow();
    auto* forum =
        request.forumName.empty() ? &state_.forums.front() : state_.findForum(request.forumName);
    if (forum == nullptr) {
        static const Forum unknown{"", "ProBoards", {}, {}, 1};
        return show(
            errorPage(PageContext{unknown, nullptr, now, {}}, "This forum does not exist."));
    }
    const User* viewer = nullptr;
    if (const auto name = sessions_.user(request.sessionToken, forum->name)) {
        viewer = forum->findUser(*name);
    }
    const auto board = request.params.find("board");
    Call call{request, *forum,
              PageContext{*forum, viewer, now,
                          board == request.params.end() ? "" : validUtf8(board->second)}};
    return dispatch(call);
}

ForumReply ForumService::dispatch(Call& call) {
    struct Route {
        ForumReply (ForumService::*handler)(Call&);
        bool postOnly;
    };
    static const std::map<std::string, Route, std::less<>> routes = {
        {"", {&ForumService::boardIndex, false}},
        {"display", {&ForumService::display, false}},
        {"login", {&ForumService::login, false}},
        {"login2", {&ForumService::login, true}},
        {"logout", {&ForumService::logout, false}},
        {"post", {&ForumService::postForm, false}},
        {"post2", {&ForumService::savePost, true}},
        {"modifypost", {&ForumService::modifyForm, false}},
        {"modifypost2", {&ForumService::saveModify, true}},
        {"deletepost", {&ForumService::deletePost, false}},
        {"members", {&ForumService::members, false}},
        {"viewprofile", {&ForumService::profile, false}},
    };
    const auto route = routes.find(call.param("action"));
    if (route == routes.end()) {
        return call.error("The action you requested is not valid.");
    }
    if (route->second.postOnly && !call.request.post) {
        return call.error("This form must be sent from its page.");
    }
    return (this->*route->second.handler)(call);
}

ForumReply ForumService::boardIndex(Call& call) {
    if (call.param("board").empty()) {
        return show(forumHomePage(call.page));
    }
    const auto* board = call.board();
    if (board == nullptr) {
        return call.error(kNoBoard);
    }
    const auto pageText = call.param("page");
    const auto page = pageText.empty() ? std::optional<int>(1) : positiveNumber(pageText);
    if (!page || *page > boardPageCount(*board)) {
        return call.error("The page you requested does not exist.");
    }
    return show(boardIndexPage(call.page, *board, *page));
}

ForumReply ForumService::display(Call& call) {
    auto* board = call.board();
    if (board == nullptr) {
        return call.error(kNoBoard);
    }
    const auto* thread = call.thread(*board);
    return thread == nullptr ? call.error(kNoThread) : show(threadPage(call.page, *board, *thread));
}

ForumReply ForumService::login(Call& call) {
    if (!call.request.post) {
        return show(loginPage(call.page));
    }
    const auto* user = call.forum.findUser(call.param("username"));
    if (user == nullptr || user->password != call.param("password")) {
        return call.error("The username or password you entered is incorrect.");
    }
    sessions_.close(call.request.sessionToken);
    const auto* board = call.board();
    auto reply = redirectTo(board != nullptr ? "index.cgi?board=" + board->id : "index.cgi");
    reply.setSession = sessions_.open(call.forum.name, user->username);
    return reply;
}

ForumReply ForumService::logout(Call& call) {
    sessions_.close(call.request.sessionToken);
    auto reply = redirectTo("index.cgi");
    reply.setSession = "";
    return reply;
}

ForumReply ForumService::postForm(Call& call) {
    auto* board = call.board();
    if (board == nullptr) {
        return call.error(kNoBoard);
    }
    if (!mayPost(call.viewer())) {
        return call.error("You must be logged in to post on this board.");
    }
    if (call.param("thread").empty()) {
        return show(
            postFormPage(call.page, *board, PostFormFields{FormKind::NewThread, 0, 0, {}, {}}));
    }
    const auto* thread = call.thread(*board);
    if (thread == nullptr) {
        return call.error(kNoThread);
    }
    auto subject = thread->subject();
    if (!startsWithNoCase(subject, "Re: ")) {
        subject = "Re: " + subject;
    }
    return show(postFormPage(call.page, *board,
                             PostFormFields{FormKind::Reply, thread->id, 0, subject, {}}));
}

ForumReply ForumService::savePost(Call& call) {
    auto* board = call.board();
    if (board == nullptr) {
        return call.error(kNoBoard);
    }
    if (!mayPost(call.viewer())) {
        return call.error("You must be logged in to post on this board.");
    }
    const auto form = call.submission();
    if (!form.problem.empty()) {
        return call.error(form.problem);
    }
    if (!hasPostNumberLeft(call.forum)) {
        return call.error(kNoNumberLeft);
    }
    const auto& author = call.viewer()->username;
    const auto now = call.page.now;
    int threadId = 0;
    if (call.param("thread").empty()) {
        if (!commit(call.forum, [&] {
                threadId = startThread(call.forum, *board, author, form.subject, form.message, now);
            })) {
            return call.error(kNotSaved);
        }
    } else {
        auto* thread = call.thread(*board);
        if (thread == nullptr) {
            return call.error(kNoThread);
        }
        threadId = thread->id;
        if (!commit(call.forum, [&] {
                addReply(call.forum, *thread, author, form.subject, form.message, now);
            })) {
            return call.error(kNotSaved);
        }
    }
    return redirectTo(threadAddress(*board, threadId));
}

ForumReply ForumService::modifyForm(Call& call) {
    PostTarget target;
    if (auto refused = call.findPostToModify(target)) {
        return *refused;
    }
    auto* board = target.board;
    auto* thread = target.thread;
    auto* post = target.post;
    return show(postFormPage(
        call.page, *board,
        PostFormFields{FormKind::Modify, thread->id, post->id, post->subject, post->body}));
}

ForumReply ForumService::saveModify(Call& call) {
    PostTarget target;
    if (auto refused = call.findPostToModify(target)) {
        return *refused;
    }
    auto* board = target.board;
    auto* thread = target.thread;
    auto* post = target.post;
    const auto form = call.submission();
    if (!form.problem.empty()) {
        return call.error(form.problem);
    }
    const auto address = threadAddress(*board, thread->id);
    if (!commit(call.forum, [&] {
            modifyPost(*post, call.viewer()->username, form.subject, form.message, call.page.now);
        })) {
        return call.error(kNotSaved);
    }
    return redirectTo(address);
}

ForumReply ForumService::deletePost(Call& call) {
    PostTarget target;
    if (auto missing = call.findPost(target)) {
        return *missing;
    }
    auto* board = target.board;
    auto* thread = target.thread;
    auto* post = target.post;
    if (!mayDelete(call.viewer())) {
        return call.error("You are not allowed to delete this post.");
    }
    const int threadId = thread->id;
    const int postId = post->id;
    const auto address =
        postId == threadId ? "index.cgi?board=" + board->id : threadAddress(*board, threadId);
    if (!commit(call.forum, [&] { zentab::board::deletePost(*board, threadId, postId); })) {
        return call.error(kNotSaved);
    }
    return redirectTo(address);
}

ForumReply ForumService::members(Call& call) {
    if (call.param("view") != "letter") {
        return show(memberListPage(call.page, 0));
    }
    const auto letter = call.param("letter");
    if (letter.size() != 1 || !std::isalpha(static_cast<unsigned char>(letter[0]))) {
        return call.error("Choose a letter from A to Z.");
    }
    return show(memberListPage(call.page, letter[0]));
}

ForumReply ForumService::profile(Call& call) {
    const auto* user = call.forum.findUser(call.param("user"));
    return user == nullptr ? call.error("The member you requested does not exist.")
                           : show(profilePage(call.page, *user));
}

bool ForumService::commit(Forum& forum, const std::function<void()>& change) {
    if (!statePath_) {
        change();
        return true;
    }
    // Users never change here, so pointers to them stay valid across an undo.
    auto boards = forum.boards;
    const auto nextId = forum.nextId;
    change();
    if (saveStateFile(*statePath_, state_)) {
        return true;
    }
    forum.boards = std::move(boards);
    forum.nextId = nextId;
    return false;
}

} // namespace zentab::board
