#pragma once
// The configuration window's place on the screen, kept in section "General" of the event file:
// "WindowState" (0 normal, 1 minimised, 2 maximised), "Left" and "Top" (the outer frame's
// position in twips, 15 per pixel at 96 dots per inch).

#include <cstdint>
#include <optional>
#include <string>

namespace notecast {

struct StoredWindowPosition {
  // Each is absent when its key holds something the window cannot take: not a number, or a
  // position beyond the 32-bit range of twips. The window then keeps what it has, and the file
  // what it holds, until the window moves. Missing keys read as 0.
  std::optional<float> leftTwips;
  std::optional<float> topTwips;
  std::optional<std::int16_t> state;
};

inline constexpr int kTwipsPerPixel = 15;

class WindowPosition {
 public:
  explicit WindowPosition(std::string path);

  StoredWindowPosition load() const;
  // Stores the three keys, each step on its own; throws when the file cannot be written, or is a
  // symbolic link to a file that is no event file (checkEventFileLink). A position that is
  // absent, or beyond the 32-bit range in twips, leaves its key as it is.
  void save(std::int32_t state, std::optional<std::int32_t> leftPixels,
            std::optional<std::int32_t> topPixels) const;
  // A stored position (one that load() gave) in pixels.
  static std::int32_t toPixels(float twips);

 private:
  std::string path_;
};

}  // namespace notecast
