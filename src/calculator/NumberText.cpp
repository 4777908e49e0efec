#include "NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace calculator {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
// Far beyond any double, yet summed with a mantissa's length without overflow.
constexpr long long kExponentCeiling = 1'000'000'000'000;

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Walks a text the way the leading-number reading does: blanks between the
// characters of a number do not end it.
class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    char peek() {
        while (pos_ < text_.size() && isBlank(text_[pos_]))
            ++pos_;
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }
    void advance() { ++pos_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

double readRadixInteger(Scanner& in, int radix) {
    double value = 0;
    for (char c = lower(in.peek());; c = lower(in.peek())) {
        int digit = isDigit(c) ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : radix;
        if (digit >= radix)
            return value;
        value = value * radix + digit;
        in.advance();
    }
}

// The power of ten of the leading digit of "digits[.digits][e[sign]digits]"
// with at least one digit that is not 0; it decides which way a value beyond
// a double's range goes, whatever the sign of its exponent.
long long decimalMagnitude(std::string_view number) {
    const std::size_t exponentAt = std::min(number.find('e'), number.size());
    const std::string_view mantissa = number.substr(0, exponentAt);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t leading = mantissa.find_first_of("123456789");
    long long magnitude = leading < point ? static_cast<long long>(point - leading) - 1
                                          : -static_cast<long long>(leading - point);
    long long exponent = 0;
    const std::string_view written = number.substr(std::min(exponentAt + 1, number.size()));
    const bool negative = !written.empty() && written.front() == '-';
    for (char c : written) {
        if (isDigit(c))
            exponent = std::min(exponent * 10 + (c - '0'), kExponentCeiling);
    }
    return magnitude + (negative ? -exponent : exponent);
}

double parseDecimal(const std::string& digits) {
    double value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range)
        return decimalMagnitude(digits) >= 0 ? HUGE_VAL : 0.0;
    return value;
}

} // namespace

double LeadingNumber(std::string_view text) {
    Scanner in(text);
    if (in.peek() == '&') {
        in.advance();
        char kind = lower(in.peek());
        if (kind != 'h' && kind != 'o')
            return 0;
        in.advance();
        return readRadixInteger(in, kind == 'h' ? 16 : 8);
    }

    bool negative = false;
    if (in.peek() == '+' || in.peek() == '-') {
        negative = in.peek() == '-';
        in.advance();
    }
    std::string number;
    bool seenPoint = false;
    for (char c = in.peek(); isDigit(c) || (c == '.' && !seenPoint); c = in.peek()) {
        seenPoint = seenPoint || c == '.';
        number += c;
        in.advance();
    }
    if (number.find_first_of("0123456789") == std::string::npos)
        return 0;

    char marker = lower(in.peek());
    if (marker == 'e' || marker == 'd') {
        in.advance();
        std::string exponent;
        if (in.peek() == '+' || in.peek() == '-') {
            exponent += in.peek();
            in.advance();
        }
        std::string exponentDigits;
        for (char c = in.peek(); isDigit(c); c = in.peek()) {
            exponentDigits += c;
            in.advance();
        }
        if (!exponentDigits.empty())
            number += 'e' + exponent + exponentDigits;
    }
    double value = parseDecimal(number);
    return negative ? -value : value;
}

bool isPlainNumber(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    std::string_view s = text.substr(begin, end - begin);

    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < s.size(); ++i) {
        if (isDigit(s[i]))
            digits = true;
        else if (s[i] == '.' && !point)
            point = true;
        else
            break;
    }
    if (!digits)
        return false;
    if (i < s.size() && (lower(s[i]) == 'e' || lower(s[i]) == 'd')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        std::size_t exponentStart = i;
        while (i < s.size() && isDigit(s[i]))
            ++i;
        if (i == exponentStart)
            return false;
    }
    return i == s.size();
}

std::optional<std::int32_t> knutRound(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    double rounded = std::nearbyint(value); // the default rounding mode sends ties to even
    if (rounded < -2147483648.0 || rounded > 2147483647.0)
        return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

std::string numberText(std::int64_t value) {
    return std::to_string(value);
}

std::string numberText(double value) {
    if (value == 0)
        return "0"; // never "-0"
    char buffer[40];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, result.ptr);
    for (char& c : text)
        c = c == 'e' ? 'E' : c;
    return text;
}

std::size_t findNoCase(std::string_view text, std::string_view word, std::size_t from) {
    if (word.size() > text.size())
        return std::string_view::npos;
    for (std::size_t i = from; i + word.size() <= text.size(); ++i) {
        std::size_t j = 0;
        while (j < word.size() && lower(text[i + j]) == lower(word[j]))
            ++j;
        if (j == word.size())
            return i;
    }
    return std::string_view::npos;
}

bool containsNoCase(std::string_view text, std::string_view word) {
    return findNoCase(text, word) != std::string_view::npos;
}

} // namespace calculator
