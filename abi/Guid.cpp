#include "abi/Guid.h"

#include <cctype>
#include <cstdio>

namespace notecast {

std::string toString(const Guid& g) {
  char text[39];
  std::snprintf(text, sizeof text, "{%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}", g.data1,
                g.data2, g.data3, g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4],
                g.data4[5], g.data4[6], g.data4[7]);
  return text;
}

bool parseGuid(const std::string& text, Guid* guid) {
  std::string body = text;
  if (body.size() == 38 && body.front() == '{' && body.back() == '}') body = body.substr(1, 36);
  if (body.size() != 36) return false;
  std::string hex;
  for (std::size_t i = 0; i < body.size(); ++i) {
    const bool dashPosition = i == 8 || i == 13 || i == 18 || i == 23;
    if (dashPosition != (body[i] == '-')) return false;
    if (dashPosition) continue;
    if (!std::isxdigit(static_cast<unsigned char>(body[i]))) return false;
    hex += body[i];
  }
  auto field = [&hex](std::size_t offset, std::size_t digits) {
    return static_cast<std::uint32_t>(std::stoul(hex.substr(offset, digits), nullptr, 16));
  };
  Guid parsed;
  parsed.data1 = field(0, 8);
  parsed.data2 = static_cast<std::uint16_t>(field(8, 4));
  parsed.data3 = static_cast<std::uint16_t>(field(12, 4));
  for (std::size_t i = 0; i < 8; ++i)
    parsed.data4[i] = static_cast<std::uint8_t>(field(16 + 2 * i, 2));
  *guid = parsed;
  return true;
}

}  // namespace notecast
