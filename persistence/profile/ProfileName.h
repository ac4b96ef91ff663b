#pragma once
// Section and key names of a profile file compare ignoring case (Windows-1252 letters, not just
// ASCII).

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "persistence/profile/Windows1252.h"

namespace notecast {

struct ProfileName {
  static bool equal(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (Windows1252::upper(static_cast<unsigned char>(a[i])) !=
          Windows1252::upper(static_cast<unsigned char>(b[i])))
        return false;
    }
    return true;
  }

  // FNV-1a over the capital letters, mixed with seed (a section's number, for key names) and
  // finished so that the low bits, which pick a hash table's slot, depend on every byte.
  static std::uint64_t hash(std::string_view name, std::uint64_t seed = 0) noexcept {
    constexpr std::uint64_t kOffsetBasis = 14695981039346656037ull;
    constexpr std::uint64_t kPrime = 1099511628211ull;
    constexpr std::uint64_t kSeedFactor = 0x9E3779B97F4A7C15ull;
    std::uint64_t h = kOffsetBasis ^ (seed * kSeedFactor);
    for (const char c : name) {
      h ^= Windows1252::upper(static_cast<unsigned char>(c));
      h *= kPrime;
    }
    // The finish of splitmix64.
    h = (h ^ (h >> 30)) * 0xBF58476D1CE4E5B9ull;
    h = (h ^ (h >> 27)) * 0x94D049BB133111EBull;
    return h ^ (h >> 31);
  }
};

}  // namespace notecast
