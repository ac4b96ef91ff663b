// The output control's hold on the MIDI system and its device report: connecting when first
// needed, leaving it in order, finding an output by name, and telling each cause once.

#include <cctype>

#include "midi/BoundedClose.h"
#include "midi/JackShmRegistry.h"
#include "midi/RtMidiOutputControl.h"

namespace notecast {
namespace {

using namespace std::chrono_literals;

// Reports kept for a handler not yet installed; the causes are latched, so few ever wait.
constexpr std::size_t kMaxWaitingReports = 8;
// How long the JACK watch may take to hear of our own client's going; it is told before the
// server answers the close, so this only matters when the watch gets no notifications.
constexpr auto kClientGoneHeard = 500ms;
// A close on a server that runs no cycles ends only when it runs again: long enough for one
// that answers after all, short enough for a stop within a second.
constexpr auto kStalledCloseDeadline = 150ms;

// An ALSA port's name without the sequencer's " client:port" numbers at its end.
std::string withoutAlsaNumbers(const std::string& name) {
  std::size_t end = name.size();
  auto skipDigits = [&] {
    const std::size_t digitsEnd = end;
    while (end > 0 && std::isdigit(static_cast<unsigned char>(name[end - 1]))) --end;
    return end < digitsEnd;
  };
  if (!skipDigits() || end == 0 || name[end - 1] != ':') return name;
  --end;
  if (!skipDigits() || end == 0 || name[end - 1] != ' ') return name;
  return name.substr(0, end - 1);
}

}  // namespace

std::string RtMidiOutputControl::connectSystem() {
  if (client_) return {};
  std::string complaint;
  if (choice_.system() == MidiSystem::kJack) {
    // libjack's open waits on a lock that a close left behind may hold.
    if (BoundedClose::leftBehind())
      return "JACK has not finished closing a client (its server does not answer); JACK is used "
             "again once it has";
    // With no client of ours open, a registry made anew since libjack first read it is taken
    // up, so that the server is found as a new process finds it.
    if (!watch_ && JackShmRegistry::follow() == JackShmRegistry::Outcome::kCannotFollow)
      return "JACK's shared memory was made anew and this process cannot take it up; restart "
             "the program to use JACK again";
    // Probing with a client of our own keeps RtMidi from printing "JACK server not running?".
    if (!watch_) watch_ = JackServerWatch::connect(changes_, clientName_);
    if (!watch_) return "no JACK server is running";
    // A server that is quitting still takes clients for a moment, runs no cycles, and never
    // tells them that it went: wait for one that runs.
    if (!watch_->cycling()) {
      watch_->setCloseDeadline(kStalledCloseDeadline);
      watch_.reset();
      return "the JACK server is not running its cycles";
    }
    // JACK renames a client whose name is taken (a second plug-in on the server): ours gets the
    // first free name, or the next when another program took that one meanwhile.
    ownClient_ = watch_->freeClientName(clientName_);
    client_ = RtMidiClient::create(RtMidi::UNIX_JACK, clientName_, &complaint);
    if (client_) ownClient_ = watch_->nameGiven(clientName_, ownClient_);
    // A server that went before this open was noticed makes libjack delete the watch's client
    // in it (QuietMidiLibraries::jackCleanups): start again with both new.
    if (client_ && !watch_->running()) {
      client_.reset();
      complaint = "the JACK server has stopped";
    }
    if (!client_) watch_.reset();
  } else {
    if (!MidiApiChoice::sequencerPresent())
      return std::string("the ALSA sequencer ") + MidiApiChoice::kSequencerDevice +
             " is not available";
    // ALSA keeps names as given, also when another client has the same.
    ownClient_ = clientName_;
    client_ = RtMidiClient::create(RtMidi::LINUX_ALSA, clientName_, &complaint);
    // Without the watch the owner polls (recover() says so while something is missing).
    if (client_ && !alsaWatch_) alsaWatch_ = AlsaSequencerWatch::connect(changes_);
  }
  return client_ ? std::string() : complaint;
}

bool RtMidiOutputControl::haveSystem() {
  const std::string missing = connectSystem();
  if (missing.empty()) {
    told_->noSystem = false;
    return true;
  }
  if (!told_->noSystem) {
    told_->noSystem = true;
    report(MidiReportCode::kNoMidiSystem, "No MIDI output is possible: " + missing + ".");
  }
  return false;
}

void RtMidiOutputControl::dropSystem() noexcept {
  opened_ = Opened::kNothing;
  if (client_) {
    dropClient();
  } else if (watch_) {
    prepareToLeave(serverNow());
  }
  kept_.forget();
  alsaPorts_.reset();
  watch_.reset();
  alsaWatch_.reset();
  pacing_.reset();
  toldStall_ = false;
  notSentInStall_ = 0;
}

void RtMidiOutputControl::dropClient() noexcept {
  if (!client_) return;
  const JackServer server = serverNow();
  const std::uint64_t gone = watch_ ? watch_->clientsGone() : 0;
  prepareToLeave(server);
  client_.reset();
  // The watch must not be closed while its notification thread handles our client's going
  // (see JackServerWatch.h); waiting here covers every later close of the watch. A server that
  // does not answer tells nothing.
  if (server == JackServer::kRunning) watch_->awaitClientGone(gone, kClientGoneHeard);
}

RtMidiOutputControl::JackServer RtMidiOutputControl::serverNow() const {
  if (!watch_) return JackServer::kNone;
  if (!watch_->running()) return JackServer::kGone;
  if (pacing_.stalled() || !watch_->cycling()) return JackServer::kStalled;
  return JackServer::kRunning;
}

void RtMidiOutputControl::prepareToLeave(JackServer server) noexcept {
  switch (server) {
    case JackServer::kNone:
    case JackServer::kGone:
      return;
    case JackServer::kRunning:
      return watch_->awaitQuiet();
    case JackServer::kStalled:
      // Its closes would wait for it as long as it stands still: they are left behind at once.
      if (client_) client_->setCloseDeadline(kStalledCloseDeadline);
      return watch_->setCloseDeadline(kStalledCloseDeadline);
  }
}

// Closing drops the whole client: ALSA keeps a virtual port until its client goes.
void RtMidiOutputControl::forgetOpenDevice() noexcept {
  if (opened_ == Opened::kNothing) return;
  opened_ = Opened::kNothing;
  dropClient();
  kept_.forget();
}

std::optional<unsigned int> RtMidiOutputControl::findPort(const std::string& name,
                                                          std::string* listed) {
  const unsigned int count = client_->portCount();
  std::vector<std::string> names;
  for (unsigned int i = 0; i < count; ++i) {
    names.push_back(client_->portName(i));
    if (names.back() != name) continue;
    *listed = names.back();
    return i;
  }
  if (choice_.system() != MidiSystem::kAlsa) return std::nullopt;
  // An ALSA device plugged in again may get other sequencer numbers; only an unambiguous
  // match counts.
  const std::string wanted = withoutAlsaNumbers(name);
  std::optional<unsigned int> found;
  for (unsigned int i = 0; i < names.size(); ++i) {
    if (withoutAlsaNumbers(names[i]) != wanted) continue;
    if (found) return std::nullopt;
    found = i;
  }
  if (found) *listed = names[*found];
  return found;
}

void RtMidiOutputControl::report(MidiReportCode code, std::string text) {
  if (report_) return deliver(code, std::move(text));
  if (waitingReports_.size() < kMaxWaitingReports)
    waitingReports_.emplace_back(code, std::move(text));
}

void RtMidiOutputControl::deliverWaitingReports() {
  if (!report_ || waitingReports_.empty()) return;
  auto waiting = std::move(waitingReports_);
  waitingReports_.clear();
  for (auto& [code, text] : waiting) deliver(code, std::move(text));
}

// A copy of the handler runs, so that it may replace itself.
void RtMidiOutputControl::deliver(MidiReportCode code, std::string text) {
  DeviceReport handler = report_;
  auto number = static_cast<std::int16_t>(code);
  handler(number, text);
}

}  // namespace notecast
