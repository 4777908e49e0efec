#pragma once

#include "pages.h"

#include <string>
#include <string_view>

namespace zentab::board {

// The frame around every forum page: title, the pb_username / pb_displayname script
// variables, and three header tables (banner, menu, welcome) before the content.
std::string pageShell(const PageContext& context, std::string_view title, std::string_view content);

// "index.cgi?board=ID&..." as an escaped attribute value.
std::string boardHref(const Board& board, std::string_view query);
std::string profileLink(const Forum& forum, std::string_view username);
std::string displayName(const Forum& forum, std::string_view username);
// A one-cell table, the forum's usual box for headings and notices.
std::string box(std::string_view cssClass, std::string_view html);

} // namespace zentab::board
