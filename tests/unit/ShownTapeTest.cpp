#include "ShownTape.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <optional>

namespace {

using calculator::ShownTape;

// Lines of the tape as the calculator writes them.
std::string lines(int count, const std::string& text = "1 Galleons +") {
    std::string tape;
    for (int i = 0; i < count; ++i)
        tape += text + "\r\n";
    return tape;
}

// The tape from its line `line` on, as a view shows it.
std::string shownFrom(std::string tape, std::size_t line) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < line; ++i)
        start = tape.find('\n', start) + 1;
    tape.erase(0, start);
    std::erase(tape, '\r');
    return tape;
}

// What a view redoes to go from one tape to the next: every line from the first that differs.
TEST(ShownTape, RedoesTheLinesFromTheFirstThatDiffers) {
    const std::string longTape = lines(1000); // 14 KB of lines alike
    std::string changedFarUp = longTape;
    changedFarUp[14 * 10 + 2] = 'X'; // in the eleventh line, far above the tape's end
    const struct {
        const char* behaviour;
        std::string before, after;
        std::size_t unchanged;
        std::optional<std::size_t> line; // the first line redone; none when nothing is
    } cases[] = {
        {"a line added", lines(2), lines(3), 0, 2},
        {"the last line completed", lines(1) + "2 Kn", lines(1) + "2 Knuts =", 0, 1},
        {"nothing new", lines(2), lines(2), 0, std::nullopt},
        {"the tape cleared", lines(2), "", 0, 0},
        {"a line changed far up a long tape", longTape, changedFarUp, 0, 10},
        {"a line changed below what the caller says stands", lines(3),
         lines(2) + "2 Galleons +\r\n", 28, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.behaviour);
        ShownTape shown;
        shown.update(c.before, 0);
        const auto edit = shown.update(c.after, c.unchanged);
        ASSERT_EQ(edit.has_value(), c.line.has_value());
        if (!edit)
            continue;
        EXPECT_EQ(edit->line, *c.line);
        EXPECT_EQ(edit->text, shownFrom(c.after, *c.line));
    }
}

} // namespace
