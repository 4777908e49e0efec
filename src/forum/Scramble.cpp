#include "Module1.h"

#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

// Credentials and post archives hold texts scrambled back when only Windows-1252 codes 0-190
// could be, so those characters keep their code-page form: the character of code + 63 +
// (i mod 3). Any other character becomes an escape, which that form never writes (it writes
// codes 63 and up), and a stand-in moved along a set of characters a post can hold: scrambled
// text stays storable, and no old text reads differently.
namespace Module1 {
namespace {

constexpr int HighestPlainCode = 190; // the largest shift is +65, and a code ends at 255
constexpr char32_t Escape = '$';      // harmless in forum markup and in post lines
constexpr char32_t PlaneSize = 0x10000;
constexpr char32_t Planes = 17;

int shift(std::size_t position) {
    return 63 + static_cast<int>(position % 3);
}

class CodePage {
public:
    CodePage() {
        QByteArray codes(256, 0);
        std::iota(codes.begin(), codes.end(), 0);
        const QString decoded = QStringDecoder("windows-1252")(codes);
        for (int code = 0; code < 256; ++code) {
            characterOf[code] = decoded[code].unicode();
            if (characterOf[code] >= codeOf.size())
                codeOf.resize(characterOf[code] + 1, -1);
            codeOf[characterOf[code]] = code;
        }
    }

    char32_t character(int code) const { return characterOf[code]; }
    std::optional<int> code(char32_t c) const {
        if (c >= codeOf.size() || codeOf[c] < 0)
            return std::nullopt;
        return codeOf[c];
    }

private:
    std::array<char32_t, 256> characterOf;
    std::vector<int> codeOf; // by character, -1 for one the code page lacks
};

const CodePage& windows1252() {
    static const CodePage page;
    return page;
}

std::optional<int> plainCode(char32_t c) {
    const auto code = windows1252().code(c);
    return code && *code <= HighestPlainCode ? code : std::nullopt;
}

struct CodeRange {
    char32_t first, last;
};

// Code points of ascending ranges, numbered from 0 in code order.
class CodeSet {
public:
    explicit CodeSet(std::vector<CodeRange> ranges) : ranges(std::move(ranges)) {
        for (const CodeRange& range : this->ranges) {
            starts.push_back(count);
            count += static_cast<int>(range.last - range.first) + 1;
        }
    }

    int size() const { return count; }

    std::optional<int> rankOf(char32_t c) const {
        const auto after =
            std::upper_bound(ranges.begin(), ranges.end(), c,
                             [](char32_t c, const CodeRange& r) { return c < r.first; });
        if (after == ranges.begin() || c > std::prev(after)->last)
            return std::nullopt;
        const auto index = std::prev(after) - ranges.begin();
        return starts[index] + static_cast<int>(c - ranges[index].first);
    }

    std::optional<char32_t> at(int rank) const {
        if (rank < 0 || rank >= count)
            return std::nullopt;
        const auto index =
            std::upper_bound(starts.begin(), starts.end(), rank) - starts.begin() - 1;
        return ranges[index].first + static_cast<char32_t>(rank - starts[index]);
    }

private:
    std::vector<CodeRange> ranges;
    std::vector<int> starts;
    int count = 0;
};

// What a post holds from U+00A0 on. Every character that needs an escape lies there, and
// leaving ASCII out means a stand-in is never a blank or markup punctuation.
const CodeSet& standIns() {
    static const CodeSet set = [] {
        std::vector<CodeRange> ranges{{0xA0, 0xD7FF}, {0xE000, 0xFDCF}, {0xFDF0, 0xFFFD}};
        for (char32_t plane = 1; plane < Planes; ++plane)
            ranges.push_back({plane * PlaneSize, plane * PlaneSize + 0xFFFD});
        return CodeSet(std::move(ranges));
    }();
    return set;
}

// What a post cannot hold, surrogates aside: control characters and noncharacters. A password
// may still carry one, so these get a second escape (never a stand-in) and, as stand-in, their
// place in this set moved along.
const CodeSet& unholdable() {
    static const CodeSet set = [] {
        std::vector<CodeRange> ranges{{0x00, 0x1F}, {0x7F, 0x9F}, {0xFDD0, 0xFDEF}};
        for (char32_t plane = 0; plane < Planes; ++plane)
            ranges.push_back({plane * PlaneSize + 0xFFFE, plane * PlaneSize + 0xFFFF});
        return CodeSet(std::move(ranges));
    }();
    return set;
}

std::optional<std::u32string> charactersOf(const QString& text) {
    std::u32string characters;
    characters.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar unit = text[i];
        if (!unit.isSurrogate()) {
            characters += unit.unicode();
            continue;
        }
        if (!unit.isHighSurrogate() || i + 1 == text.size() || !text[i + 1].isLowSurrogate())
            return std::nullopt;
        characters += QChar::surrogateToUcs4(unit, text[++i]);
    }
    return characters;
}

QString textOf(const std::u32string& characters) {
    return QString::fromUcs4(characters.data(), static_cast<qsizetype>(characters.size()));
}

std::u32string scrambled(char32_t c, int shift) {
    if (const auto code = plainCode(c))
        return {windows1252().character(*code + shift)};
    if (const auto rank = standIns().rankOf(c))
        return {Escape, *standIns().at((*rank + shift) % standIns().size())};
    return {Escape, Escape, *standIns().at(*unholdable().rankOf(c) + shift)};
}

std::optional<char32_t> unscrambledPlain(char32_t c, int shift) {
    const auto code = windows1252().code(c);
    if (!code || *code - shift < 0 || *code - shift > HighestPlainCode)
        return std::nullopt;
    return windows1252().character(*code - shift);
}

// Reads what follows an escape: a stand-in, or a second escape and a stand-in.
std::optional<char32_t> unscrambledEscape(std::u32string_view& rest, int shift) {
    const bool twice = rest.starts_with(Escape);
    if (twice)
        rest.remove_prefix(1);
    if (rest.empty())
        return std::nullopt;
    const auto rank = standIns().rankOf(rest.front());
    rest.remove_prefix(1);
    if (!rank)
        return std::nullopt;
    const int size = standIns().size();
    const auto c =
        twice ? unholdable().at(*rank - shift) : standIns().at((*rank - shift + size) % size);
    if (!c || plainCode(*c)) // a character with a code-page form is never escaped
        return std::nullopt;
    return c;
}

// Reads the character at the front of `rest` and moves past it.
std::optional<char32_t> unscrambled(std::u32string_view& rest, int shift) {
    const char32_t first = rest.front();
    rest.remove_prefix(1);
    return first == Escape ? unscrambledEscape(rest, shift) : unscrambledPlain(first, shift);
}

} // namespace

std::optional<QString> Scramble(const QString& text) {
    auto characters = charactersOf(text);
    if (!characters)
        return std::nullopt;
    std::reverse(characters->begin(), characters->end());
    std::u32string result;
    result.reserve(characters->size());
    for (std::size_t i = 0; i < characters->size(); ++i)
        result += scrambled((*characters)[i], shift(i));
    return textOf(result);
}

std::optional<QString> Unscramble(const QString& text) {
    const auto characters = charactersOf(text);
    if (!characters)
        return std::nullopt;
    std::u32string plain;
    plain.reserve(characters->size());
    for (std::u32string_view rest = *characters; !rest.empty();) {
        const auto c = unscrambled(rest, shift(plain.size()));
        if (!c)
            return std::nullopt;
        plain += *c;
    }
    std::reverse(plain.begin(), plain.end());
    return textOf(plain);
}

} // namespace Module1
