#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace calculator {

// What a text view must redo to show a new tape: its lines from `line` on
// become `text`, the tape's text from that line with CR LF written as LF.
struct TapeEdit {
    std::size_t line = 0;
    std::string text;
};

// The tape as a view shows it. The tape grows at its end and an operator marks
// its last line, so the view redoes only the lines from the first that differs
// rather than the whole tape; a long session then costs each key no more.
class ShownTape {
public:
    // The edit that brings the view to `tape`, whose first `unchanged` bytes
    // stand as they were at the last update; nothing when it shows it already.
    std::optional<TapeEdit> update(const std::string& tape, std::size_t unchanged);

private:
    std::string shown_;
    std::vector<std::size_t> lineStarts_{0}; // where each line of shown_ begins
};

} // namespace calculator
