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

std::atomic<bool> anyLeftBehind{false};

struct Completion {
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
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
  if (anyLeftBehind.load()) {
    // The next close would wait on the lock the first one holds: what it would close stays.
    new std::function<void()>(std::move(close));  // NOLINT: kept for good, on purpose
    return false;
  }
  auto job = std::make_shared<std::function<void()>>(std::move(close));
  auto completion = std::make_shared<Completion>();
  std::thread helper;
  try {
    helper = std::thread([job, completion] {
      (*job)();
      *job = nullptr;  // what it held goes here, on this thread
      const std::lock_guard lock(completion->mutex);
      completion->done = true;
      completion->ended.notify_all();
    });
  } catch (...) {
    (*job)();  // no thread to be had: close in place, without a bound
    *job = nullptr;
    return true;
  }
  bool done = false;
  {
    std::unique_lock lock(completion->mutex);
    done = completion->ended.wait_for(lock, deadline, [&] { return completion->done; });
  }
  if (done) {
    helper.join();
    return true;
  }
  helper.detach();
  anyLeftBehind.store(true);
  keepThisLibraryLoaded();
  std::fprintf(stderr, "Notecast: %s did not end within %lld ms; it is left behind\n", what.c_str(),
               static_cast<long long>(deadline.count()));
  return false;
}

bool BoundedClose::leftBehind() noexcept {
  return anyLeftBehind.load();
}

}  // namespace notecast
