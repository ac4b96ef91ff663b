#include "midi/JackServerWatch.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <map>
#include <mutex>
#include <string_view>
#include <thread>

#include "midi/BoundedClose.h"
#include "midi/QuietMidiLibraries.h"

namespace notecast {
namespace {

using namespace std::chrono_literals;
constexpr auto kCallbackEnds = 1s;  // a callback only raises a signal; this is generous
constexpr auto kPollStep = 1ms;
constexpr auto kQuiet = 20ms;         // no client came or went for this long
constexpr auto kQuietAtMost = 250ms;  // clients may come and go without pause
// Whether the server runs its cycles: a few of its periods, within these bounds.
constexpr int kCyclesLooked = 3;
constexpr auto kLookSoonest = 20ms;
constexpr auto kLookLatest = 200ms;

}  // namespace

struct JackServerWatch::Shared {
  Shared(std::shared_ptr<MidiChangeSignal> signal, std::string own)
      : changes(std::move(signal)), ownClient(std::move(own)) {}

  // Every callback runs on libjack's notification thread inside one Entered: the close waits
  // for it, and none calls into libjack once the close has begun or the server has gone.
  class Entered {
   public:
    explicit Entered(Shared& shared) noexcept : shared_(shared) {
      // Counted before `closing` is read, so that the close either sees this call or it sees
      // closing.
      shared_.inCallback.fetch_add(1);
      open_ = !shared_.closing.load();
    }
    ~Entered() { shared_.inCallback.fetch_sub(1); }
    Entered(const Entered&) = delete;
    Entered& operator=(const Entered&) = delete;
    explicit operator bool() const noexcept { return open_; }

   private:
    Shared& shared_;
    bool open_ = false;
  };

  static void onPortRegistration(jack_port_id_t id, int registered, void* arg) {
    auto* shared = static_cast<Shared*>(arg);
    const Entered entered(*shared);
    if (!entered || !shared->running.load()) return;
    // The port's record stays readable after it was unregistered, until its slot is reused.
    jack_port_t* port = jack_port_by_id(shared->client, id);
    const char* name = port ? jack_port_name(port) : nullptr;
    if (name && registered != 0) {
      const std::lock_guard lock(shared->registrationsMutex);
      ++shared->registrations[name];
    }
    if (name && shared->isOwn(std::string(name).substr(0, std::string(name).find(':')))) return;
    shared->changes->raise();
  }
  static void onClientRegistration(const char* name, int registered, void* arg) {
    auto* shared = static_cast<Shared*>(arg);
    const Entered entered(*shared);
    if (!entered) return;
    shared->lastClientEvent.store(std::chrono::steady_clock::now().time_since_epoch().count());
    if (!registered) shared->clientsGone.fetch_add(1);
    if (!shared->isOwn(name)) shared->changes->raise();
  }
  static void onShutdown(void* arg) {
    auto* shared = static_cast<Shared*>(arg);
    const Entered entered(*shared);
    shared->running.store(false);
    if (entered) shared->changes->raise();
  }

  bool isOwn(const std::string& name) const { return isNamedAs(name, ownClient); }

