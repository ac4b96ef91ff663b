#include "midi/MidiOutputControl.h"

#include "midi/RtMidiOutputControl.h"

namespace notecast {
namespace {

MidiOutputFactory& replacedFactory() {
  static MidiOutputFactory factory;
  return factory;
}

}  // namespace

std::unique_ptr<MidiOutputControl> createMidiOutputControl() {
  if (const MidiOutputFactory& factory = replacedFactory()) return factory();
  // The plug-in's controls share what the user was told: the window makes a new one per load.
  return std::make_unique<RtMidiOutputControl>(MidiApiChoice::fromEnvironment(),
                                               MidiToldCauses::processWide());
}

void setMidiOutputFactory(MidiOutputFactory factory) {
  replacedFactory() = std::move(factory);
}

}  // namespace notecast
