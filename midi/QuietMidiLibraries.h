#pragma once
// Keeps ALSA and JACK from writing their chatter to stderr and stdout: the plug-in runs inside
// the host, whose output is not ours to fill. Both libraries only offer process-wide handlers,
// and the handlers installed live in this library; the plug-in may be unloaded while ALSA or
// JACK stay loaded, so the handlers found before come back when this library goes.

namespace notecast {

class QuietMidiLibraries {
 public:
  // Installs the silent handlers, once; MUST come before the first client of either library.
  static void ensure() noexcept;

 private:
  QuietMidiLibraries() noexcept;
  ~QuietMidiLibraries() noexcept;
};

}  // namespace notecast
