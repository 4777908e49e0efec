#include "board_model.h"

#include "server_limits.h"
#include "text.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace zentab::board {

Post* Thread::findPost(int postId) {
    const auto found =
        std::find_if(posts.begin(), posts.end(), [&](const Post& p) { return p.id == postId; });
    return found == posts.end() ? nullptr : &*found;
}

Thread* Board::findThread(int threadId) {
    const auto found = std::find_if(threads.begin(), threads.end(),
                                    [&](const Thread& t) { return t.id == threadId; });
    return found == threads.end() ? nullptr : &*found;
}

std::vector<const Thread*> Board::threadsByActivity() const {
    std::vector<const Thread*> ordered;
    for (const auto& thread : threads) {
        ordered.push_back(&thread);
    }
    std::stable_sort(ordered.begin(), ordered.end(), [](const Thread* a, const Thread* b) {
        return a->lastActivity() != b->lastActivity() ? a->lastActivity() > b->lastActivity()
                                                      : a->id > b->id;
    });
    return ordered;
}

const User* Forum::findUser(std::string_view username) const {
    const auto wanted = toLower(username);
    const auto found = std::find_if(users.begin(), users.end(),
                                    [&](const User& u) { return toLower(u.username) == wanted; });
    return found == users.end() ? nullptr : &*found;
}

const Board* Forum::findBoard(std::string_view boardId) const {
    const auto wanted = toLower(boardId);
    const auto found = std::find_if(boards.begin(), boards.end(),
                                    [&](const Board& b) { return toLower(b.id) == wanted; });
    return found == boards.end() ? nullptr : &*found;
}

Board* Forum::findBoard(std::string_view boardId) {
    return const_cast<Board*>(std::as_const(*this).findBoard(boardId));
}

Forum* BoardState::findForum(std::string_view name) {
    const auto found =
        std::find_if(forums.begin(), forums.end(), [&](const Forum& f) { return f.name == name; });
    return found == forums.end() ? nullptr : &*found;
}

bool mayPost(const User* user) {
    return user != nullptr;
}

bool mayModify(const User* user, const Post& post) {
    return user != nullptr && (user->role != Role::Member || user->username == post.author);
}

bool mayDelete(const User* user) {
    return user != nullptr && user->role != Role::Member;
}

namespace {
constexpr std::pair<Role, std::string_view> kRoleNames[] = {
    {Role::Member, "member"}, {Role::Teller, "teller"}, {Role::Admin, "admin"}};
}

std::string_view roleName(Role role) {
    for (const auto& [r, name] : kRoleNames) {
        if (r == role) {
            return name;
        }
    }
    return "member";
}

std::optional<Role> roleFromName(std::string_view name) {
    for (const auto& [role, n] : kRoleNames) {
        if (n == name) {
            return role;
        }
    }
    return std::nullopt;
}

bool hasPostNumberLeft(const Forum& forum) {
    return forum.nextId <= kLastPostNumber;
}

namespace {
int takePostNumber(Forum& forum) {
    if (!hasPostNumberLeft(forum)) {
        throw std::length_error("forum " + forum.name + " has no post number left");
    }
    return static_cast<int>(forum.nextId++);
}
} // namespace

int startThread(Forum& forum, Board& board, const std::string& author, const std::string& subject,
                const std::string& body, UnixTime now) {
    const int id = takePostNumber(forum);
    board.threads.push_back(Thread{id, {Post{id, author, subject, body, now, std::nullopt}}});
    return id;
}

int addReply(Forum& forum, Thread& thread, const std::string& author, const std::string& subject,
             const std::string& body, UnixTime now) {
    const int id = takePostNumber(forum);
    thread.posts.push_back(Post{id, author, subject, body, now, std::nullopt});
    return id;
}

void modifyPost(Post& post, const std::string& editor, const std::string& subject,
                const std::string& body, UnixTime now) {
    post.subject = subject;
    post.body = body;
    post.lastEdit = PostEdit{editor, now};
}

void deletePost(Board& board, int threadId, int postId) {
    auto* thread = board.findThread(threadId);
    if (thread == nullptr) {
        return;
    }
    if (thread->posts.front().id == postId) {
        std::erase_if(board.threads, [&](const Thread& t) { return t.id == threadId; });
    } else {
        std::erase_if(thread->posts, [&](const Post& p) { return p.id == postId; });
    }
}

} // namespace zentab::board
