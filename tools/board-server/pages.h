#pragma once

#include "board_model.h"

#include <string>
#include <string_view>

namespace zentab::board {

inline constexpr int kThreadsPerPage = 20;

// What every forum page needs: whose forum, who is looking, and when.
struct PageContext {
    const Forum& forum;
    const User* viewer; // null for a guest
    UnixTime now;
    std::string boardId; // the board the request named, for the login and menu links
};

enum class FormKind { NewThread, Reply, Modify };

struct PostFormFields {
    FormKind kind = FormKind::NewThread;
    int thread = 0;
    int post = 0;
    std::string subject;
    std::string message;
};

std::string errorPage(const PageContext& context, std::string_view message);
std::string overloadPage();
std::string forumHomePage(const PageContext& context);
// page counts from 1 and must lie within the board's pages.
std::string boardIndexPage(const PageContext& context, const Board& board, int page);
int boardPageCount(const Board& board);
std::string threadPage(const PageContext& context, const Board& board, const Thread& thread);
std::string postFormPage(const PageContext& context, const Board& board,
                         const PostFormFields& fields);
std::string loginPage(const PageContext& context);
// letter 0 lists every member.
std::string memberListPage(const PageContext& context, char letter);
std::string profilePage(const PageContext& context, const User& user);

} // namespace zentab::board
