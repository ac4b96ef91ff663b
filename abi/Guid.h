#pragma once
// Globally unique identifiers for interfaces and classes, laid out as COM lays them out.
// Entry points take them by pointer, so the 16-byte layout MUST NOT change; an id, once shipped,
// names the same interface or class for good.

#include <array>
#include <cstdint>
#include <string>

namespace notecast {

struct Guid {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::array<std::uint8_t, 8> data4{};

  friend constexpr bool operator==(const Guid&, const Guid&) = default;
};

using Iid = Guid;    // interface identifier
using Clsid = Guid;  // class identifier

// Lower-case registry form with braces: "{6f1c2d8e-93a4-4b57-b0de-5a7c41e2f903}".
std::string toString(const Guid& guid);

// Parses the registry form (braces optional, either case); false when the text is not a GUID,
// and *guid is then left unchanged.
bool parseGuid(const std::string& text, Guid* guid);

}  // namespace notecast
