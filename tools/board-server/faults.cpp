#include "faults.h"

#include "server_limits.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace zentab::board {

namespace {

// Writes the parameter's value into target; false when present but not a number in range.
bool readCount(const httplib::Params& params, const char* name, int& target) {
    const auto found = params.find(name);
    if (found == params.end()) {
        return true;
    }
    const auto& text = found->second;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 ||
        value > kMaxFaultValue) {
        return false;
    }
    target = value;
    return true;
}

// Writes the action into target; false when present but not a short word of letters and digits.
bool readAction(const httplib::Params& params, std::string& target) {
    const auto found = params.find("overload_action");
    if (found == params.end()) {
        return true;
    }
    const auto& word = found->second;
    if (word.size() > kMaxFaultActionLength ||
        !std::all_of(word.begin(), word.end(), [](unsigned char c) { return std::isalnum(c); })) {
        return false;
    }
    target = word;
    return true;
}

bool takeOne(int& counter) {
    if (counter == 0) {
        return false;
    }
    --counter;
    return true;
}

} // namespace

std::optional<FaultSettings> Faults::apply(const httplib::Params& params) {
    std::lock_guard lock(mutex_);
    int reset = 0;
    auto next = settings_;
    if (!readCount(params, "reset", reset)) {
        return std::nullopt;
    }
    if (reset != 0) {
        next = FaultSettings{};
    }
    if (!readCount(params, "overload", next.overload) ||
        !readCount(params, "slow_ms", next.slowMs) || !readCount(params, "drop", next.drop) ||
        !readAction(params, next.overloadAction)) {
        return std::nullopt;
    }
    settings_ = next;
    return settings_;
}

bool Faults::takeOverload(const std::string& action) {
    std::lock_guard lock(mutex_);
    if (!settings_.overloadAction.empty() && action != settings_.overloadAction) {
        return false;
    }
    return takeOne(settings_.overload);
}

bool Faults::takeDrop() {
    std::lock_guard lock(mutex_);
    return takeOne(settings_.drop);
}

int Faults::slowMs() const {
    std::lock_guard lock(mutex_);
    return settings_.slowMs;
}

} // namespace zentab::board
