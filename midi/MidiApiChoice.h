#pragma once
// Which MIDI system the output control talks to. The environment variable NOTECAST_MIDI_API
// chooses it: "alsa" or "jack", in any case. Unset or empty, the default is ALSA when its
// sequencer device exists and JACK otherwise. Any other value falls back to the default and
// leaves a notice for the user, since a misspelt setting should not go unnoticed.

#include <string>

namespace notecast {

enum class MidiSystem { kAlsa, kJack };

class MidiApiChoice {
 public:
  static constexpr const char* kVariable = "NOTECAST_MIDI_API";
  static constexpr const char* kSequencerDevice = "/dev/snd/seq";

  // The choice for `setting` (null when unset) on a machine with or without the ALSA sequencer.
  static MidiApiChoice choose(const char* setting, bool sequencerPresent);
  // The choice for this process's environment and machine.
  static MidiApiChoice fromEnvironment();
  static bool sequencerPresent();

  MidiSystem system() const { return system_; }
  // Empty unless the setting was not understood; then it says so and what is used instead.
  const std::string& notice() const { return notice_; }

 private:
  MidiApiChoice(MidiSystem system, std::string notice);

  MidiSystem system_;
  std::string notice_;
};

}  // namespace notecast
