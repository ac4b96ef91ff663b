#pragma once
// Keeps ALSA and JACK from writing their chatter to stderr and stdout: the plug-in runs inside
// the host, whose output is not ours to fill. Both libraries only offer process-wide handlers,
// and the handlers installed live in this library; the plug-in may be unloaded while ALSA or
// JACK stay loaded, so the handlers found before come back when this library goes.
//
// JACK's handler also notes one thing libjack says only there: once a server has gone, the
// next jack_client_open of the process closes and deletes every client still open ("Jack server
// was closed but clients are still allocated, cleanup..."). A handle to such a client MUST NOT
// be used or closed any more: its owner compares jackCleanups() with the count at its open.

#include <cstdint>

namespace notecast {

class QuietMidiLibraries {
 public:
  // Installs the silent handlers, once; MUST come before the first client of either library.
  static void ensure() noexcept;
  // How many times libjack deleted the process's open clients so far. Any thread.
  static std::uint64_t jackCleanups() noexcept;

 private:
  QuietMidiLibraries() noexcept;
  ~QuietMidiLibraries() noexcept;
};

}  // namespace notecast
