#pragma once
// Comparing names as the plug-in's texts always have: letters A-Z equal to a-z.

#include <algorithm>
#include <cctype>
#include <string_view>

namespace notecast {

inline bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) ==
           std::toupper(static_cast<unsigned char>(y));
  });
}

}  // namespace notecast
