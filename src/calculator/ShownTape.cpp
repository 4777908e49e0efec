#include "ShownTape.h"

#include <algorithm>
#include <cstring>

namespace calculator {
namespace {

// memcmp in blocks finds a difference far down a long tape quickly.
std::size_t commonPrefixLength(const std::string& a, const std::string& b, std::size_t same) {
    constexpr std::size_t Block = 4096;
    const std::size_t length = std::min(a.size(), b.size());
    same = std::min(same, length);
    while (same + Block <= length && std::memcmp(a.data() + same, b.data() + same, Block) == 0)
        same += Block;
    while (same < length && a[same] == b[same])
        ++same;
    return same;
}

} // namespace

std::optional<TapeEdit> ShownTape::update(const std::string& tape, std::size_t unchanged) {
    const std::size_t same = commonPrefixLength(shown_, tape, unchanged);
    if (same == shown_.size() && same == tape.size())
        return std::nullopt;
    const auto after = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), same);
    const std::size_t line = static_cast<std::size_t>(after - lineStarts_.begin()) - 1;
    const std::size_t from = lineStarts_[line];
    lineStarts_.resize(line + 1);
    shown_.replace(from, std::string::npos, tape, from);
    for (std::size_t end = shown_.find('\n', from); end != std::string::npos;
         end = shown_.find('\n', end + 1))
        lineStarts_.push_back(end + 1);

    TapeEdit edit{line, tape.substr(from)};
    std::erase(edit.text, '\r');
    return edit;
}

} // namespace calculator
