#include "faults.h"

#include "server_limits.h"

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
        !readCount(params, "slow_ms", next.slowMs) || !readCount(params, "drop", next.drop)) {
        return std::nullopt;
    }
    settings_ = next;
    return settings_;
}

bool Faults::takeOverload() {
    std::lock_guard lock(mutex_);
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
