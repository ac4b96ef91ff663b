#pragma once
// Numbers read from text the way the plug-in's texts have always been read: surrounding blanks
// allowed, an optional sign, decimal digits with an optional fraction, rounded to the nearest
// integer with halves to the even neighbour.

#include <cstdint>
#include <optional>
#include <string>

namespace notecast {

// The real number the text spells ("  -12.5 " -> -12.5), or nothing when it is not a number.
std::optional<double> parseDecimal(const std::string& text);

// The text as a 32-bit integer: type mismatch (error 13) when it is not a number, overflow
// (error 6) when the rounded value does not fit.
std::int32_t toInt32(const std::string& text);

// Rounds to the nearest integer, halves to the even neighbour (12.5 -> 12, 13.5 -> 14).
double roundHalfEven(double value);

}  // namespace notecast
