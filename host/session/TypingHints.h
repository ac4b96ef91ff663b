#pragma once
// Hints for names on the command line that are not there: a --project whose event file does not
// exist, a --midi-out or --connect port the MIDI system does not have. Each names the close one
// that is there ("did you mean midi-monitor:input?"), and points to --list-outputs for ports.
// The run goes on as before: a port may appear later, an event file be saved.

#include <optional>
#include <string>
#include <vector>

namespace notecast::host {

// When `eventFile` (the event file of `projectBase`) does not exist and another event file in
// its folder has a close name: "did you mean --project ./demo? (./demo.Notecast is there)".
std::optional<std::string> projectHint(const std::string& projectBase,
                                       const std::string& eventFile);

// One line for each port given that `outputList` (the plug-in's outputs, one a line) does not
// hold; ALSA's client and port numbers at a listed name's end are not needed.
std::vector<std::string> portHints(const std::string& outputList,
                                   const std::optional<std::string>& midiOut,
                                   const std::vector<std::string>& connectPorts);

}  // namespace notecast::host
