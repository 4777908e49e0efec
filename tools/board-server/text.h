#pragma once

#include <string>
#include <string_view>

namespace zentab::board {

std::string htmlEscape(std::string_view text);

// A JavaScript string literal, quotes included, safe to place inside an inline script.
std::string jsString(std::string_view text);

std::string toLower(std::string_view text);
std::string trim(std::string_view text);
bool startsWithNoCase(std::string_view text, std::string_view prefix);

// Replaces every malformed UTF-8 sequence by U+FFFD: form data arrives from anyone, and the
// JSON state writer refuses invalid UTF-8.
std::string validUtf8(std::string_view text);

// CR LF, lone CR and lone LF all become CR LF, the line ending of submitted textareas.
std::string crlfLines(std::string_view text);

} // namespace zentab::board
