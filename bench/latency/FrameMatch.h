#pragma once
// Matching MIDI messages to the DMX frames that caused them, for the benchmarks that send frames
// whose value names the frame: frame k carries code k % codes, and a message carries its frame's
// code. Plus the quantile of a sample.

#include <jack/jack.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <vector>

namespace notecast::bench {

// The frame a code seen at `usecs` belongs to: the latest frame sent by then (`sent`: each
// frame's send time, in order) with that code.
inline std::optional<int> frameOf(const std::vector<jack_time_t>& sent, jack_time_t usecs, int code,
                                  int codes) {
  const auto after = std::upper_bound(sent.begin(), sent.end(), usecs);
  if (after == sent.begin()) return std::nullopt;
  const int latest = static_cast<int>(after - sent.begin()) - 1;
  const int k = latest - ((latest - code) % codes + codes) % codes;
  if (k < 0) return std::nullopt;
  return k;
}

inline double quantile(std::vector<double> values, double q) {
  if (values.empty()) return 0;
  const auto at =
      static_cast<std::size_t>(std::llround(q * static_cast<double>(values.size() - 1)));
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(at), values.end());
  return values[at];
}

}  // namespace notecast::bench
