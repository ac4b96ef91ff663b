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
  return std::make_unique<RtMidiOutputControl>();
}

void setMidiOutputFactory(MidiOutputFactory factory) {
  replacedFactory() = std::move(factory);
}

}  // namespace notecast
