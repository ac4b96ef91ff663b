#pragma once
// Counts what keeps a shared object in memory: live COM objects and class-factory locks;
// DllCanUnloadNow answers from it.
//
// Every library (and the host program) that links the static library notecast_abi gets its own
// counter: everything is built with hidden visibility, so the count is per module, as COM's is.
// objectCreated and objectDestroyed MUST pair, once per live object (ComObject does it; an object
// that counts its own references calls them itself); so MUST lockServer(true) and
// lockServer(false) (an unlock without a lock is ignored).
// The count MUST only change on the owning (user-interface) thread.

#include <cstdint>

namespace notecast {

class ModuleLock {
 public:
  // Runs when the number of live objects drops to zero, inside the last object's Release (server
  // locks do not hold it off); the plug-in tears down its process-wide state there. One hook per
  // module; it MUST NOT throw and MUST NOT use the object being released.
  using IdleHook = void (*)();

  static void objectCreated() noexcept;
  static void objectDestroyed() noexcept;
  static void lockServer(bool lock) noexcept;

  static std::int32_t liveObjects() noexcept;
  static std::int32_t serverLocks() noexcept;
  static void setIdleHook(IdleHook hook) noexcept;
};

}  // namespace notecast
