#include "ParserShield.h"

#include <array>
#include <cstring>

namespace browser {
namespace {

// Code points U+10FE00 + n, all written as the high surrogate 0xDBFF and a low one from 0xDE00.
constexpr char16_t ShieldHigh = 0xDBFF;
constexpr char16_t ShieldLowFirst = 0xDE00;
// Before a private-use character of the range that was in the markup itself.
constexpr char16_t ShieldLowLiteral = ShieldLowFirst + 0x7F;

constexpr bool shieldLow(char16_t low) {
    return low >= ShieldLowFirst && low <= ShieldLowLiteral;
}

struct Span {
    char32_t first, last;
};

// What the parser replaces, in code order: controls other than the blanks HTML keeps (and NUL,
// which HTML replaces too), and the noncharacters.
constexpr auto Replaced = [] {
    std::array<Span, 22> spans{
        {{0x01, 0x08}, {0x0B, 0x0B}, {0x0E, 0x1F}, {0x7F, 0x9F}, {0xFDD0, 0xFDEF}}};
    for (char32_t plane = 0; plane <= 16; ++plane)
        spans[5 + plane] = {plane * 0x10000 + 0xFFFE, plane * 0x10000 + 0xFFFF};
    return spans;
}();

static_assert(
    [] {
        int count = 0;
        for (const Span& span : Replaced)
            count += int(span.last - span.first) + 1;
        return count;
    }() < ShieldLowLiteral - ShieldLowFirst,
    "each replaced character needs a shield of its own, below the literal marker");

// The place of `c` among the replaced characters, or -1.
int rankOf(char32_t c) {
    int rank = 0;
    for (const Span& span : Replaced) {
        if (c < span.first)
            return -1;
        if (c <= span.last)
            return rank + int(c - span.first);
        rank += int(span.last - span.first) + 1;
    }
    return -1;
}

char32_t atRank(int rank) {
    for (const Span& span : Replaced) {
        const int size = int(span.last - span.first) + 1;
        if (rank < size)
            return span.first + char32_t(rank);
        rank -= size;
    }
    return 0xFFFD;
}

bool printableAscii(char16_t unit) {
    return unit >= 0x20 && unit < 0x7F;
}

// Whether all four UTF-16 units in the word are printable ASCII. A unit past
// 0x7F may carry into the next one in the sums, but its high bits tell already.
bool allPrintableAscii(quint64 units) {
    constexpr quint64 kEach = 0x0001'0001'0001'0001;
    const quint64 beyondAscii = units & (0xFF80 * kEach);
    const quint64 control = ~(units + 0x60 * kEach) & (0x80 * kEach); // below 0x20
    const quint64 del = (units + kEach) & (0x80 * kEach);             // 0x7F
    return (beyondAscii | control | del) == 0;
}

// The length of the leading run of printable ASCII, most of any page, read four units at a time.
qsizetype printableAsciiRun(QStringView text) {
    const char16_t* units = text.utf16();
    qsizetype run = 0;
    for (quint64 word; run + 4 <= text.size(); run += 4) {
        std::memcpy(&word, units + run, sizeof word);
        if (!allPrintableAscii(word))
            break;
    }
    while (run < text.size() && printableAscii(units[run]))
        ++run;
    return run;
}

void appendCodePoint(QString& out, char32_t c) {
    out += QString::fromUcs4(&c, 1);
}

} // namespace

QString shieldFromParser(const QString& markup) {
    const auto needsShield = [&markup](qsizetype i) {
        const char16_t unit = markup[i].unicode();
        if (printableAscii(unit))
            return false;
        if (QChar::isHighSurrogate(unit) && i + 1 < markup.size()) {
            const char16_t low = markup[i + 1].unicode();
            const bool noncharacter = (unit & 0x3F) == 0x3F && (low & 0xFFFE) == 0xDFFE;
            return noncharacter || (unit == ShieldHigh && shieldLow(low));
        }
        return rankOf(unit) >= 0;
    };
    qsizetype first = 0;
    while (first < markup.size() && !needsShield(first)) {
        ++first;
        first += printableAsciiRun(QStringView(markup).sliced(first));
    }
    if (first == markup.size())
        return markup;

    QString out = markup.left(first);
    out.reserve(markup.size() + 64);
    for (qsizetype i = first; i < markup.size(); ++i) {
        const bool pair =
            markup[i].isHighSurrogate() && i + 1 < markup.size() && markup[i + 1].isLowSurrogate();
        const char32_t c =
            pair ? QChar::surrogateToUcs4(markup[i], markup[i + 1]) : char32_t(markup[i].unicode());
        if (!needsShield(i)) {
            out += markup.mid(i, pair ? 2 : 1);
        } else if (const int rank = rankOf(c); rank >= 0) {
            out += QChar(ShieldHigh);
            out += QChar(char16_t(ShieldLowFirst + rank));
        } else {
            out += QChar(ShieldHigh);
            out += QChar(ShieldLowLiteral);
            appendCodePoint(out, c);
        }
        i += pair ? 1 : 0;
    }
    return out;
}

QString unshield(const QString& parsed) {
    if (!parsed.contains(QChar(ShieldHigh)))
        return parsed;
    QString out;
    out.reserve(parsed.size());
    for (qsizetype i = 0; i < parsed.size(); ++i) {
        const bool shielded = parsed[i].unicode() == ShieldHigh && i + 1 < parsed.size() &&
                              shieldLow(parsed[i + 1].unicode());
        if (!shielded) {
            out += parsed[i];
            continue;
        }
        const char16_t low = parsed[i + 1].unicode();
        i += 1;
        if (low != ShieldLowLiteral) {
            appendCodePoint(out, atRank(low - ShieldLowFirst));
        } else if (i + 2 < parsed.size()) {
            out += parsed.mid(i + 1, 2); // the private-use character the markup held
            i += 2;
        }
    }
    return out;
}

} // namespace browser
