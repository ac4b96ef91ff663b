#include "os/NumberText.h"

#include <cctype>
#include <cmath>
#include <limits>

#include "abi/RuntimeError.h"

namespace notecast {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}
bool isDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

std::optional<double> parseDecimal(const std::string& text) {
  std::size_t first = 0, last = text.size();
  while (first < last && isBlank(text[first])) ++first;
  while (last > first && isBlank(text[last - 1])) --last;
  const std::string body = text.substr(first, last - first);

  // Checked by hand: strtod would also take hexadecimal, "inf" and "nan".
  std::size_t i = 0;
  if (i < body.size() && (body[i] == '+' || body[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < body.size() && isDigit(body[i])) ++i, ++digits;
  if (i < body.size() && body[i] == '.') {
    ++i;
    while (i < body.size() && isDigit(body[i])) ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
    std::size_t exponent = i + 1;
    if (exponent < body.size() && (body[exponent] == '+' || body[exponent] == '-')) ++exponent;
    std::size_t exponentDigits = 0;
    while (exponent < body.size() && isDigit(body[exponent])) ++exponent, ++exponentDigits;
    if (exponentDigits == 0) return std::nullopt;
    i = exponent;
  }
  if (i != body.size()) return std::nullopt;
  return std::strtod(body.c_str(), nullptr);
}

double roundHalfEven(double value) {
  return std::nearbyint(value);
}  // default mode: to even

std::int32_t toInt32(const std::string& text) {
  const std::optional<double> number = parseDecimal(text);
  if (!number) throw RuntimeError(ErrorNumber::TypeMismatch);
  const double rounded = roundHalfEven(*number);
  if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
        rounded <= std::numeric_limits<std::int32_t>::max()))
    throw RuntimeError(ErrorNumber::Overflow);
  return static_cast<std::int32_t>(rounded);
}

std::string mebibytesText(std::uint64_t bytes) {
  constexpr std::uint64_t kMebibyte = std::uint64_t{1} << 20;
  // Tenths of the part beyond whole MiB, rounded up: whole MiB stay exact.
  std::uint64_t units = bytes / kMebibyte;
  std::uint64_t tenths = (bytes % kMebibyte * 10 + kMebibyte - 1) / kMebibyte;
  if (tenths == 10) ++units, tenths = 0;
  std::string text = std::to_string(units);
  if (tenths != 0) text += "." + std::to_string(tenths);
  return text + " MiB";
}

}  // namespace notecast
