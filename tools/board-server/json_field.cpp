#include "json_field.h"

#include <limits>
#include <stdexcept>

namespace zentab::board {

namespace {

// nlohmann keeps a number read from text as unsigned when it is not negative.
std::optional<std::int64_t> wholeNumber(const nlohmann::json& value) {
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        if (number > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            return std::nullopt;
        }
        return static_cast<std::int64_t>(number);
    }
    if (value.is_number_integer()) {
        return value.get<std::int64_t>();
    }
    return std::nullopt;
}

} // namespace

JsonField::JsonField(const nlohmann::json& value, std::string place)
    : value_(value), place_(std::move(place)) {}

JsonField JsonField::operator[](std::string_view key) const {
    auto member = find(key);
    if (!member) {
        fail("\"" + std::string(key) + "\" is missing");
    }
    return *member;
}

std::optional<JsonField> JsonField::find(std::string_view key) const {
    if (!value_.is_object()) {
        fail("must be an object");
    }
    const auto member = value_.find(key);
    if (member == value_.end()) {
        return std::nullopt;
    }
    return JsonField(*member, place_.empty() ? std::string(key) : place_ + "." + std::string(key));
}

std::string JsonField::textOr(std::string_view key, std::string fallback) const {
    const auto member = find(key);
    return member ? member->text() : fallback;
}

std::vector<JsonField> JsonField::elements() const {
    if (!value_.is_array()) {
        fail("must be a list");
    }
    std::vector<JsonField> elements;
    for (std::size_t i = 0; i < value_.size(); ++i) {
        elements.emplace_back(value_[i], place_ + "[" + std::to_string(i) + "]");
    }
    return elements;
}

std::string JsonField::text() const {
    if (!value_.is_string()) {
        fail("must be a text");
    }
    return value_.get<std::string>();
}

bool JsonField::isWholeNumber() const {
    return value_.is_number_integer();
}

std::int64_t JsonField::number(std::int64_t min, std::int64_t max) const {
    const auto number = wholeNumber(value_);
    if (!number || *number < min || *number > max) {
        fail("must be a whole number from " + std::to_string(min) + " to " + std::to_string(max));
    }
    return *number;
}

void JsonField::fail(const std::string& problem) const {
    throw std::runtime_error(place_.empty() ? problem : place_ + ": " + problem);
}

} // namespace zentab::board
