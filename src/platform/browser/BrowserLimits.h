#pragma once

#include <QtGlobal>
#include <chrono>

// The bounds that keep a website the program does not control from hurting it.
namespace browser {

// Fetching a page.
inline constexpr qint64 kMaxPageBytes = 16 * 1024 * 1024;
inline constexpr int kMaxRedirects = 10;
inline constexpr std::chrono::seconds kMaxSilence{60};   // without a byte from the forum
inline constexpr std::chrono::seconds kMaxPageTime{120}; // for the whole page, redirects included

} // namespace browser
