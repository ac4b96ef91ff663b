#include "midi/BoundedClose.h"

#include <dlfcn.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

namespace notecast {
namespace {

// Held by the close that runs: closes run one at a time. (A std::mutex needs no destruction, so
// a thread left behind may still take it while the process exits.)
std::mutex closingTurn;
std::atomic<int> unfinishedLeftBehind{0};

struct Completion {
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  bool abandoned = false;  // its caller stopped waiting
};

// A thread left behind runs this library's code when it ever returns: the library must stay
// mapped, and so must everything it depends on (libjack, RtMidi).
void keepThisLibraryLoaded() noexcept {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&keepThisLibraryLoaded), &info) != 0 && info.dli_fname)
    ::dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
}

}  // namespace

bool BoundedClose::run(const std::string& what, std::function<void()> close,
                       std::chrono::milliseconds deadline) noexcept {
  auto job = std::make_shared<std::function<void()>>(std::move(close));
  auto completion = std::make_shared<Completion>();
  std::thread helper;
  try {
    helper = std::thread([job, completion] {
      {
        const std::lock_guard turn(closingTurn);
        (*job)();
        *job = nullptr;  // what it held goes here, on this thread
      }
      const std::lock_guard lock(completion->mutex);
      completion->done = true;
      if (completion->abandoned) unfinishedLeftBehind.fetch_sub(1);
      completion->ended.notify_all();
    });
  } catch (...) {
    // No thread to be had: close in place, without a bound.
    const std::lock_guard turn(closingTurn);
    (*job)();
    *job = nullptr;
    return true;
  }
  {
    std::unique_lock lock(completion->mutex);
    if (!completion->ended.wait_for(lock, deadline, [&] { return completion->done; })) {
      completion->abandoned = true;
      unfinishedLeftBehind.fetch_add(1);
    }
  }
  if (!completion->abandoned) {
    helper.join();
    return true;
  }
  helper.detach();
  keepThisLibraryLoaded();
  std::fprintf(stderr, "Notecast: %s did not end within %lld ms; it is left behind\n", what.c_str(),
               static_cast<long long>(deadline.count()));
  return false;
}

bool BoundedClose::leftBehind() noexcept {
  return unfinishedLeftBehind.load() > 0;
}

}  // namespace notecast
