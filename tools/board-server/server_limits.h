#pragma once

#include <chrono>
#include <cstddef>
#include <limits>

// Every bound on what a client may cost the board server, and on what it stores.
namespace zentab::board {

// Connections served at once, each on a thread of its own; more wait until one ends.
inline constexpr std::size_t kMaxConnections = 256;
// Connections the kernel holds until they are accepted.
inline constexpr int kListenBacklog = 256;
// From a request's first byte to its last, so that a client dripping its request cannot hold
// its connection.
inline constexpr std::chrono::seconds kRequestDeadline{5};
// How long a kept-alive connection may wait for its next request.
inline constexpr std::chrono::seconds kIdleTimeout{5};
// How long one write of an answer may wait for the client to take it.
inline constexpr std::chrono::seconds kWriteTimeout{5};
inline constexpr std::size_t kMaxRequestsPerConnection = 100;

// A request body, once unpacked; far above any account post.
inline constexpr std::size_t kMaxBodyBytes = 1 << 20;
// A request as sent: head, body and chunk framing.
inline constexpr std::size_t kMaxRequestBytes = kMaxBodyBytes + (64 << 10);
// A Range asking for more parts than this gets the whole page instead.
inline constexpr std::size_t kMaxRangeParts = 1;

// Post numbers run from 1 to this; a number is never given twice.
inline constexpr int kLastPostNumber = std::numeric_limits<int>::max();
// A post's subject and message, as the forum takes them.
inline constexpr std::size_t kMaxSubjectBytes = 255;
inline constexpr std::size_t kMaxMessageBytes = 65536;

// Largest value of a fault control parameter.
inline constexpr int kMaxFaultValue = 600000;
// Longest forum action a fault may be limited to.
inline constexpr std::size_t kMaxFaultActionLength = 32;

} // namespace zentab::board
