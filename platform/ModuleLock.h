#pragma once
// Counts what keeps a shared object in memory: live COM objects and class-factory locks.
//
// Every library (and the host program) that links the platform library gets its own counter:
// everything is built with hidden visibility, so the count is per module, as COM's is.
// The count MUST only change on the owning (user-interface) thread.

#include <cstdint>

namespace notecast {

class ModuleLock {
 public:
  // Runs when the number of live objects drops to zero; the plug-in tears down its
  // process-wide state there.
  using IdleHook = void (*)();

  static void objectCreated() noexcept;
  static void objectDestroyed() noexcept;
  static void lockServer(bool lock) noexcept;

  static std::int32_t liveObjects() noexcept;
  static std::int32_t serverLocks() noexcept;
  static void setIdleHook(IdleHook hook) noexcept;
};

}  // namespace notecast
