#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentab::board {

// A value of a seed or state document with its place in it ("forums[0].users[2].role"), so that
// every complaint about the document says where the fault is. The document must outlive it.
class JsonField {
public:
    JsonField(const nlohmann::json& value, std::string place);

    // A member that must be there.
    JsonField operator[](std::string_view key) const;
    // A member that may be left out.
    std::optional<JsonField> find(std::string_view key) const;
    // The text of a member that may be left out, else the fallback.
    std::string textOr(std::string_view key, std::string fallback) const;
    std::vector<JsonField> elements() const;

    std::string text() const;
    bool isWholeNumber() const;
    std::int64_t number(std::int64_t min, std::int64_t max) const;

    // Throws std::runtime_error with the place and the problem.
    [[noreturn]] void fail(const std::string& problem) const;

private:
    const nlohmann::json& value_;
    std::string place_;
};

} // namespace zentab::board
