#include "persistence/WindowPosition.h"

#include <limits>

#include "abi/Boundary.h"
#include "abi/RuntimeError.h"
#include "os/NumberText.h"
#include "persistence/EventFileKeys.h"
#include "persistence/clsIni.h"

namespace notecast {
namespace {

constexpr const char* kState = "WindowState";
constexpr const char* kLeft = "Left";
constexpr const char* kTop = "Top";

std::optional<float> readSingle(clsIni& ini, const char* key) {
  const auto number = parseDecimal(ini.GetIni(event_file::kGeneral, key, "0"));
  if (!number || *number > std::numeric_limits<float>::max() ||
      *number < std::numeric_limits<float>::lowest())
    return std::nullopt;
  return static_cast<float>(*number);
}

}  // namespace

WindowPosition::WindowPosition(std::string path) : path_(std::move(path)) {}

StoredWindowPosition WindowPosition::load() const {
  clsIni ini;
  ini.setFileName(path_);
  StoredWindowPosition stored;
  runStep([&] { stored.leftTwips = readSingle(ini, kLeft); });
  runStep([&] { stored.topTwips = readSingle(ini, kTop); });
  runStep([&] {
    const std::int32_t state = toInt32(ini.GetIni(event_file::kGeneral, kState, "0"));
    if (state >= std::numeric_limits<std::int16_t>::min() &&
        state <= std::numeric_limits<std::int16_t>::max())
      stored.state = static_cast<std::int16_t>(state);
  });
  return stored;
}

// Whole numbers of twips, so the text has no decimal point ("600").
void WindowPosition::save(std::int32_t state, std::int32_t leftPixels,
                          std::int32_t topPixels) const {
  clsIni ini;
  ini.setFileName(path_);
  ini.SaveIni(event_file::kGeneral, kState, std::to_string(state));
  ini.SaveIni(event_file::kGeneral, kLeft, std::to_string(leftPixels * kTwipsPerPixel));
  ini.SaveIni(event_file::kGeneral, kTop, std::to_string(topPixels * kTwipsPerPixel));
  ini.commit();
}

}  // namespace notecast
