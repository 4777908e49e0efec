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

// Cookies, bounded as browsers bound them so that no site can bloat every
// request or the cookie file; past a count the oldest are dropped.
inline constexpr qsizetype kMaxCookieBytes = 4096; // name and value
inline constexpr int kMaxCookiesPerHost = 50;
inline constexpr int kMaxCookies = 300;
// Parent domains whose hosts belong to different owners, as the public suffix
// list would say if it named them: a cookie for one is kept for its own host only.
inline constexpr const char* kSharedParentDomains[] = {"proboards.com"};

// Parsing a page: the parser is neither fast nor frugal on hostile input. Longer
// markup is cut; a page past the other bounds is shown as too complex.
inline constexpr qsizetype kMaxParseBytes = 16 * 1024 * 1024;
inline constexpr int kMaxParseNodes = 400'000; // some 200,000 elements with their text
inline constexpr int kMaxParseDepth = 512;     // elements inside each other
inline constexpr size_t kMaxParseMemory = 128 * 1024 * 1024; // what the parser holds at once
// A page up to this size is parsed where it arrives, in well under a frame:
// sending it to a worker thread and back would cost an eighth of its parse.
inline constexpr qsizetype kMaxParseAtOnceBytes = 64 * 1024;

// Showing a page in a viewer window: the rich-text renderer takes time that
// doubles with every table inside a table and grows with every cell.
inline constexpr int kViewerMaxElements = 5'000;           // rich text up to here, then plain text
inline constexpr qsizetype kViewerMaxCharacters = 200'000; // shown at most
inline constexpr qsizetype kViewerMaxStyleCharacters = 20'000; // of style sheets, kept or not
inline constexpr int kViewerMaxDepth = 16;                     // elements inside each other
inline constexpr int kViewerMaxTableDepth = 3;                 // tables inside each other
inline constexpr int kViewerMaxSpan = 16;                      // columns or rows a cell spans

} // namespace browser
