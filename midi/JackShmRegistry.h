#pragma once
// Following JACK's shared-memory registry when it was made anew. libjack maps the registry
// (/dev/shm/jack-shm-registry) the first time a client of the process opens, and keeps that
// mapping for the life of the process. When the file is removed (systemd-logind's RemoveIPC at a
// logout does so, as can a person) and a server then makes a new one, the process goes on
// reading the old registry and reaches no server any more, while a new process reaches it at
// once. follow() maps the new registry at the address of the old one, which is what libjack's
// first attach would have mapped: clients then open as a new process's would.
//
// Contract: MUST be called only while no JACK client of the process is open (libjack reads the
// registry when a client opens or closes, never in between). User-interface thread.

namespace notecast {

class JackShmRegistry {
 public:
  enum class Outcome {
    kCurrent,       // the process holds the registry that is there (or none is held or there)
    kFollowed,      // the new registry now stands where the old one was
    kCannotFollow,  // the process holds a removed registry and cannot take the new one
  };
  static Outcome follow() noexcept;
};

}  // namespace notecast