  std::shared_ptr<MidiChangeSignal> changes;
  const std::string ownClient;
  jack_client_t* client = nullptr;  // set before the client is activated
  bool notified = false;            // activated: the server sends notifications
  std::atomic<bool> running{true};
  std::atomic<bool> closing{false};
  std::atomic<int> inCallback{0};
  std::atomic<std::uint64_t> clientsGone{0};
  std::atomic<std::chrono::steady_clock::rep> lastClientEvent{0};  // when one came or went
  std::mutex registrationsMutex;
  std::map<std::string, std::uint64_t> registrations;  // by port name; grows with names seen
};

std::unique_ptr<JackServerWatch> JackServerWatch::connect(std::shared_ptr<MidiChangeSignal> changes,
                                                          const std::string& ownClient) {
  QuietMidiLibraries::ensure();
  const std::string name = kClientNamePrefix + std::to_string(::getpid());
  jack_client_t* client = jack_client_open(name.c_str(), JackNoStartServer, nullptr);
  if (!client) return nullptr;
  auto shared = std::make_shared<Shared>(std::move(changes), ownClient);
  shared->client = client;
  // Callbacks are set before the client is activated, as libjack requires. Without activation
  // (refused) the watch still answers running() and hasPort(); the owner then polls.
  jack_on_shutdown(client, &Shared::onShutdown, shared.get());
  jack_set_port_registration_callback(client, &Shared::onPortRegistration, shared.get());
  jack_set_client_registration_callback(client, &Shared::onClientRegistration, shared.get());
  shared->notified = jack_activate(client) == 0;
  return std::unique_ptr<JackServerWatch>(new JackServerWatch(client, std::move(shared)));
}

bool JackServerWatch::isNamedAs(const std::string& client, const std::string& base) {
  if (!client.starts_with(base)) return false;
  const std::string rest = client.substr(base.size());
  return rest.empty() || (rest.size() == 3 && rest[0] == '-' &&
                          std::isdigit(static_cast<unsigned char>(rest[1])) != 0 &&
                          std::isdigit(static_cast<unsigned char>(rest[2])) != 0);
}

JackServerWatch::JackServerWatch(jack_client_t* client, std::shared_ptr<Shared> shared)
    : client_(client),
      shared_(std::move(shared)),
      cleanupsAtOpen_(QuietMidiLibraries::jackCleanups()),
      closeDeadline_(BoundedClose::kDeadline) {}

JackServerWatch::~JackServerWatch() noexcept {
  if (running()) awaitQuiet();
  shared_->closing.store(true);
  const auto deadline = std::chrono::steady_clock::now() + kCallbackEnds;
  while (shared_->inCallback.load() > 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(kPollStep);
  // libjack closed and deleted the client itself: closing it again would use freed memory.
  if (QuietMidiLibraries::jackCleanups() != cleanupsAtOpen_) return;
  // The callbacks' state goes with the close, so that a close left behind keeps it alive.
  BoundedClose::run(
      "closing the JACK client " + std::string(kClientNamePrefix) + std::to_string(::getpid()),
      [client = client_, shared = shared_] { jack_client_close(client); }, closeDeadline_);
}

bool JackServerWatch::running() const noexcept {
  return shared_->running.load() && QuietMidiLibraries::jackCleanups() == cleanupsAtOpen_;
}

bool JackServerWatch::hasPort(const std::string& name) const {
  return running() && jack_port_by_name(client_, name.c_str()) != nullptr;
}

bool JackServerWatch::hasClient(const std::string& name) const {
  if (!running()) return false;
  char* uuid = jack_get_uuid_for_client_name(client_, name.c_str());
  if (!uuid) return false;
  jack_free(uuid);
  return true;
}

std::string JackServerWatch::freeClientName(const std::string& base) const {
  if (!hasClient(base)) return base;
  constexpr int kLastRenaming = 99;
  for (int number = 1; number <= kLastRenaming; ++number) {
    std::string name = base + (number < 10 ? "-0" : "-") + std::to_string(number);
    if (!hasClient(name)) return name;
  }
  return base;  // JACK refuses a hundredth client of that name
}

std::string JackServerWatch::nameGiven(const std::string& base, const std::string& expected) const {
  const int self = static_cast<int>(::getpid());
  const auto ours = [&](const std::string& name) {
    return hasClient(name) && jack_get_client_pid(name.c_str()) == self;
  };
  if (ours(expected)) return expected;
  constexpr int kLastRenaming = 99;
  for (int number = 0; number <= kLastRenaming; ++number) {
    std::string name =
        number == 0 ? base : base + (number < 10 ? "-0" : "-") + std::to_string(number);
    if (ours(name)) return name;
  }
  return expected;
}

std::vector<std::string> JackServerWatch::connectionsOf(const std::string& name) const {
  std::vector<std::string> names;
  if (!running()) return names;
  jack_port_t* port = jack_port_by_name(client_, name.c_str());
  if (!port) return names;
  const char** connected = jack_port_get_all_connections(client_, port);
  if (!connected) return names;
  for (const char** each = connected; *each; ++each) names.emplace_back(*each);
  jack_free(connected);
  return names;
}

bool JackServerWatch::seesReturnedPorts() noexcept {
  static const bool jacksOwn =
      std::string_view(jack_get_version_string()).find("PipeWire") == std::string_view::npos;
  return jacksOwn;
}

std::uint64_t JackServerWatch::registrations(const std::string& name) const {
  const std::lock_guard lock(shared_->registrationsMutex);
  const auto found = shared_->registrations.find(name);
  return found == shared_->registrations.end() ? 0 : found->second;
}

bool JackServerWatch::connectPorts(const std::string& from, const std::string& to) const {
  if (!running()) return false;
  const int result = jack_connect(client_, from.c_str(), to.c_str());
  return result == 0 || result == EEXIST;
}

std::chrono::microseconds JackServerWatch::period() const {
  const jack_nframes_t rate = jack_get_sample_rate(client_);
  if (rate == 0) return std::chrono::microseconds(0);
  return std::chrono::microseconds(std::int64_t{jack_get_buffer_size(client_)} * 1'000'000 / rate);
}

// The frame time at the start of the server's latest cycle, which stands still when the server
// does. (jack_frame_time would not: it reckons the frames from the clock since the last cycle.)
std::uint64_t JackServerWatch::cycle() const {
  const jack_nframes_t frames = jack_get_buffer_size(client_);
  return frames == 0 ? 0 : jack_last_frame_time(client_) / frames;
}

bool JackServerWatch::cycling() const {
  if (!running()) return false;
  const auto wait =
      std::clamp<std::chrono::microseconds>(period() * kCyclesLooked, kLookSoonest, kLookLatest);
  const auto deadline = std::chrono::steady_clock::now() + wait;
  const std::uint64_t first = cycle();
  while (std::chrono::steady_clock::now() < deadline) {
    if (cycle() != first) return true;
    std::this_thread::sleep_for(kPollStep);
  }
  return false;
}

std::uint64_t JackServerWatch::clientsGone() const noexcept {
  return shared_->clientsGone.load();
}

bool JackServerWatch::awaitClientGone(std::uint64_t seen, std::chrono::milliseconds timeout) const {
  if (!shared_->notified) return false;  // it would wait in vain
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (shared_->clientsGone.load() <= seen) {
    if (!running() || std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPollStep);
  }
  return true;
}

void JackServerWatch::awaitQuiet() const {
  if (!shared_->notified) return;
  const auto start = std::chrono::steady_clock::now();
  for (;;) {
    const auto now = std::chrono::steady_clock::now();
    const std::chrono::steady_clock::time_point last(
        std::chrono::steady_clock::duration(shared_->lastClientEvent.load()));
    if (now - last >= kQuiet || now - start >= kQuietAtMost) return;
    std::this_thread::sleep_for(kPollStep);
  }
}

}  // namespace notecast
