#include "midi/MidiApiChoice.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace notecast {
namespace {

constexpr const char* kAlsaName = "alsa";
constexpr const char* kJackName = "jack";

std::string lowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

const char* displayName(MidiSystem system) {
  return system == MidiSystem::kAlsa ? "ALSA" : "JACK";
}

}  // namespace

MidiApiChoice::MidiApiChoice(MidiSystem system, std::string notice)
    : system_(system), notice_(std::move(notice)) {}

MidiApiChoice MidiApiChoice::choose(const char* setting, bool sequencerPresent) {
  const MidiSystem fallback = sequencerPresent ? MidiSystem::kAlsa : MidiSystem::kJack;
  const std::string value = lowerCase(setting ? setting : "");
  if (value.empty()) return {fallback, {}};
  if (value == kAlsaName) return {MidiSystem::kAlsa, {}};
  if (value == kJackName) return {MidiSystem::kJack, {}};
  return {fallback, std::string(kVariable) + "=\"" + setting + "\" is not a MIDI system (use " +
                        kAlsaName + " or " + kJackName + "); using " + displayName(fallback) + "."};
}

MidiApiChoice MidiApiChoice::fromEnvironment() {
  return choose(std::getenv(kVariable), sequencerPresent());
}

bool MidiApiChoice::sequencerPresent() {
  return ::access(kSequencerDevice, R_OK | W_OK) == 0;
}

}  // namespace notecast
