#include "host/session/CloseName.h"

#include <algorithm>
#include <cctype>
#include <cstddef>

namespace notecast::host {
namespace {

constexpr std::size_t kShortName = 5;

std::string lowered(const std::string& text) {
  std::string lower = text;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// Letters inserted, left out or replaced, and neighbours swapped, each one edit.
std::size_t editDistance(const std::string& a, const std::string& b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t replace = d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, replace});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[a.size()][b.size()];
}

}  // namespace

std::optional<std::string> closeName(const std::string& typed,
                                     const std::vector<std::string>& names) {
  if (std::find(names.begin(), names.end(), typed) != names.end()) return std::nullopt;
  const std::string lower = lowered(typed);
  const std::size_t allowed = typed.size() <= kShortName ? 1 : 2;
  std::optional<std::string> best;
  std::size_t bestDistance = allowed + 1;
  for (const std::string& name : names) {
    const std::size_t distance = editDistance(lower, lowered(name));
    if (distance < bestDistance) {
      best = name;
      bestDistance = distance;
    }
  }
  return best;
}

}  // namespace notecast::host
