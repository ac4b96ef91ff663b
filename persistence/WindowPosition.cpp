#include "persistence/WindowPosition.h"

#include <cmath>
#include <limits>

#include "abi/Boundary.h"
#include "abi/RuntimeError.h"
#include "os/NumberText.h"
#include "persistence/EventFileKeys.h"
#include "persistence/EventFileSaveCheck.h"
#include "persistence/clsIni.h"

namespace notecast {
namespace {

constexpr const char* kState = "WindowState";
constexpr const char* kLeft = "Left";
constexpr const char* kTop = "Top";

// A position the window can take: within the 32-bit range of twips, as the plug-in has always
// stored them.
std::optional<float> readPosition(clsIni& ini, const char* key) {
  const auto number = parseDecimal(ini.GetIni(event_file::kGeneral, key, "0"));
  if (!number || !(*number >= std::numeric_limits<std::int32_t>::min() &&
                   *number <= std::numeric_limits<std::int32_t>::max()))
    return std::nullopt;
  return static_cast<float>(*number);
}

// Whole numbers of twips, so the text has no decimal point ("600"). A position whose twips do not
// fit is not written: the key keeps what it holds.
void writePosition(clsIni& ini, const char* key, std::optional<std::int32_t> pixels) {
  if (!pixels) return;
  const std::int64_t twips = std::int64_t{*pixels} * kTwipsPerPixel;
  if (twips > std::numeric_limits<std::int32_t>::max() ||
      twips < std::numeric_limits<std::int32_t>::min())
    return;
  ini.SaveIni(event_file::kGeneral, key, std::to_string(twips));
}

}  // namespace

WindowPosition::WindowPosition(std::string path) : path_(std::move(path)) {}

StoredWindowPosition WindowPosition::load() const {
  clsIni ini;
  ini.setFileName(path_);
  StoredWindowPosition stored;
  runStep([&] { stored.leftTwips = readPosition(ini, kLeft); });
  runStep([&] { stored.topTwips = readPosition(ini, kTop); });
  runStep([&] {
    const std::int32_t state = toInt32(ini.GetIni(event_file::kGeneral, kState, "0"));
    if (state >= std::numeric_limits<std::int16_t>::min() &&
        state <= std::numeric_limits<std::int16_t>::max())
      stored.state = static_cast<std::int16_t>(state);
  });
  return stored;
}

void WindowPosition::save(std::int32_t state, std::optional<std::int32_t> leftPixels,
                          std::optional<std::int32_t> topPixels) const {
  checkEventFileLink(path_);
  clsIni ini;
  ini.setFileName(path_);
  ini.SaveIni(event_file::kGeneral, kState, std::to_string(state));
  writePosition(ini, kLeft, leftPixels);
  writePosition(ini, kTop, topPixels);
  ini.commit();
}

std::int32_t WindowPosition::toPixels(float twips) {
  // Within the range load() gives, so the result fits.
  return static_cast<std::int32_t>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}

}  // namespace notecast
