#pragma once
// What the user has been told about causes that last, so that each is told once for as long as
// it lasts. Kept beyond one output control: the window makes a new control each time it loads
// (its frame's close button unloads it), and a cause told through an earlier control is not told
// again while it lasts. The controls the plug-in makes share one for the process; a control made
// on its own (tests) has its own.
// User-interface thread only.

#include <memory>
#include <string>

namespace notecast {

struct MidiToldCauses {
  // Told that no MIDI system can be reached; over when one is reached.
  bool noSystem = false;
  // The chosen output told missing (gone away, not there, or not reachable); over when it opens
  // or another is chosen. Empty: none.
  std::string missingOutput;
  // Told that no output is chosen; over when one is chosen or the user closes the output.
  bool notOpen = false;

  static std::shared_ptr<MidiToldCauses> processWide();
};

}  // namespace notecast
