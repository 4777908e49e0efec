#pragma once

#include "forum_dates.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentab::board {

enum class Role { Member, Teller, Admin };

struct User {
    std::string username;
    std::string password;
    std::string displayName;
    Role role = Role::Member;
};

struct PostEdit {
    std::string editor;
    UnixTime time = 0;
};

struct Post {
    int id = 0;
    std::string author;
    std::string subject;
    std::string body;
    UnixTime time = 0;
    std::optional<PostEdit> lastEdit;
};

// The first post opens the thread and shares its number, so "post=" of the first post equals
// "thread=". Replies follow in the order they were written.
struct Thread {
    int id = 0;
    std::vector<Post> posts;

    const std::string& subject() const { return posts.front().subject; }
    UnixTime lastActivity() const { return posts.back().time; }
    Post* findPost(int postId);
};

struct Board {
    std::string id;
    std::string title;
    std::string description;
    std::vector<Thread> threads;

    Thread* findThread(int threadId);
    // Most recent activity first, as the index lists them.
    std::vector<const Thread*> threadsByActivity() const;
};

struct Forum {
    std::string name;
    std::string title;
    std::vector<User> users;
    std::vector<Board> boards;
    // Threads and posts draw their numbers from one sequence, 1 to kLastPostNumber, and no
    // number is given twice; so this may stand one past the last.
    std::int64_t nextId = 1;

    // User names compare without regard to case, as the login form accepts them.
    const User* findUser(std::string_view username) const;
    // Board ids too: the login window keeps whatever case the user typed.
    Board* findBoard(std::string_view boardId);
    const Board* findBoard(std::string_view boardId) const;
};

struct BoardState {
    std::vector<Forum> forums;

    Forum* findForum(std::string_view name);
};

// A null user is a guest.
bool mayPost(const User* user);
bool mayModify(const User* user, const Post& post);
bool mayDelete(const User* user);

std::string_view roleName(Role role);
std::optional<Role> roleFromName(std::string_view name);

// Whether a new thread or reply can still have a number of its own.
bool hasPostNumberLeft(const Forum& forum);

// Both need hasPostNumberLeft(forum), and throw std::length_error without it.
int startThread(Forum& forum, Board& board, const std::string& author, const std::string& subject,
                const std::string& body, UnixTime now);
int addReply(Forum& forum, Thread& thread, const std::string& author, const std::string& subject,
             const std::string& body, UnixTime now);
void modifyPost(Post& post, const std::string& editor, const std::string& subject,
                const std::string& body, UnixTime now);
// Deleting the first post of a thread deletes the whole thread.
void deletePost(Board& board, int threadId, int postId);

} // namespace zentab::board
