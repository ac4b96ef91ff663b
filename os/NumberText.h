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

// A file's size for a person, in MiB to a tenth, rounded up so that a size past a limit never
// reads as the limit itself: "32 MiB", "32.1 MiB" (for 32 MiB and one byte), "0.1 MiB".
std::string mebibytesText(std::uint64_t bytes);

}  // namespace notecast
