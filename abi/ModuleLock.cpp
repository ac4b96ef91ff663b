#include "abi/ModuleLock.h"

#include <atomic>

namespace notecast {
namespace {

std::atomic<std::int32_t> liveObjectCount{0};
std::atomic<std::int32_t> serverLockCount{0};
std::atomic<ModuleLock::IdleHook> idleHook{nullptr};

}  // namespace

void ModuleLock::objectCreated() noexcept {
  ++liveObjectCount;
}

void ModuleLock::objectDestroyed() noexcept {
  if (--liveObjectCount == 0) {
    if (IdleHook hook = idleHook.load()) hook();
  }
}

void ModuleLock::lockServer(bool lock) noexcept {
  if (lock) {
    ++serverLockCount;
  } else if (serverLockCount > 0) {
    --serverLockCount;
  }
}

std::int32_t ModuleLock::liveObjects() noexcept {
  return liveObjectCount;
}
std::int32_t ModuleLock::serverLocks() noexcept {
  return serverLockCount;
}
void ModuleLock::setIdleHook(IdleHook hook) noexcept {
  idleHook = hook;
}

}  // namespace notecast
