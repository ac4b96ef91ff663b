// The output control's kept connections: from our port to each destination the operator named,
// made when either of the two appears.

#include <algorithm>

#include "midi/AlsaSequencerPorts.h"
#include "midi/RtMidiOutputControl.h"

namespace notecast {
namespace {

// The JACK graph through the watch. A port's identity counts its registrations, so a program
// that quit and started again between two looks is seen as back.
class JackGraph final : public KeptConnections::Graph {
 public:
  JackGraph(const JackServerWatch& watch, std::string own) : watch_(watch), own_(std::move(own)) {}

  std::optional<KeptConnections::Port> ownPort() override { return findPort(own_); }
  std::optional<KeptConnections::Port> findPort(const std::string& name) override {
    if (!watch_.hasPort(name)) return std::nullopt;
    return KeptConnections::Port{name, name + "#" + std::to_string(watch_.registrations(name))};
  }
  bool connect(const std::string& from, const std::string& to) override {
    return watch_.connectPorts(from, to);
  }

 private:
  const JackServerWatch& watch_;
  std::string own_;
};

}  // namespace

void RtMidiOutputControl::setKeptConnections(std::vector<std::string> ports) {
  kept_.setDestinations(std::move(ports));
  if (kept_.destinations().empty()) alsaPorts_.reset();
  keepConnections();
}

void RtMidiOutputControl::keepConnections() {
  if (kept_.destinations().empty() || opened_ == Opened::kNothing || !client_) return;
  if (watch_) {
    JackGraph graph(*watch_, ownJackPort());
    return kept_.update(graph);
  }
  if (choice_.system() != MidiSystem::kAlsa) return;
  if (!alsaPorts_) alsaPorts_ = AlsaSequencerPorts::open(ownClient_, kPortName);
  if (alsaPorts_) kept_.update(*alsaPorts_);
}

// RtMidi's client holds our port, whether it is the virtual port or one opened to a system port.
std::string RtMidiOutputControl::ownJackPort() const {
  return ownClient_ + ":" + kPortName;
}

}  // namespace notecast
