#pragma once

#include <string>
#include <string_view>

namespace zentab::board {

// Renders forum markup ([b], [i], [u], [s], [color=], [size=], [font=], [url], [url=], [list]
// with [*] items, [quote]) and line breaks to HTML. All text is escaped; a tag whose argument
// is unsafe or that does not pair up is shown as typed.
std::string renderMarkup(std::string_view text);

} // namespace zentab::board
