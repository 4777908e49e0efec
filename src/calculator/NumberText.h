#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The lenient number reading and the number writing that every amount in the
// calculator goes through, typed, pasted or read from a page.
namespace calculator {

// Reads the number at the start of a text: blanks skipped, sign, digits, one
// ".", an "E"/"D" exponent, or "&H"/"&O" integers; 0 when there is none.
double LeadingNumber(std::string_view text);

// True when the text, surrounding blanks aside, is a sign, digits with at most
// one decimal point and an optional exponent, and nothing else.
bool isPlainNumber(std::string_view text);

// Rounds to the nearest whole Knut, ties to even; nothing when the result
// leaves the signed 32-bit range or the value is not finite.
std::optional<std::int32_t> knutRound(double value);

// "-1", "0", "493": plain decimal, no grouping.
std::string numberText(std::int64_t value);

// Shortest general form with up to 15 significant digits ("2.5", "1E+16").
std::string numberText(double value);

bool containsNoCase(std::string_view text, std::string_view word);
std::size_t findNoCase(std::string_view text, std::string_view word, std::size_t from = 0);

} // namespace calculator
